// The command line of a batch: `dbf2csv [OPTIONS] --batch TABLE|FOLDER ...`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "src/batch/batch.hpp"

namespace batch {

// What the arguments ask for.
enum class CommandLine { NotBatch, Batch, UsageError };

// Reads a batch's arguments into `options`: -r/--recursive, -j/--jobs=N,
// -o/--output=FOLDER and --no-names before --batch, the tables and folders
// after it. NotBatch when --batch is not among the options; UsageError with
// `error` set (one line naming the option) for an unknown option, a missing
// or bad value, or no table or folder.
CommandLine readBatchArguments(const std::vector<std::string>& args, BatchOptions& options,
                               std::string& error);

// Runs the batch `args` ask for and gives its exit code (2 after telling of
// a usage error on `err`); nullopt when they do not ask for a batch.
std::optional<int> runBatchCommand(const std::vector<std::string>& args);

}  // namespace batch
