// The command line: options anywhere among the table and the field-name
// flag, or among the tables and folders of a batch. The options are one
// table, so that a new one is a row and a member.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rt/status.hpp"

namespace app {

// What the command line asks for.
struct Options {
  bool help = false;
  bool version = false;
  std::optional<std::string> encoding;  // a code page, or "auto"
  bool bom = false;
  bool rfc4180 = false;
  char delimiter = ',';
  std::optional<std::string> output;    // a path, or "-" for standard output; a batch's folder
  bool batch = false;                   // the arguments are tables and folders
  bool recursive = false;               // a batch's folders: their subfolders too
  unsigned jobs = 0;                    // a batch's children at once; 0: one per core
  bool fieldNames = true;               // false: a batch writes no field-name line
  bool typed = false;                   // values as data tools read them
  std::string format = "csv";           // csv, jsonl or sqlite
  std::string schema;                   // "", postgres or sqlite: a script beside the CSV
  bool info = false;                    // print what the tables hold, convert nothing
  std::string where;                    // a condition on the records written; "" for every record
  std::string deleted = "skip";         // the records marked deleted: skip, include, only or mark
  bool recno = false;                   // a first field _RECNO: the record's number in the table
  std::vector<std::string> fields;      // just these fields, in this order; empty: every field
  std::vector<std::string> exclude;     // every field but these
  std::optional<std::uint64_t> limit;   // at most this many records written
  std::vector<std::string> arguments;   // TABLE and FLAG, or a batch's tables and folders, as given
};

// One option: its short letter ('\0' for none), its long name, the name of
// its value in --help (empty when it takes none), one line for --help, and
// how it is stored: `set` returns ok, or why the value is refused
// (InvalidArgument, a few words that follow the option and its value).
// `text`: the value is text the user typed (field names, a condition) and
// is read in UTF-8, not a name of a file, which is read as the system
// spells names.
struct OptionSpec {
  char shortName;
  std::string_view longName;
  std::string_view valueName;
  std::string_view help;
  rt::Status (*set)(Options& options, std::string_view value);
  bool text = false;
};

// Every option, in the order --help lists them.
std::span<const OptionSpec> optionTable();

// Reads `args` (the arguments after the program name) into `options`:
// options ("-x VALUE", "-xVALUE", "--name VALUE", "--name=VALUE") wherever
// they stand up to "--", every other argument (and all after "--") as
// arguments in their order; "-" alone is an argument. Returns ok or, on a
// usage error, InvalidArgument with the one-line message that names the
// option and points to --help.
rt::Status parseCommandLine(const std::vector<std::string>& args, Options& options);

// The option lines of --help, one per option of optionTable().
std::string optionHelp();

// Puts into `args` the values of the options that are text, not names
// (OptionSpec::text), as `utf8` spells them: the same arguments in UTF-8,
// which on Windows differ from the ANSI ones. Left as they are when the two
// lists differ in length.
void takeTextInUtf8(std::vector<std::string>& args, const std::vector<std::string>& utf8);

// The options that shape one table's output (--encoding, --bom, --rfc4180,
// --delimiter, --typed, --format, --schema, and the choice of records and
// fields) as arguments that parseCommandLine() reads back to the same
// values: what a batch gives each table's run. Their text is UTF-8, as
// takeTextInUtf8() reads it back.
std::vector<std::string> tableOptionArguments(const Options& options);

}  // namespace app
