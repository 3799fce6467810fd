#pragma once

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

// The program's plain writing of a number: at most 15 significant digits, "." as decimal
// point, no trailing zeros, no point for whole values, no leading zero before the point
// (".5", "-.25"), "-" for negatives, exponent notation where plain digits can't hold the
// value at 15 digits ("1.79769313486231E+308", "1E-05").
std::string NumberText(double value);

// Reads the program's own texts: the longest leading part that forms a number with "." as
// decimal point (optional sign, digits, point, optional exponent); 0 when there is none.
// Leading blanks are skipped.
double ReadLeadingNumber(std::string_view text);

// The conversion of one whole number: optional sign, digits, decimalSeparator as decimal
// separator, optional exponent ("1E-05"); surrounding blanks ignored. nullopt when the text
// is not such a number.
std::optional<double> ConvertNumber(std::string_view text, std::string_view decimalSeparator);

// Whether a reply typed by the user is a number by the conventions of their locale.
bool IsLocaleNumber(std::string_view text, const UserLocale& locale);

// "######0.000000": at least one integer digit, no grouping, exactly six decimals rounded
// half away from zero, "-" when negative, decimalMark between integer part and decimals.
std::string FixedSixText(double value, std::string_view decimalMark);

// "############0.0####": at least one integer digit, one to five decimals (rounded, zeros
// beyond the first dropped), no grouping, "-" when negative.
std::string PasteNumberText(double value, std::string_view decimalMark);

}  // namespace velmora::calc
