// Typed records as lines: RFC 4180 CSV (a field quoted only when it must
// be, NULL an empty unquoted field, "" an empty text, CR LF line ends) and
// JSON Lines (one object per record, LF line ends). Binary values are
// written as PostgreSQL's bytea text: \x and two hex digits per byte.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "src/app/typed_values.hpp"

namespace app {

// Appends the names of `columns` as the CSV field-name line.
void appendCsvNames(std::string& out, const std::vector<Column>& columns, char delimiter);
// Appends one record as a CSV line.
void appendCsvLine(std::string& out, const TypedReader& reader, std::span<const Cell> cells, char delimiter);

// The keys of a JSON object for `columns`: each name as a JSON string and a
// colon, the ones after the first led by a comma.
std::vector<std::string> jsonKeys(const std::vector<Column>& columns);
// Appends one record as a JSON object on a line of its own.
void appendJsonLine(std::string& out, const TypedReader& reader, std::span<const Cell> cells,
                    const std::vector<std::string>& keys);

// Appends `s` (UTF-8) as a JSON string: quotes, backslashes and control
// characters escaped.
void appendJsonString(std::string& out, std::string_view s);

// Appends \x and the hex digits of `bytes`.
void appendHex(std::string& out, std::string_view bytes);

}  // namespace app
