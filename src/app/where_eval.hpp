// The condition of --where bound to a table and asked of its records: each
// field the condition names is read as its typed value (NULL for a blank
// number or date, a Visual FoxPro null flag or a `?` logical; text without
// its trailing blanks, in UTF-8 when the run converts text), and the tree is
// evaluated in SQL's three-valued logic.
#pragma once

#include <memory>
#include <string_view>

#include "src/app/line_format.hpp"
#include "src/app/record_condition.hpp"

namespace app {

// The condition `expression` (already accepted by the command line's
// check) for a table whose text the run reads by `format`, the run's own
// line format: its name rules decode text as the typed values do.
std::unique_ptr<RecordCondition> whereCondition(std::string_view expression, const LineFormat& format);

}  // namespace app
