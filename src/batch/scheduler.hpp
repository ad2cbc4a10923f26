// Running the tables of a batch: one child each, at most so many at once.
#pragma once

#include <vector>

#include "src/batch/processes.hpp"
#include "src/batch/report.hpp"
#include "src/batch/table_job.hpp"

namespace batch {

// Starts the jobs in their order (largest first, so that the last ones to
// run are short and the cores finish together), at most `parallel` at
// once, and tells `report` of each start and end. Once `children` is
// interrupted no job starts any more, the running children are ended and
// their private folders removed. Returns true when interrupted.
bool runJobs(std::vector<TableJob>& jobs, unsigned parallel, Children& children, Report& report);

}  // namespace batch
