// The routine path of the export: the record's values (DBF2ARRAY), each as
// the text that goes between the double quotes of the output (VARTOCHAR,
// CHANGESPECIALCHARS).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rt/value.hpp"

namespace app {

class LineWriter;

// DBF2ARRAY: the values of the current record of the work area `cAlias`
// (the current one when nil), in field order; the current work area stays.
rt::Array dbf2Array(const std::optional<std::string>& cAlias = std::nullopt);
// DBF2ARRAY into an array that is reused from record to record.
void dbf2Array(rt::Array& aRecord);
// VARTOCHAR: the text of one value; for a value of another type than D, L,
// N, C or M shows "UNDETERMINED TYPE " and its type letter, and gives "".
std::string varToChar(const rt::Value& xValue);
// VARTOCHAR of `xValue` with its trailing blanks removed (TRIM), written by
// `out` as one field of its line: text as text (of a field that holds
// binary when `binary`), digits as they are.
void writeValue(LineWriter& out, const rt::Value& xValue, bool binary = false);
// The line of a record's values (DBF2ARRAY's array), each by writeValue;
// `binary` marks the fields that hold binary. Valid until the writer's next
// line.
std::string_view valuesLine(LineWriter& out, const rt::Array& aRecord,
                            const std::vector<bool>& binary = {});
// CHANGESPECIALCHARS: 13 and 141 become 191, 10 becomes 192, 34 becomes 193.
std::string changeSpecialChars(std::string_view cText);
// CHANGESPECIALCHARS of `text` appended to `out`, without a string of its own.
void appendSubstituted(std::string& out, std::string_view text);

}  // namespace app
