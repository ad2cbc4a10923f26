// Typed records as lines: RFC 4180 CSV (a field quoted only when it must
// be, NULL an empty unquoted field, "" an empty text, CR LF line ends) and
// JSON Lines (one object per record, LF line ends). Binary values are
// written as PostgreSQL's bytea text: \x and two hex digits per byte. The
// lines of records are TypedReader::csvLine() and jsonLine().
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "src/app/typed_values.hpp"

namespace app {

class LineWriter;

// The names of `columns` as the CSV field-name line in `out`, ended.
void csvNames(LineWriter& out, const std::vector<Column>& columns);

// The keys of a JSON object for `columns`: each name as a JSON string and a
// colon, the first led by {, the ones after it by a comma.
std::vector<std::string> jsonKeys(const std::vector<Column>& columns);

// Writes `s` (UTF-8) at `w` as a JSON string: quotes, backslashes and
// control characters escaped; the end (at most 6 * s.size() + 2 bytes on).
char* putJsonString(char* w, std::string_view s);
// The same appended to `out`.
void appendJsonString(std::string& out, std::string_view s);

// Writes \x and the hex digits of `bytes` at `w`; the end.
char* putHex(char* w, std::string_view bytes);

}  // namespace app
