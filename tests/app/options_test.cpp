// The command line: every option in each of its spellings, the arguments
// after them, and the usage errors, word for word.
#include <gtest/gtest.h>

#include "src/app/options.hpp"

namespace {

// The options as one line, for comparing whole parses.
std::string summary(const app::Options& o) {
  std::string s;
  if (o.help) s += "help ";
  if (o.version) s += "version ";
  if (o.encoding) s += "encoding=" + *o.encoding + " ";
  if (o.bom) s += "bom ";
  if (o.rfc4180) s += "rfc4180 ";
  if (o.delimiter != ',') s += std::string("delimiter=") + (o.delimiter == '\t' ? "TAB" : std::string(1, o.delimiter)) + " ";
  if (o.output) s += "output=" + *o.output + " ";
  if (o.batch) s += "batch ";
  if (o.recursive) s += "recursive ";
  if (o.jobs != 0) s += "jobs=" + std::to_string(o.jobs) + " ";
  if (!o.fieldNames) s += "no-names ";
  for (const std::string& f : o.fields) s += "field=" + f + " ";
  for (const std::string& f : o.exclude) s += "exclude=" + f + " ";
  if (o.deleted != "skip") s += "deleted=" + o.deleted + " ";
  if (o.recno) s += "recno ";
  if (o.limit) s += "limit=" + std::to_string(*o.limit) + " ";
  for (const std::string& a : o.arguments) s += "[" + a + "]";
  return s;
}

TEST(CommandLine, OptionsInEverySpellingThenTheArguments) {
  struct Case {
    std::vector<std::string> args;
    std::string parsed;
  };
  const Case cases[] = {
      {{}, ""},
      {{"orders", "N"}, "[orders][N]"},
      {{"-e", "866", "t"}, "encoding=866 [t]"},
      {{"-ecp866", "t"}, "encoding=cp866 [t]"},
      {{"--encoding=auto", "--bom", "t"}, "encoding=auto bom [t]"},
      {{"--encoding", "koi8-r", "t"}, "encoding=koi8-r [t]"},
      {{"--rfc4180", "-d", ";", "t"}, "rfc4180 delimiter=; [t]"},
      {{"-dtab", "t"}, "delimiter=TAB [t]"},
      {{"--delimiter=|", "t"}, "delimiter=| [t]"},
      {{"-o", "-", "t"}, "output=- [t]"},
      {{"--output=out.csv", "t", "n"}, "output=out.csv [t][n]"},
      {{"--", "-odd", "N"}, "[-odd][N]"},
      {{"-d", ";", "--", "--help"}, "delimiter=; [--help]"},
      // Options stand anywhere before "--", as GNU tools read them.
      {{"t", "-o", "x"}, "output=x [t]"},
      {{"dbase_83", "--rfc4180", "N"}, "rfc4180 [dbase_83][N]"},
      {{"t", "--", "-o", "x"}, "[t][-o][x]"},
      {{"-", "N"}, "[-][N]"},
      {{"-h"}, "help "},
      {{"--help", "ignored"}, "help [ignored]"},
      {{"-V"}, "version "},
      {{"--version"}, "version "},
      {{"--batch", "data", "t.dbf"}, "batch [data][t.dbf]"},
      {{"-r", "-j", "3", "--no-names", "--batch", "data"}, "batch recursive jobs=3 no-names [data]"},
      {{"--batch", "--recursive", "--jobs=12", "-o", "out", "data"}, "output=out batch recursive jobs=12 [data]"},
      {{"-j2", "--batch", "-e", "auto", "--rfc4180", "-d;", "data"},
       "encoding=auto rfc4180 delimiter=; batch jobs=2 [data]"},
      {{"--batch", "data", "-r", "-o", "out", "more"}, "output=out batch recursive [data][more]"},
      {{"--batch", "Notes"}, "batch [Notes]"},
      {{"--fields=b, a ,B", "--limit", "0", "t"}, "field=b field=a field=B limit=0 [t]"},
      {{"--exclude", "NOTES", "--deleted=only", "--recno", "t"}, "exclude=NOTES deleted=only recno [t]"},
  };
  for (const Case& c : cases) {
    app::Options o;
    EXPECT_EQ(app::parseCommandLine(c.args, o).message(), "") << c.parsed;
    EXPECT_EQ(summary(o), c.parsed);
  }
}

TEST(CommandLine, UsageErrorsNameTheOptionAndTheHelp) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"--frobnicate", "t"}, "dbf2csv: unknown option --frobnicate (dbf2csv --help)"},
      {{"--frob=1", "t"}, "dbf2csv: unknown option --frob (dbf2csv --help)"},
      {{"-x", "t"}, "dbf2csv: unknown option -x (dbf2csv --help)"},
      {{"--HELP"}, "dbf2csv: unknown option --HELP (dbf2csv --help)"},
      {{"-e"}, "dbf2csv: --encoding needs a value (dbf2csv --help)"},
      {{"--output"}, "dbf2csv: --output needs a value (dbf2csv --help)"},
      {{"--output=", "t"}, "dbf2csv: --output needs a value (dbf2csv --help)"},
      {{"--rfc4180=yes", "t"}, "dbf2csv: --rfc4180 takes no value (dbf2csv --help)"},
      {{"-d", "\"", "t"}, "dbf2csv: --delimiter \": cannot be a double quote, CR or LF (dbf2csv --help)"},
      {{"-d", "\n", "t"}, "dbf2csv: --delimiter \n: cannot be a double quote, CR or LF (dbf2csv --help)"},
      {{"-d", ";;", "t"}, "dbf2csv: --delimiter ;;: takes one ASCII character or tab (dbf2csv --help)"},
      // A byte of 128 or more would be half a character in UTF-8 output.
      {{"-d", "\xa7", "t"}, "dbf2csv: --delimiter \xa7: takes one ASCII character or tab (dbf2csv --help)"},
      {{"t", "-x"}, "dbf2csv: unknown option -x (dbf2csv --help)"},
      {{"t", "N", "--output"}, "dbf2csv: --output needs a value (dbf2csv --help)"},
      {{"--delimiter="}, "dbf2csv: --delimiter needs a value (dbf2csv --help)"},
      {{"--bom", "t"}, "dbf2csv: --bom needs --encoding (dbf2csv --help)"},
      {{"--batch"}, "dbf2csv: --batch needs a table or a folder (dbf2csv --help)"},
      {{"-j", "0", "--batch", "data"}, "dbf2csv: --jobs 0: takes a whole number above 0 (dbf2csv --help)"},
      {{"--jobs=2x", "--batch", "data"}, "dbf2csv: --jobs 2x: takes a whole number above 0 (dbf2csv --help)"},
      {{"-j-1", "--batch", "data"}, "dbf2csv: --jobs -1: takes a whole number above 0 (dbf2csv --help)"},
      {{"--batch", "--jobs"}, "dbf2csv: --jobs needs a value (dbf2csv --help)"},
      {{"-o", "-", "--batch", "data"},
       "dbf2csv: --output -: a batch writes to a folder, not to standard output (dbf2csv --help)"},
      {{"--batch", "ORDERS", "N"},
       "dbf2csv: N after --batch: --no-names leaves out the field-name line, N.DBF names a table N "
       "(dbf2csv --help)"},
      {{"--batch", "n", "data"},
       "dbf2csv: n after --batch: --no-names leaves out the field-name line, n.DBF names a table n "
       "(dbf2csv --help)"},
      {{"-r", "t"}, "dbf2csv: --recursive needs --batch (dbf2csv --help)"},
      {{"-j", "2", "t"}, "dbf2csv: --jobs needs --batch (dbf2csv --help)"},
      {{"--no-names", "t"}, "dbf2csv: --no-names needs --batch (dbf2csv --help)"},
      {{"--batch=yes", "data"}, "dbf2csv: --batch takes no value (dbf2csv --help)"},
      {{"--fields=", "t"}, "dbf2csv: --fields needs a value (dbf2csv --help)"},
      {{"--fields=a,,b", "t"},
       "dbf2csv: --fields a,,b: takes field names separated by commas, none of them empty (dbf2csv --help)"},
      {{"--fields=a", "--exclude=b", "t"},
       "dbf2csv: --fields and --exclude: name the fields to write, or those to leave out (dbf2csv --help)"},
      {{"--limit=-1", "t"}, "dbf2csv: --limit -1: takes a whole number, 0 or more (dbf2csv --help)"},
      {{"--deleted=yes", "t"}, "dbf2csv: --deleted yes: takes skip, include, only or mark (dbf2csv --help)"},
  };
  for (const Case& c : cases) {
    app::Options o;
    const rt::Status s = app::parseCommandLine(c.args, o);
    EXPECT_EQ(s.code(), rt::StatusCode::InvalidArgument) << c.message;
    EXPECT_EQ(s.message(), c.message);
  }
}

TEST(CommandLine, HelpListsEveryOptionOfTheTable) {
  const std::string help = app::optionHelp();
  for (const app::OptionSpec& o : app::optionTable()) {
    EXPECT_NE(help.find("--" + std::string(o.longName)), std::string::npos) << o.longName;
    EXPECT_NE(help.find(std::string(o.help)), std::string::npos) << o.longName;
  }
  EXPECT_NE(help.find("  -e, --encoding=CODEPAGE|auto|guess"), std::string::npos) << help;
}

// A batch gives every table's run the options that shape its CSV; read
// back, they are the options given, and nothing else.
TEST(CommandLine, TableOptionArgumentsReadBackToTheSameOptions) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> tableArgs;
  };
  const Case cases[] = {
      {{"--batch", "d"}, {}},
      {{"-r", "-j", "2", "--no-names", "-o", "out", "--batch", "d"}, {}},
      {{"-e", "auto", "--bom", "--rfc4180", "-d", ";", "--batch", "d"},
       {"--encoding=auto", "--bom", "--rfc4180", "--delimiter=;"}},
      {{"-ecp866", "-dtab", "--batch", "d"}, {"--encoding=cp866", "--delimiter=tab"}},
      {{"-d", "t", "--batch", "d"}, {"--delimiter=t"}},
      {{"-d", "=", "--batch", "d"}, {"--delimiter=="}},
      {{"--fields", "B, a", "--deleted=mark", "--recno", "--limit=7", "--batch", "d"},
       {"--fields=B,a", "--deleted=mark", "--recno", "--limit=7"}},
      {{"--exclude=x", "--batch", "d"}, {"--exclude=x"}},
  };
  for (const Case& c : cases) {
    app::Options given;
    ASSERT_TRUE(app::parseCommandLine(c.args, given).isOk());
    const std::vector<std::string> tableArgs = app::tableOptionArguments(given);
    EXPECT_EQ(tableArgs, c.tableArgs);
    std::vector<std::string> again = tableArgs;
    again.emplace_back("T");
    app::Options read;
    ASSERT_TRUE(app::parseCommandLine(again, read).isOk());
    app::Options expected = given;
    expected.output.reset();
    expected.batch = expected.recursive = false;
    expected.jobs = 0;
    expected.fieldNames = true;
    expected.arguments = {"T"};
    EXPECT_EQ(summary(read), summary(expected));
  }
}

}  // namespace
