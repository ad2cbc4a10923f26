#include "src/batch/arguments.hpp"

#include <cstdlib>
#include <iostream>

#include "platform/rt/strings.hpp"
#include "src/app/run_parameters.hpp"
#include "src/batch/processes.hpp"

namespace batch {

BatchOptions batchOptions(const app::Options& options) {
  BatchOptions batch;
  batch.inputs = options.arguments;
  batch.recursive = options.recursive;
  batch.jobs = options.jobs;
  // An SQLite batch's -o names one database for every table.
  (options.format == "sqlite" ? batch.database : batch.outputFolder) = options.output;
  batch.fieldNames = options.fieldNames;
  batch.childOptions = app::tableOptionArguments(options);
  batch.extension = app::outputExtension(options.format);
  batch.schema = !options.schema.empty();
  return batch;
}

int runBatchCommand(const app::Options& options) {
  // DBF2CSV_UI=headless asks for the lines of a run without a terminal.
  const char* ui = std::getenv("DBF2CSV_UI");
  const bool headless = ui && rt::upper(ui) == "HEADLESS";
  return runBatch(batchOptions(options), std::cerr, !headless && errorIsTerminal());
}

}  // namespace batch
