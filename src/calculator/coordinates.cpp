#include "calculator/coordinates.h"

#include "calculator/coordinate_text.h"
#include "calculator/text.h"

namespace velmora::calc {

namespace {

constexpr std::string_view kFieldLabels[4] = {
    "Latitude A: ", "Latitude B: ", "Longitude A: ", "Longitude B: "};
constexpr std::string_view kOutOfRange = "Out of range";

bool hasAnyMark(std::string_view text) {
    return Contains(text, kDegreeMark) || Contains(text, kMinutesMark) ||
           Contains(text, kSecondsMark);
}

// The history form of a coordinate: a blank after every degree and minutes mark.
std::string spacedCoordinate(std::string_view text) {
    std::string spaced;
    spaced.reserve(text.size() + 4);
    const std::string_view degree = kDegreeMark;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, degree.size()) == degree) {
            spaced.append(degree).push_back(' ');
            i += degree.size() - 1;
        } else {
            spaced.push_back(text[i]);
            if (text[i] == '\'') spaced.push_back(' ');
        }
    }
    return spaced;
}

}  // namespace

std::optional<EnteredCoordinate> EnterCoordinate(CalculatorState& state, std::string_view display) {
    const std::int16_t field = state.ActiveField;
    if (field < kLatitudeA || field > kLongitudeB) return std::nullopt;

    std::string& stored = state.CoordText[static_cast<std::size_t>(field)];
    stored = display;
    if (!hasAnyMark(stored)) stored += kDegreeMark;
    const bool isLatitude = field <= kLatitudeB;
    if (!CoordinateInRange(state, stored, isLatitude))
        return EnteredCoordinate{std::string(kFieldLabels[field]) + std::string(kOutOfRange),
                                 "Error"};

    bool southOrWest = false;
    std::string_view suffix;
    if (isLatitude) {
        southOrWest = state.Hemisphere != kNorth;
        suffix = southOrWest ? " S" : " N";
    } else {
        southOrWest = state.Hemisphere != kEast;
        suffix = southOrWest ? " W" : " E";
    }
    std::string line(kFieldLabels[field]);
    line += spacedCoordinate(stored);
    line += suffix;
    if (southOrWest) stored.insert(0, "-");
    return EnteredCoordinate{std::move(line), "0"};
}

StoredPoints ReadStoredPoints(const CalculatorState& state) {
    auto degrees = [&state](FieldCode field) {
        return CoordinateDegrees(state, state.CoordText[field]);
    };
    return {degrees(kLatitudeA), degrees(kLatitudeB), degrees(kLongitudeA), degrees(kLongitudeB)};
}

}  // namespace velmora::calc
