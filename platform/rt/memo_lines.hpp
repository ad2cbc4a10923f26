// Memo texts as lines: MLCOUNT, MEMOLINE and HARDCR.
#pragma once

#include <string>
#include <string_view>

namespace rt {

// The wrap shared by MLCOUNT and MEMOLINE. A line break (CR LF, or a lone CR
// or LF) ends a line at once. With word wrap on, a line takes as many whole
// words as fit into `width` and ends after the last blank that fits; a word
// longer than the width is cut at the width. With it off, lines are cut at
// the width. Tabs advance to the next multiple of `tabSize`; a soft line
// break (bytes 141 10) counts as one blank. A width below 1 counts as 1.

// MLCOUNT: the number of lines of `text` ("" has none).
int mlCount(std::string_view text, int width, int tabSize = 4, bool wordWrap = true);

// MEMOLINE: line `lineNo` (from 1), blank-filled to `width`; "" beyond the last line.
std::string memoLine(std::string_view text, int width, int lineNo, int tabSize = 4,
                     bool wordWrap = true);

// HARDCR: every soft carriage return (byte 141) becomes a carriage return.
std::string hardCr(std::string_view text);

}  // namespace rt
