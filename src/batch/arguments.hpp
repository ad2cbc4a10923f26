// A batch asked for on the command line: `dbf2csv [OPTIONS] --batch
// TABLE|FOLDER ...`, read by the program's one option parser.
#pragma once

#include "src/app/options.hpp"
#include "src/batch/batch.hpp"

namespace batch {

// The batch `options` ask for: their arguments as the tables and folders,
// -o as the output folder, and the options that shape a table's CSV
// (encoding, BOM, RFC 4180, delimiter) given to every table's run.
BatchOptions batchOptions(const app::Options& options);

// Runs the batch `options` ask for (options.batch set, no usage error),
// telling the user on standard error, and gives its exit code.
int runBatchCommand(const app::Options& options);

}  // namespace batch
