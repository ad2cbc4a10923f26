// A condition a record must meet to be written (--where), as the record
// choice of an export asks it: bound once to the open table, then asked of
// each record the table stands on.
#pragma once

#include "platform/rt/status.hpp"

namespace db {
class Table;
}

namespace app {

class RecordCondition {
 public:
  virtual ~RecordCondition() = default;
  // Resolves the fields the condition names in `table` and checks the
  // literals against their types. InvalidArgument, with a sentence that
  // names the field, for a field the table lacks or a comparison of a field
  // with a literal of another type; the run then fails with exit 1 before
  // any output is made.
  [[nodiscard]] virtual rt::Status bind(const db::Table& table) = 0;
  // Whether the current record of the bound table meets the condition; an
  // unknown result (a comparison with NULL) is false.
  virtual bool holds() = 0;
};

}  // namespace app
