// The line format a run writes, from its options and the table: the
// delimiter, RFC 4180 quoting, and the code page the text is converted from.
#pragma once

#include <string>
#include <string_view>

#include "platform/rt/status.hpp"
#include "src/app/line_format.hpp"

namespace db {
class Table;
}

namespace app {

struct Options;

// The output name that stands for standard output.
inline constexpr std::string_view kStandardOutput = "-";

// Sets `format` to the one `options` ask for when writing `table`, opened
// from `cName`. With --encoding=auto the code page is the one declared
// (declaredCodePage()); with --encoding=guess the one its text reads in,
// told on standard error. A failure, about `cName`, has the message for the
// user: InvalidArgument when the table declares none, NotSupported when the
// code page cannot be converted here.
rt::Status outputFormat(const Options& options, const std::string& cName, db::Table& table,
                        LineFormat& format);

// outputFormat() for the text of typed values: the code page's characters,
// nothing substituted or doubled, whatever --rfc4180, --bom and --delimiter
// say (the typed writers quote for their own format).
rt::Status typedTextFormat(const Options& options, const std::string& cName, db::Table& table,
                           LineFormat& format);

// The code page the header of `table` declares, else the one named in a
// .CPG file beside it; "" when neither names one.
std::string declaredCodePage(const std::string& cName, const db::Table& table);

// Ok or, when --encoding names a code page that cannot be converted here
// (not "auto" nor "guess"), the usage error that says so in one line: checked once,
// before any table is read, for a single run as for a batch.
rt::Status checkEncoding(const Options& options);

// The code page named in the .CPG file beside `cName` (any letter case),
// "" when there is none.
std::string companionCodePage(const std::string& cName);

}  // namespace app
