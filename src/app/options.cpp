#include "src/app/options.hpp"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/rt/os_file.hpp"
#include "platform/rt/status.hpp"
#include "src/app/sqlite_output.hpp"
#include "src/app/where_syntax.hpp"

namespace app {
namespace {

using rt::Status;

Status refused(std::string why) { return Status::invalidArgument(std::move(why)); }

Status setFlag(bool& flag) {
  flag = true;
  return Status::ok();
}

// A delimiter is one ASCII character, or "tab": a byte of 128 or more would
// be half a character in UTF-8 output, and one that would break the quoting
// or the lines is refused.
Status setDelimiter(Options& o, std::string_view value) {
  if (value == "tab") value = "\t";
  if (value.size() != 1 || static_cast<unsigned char>(value[0]) - 1u >= 127u) {
    return refused("takes one ASCII character or tab");
  }
  if (value[0] == '"' || value[0] == '\r' || value[0] == '\n') {
    return refused("cannot be a double quote, CR or LF");
  }
  o.delimiter = value[0];
  return Status::ok();
}

Status setText(std::optional<std::string>& to, std::string_view value) {
  to = std::string(value);
  return Status::ok();
}

Status setJobs(Options& o, std::string_view value) {
  unsigned n = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size() || n == 0) {
    return refused("takes a whole number above 0");
  }
  o.jobs = n;
  return Status::ok();
}

Status setCount(std::optional<std::uint64_t>& to, std::string_view value) {
  std::uint64_t n = 0;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size()) return refused("takes a whole number, 0 or more");
  to = n;
  return Status::ok();
}

// A list of field names: NAME,NAME,... with blanks around a name left out.
// An empty name ("A,,B", a trailing comma) is refused: it is a typo, and
// would otherwise select nothing without a word.
Status setNames(std::vector<std::string>& to, std::string_view value) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at <= value.size();) {
    const std::size_t comma = std::min(value.find(',', at), value.size());
    std::string_view name = value.substr(at, comma - at);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.empty()) return refused("takes field names separated by commas, none of them empty");
    names.emplace_back(name);
    at = comma + 1;
  }
  to = std::move(names);
  return Status::ok();
}

Status setChoice(std::string& to, std::string_view value, std::initializer_list<std::string_view> choices,
                 std::string_view why) {
  for (const std::string_view c : choices) {
    if (value == c) {
      to = std::string(value);
      return Status::ok();
    }
  }
  return refused(std::string(why));
}

constexpr std::array kOptions = {
    OptionSpec{'e', "encoding", "CODEPAGE|auto|guess",
               "convert text and field names from the code page to UTF-8",
               [](Options& o, std::string_view v) { return setText(o.encoding, v); }},
    OptionSpec{'\0', "info", "", "print the table's format, fields and code page (declared and guessed); convert nothing",
               [](Options& o, std::string_view) { return setFlag(o.info); }},
    OptionSpec{'\0', "bom", "", "with --encoding, write the UTF-8 byte order mark first",
               [](Options& o, std::string_view) { return setFlag(o.bom); }},
    OptionSpec{'\0', "rfc4180", "", "double the quotes inside values and keep line breaks",
               [](Options& o, std::string_view) { return setFlag(o.rfc4180); }},
    OptionSpec{'\0', "typed", "", "typed values: NULLs, numbers, ISO dates, true/false",
               [](Options& o, std::string_view) { return setFlag(o.typed); }},
    OptionSpec{'\0', "format", "csv|jsonl|sqlite", "the output: CSV, JSON Lines or an SQLite database",
               [](Options& o, std::string_view v) {
                 if (v == "sqlite" && !sqliteOutputAvailable()) return refused("this build writes no SQLite databases");
                 return setChoice(o.format, v, {"csv", "jsonl", "sqlite"}, "takes csv, jsonl or sqlite");
               }},
    OptionSpec{'\0', "schema", "postgres|sqlite", "a script beside the CSV that loads it",
               [](Options& o, std::string_view v) {
                 return setChoice(o.schema, v, {"postgres", "sqlite"}, "takes postgres or sqlite");
               }},
    OptionSpec{'\0', "fields", "A,B,...", "just these fields, in this order (letter case ignored)",
               [](Options& o, std::string_view v) { return setNames(o.fields, v); }, true},
    OptionSpec{'\0', "exclude", "A,B,...", "every field but these",
               [](Options& o, std::string_view v) { return setNames(o.exclude, v); }, true},
    OptionSpec{'\0', "deleted", "skip|include|only|mark",
               "records marked deleted: left out (default), written, written alone, or flagged in _DELETED",
               [](Options& o, std::string_view v) {
                 return setChoice(o.deleted, v, {"skip", "include", "only", "mark"},
                                  "takes skip, include, only or mark");
               }},
    OptionSpec{'\0', "recno", "", "a first field _RECNO: the record's number in the table",
               [](Options& o, std::string_view) { return setFlag(o.recno); }},
    OptionSpec{'\0', "limit", "N", "at most N records written; reading stops there",
               [](Options& o, std::string_view v) { return setCount(o.limit, v); }},
    OptionSpec{'\0', "where", "EXPR", "only the records for which the SQL condition EXPR is true",
               [](Options& o, std::string_view v) {
                 o.where = std::string(v);
                 return Status::ok();
               },
               true},
    OptionSpec{'d', "delimiter", "CHAR", "the byte between values (tab for TAB); default ,",
               setDelimiter},
    OptionSpec{'o', "output", "PATH", "the output file, - for stdout; a batch's folder",
               [](Options& o, std::string_view v) { return setText(o.output, v); }},
    OptionSpec{'\0', "batch", "", "the tables and folders named, one run per table",
               [](Options& o, std::string_view) { return setFlag(o.batch); }},
    OptionSpec{'r', "recursive", "", "with --batch, the tables of subfolders too",
               [](Options& o, std::string_view) { return setFlag(o.recursive); }},
    OptionSpec{'j', "jobs", "N", "with --batch, N tables at once (default: cores)",
               setJobs},
    OptionSpec{'\0', "no-names", "", "with --batch, no field-name line",
               [](Options& o, std::string_view) {
                 o.fieldNames = false;
                 return Status::ok();
               }},
    OptionSpec{'h', "help", "", "show this help and exit",
               [](Options& o, std::string_view) { return setFlag(o.help); }},
    OptionSpec{'V', "version", "", "show the version and exit",
               [](Options& o, std::string_view) { return setFlag(o.version); }},
};

Status usageError(const std::string& what) { return refused("dbf2csv: " + what + " (dbf2csv --help)"); }

const OptionSpec* findLong(std::string_view name) {
  for (const OptionSpec& o : kOptions) {
    if (o.longName == name) return &o;
  }
  return nullptr;
}

const OptionSpec* findShort(char c) {
  for (const OptionSpec& o : kOptions) {
    if (o.shortName != '\0' && o.shortName == c) return &o;
  }
  return nullptr;
}

std::string nameOf(const OptionSpec& o) { return "--" + std::string(o.longName); }

// Reads the option at args[i] (and its value, which may be the next
// argument); advances i past what it used.
Status readOption(const std::vector<std::string>& args, std::size_t& i, Options& options) {
  const std::string& arg = args[i++];
  const OptionSpec* option = nullptr;
  std::optional<std::string_view> value;
  if (arg.starts_with("--")) {
    const std::size_t eq = arg.find('=');
    option = findLong(std::string_view(arg).substr(2, eq == std::string::npos ? std::string::npos : eq - 2));
    if (eq != std::string::npos) value = std::string_view(arg).substr(eq + 1);
    if (!option) return usageError("unknown option " + arg.substr(0, eq));
  } else {
    option = findShort(arg[1]);
    if (!option) return usageError("unknown option " + arg.substr(0, 2));
    if (arg.size() > 2) value = std::string_view(arg).substr(2);
  }
  if (option->valueName.empty()) {
    if (value) return usageError(nameOf(*option) + " takes no value");
  } else {
    if (!value && i < args.size()) value = args[i++];
    if (!value || value->empty()) return usageError(nameOf(*option) + " needs a value");
  }
  const Status why = option->set(options, value.value_or(""));
  if (why.isOk()) return why;
  return usageError(nameOf(*option) + " " + std::string(*value) + ": " + why.message());
}

// The arguments of a batch: tables and folders, never the field-name flag
// of a single table, nor standard output for its CSV files.
Status checkBatch(const Options& o) {
  if (o.arguments.empty()) return usageError("--batch needs a table or a folder");
  if (o.output == "-") return usageError("--output -: a batch writes to a folder, not to standard output");
  for (const std::string& a : o.arguments) {
    if (a == "N" || a == "n") {
      return usageError(a + " after --batch: --no-names leaves out the field-name line, " + a +
                        ".DBF names a table " + a);
    }
  }
  return Status::ok();
}

// The typed outputs: --format and --schema imply --typed, which implies
// RFC 4180 quoting and UTF-8 text.
Status checkTyped(Options& o) {
  const bool otherFormat = o.format != "csv";
  if (!o.schema.empty() && otherFormat) return usageError("--schema goes with CSV output, not --format=" + o.format);
  if (otherFormat && (o.bom || o.delimiter != ',')) {
    return usageError(std::string(o.bom ? "--bom" : "--delimiter") + " goes with CSV output, not --format=" + o.format);
  }
  if (!o.schema.empty() && o.output && (o.output == "-" || rt::namesStandardOutput(*o.output))) {
    return usageError("--schema needs an output file: its script loads the CSV from it");
  }
  if (o.format == "sqlite" && o.output && (o.output == "-" || rt::namesStandardOutput(*o.output))) {
    return usageError("--format=sqlite writes a database file, not standard output");
  }
  o.typed = o.typed || otherFormat || !o.schema.empty();
  if (!o.typed) return Status::ok();
  o.rfc4180 = true;
  if (!o.encoding) o.encoding = "auto";
  return Status::ok();
}

// The condition is read before any table: a syntax error is the user's to
// mend, whatever the table. Text beyond ASCII can only meet the table's
// text once that is UTF-8.
Status checkWhere(const Options& o) {
  if (o.where.empty()) return Status::ok();
  where::Node tree;
  if (Status error = where::parseCondition(o.where, tree); !error.isOk()) return error;
  return o.encoding ? Status::ok() : where::checkAsciiLiterals(o.where, tree);
}

// Rules that join options.
Status checkTogether(Options& o) {
  if (Status error = checkTyped(o); !error.isOk()) return error;
  if (Status error = checkWhere(o); !error.isOk()) return error;
  if (o.bom && !o.encoding) return usageError("--bom needs --encoding");
  if (o.info && o.arguments.empty()) return usageError("--info needs a table");
  if (o.info && !o.batch && o.arguments.size() > 1) {
    return usageError("--info takes one table; several tables or folders with --batch");
  }
  if (!o.fields.empty() && !o.exclude.empty()) {
    return usageError("--fields and --exclude: name the fields to write, or those to leave out");
  }
  if (o.info && o.output) return usageError("--info writes nothing: --output does not go with it");
  if (o.batch) return checkBatch(o);
  if (o.recursive) return usageError("--recursive needs --batch");
  if (o.jobs != 0) return usageError("--jobs needs --batch");
  if (!o.fieldNames) return usageError("--no-names needs --batch");
  return Status::ok();
}

}  // namespace

std::span<const OptionSpec> optionTable() { return kOptions; }

Status parseCommandLine(const std::vector<std::string>& args, Options& options) {
  // Options stand anywhere, as GNU tools read them: a user who adds one
  // after the table must not get the default output without a word.
  std::size_t i = 0;
  while (i < args.size()) {
    const std::string& arg = args[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') {
      options.arguments.push_back(arg);
      ++i;
      continue;
    }
    if (Status error = readOption(args, i, options); !error.isOk()) return error;
  }
  options.arguments.insert(options.arguments.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return checkTogether(options);
}

void takeTextInUtf8(std::vector<std::string>& args, const std::vector<std::string>& utf8) {
  if (args.size() != utf8.size()) return;
  // The arguments are walked as parseCommandLine() reads them, so that a
  // value that looks like an option ("-o --where") stays the name it is.
  for (std::size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') continue;
    const bool isLong = arg.starts_with("--");
    const std::size_t eq = isLong ? arg.find('=') : std::string::npos;
    const OptionSpec* option = isLong ? findLong(std::string_view(arg).substr(2, eq == std::string::npos ? eq : eq - 2))
                                      : findShort(arg[1]);
    if (!option || option->valueName.empty()) continue;
    const bool joined = isLong ? eq != std::string::npos : arg.size() > 2;
    if (!joined) ++i;
    if (option->text && i < args.size()) args[i] = utf8[i];
  }
}

std::string optionHelp() {
  std::string out;
  for (const OptionSpec& o : kOptions) {
    std::string names = o.shortName != '\0' ? std::string("  -") + o.shortName + ", " : "      ";
    names += "--" + std::string(o.longName);
    if (!o.valueName.empty()) names += "=" + std::string(o.valueName);
    names.resize(std::max<std::size_t>(names.size() + 1, 30), ' ');
    out += names + std::string(o.help) + "\n";
  }
  return out;
}

std::vector<std::string> tableOptionArguments(const Options& o) {
  std::vector<std::string> args;
  if (o.encoding) args.push_back("--encoding=" + *o.encoding);
  if (o.bom) args.emplace_back("--bom");
  if (o.rfc4180) args.emplace_back("--rfc4180");
  if (o.delimiter != ',') {
    args.push_back("--delimiter=" + (o.delimiter == '\t' ? std::string("tab") : std::string(1, o.delimiter)));
  }
  if (o.typed) args.emplace_back("--typed");
  if (o.format != "csv") args.push_back("--format=" + o.format);
  if (!o.schema.empty()) args.push_back("--schema=" + o.schema);
  auto list = [](const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& n : names) joined += (joined.empty() ? "" : ",") + n;
    return joined;
  };
  if (!o.fields.empty()) args.push_back("--fields=" + list(o.fields));
  if (!o.exclude.empty()) args.push_back("--exclude=" + list(o.exclude));
  if (o.deleted != "skip") args.push_back("--deleted=" + o.deleted);
  if (o.recno) args.emplace_back("--recno");
  if (o.limit) args.push_back("--limit=" + std::to_string(*o.limit));
  if (!o.where.empty()) args.push_back("--where=" + o.where);
  return args;
}

}  // namespace app
