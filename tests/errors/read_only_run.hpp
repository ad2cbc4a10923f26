// Running a body of test code where a read-only file stays read-only,
// whoever runs the tests.
#pragma once

#include <functional>
#include <string>

namespace errors_test {

// Runs `body`, which says whether it ended the program, and gives 0 when it
// did not, 3 when it did, 2 when the run could not be set up. On a POSIX
// system it runs in a child process, under an unprivileged user when the
// tests run as root (root writes into read-only files), with `dir` open to
// that user; on Windows, where a read-only file is so for everyone, in this
// process.
int runWhereReadOnlyHolds(const std::string& dir, const std::function<bool()>& body);

}  // namespace errors_test
