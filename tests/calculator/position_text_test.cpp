#include "calculator/position_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "calculator/angle_text.h"
#include "calculator/state.h"

namespace velmora::calc {
namespace {

#define DEG "\xC2\xB0"

constexpr double kExactDeg = 1e-12;  // the parse adds at most three parts in double

double dms(double degrees, double minutes, double seconds) {
    return degrees + minutes / 60.0 + seconds / 3600.0;
}

struct PasteCase {
    const char* name;
    const char* text;
    double latitudeDeg;
    double longitudeDeg;
};

class PastedPositions : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PastedPositions, ReadAsLatitudeThenLongitude) {
    const PasteCase& c = GetParam();
    const PositionParse parse = ParsePosition(c.text);
    ASSERT_TRUE(parse.position.has_value()) << c.text << ": " << parse.refusal;
    EXPECT_NEAR(parse.position->latitudeDeg, c.latitudeDeg, kExactDeg) << c.text;
    EXPECT_NEAR(parse.position->longitudeDeg, c.longitudeDeg, kExactDeg) << c.text;
    EXPECT_TRUE(parse.refusal.empty());
}

// Texts as map sites, encyclopaedias, GPS receivers, geocaching pages and spreadsheets give them.
INSTANTIATE_TEST_SUITE_P(
    ParsePosition, PastedPositions,
    ::testing::Values(
        PasteCase{"CommaAndBlank", "48.8566, 2.3522", 48.8566, 2.3522},
        PasteCase{"BlankOnly", "48.8566 2.3522", 48.8566, 2.3522},
        PasteCase{"NegativeLatitude", "-33.8688, 151.2093", -33.8688, 151.2093},
        PasteCase{"DegreeSignAndLetters", "48.8566" DEG " N, 2.3522" DEG " E", 48.8566, 2.3522},
        PasteCase{"LettersFirstDecimalMinutes", "N 48" DEG " 51.396' E 2" DEG " 21.132'", 48.8566,
                  2.3522},
        PasteCase{"DmsLettersBehind", "48" DEG "51'24\"N 2" DEG "21'08\"E", dms(48, 51, 24),
                  dms(2, 21, 8)},
        PasteCase{"TypographicPrimes", "48" DEG "51\u203224\u2033N 2" DEG "21\u203208\u2033E",
                  dms(48, 51, 24), dms(2, 21, 8)},
        PasteCase{"CurlyQuotes", "48" DEG "51\u201924\u201DN 2" DEG "21\u201908\u201DE",
                  dms(48, 51, 24), dms(2, 21, 8)},
        PasteCase{"TwoApostrophesForSeconds", "48" DEG "51'24''N 2" DEG "21'08''E", dms(48, 51, 24),
                  dms(2, 21, 8)},
        PasteCase{"OrdinalForDegreeSign", "48\u00BA51'24\"N 2\u00BA21'08\"E", dms(48, 51, 24),
                  dms(2, 21, 8)},
        PasteCase{"DecimalCommaBlank", "48,8566 2,3522", 48.8566, 2.3522},
        PasteCase{"DecimalCommaSemicolon", "48,8566; 2,3522", 48.8566, 2.3522},
        PasteCase{"DecimalCommaLetters", "48,8566N 2,3522E", 48.8566, 2.3522},
        PasteCase{"SurroundingBlanksAndBreak", "  48.8566, 2.3522\n", 48.8566, 2.3522},
        PasteCase{"WindowsLineBreaks", "\r\n 19.4326 , -99.1332 \r\n", 19.4326, -99.1332},
        PasteCase{"OnTwoLines", "48.8566\n2.3522", 48.8566, 2.3522},
        PasteCase{"TabParted", "-34.6037\t-58.3816", -34.6037, -58.3816},
        PasteCase{"NoBlankAfterComma", "40.7128,-74.0060", 40.7128, -74.0060},
        PasteCase{"WestByLetter", "40.7128" DEG " N, 74.0060" DEG " W", 40.7128, -74.0060},
        PasteCase{"MapSiteDms", "33" DEG "52'07.7\"S 151" DEG "12'33.5\"E", -dms(33, 52, 7.7),
                  dms(151, 12, 33.5)},
        PasteCase{"LettersFirstDms", "S 33" DEG " 52' 7.68\" E 151" DEG " 12' 33.48\"",
                  -dms(33, 52, 7.68), dms(151, 12, 33.48)},
        PasteCase{"EncyclopaediaLondon", "51" DEG "30\u203226\u2033N 0" DEG "7\u203239\u2033W",
                  dms(51, 30, 26), -dms(0, 7, 39)},
        PasteCase{"SmallWestLongitude", "51.5074" DEG " N, 0.1278" DEG " W", 51.5074, -0.1278},
        PasteCase{"LettersGlued", "35.6762N 139.6503E", 35.6762, 139.6503},
        PasteCase{"LettersApart", "35.6762 N 139.6503 E", 35.6762, 139.6503},
        PasteCase{"LowerCaseLettersFirst", "n35.6762 e139.6503", 35.6762, 139.6503},
        PasteCase{"BothNegative", "-22.9068 -43.1729", -22.9068, -43.1729},
        PasteCase{"RioDms", "22" DEG "54'24.5\"S 43" DEG "10'22.4\"W", -dms(22, 54, 24.5),
                  -dms(43, 10, 22.4)},
        PasteCase{"Origin", "0, 0", 0.0, 0.0}, PasteCase{"NorthEastLimits", "90, 180", 90.0, 180.0},
        PasteCase{"SouthWestLimits", "-90, -180", -90.0, -180.0},
        PasteCase{"PlusSigns", "+48.8566, +2.3522", 48.8566, 2.3522},
        PasteCase{"NairobiSouthEast", "1.2921" DEG " S, 36.8219" DEG " E", -1.2921, 36.8219},
        PasteCase{"MoscowPrimes", "55" DEG "45\u203221\u2033N 37" DEG "37\u203204\u2033E",
                  dms(55, 45, 21), dms(37, 37, 4)},
        PasteCase{"GeocachingMarks", "N 64" DEG " 8.796' W 21" DEG " 56.556'", dms(64, 8.796, 0),
                  -dms(21, 56.556, 0)},
        PasteCase{"GeocachingNoMinuteMark", "N 47" DEG " 36.123 W 122" DEG " 19.456",
                  dms(47, 36.123, 0), -dms(122, 19.456, 0)},
        PasteCase{"GpsWithComma", "N 40" DEG "44.9064', W 073" DEG "59.0735'", dms(40, 44.9064, 0),
                  -dms(73, 59.0735, 0)},
        PasteCase{"DegreeSignsOnly", "48.8566" DEG ", 2.3522" DEG, 48.8566, 2.3522},
        PasteCase{"DegreeSignAndGluedLetter", "48.8566" DEG "N 2.3522" DEG "E", 48.8566, 2.3522},
        PasteCase{"SemicolonAndLetters", "48.8566 N; 2.3522 E", 48.8566, 2.3522},
        PasteCase{"WholeDegrees", "45" DEG "N, 7" DEG "E", 45.0, 7.0},
        PasteCase{"SingaporeNearEquator", "1.3521" DEG " N, 103.8198" DEG " E", 1.3521, 103.8198},
        PasteCase{"UnicodeMinus", "\u221233.8688, 151.2093", -33.8688, 151.2093},
        PasteCase{"NoBreakSpace", "59.9139,\u00A010.7522", 59.9139, 10.7522},
        PasteCase{"NearTheDateLine", "-0.5, 179.999999", -0.5, 179.999999},
        PasteCase{"MexicoCityDms", "19" DEG "25'57.4\"N 99" DEG "07'59.5\"W", dms(19, 25, 57.4),
                  -dms(99, 7, 59.5)},
        PasteCase{"LeadingPointNumbers", ".5, -.25", 0.5, -0.25},
        PasteCase{"DegreesAndSecondsOnly", "10" DEG "30\"N 20" DEG "E", dms(10, 0, 30), 20.0}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    const char* text;
    const char* refusal;
};

// A position padded with blanks to length bytes.
std::string paddedPosition(std::size_t length) {
    std::string text = "48.8566, 2.3522";
    text.resize(length, ' ');
    return text;
}

const char* justTooLong() {
    static const std::string text = paddedPosition(kPositionTextLimitBytes + 1);
    return text.c_str();
}

class RefusedTexts : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedTexts, GiveNoPositionAndSayWhy) {
    const RefusalCase& c = GetParam();
    const PositionParse parse = ParsePosition(c.text);
    EXPECT_FALSE(parse.position.has_value()) << c.text;
    EXPECT_EQ(parse.refusal, c.refusal) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    ParsePosition, RefusedTexts,
    ::testing::Values(
        RefusalCase{"Empty", "", "the clipboard holds no text"},
        RefusalCase{"BlanksOnly", " \r\n\t", "the clipboard holds no text"},
        RefusalCase{"OneNumber", "48.8566",
                    "the clipboard holds one angle, not a latitude and a longitude"},
        RefusalCase{"OneNumberAndComma", "48.8566,",
                    "the clipboard holds one angle, not a latitude and a longitude"},
        RefusalCase{"OneDecimalCommaNumber", "48,8566",
                    "the clipboard holds one angle, not a latitude and a longitude"},
        RefusalCase{"ThreeNumbers", "48.8566, 2.3522, 35",
                    "the clipboard holds more than two angles"},
        RefusalCase{"DegreesMinutesSecondsWithoutMarks", "48 51 24",
                    "the clipboard holds more than two angles"},
        RefusalCase{"LatitudeBeyond90", "91, 0", "the latitude lies beyond 90 degrees"},
        RefusalCase{"LatitudeJustBeyond90", "-90.0001, 0", "the latitude lies beyond 90 degrees"},
        RefusalCase{"LatitudeBeyond90BySeconds", "90" DEG "0'1\"N 0" DEG "E",
                    "the latitude lies beyond 90 degrees"},
        RefusalCase{"LongitudeBeyond180", "45, 180.5", "the longitude lies beyond 180 degrees"},
        RefusalCase{"LongitudeBeyond180West", "45, -181", "the longitude lies beyond 180 degrees"},
        RefusalCase{"HugeNumber",
                    "1"
                    "000000000000000000000000000000, 0",
                    "the latitude lies beyond 90 degrees"},
        RefusalCase{"LongitudeFirst", "2.3522 E, 48.8566 N",
                    "the first angle, the latitude, carries E or W"},
        RefusalCase{"NorthOnLongitude", "48.8566 N, 2.3522 N",
                    "the second angle, the longitude, carries N or S"},
        RefusalCase{"SixtyMinutes", "48" DEG "60'00\"N 2" DEG "E",
                    "minutes and seconds must be less than 60"},
        RefusalCase{"SixtySeconds", "48" DEG "59'60\"N 2" DEG "E",
                    "minutes and seconds must be less than 60"},
        RefusalCase{"SixtyDecimalMinutes", "N 48" DEG " 60.5' E 2" DEG,
                    "minutes and seconds must be less than 60"},
        RefusalCase{"SignAndSouth", "-48 S, 2 E",
                    "an angle carries both a sign and a hemisphere letter"},
        RefusalCase{"SignAndWest", "48 N, -2 W",
                    "an angle carries both a sign and a hemisphere letter"},
        RefusalCase{"LetterThenSign", "N -48, E 2",
                    "an angle carries both a sign and a hemisphere letter"},
        RefusalCase{"PlaceName", "Paris", "the clipboard holds text that is no part of a position"},
        RefusalCase{"NumbersAndWords", "48.8566, 2.3522 (Paris)",
                    "the clipboard holds text that is no part of a position"},
        RefusalCase{"Address", "10 Downing Street",
                    "the clipboard holds text that is no part of a position"},
        RefusalCase{"TwoSeparators", "48.8566 ,, 2.3522",
                    "the clipboard holds text that is no part of a position"},
        RefusalCase{"LetterLeftOver", "48.8566 2.3522 E W",
                    "the clipboard holds text that is no part of a position"},
        RefusalCase{"FractionBeforeMinutes", "48.5" DEG "30' N, 2" DEG " E",
                    "only the last part of an angle may have decimals"},
        RefusalCase{"MinutesWithoutDegrees", "51' 30\", 2", "an angle must begin with its degrees"},
        RefusalCase{"DecimalCommasAndCommaSeparator", "48,8566, 2,3522",
                    "the clipboard holds more than two angles"},
        RefusalCase{"DecimalCommaOutOfRange", "95,5 2,5", "the latitude lies beyond 90 degrees"},
        RefusalCase{"LongerThanAThousandBytes", justTooLong(),
                    "the clipboard holds text that is no part of a position"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParsePosition, ReadsUpToAThousandBytes) {
    const PositionParse parse = ParsePosition(paddedPosition(kPositionTextLimitBytes));
    ASSERT_TRUE(parse.position.has_value()) << parse.refusal;
    EXPECT_EQ(parse.position->latitudeDeg, 48.8566);
}

// Clipboards of megabytes are refused at once, whatever they hold: a position followed by
// no-break spaces, or primes alone, each of which the reading turns into a plain mark.
TEST(ParsePosition, HugeClipboardsAreRefusedAtOnce) {
    const auto timed = [](const std::string& text) {
        const auto start = std::chrono::steady_clock::now();
        const PositionParse parse = ParsePosition(text);
        EXPECT_FALSE(parse.position.has_value());
        EXPECT_EQ(parse.refusal, "the clipboard holds text that is no part of a position");
        return std::chrono::steady_clock::now() - start;
    };
    std::string noBreakSpaces = "48.8566, 2.3522";
    for (int i = 0; i < 1'000'000; ++i) noBreakSpaces += "\u00A0";
    std::string primes;
    for (int i = 0; i < 70'000; ++i) primes += "\u2032";  // 210 KB
    EXPECT_LT(timed(noBreakSpaces), std::chrono::milliseconds(500));
    EXPECT_LT(timed(primes), std::chrono::milliseconds(500));
}

struct AngleTextCase {
    const char* name;
    double degrees;
    std::int16_t format;
    const char* typed;
    const char* azimuth;
};

class AngleTexts : public ::testing::TestWithParam<AngleTextCase> {};

TEST_P(AngleTexts, WriteTheFormatsParts) {
    const AngleTextCase& c = GetParam();
    EXPECT_EQ(TypedAngleText(c.degrees, c.format), c.typed);
    EXPECT_EQ(AzimuthText(c.degrees, c.format), c.azimuth);
}

// Typed texts keep what was pasted, not the binary noise of 48.8566 * 3600.
INSTANTIATE_TEST_SUITE_P(
    AngleText, AngleTexts,
    ::testing::Values(
        AngleTextCase{"Degrees", 48.8566, kDeg, "48.8566" DEG, "48.856600" DEG},
        AngleTextCase{"DegMin", 48.8566, kDegMin, "48" DEG "51.396'", "48" DEG " 51.3960'"},
        AngleTextCase{"DegMinSec", 48.8566, kDegMinSec, "48" DEG "51'23.76\"",
                      "48" DEG " 51' 23.76\""},
        AngleTextCase{"WholeSecondsFromParts", dms(48, 51, 24), kDegMinSec, "48" DEG "51'24\"",
                      "48" DEG " 51' 24.00\""},
        AngleTextCase{"ZeroPartsWritten", 7.0, kDegMinSec, "7" DEG "0'0\"", "7" DEG " 0' 0.00\""},
        AngleTextCase{"SecondsCarryWhenRounded", 10.99999999999, kDegMinSec, "11" DEG "0'0\"",
                      "11" DEG " 0' 0.00\""},
        AngleTextCase{"FullTurnIsNorth", 359.9999999, kDegMin, "359" DEG "59.999994'",
                      "0" DEG " 0.0000'"},
        AngleTextCase{"NegativeAzimuthWraps", -90.0, kDeg, "90" DEG, "270.000000" DEG},
        AngleTextCase{"SmallFraction", 0.0000001, kDeg, "0.0000001" DEG, "0.000000" DEG}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::calc
