#include "src/batch/batch.hpp"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <thread>

#include "platform/rt/paths.hpp"
#include "platform/rt/status.hpp"
#include "platform/rt/sysinfo.hpp"
#include "src/app/schema.hpp"
#include "src/app/typed_values.hpp"
#include "src/batch/discovery.hpp"
#include "src/batch/private_folders.hpp"
#include "src/batch/processes.hpp"
#include "src/batch/report.hpp"
#include "src/batch/scheduler.hpp"
#include "src/batch/table_job.hpp"

namespace batch {

namespace {

namespace fs = std::filesystem;

// Whether CSV files can go into the output folder `folder`: a failure
// when it cannot be made or nothing can be written in it, its message the
// sentence for the user. Checked before any table starts, so that a wrong
// -o fails once rather than table by table. The private folder made to
// find out stays in `folders` for the first table.
rt::Status checkOutputFolder(const std::string& folder, PrivateFolders& folders) {
  const std::string shown = systemSeparators(folder);
  const std::string where = rt::resolvePath(folder);
  std::error_code ec;
  fs::create_directories(where, ec);
  const auto failure = [&](const char* what) {
    return rt::Status::fromOsCode(rt::osCodeOfSystemError(ec.value()), std::string("Not able to ") + what +
                                                                 " the output folder " + shown + ": " +
                                                                 ec.message() + ".")
        .about(shown);
  };
  if (ec) return failure("create");
  const std::string taken = folders.take(where, ec);
  if (taken.empty()) return failure("write in");
  folders.giveBack(taken);
  return rt::Status::ok();
}

// The name of each table in the batch's one database: its file's, made
// unique in the order the tables were found.
void nameSqlTables(std::vector<Table>& tables) {
  std::vector<std::string> names;
  for (const Table& t : tables) names.push_back(app::tableNameOf(t.path));
  names = app::uniqueNames(std::move(names), true);
  for (std::size_t i = 0; i < tables.size(); ++i) tables[i].sqlTable = std::move(names[i]);
}

}  // namespace

int runBatch(const BatchOptions& options, std::ostream& err, bool terminal) {
  Found found = findTables(options);
  std::vector<Table>& tables = found.tables;
  for (const std::string& input : found.missing)
    err << systemSeparators(input) << ": No such folder or table.\n";
  if (options.database) {
    if (fs::is_directory(*options.database)) {
      err << "Not able to write " << systemSeparators(*options.database)
          << ": it is a folder; --format=sqlite -o names the one database of every table.\n";
      return 1;
    }
    nameSqlTables(tables);
  }
  largestFirst(tables);
  PrivateFolders folders;  // outlives the jobs, which give their folders back
  if (options.outputFolder && !tables.empty()) {
    if (const rt::Status s = checkOutputFolder(*options.outputFolder, folders); !s.isOk()) {
      err << s.message() << '\n';
      return 1;
    }
  }
  const JobSettings settings{options.program.empty() ? rt::appName(true) : options.program,
                             options.childOptions, options.fieldNames, &folders, options.extension,
                             options.schema, options.database.value_or("")};
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
  if (tables.empty() && found.missing.size() < options.inputs.size()) {
    err << "No table found in";
    for (const std::string& input : options.inputs) {
      if (std::find(found.missing.begin(), found.missing.end(), input) == found.missing.end())
        err << ' ' << systemSeparators(input);
    }
    err << ".\n";
  }
  bool interrupted = false;
  {
    Children children;
    interrupted = runJobs(jobs, parallel, children, report);
  }
  report.summary(interrupted);
  if (interrupted) return kInterrupted;
  return found.missing.empty() ? report.exitCode() : 1;
}

}  // namespace batch
