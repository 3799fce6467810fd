#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Comma- or tab-separated records with the quoting of RFC 4180: a field that holds the
// separator, a quote or a line break is written between quotes, its quotes doubled.
namespace velmora::calc {

// Appends field to out, quoted when it must be (it holds ',', '"', a tab, CR or LF, or begins
// or ends with a blank, which a reader might trim).
void AppendCsvField(std::string& out, std::string_view field);

// Whether a quoted field is still open at the end of line, given whether one was open at its
// start: the record then goes on in the next line. A quote opens a field only at its start
// (blanks before it allowed), as SplitCsvRecord reads it; one inside an unquoted field is
// text (48°51'24"N).
bool QuoteOpenAfter(std::string_view line, char separator, bool openBefore);

// Splits one whole record (its lines joined by "\n") at separator into fields, replacing the
// contents of fields (their storage is reused, so a caller that keeps the vector allocates
// nothing once it is large enough). Quoted fields lose their quotes and their doubled quotes;
// text after a closing quote is kept as written. Returns the index of a field whose quote is
// never closed (it runs to the end of the record), or kNoOpenField.
inline constexpr std::size_t kNoOpenField = static_cast<std::size_t>(-1);
std::size_t SplitCsvRecord(std::string_view record, char separator,
                           std::vector<std::string>& fields);

}  // namespace velmora::calc
