// Helpers of the database tests: opening a table under a driver with the
// error caught, and the text a value is written as in the export.
#pragma once

#include <optional>
#include <string>

#include "platform/rt/error.hpp"
#include "platform/rt/value.hpp"

namespace db_test {

// Opens `path` under `driver` in a new area with the alias "T" while a
// break block is in force. Returns the description of the error that broke
// the open, or nothing when the table opened.
std::optional<std::string> openUnder(const std::string& driver, const std::string& path,
                                     bool shared = true);

// Runs `body` under a break block; the description of the error that broke
// it, or nothing.
std::optional<std::string> caught(const std::function<void()>& body);

// The export's text of a value: dates as DTOS, logicals T/F, numbers as
// their stored text, character and memo bytes with CR, soft CR, LF and
// double quote replaced; trailing blanks removed.
std::string exported(const rt::Value& v);

// The export's lines for the current area: optionally the names, then every
// visible record from the top, each ended by CR LF.
std::string exportCurrentArea(bool names);

// The whole content of a file.
std::string slurp(const std::string& path);

}  // namespace db_test
