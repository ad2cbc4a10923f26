// The routine path of the export, for tables whose records are not kept as
// bytes: the record's values (DBF2ARRAY), each written as the text between
// the double quotes of the output (VARTOCHAR, TRIM, the line writer's
// substitutes).
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
// VARTOCHAR of `xValue` with its trailing blanks removed (TRIM), written by
// `out` as one field of its line: text as text (of a field that holds
// binary when `binary`), digits as they are. A value of another type than
// D, L, N, C or M shows "UNDETERMINED TYPE " and its type letter, and
// writes an empty field.
void writeValue(LineWriter& out, const rt::Value& xValue, bool binary = false);
// The line of a record's values (DBF2ARRAY's array), each by writeValue;
// `binary` marks the fields that hold binary. Valid until the writer's next
// line.
std::string_view valuesLine(LineWriter& out, const rt::Array& aRecord,
                            const std::vector<bool>& binary = {});

}  // namespace app
