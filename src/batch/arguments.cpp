#include "src/batch/arguments.hpp"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iostream>

#include "src/batch/processes.hpp"

namespace batch {

namespace {

constexpr int kUsageError = 2;

// The value of option `name` (short `-x` or long `--name`) at `args[i]`:
// "-xV", "-x V", "--name=V" or "--name V", where a separate value comes
// before `end`. nullopt when `args[i]` is not that option; `missing` too
// when it is but has no value.
std::optional<std::string> valueOf(const std::vector<std::string>& args, std::size_t& i,
                                   std::size_t end, const std::string& shortName,
                                   const std::string& longName, bool& missing) {
  const std::string& a = args[i];
  if (a == shortName || a == longName) {
    if (i + 1 >= end) {
      missing = true;
      return std::nullopt;
    }
    return args[++i];
  }
  if (a.starts_with(longName + "=")) return a.substr(longName.size() + 1);
  if (a.size() > shortName.size() && a.starts_with(shortName)) return a.substr(shortName.size());
  return std::nullopt;
}

std::optional<unsigned> jobCount(const std::string& text) {
  unsigned n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n == 0) return std::nullopt;
  return n;
}

}  // namespace

CommandLine readBatchArguments(const std::vector<std::string>& args, BatchOptions& options,
                               std::string& error) {
  const auto batchAt = std::find(args.begin(), args.end(), "--batch");
  if (batchAt == args.end()) return CommandLine::NotBatch;
  const std::size_t last = static_cast<std::size_t>(batchAt - args.begin());
  for (std::size_t i = 0; i < last; ++i) {
    const std::string& a = args[i];
    bool missing = false;
    if (a == "-r" || a == "--recursive") {
      options.recursive = true;
    } else if (a == "--no-names") {
      options.fieldNames = false;
    } else if (auto jobs = valueOf(args, i, last, "-j", "--jobs", missing)) {
      const auto n = jobCount(*jobs);
      if (!n) {
        error = "dbf2csv: " + a + ": the number of jobs must be a whole number above 0";
        return CommandLine::UsageError;
      }
      options.jobs = *n;
    } else if (auto folder = valueOf(args, i, last, "-o", "--output", missing)) {
      if (folder->empty() || *folder == "-") {
        error = "dbf2csv: " + a + ": a batch writes to a folder, not to standard output";
        return CommandLine::UsageError;
      }
      options.outputFolder = *folder;
    } else {
      error = "dbf2csv: " + (missing ? a + " needs a value" : "unknown option " + a);
      return CommandLine::UsageError;
    }
  }
  options.inputs.assign(batchAt + 1, args.end());
  if (options.inputs.empty()) {
    error = "dbf2csv: --batch needs a table or a folder";
    return CommandLine::UsageError;
  }
  return CommandLine::Batch;
}

std::optional<int> runBatchCommand(const std::vector<std::string>& args) {
  BatchOptions options;
  std::string error;
  switch (readBatchArguments(args, options, error)) {
    case CommandLine::NotBatch: return std::nullopt;
    case CommandLine::UsageError:
      std::cerr << error << " (dbf2csv --help)\n";
      return kUsageError;
    case CommandLine::Batch: break;
  }
  const char* ui = std::getenv("DBF2CSV_UI");
  const bool headless = ui && std::string(ui) == "headless";
  return runBatch(options, std::cerr, !headless && errorIsTerminal());
}

}  // namespace batch
