#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The one module that writes and reads number text. Built on std::to_chars/from_chars,
// so the process locale never changes a result; where the user's locale matters (the decimal
// mark of a distance, whether a dialog reply is a number) it is passed in as UserLocale.
namespace velmora::calc {

// The number conventions of the user's locale, as the desktop reports them.
struct UserLocale {
    std::string decimalMark = ".";
    std::string groupMark = ",";
};

// Every occurrence of from replaced by to, scanning on behind each replacement; text unchanged
// when from is empty. Linear in the length of text, however many occurrences it holds.
void replaceAll(std::string& text, std::string_view from, std::string_view to);

// The decimal digits at the front of a text, with at most one decimal mark among them.
struct DecimalScan {
    std::size_t length = 0;                       // bytes used, the mark included
    std::size_t digits = 0;                       // digits on both sides of the mark
    std::size_t markAt = std::string_view::npos;  // where the mark stands; npos without one
};

// The one scanner of decimal digits: digits, then mark and more digits. mark is taken when a
// digit stands on either side of it ("5." and ".5", not "."); markBetweenDigits, when given,
// is a second mark taken only with a digit on both sides ("48,5" but not "48,"). No sign, no
// exponent; length 0 when text does not begin with a digit or a mark and a digit.
DecimalScan ScanDecimal(std::string_view text, std::string_view mark,
                        std::string_view markBetweenDigits = {});

// The program's plain writing of a number: at most 15 significant digits, "." as decimal
// point, no trailing zeros, no point for whole values, no leading zero before the point
// (".5", "-.25"), "-" for negatives, exponent notation where plain digits can't hold the
// value at 15 digits ("1.79769313486231E+308", "1E-05"): plain for decimal exponents
// -5 < e < 15, otherwise mantissa, "E", sign and at least two exponent digits. An infinity
// is written "1E+309" ("-1E+309"), which reads back as an overflow again, so a fault
// survives the trip through text; NaN has no writing: the empty text.
std::string NumberText(double value);

// ReadLeadingNumber(NumberText(value)) without the text: value rounded to 15 significant
// decimal digits and read back, bit for bit (+0 for either zero, -0 included; an infinity
// stays one). NaN gives 0, as its empty writing reads.
double AtFifteenDigits(double value);

// The digits of NumberText placed without an exponent, for a reader that knows no exponent
// (a calculator typed into): "1E-05" is ".00001", "1E+15" is "1000000000000000", the largest
// double 309 digits. "" when the value is not finite.
std::string PositionalNumberText(double value);

// Reads the program's own texts: the longest leading part that forms a number with "." as
// decimal point (optional sign, digits, point, optional exponent); 0 when there is none.
// Leading blanks are skipped. A number beyond the double range reads as +-infinity (an
// overflow the caller must treat as a fault), one below it as 0.
double ReadLeadingNumber(std::string_view text);

// The conversion of one whole number: optional sign, digits, decimalSeparator as decimal
// separator, optional exponent ("1E-05"); surrounding blanks ignored. nullopt when the text
// is not such a number, and also when it lies beyond the double range ("1E+400"). Blanks are
// spaces and tabs.
std::optional<double> ConvertNumber(std::string_view text, std::string_view decimalSeparator);

// ConvertNumber, except that a well-formed number beyond the double range gives +-infinity
// instead of nullopt: coordinate text needs to tell an overflow (an arithmetic fault) from a
// part that is no number (which counts as 0).
std::optional<double> ConvertNumberAllowingOverflow(std::string_view text,
                                                    std::string_view decimalSeparator);

// Whether a reply typed by the user is a number by the conventions of their locale: it
// converts with the locale's decimal mark, or with "." (the program's own mark, which the
// default replies use). Group marks are not accepted: the reply is later read with every ","
// turned into ".", so "6,378,137" would silently become 6.378.
bool IsLocaleNumber(std::string_view text, const UserLocale& locale);

// The two fixed patterns below write at most 15 significant digits, zeros beyond them
// (123456789012345678901234567890 gives 123456789012346000000000000000.0), and give nullopt
// for a value that is not finite: an overflow has no writing, and the step that wanted one
// fails.

// "######0.000000": at least one integer digit, no grouping, exactly six decimals rounded
// half away from zero from the exact value of the double (0.0078125 gives 0.007813; the
// double nearest 0.0000005 lies below it and gives 0.000000), "-" when negative unless the
// text is all zeros, decimalMark between integer part and decimals.
std::optional<std::string> FixedSixText(double value, std::string_view decimalMark);

// "############0.0####": at least one integer digit, one to five decimals (rounded
// half away from zero, zeros beyond the first dropped), no grouping, "-" when negative
// unless the text is all zeros, decimalMark between integer part and decimals.
std::optional<std::string> PasteNumberText(double value, std::string_view decimalMark);

}  // namespace velmora::calc
