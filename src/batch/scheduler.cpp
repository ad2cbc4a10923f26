#include "src/batch/scheduler.hpp"

#include <map>

namespace batch {

bool runJobs(std::vector<TableJob>& jobs, unsigned parallel, Children& children, Report& report) {
  std::map<ProcessId, TableJob*> running;
  std::size_t next = 0;
  for (;;) {
    while (!children.interrupted() && running.size() < parallel && next < jobs.size()) {
      TableJob& job = jobs[next++];
      report.started(job.table());
      const std::optional<ChildCommand> command = job.prepare();
      if (!command) {
        report.finished(job.table(), job.failure(job.prepareFailure()));
        continue;
      }
      ProcessId id{};
      if (const rt::Status s = children.start(*command, id); !s.isOk()) {
        report.finished(job.table(),
                        job.failure("Not able to start " + command->program + ": " + s.message() + "."));
        continue;
      }
      running.emplace(id, &job);
    }
    if (running.empty()) break;
    const std::optional<ChildEnd> end = children.waitNext();
    if (!end) break;  // interrupted
    const auto it = running.find(end->id);
    if (it == running.end()) continue;
    TableJob& job = *it->second;
    running.erase(it);
    report.finished(job.table(), job.finish(*end));
  }
  for (auto& [id, job] : running) {
    children.end(id);
    job->discard();
  }
  return children.interrupted();
}

}  // namespace batch
