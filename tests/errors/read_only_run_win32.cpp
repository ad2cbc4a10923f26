#include "tests/errors/read_only_run.hpp"

namespace errors_test {

int runWhereReadOnlyHolds(const std::string&, const std::function<bool()>& body) { return body() ? 3 : 0; }

}  // namespace errors_test
