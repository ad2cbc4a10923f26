// Running the built dbf2csv as a calling program would: in a directory of
// its own, headless, with what it prints and its exit code captured.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct Run {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;    // standard output
  std::string err;    // standard error
};

struct RunOptions {
  // The largest file the program may write (RLIMIT_FSIZE); a write beyond
  // it fails as on a full disk.
  std::optional<off_t> fileSizeLimit;
};

// Runs dbf2csv with `args` in `directory`, standard input empty, under
// DBF2CSV_UI=headless.
Run runProgram(const std::string& directory, const std::vector<std::string>& args,
               const RunOptions& options = {});

}  // namespace e2e
