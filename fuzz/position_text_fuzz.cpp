// Position text, alone: whatever is pasted, a position that is read lies within the axes'
// limits and is finite, writing it out and reading it again gives it back, and blanks around
// the text change nothing.
#include <charconv>
#include <cmath>
#include <string>

#include "calculator/position_text.h"
#include "fuzz_input.h"

using namespace velmora;

namespace {

// Tolerance of the round trip, in degrees: the writing is exact (shortest round-trip form),
// the reading adds minutes and seconds in double arithmetic.
constexpr double kRoundTripToleranceDeg = 1e-9;
// Texts longer than this are not wrapped in blanks, so that the wrapped text stays within the
// parser's own length limit and reads as the bare one does.
constexpr std::size_t kBlankedTextLimit = 500;

// A signed angle as unsigned degrees with its hemisphere letter: "48.8566N". Fixed notation,
// as people write positions (the parser takes no exponent), shortest that reads back exactly:
// at most 3 integer digits and 330 decimals for the smallest double.
std::string angleText(double signedDeg, char positive, char negative) {
    char digits[352];
    const auto written = std::to_chars(digits, digits + sizeof digits, std::fabs(signedDeg),
                                       std::chars_format::fixed);
    std::string out(digits, written.ptr);
    out += std::signbit(signedDeg) && signedDeg != 0.0 ? negative : positive;
    return out;
}

bool samePositions(const calc::PositionParse& a, const calc::PositionParse& b) {
    if (a.position.has_value() != b.position.has_value()) return false;
    return !a.position || (a.position->latitudeDeg == b.position->latitudeDeg &&
                           a.position->longitudeDeg == b.position->longitudeDeg);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const std::string text = input.rest();
    const calc::PositionParse parse = calc::ParsePosition(text);
    fuzz::check(parse.position.has_value() != !parse.refusal.empty(),
                "a parse is either a position or a refusal with its reason", text);

    if (text.size() <= kBlankedTextLimit) {
        fuzz::check(samePositions(parse, calc::ParsePosition(" " + text + " \t")),
                    "blanks around the text change what it reads as", text);
    }
    if (!parse.position) return 0;

    const double lat = parse.position->latitudeDeg;
    const double lon = parse.position->longitudeDeg;
    fuzz::check(std::isfinite(lat) && std::isfinite(lon), "a position read is not finite", text);
    fuzz::check(std::fabs(lat) <= 90.0 && std::fabs(lon) <= 180.0,
                "a position read lies out of range", text);

    const std::string written = angleText(lat, 'N', 'S') + " " + angleText(lon, 'E', 'W');
    const calc::PositionParse again = calc::ParsePosition(written);
    fuzz::check(again.position.has_value(), "a position written out is refused", written);
    fuzz::check(std::fabs(again.position->latitudeDeg - lat) <= kRoundTripToleranceDeg &&
                    std::fabs(again.position->longitudeDeg - lon) <= kRoundTripToleranceDeg,
                "a position written out reads as another", written);
    return 0;
}
