#include "platform/db/db_errors.hpp"

namespace db {

rt::ErrorPtr makeTableError(const TableError& e) {
  rt::ErrorPtr error = rt::makeError(e.condition, e.file, e.operation, e.osCode,
                                     rt::Value(rt::Array{rt::Value(e.file)}),
                                     {e.detail1, e.detail2});
  if (!e.more.empty()) error->description += ": " + e.more;
  if (e.canReread) error->canRetry = true;
  return error;
}

bool raiseAndRetry(const TableError& e) {
  const rt::ErrorPtr error = makeTableError(e);
  // A block that answers "retry" to an error that offers none would repeat
  // the same failure for ever: that answer counts as the default.
  return rt::raise(error).kind == rt::Answer::Retry && error->canRetry;
}

}  // namespace db
