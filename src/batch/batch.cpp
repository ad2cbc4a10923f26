#include "src/batch/batch.hpp"

#include <algorithm>
#include <ostream>
#include <thread>

#include "platform/rt/sysinfo.hpp"
#include "src/batch/discovery.hpp"
#include "src/batch/private_folders.hpp"
#include "src/batch/processes.hpp"
#include "src/batch/report.hpp"
#include "src/batch/scheduler.hpp"
#include "src/batch/table_job.hpp"

namespace batch {

int runBatch(const BatchOptions& options, std::ostream& err, bool terminal) {
  std::vector<Table> tables = findTables(options);
  largestFirst(tables);
  PrivateFolders folders;  // outlives the jobs, which give their folders back
  const JobSettings settings{options.program.empty() ? rt::appName(true) : options.program,
                             options.childOptions, options.fieldNames, &folders};
  std::vector<TableJob> jobs;
  jobs.reserve(tables.size());
  std::uint64_t bytes = 0;
  for (const Table& table : tables) {
    jobs.emplace_back(table, settings);
    bytes += table.bytes;
  }
  const unsigned parallel =
      options.jobs > 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());

  Report report(err, terminal, tables.size(), bytes);
  if (tables.empty()) {
    err << "No table found in";
    for (const std::string& input : options.inputs) err << ' ' << input;
    err << ".\n";
  }
  bool interrupted = false;
  {
    Children children;
    interrupted = runJobs(jobs, parallel, children, report);
  }
  report.summary(interrupted);
  return interrupted ? kInterrupted : report.exitCode();
}

}  // namespace batch
