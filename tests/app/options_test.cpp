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
      {{"t", "-o", "x"}, "[t][-o][x]"},  // options stop at the table
      {{"-", "N"}, "[-][N]"},
      {{"-h"}, "help "},
      {{"--help", "ignored"}, "help [ignored]"},
      {{"-V"}, "version "},
      {{"--version"}, "version "},
  };
  for (const Case& c : cases) {
    app::Options o;
    EXPECT_EQ(app::parseCommandLine(c.args, o), "") << c.parsed;
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
      {{"-d", ";;", "t"}, "dbf2csv: --delimiter ;;: takes one character or tab (dbf2csv --help)"},
      {{"--delimiter="}, "dbf2csv: --delimiter needs a value (dbf2csv --help)"},
      {{"--bom", "t"}, "dbf2csv: --bom needs --encoding (dbf2csv --help)"},
  };
  for (const Case& c : cases) {
    app::Options o;
    EXPECT_EQ(app::parseCommandLine(c.args, o), c.message);
  }
}

TEST(CommandLine, HelpListsEveryOptionOfTheTable) {
  const std::string help = app::optionHelp();
  for (const app::OptionSpec& o : app::optionTable()) {
    EXPECT_NE(help.find("--" + std::string(o.longName)), std::string::npos) << o.longName;
    EXPECT_NE(help.find(std::string(o.help)), std::string::npos) << o.longName;
  }
  EXPECT_NE(help.find("  -e, --encoding=CODEPAGE|auto"), std::string::npos) << help;
}

}  // namespace
