// The texts of --help and --version.
#include "src/app/usage.hpp"


#ifndef DBF2CSV_VERSION
#define DBF2CSV_VERSION "unknown"
#endif

namespace app {

std::string usageText() {
  return "Usage: dbf2csv [TABLE[.DBF] [N]]\n"
         "       dbf2csv --help | --version\n"
         "\n"
         "Converts the DBF table TABLE (dBase, FoxPro, Visual FoxPro, with DBT or FPT\n"
         "memo files) into TABLE.CSV beside it: one line per record, every value in\n"
         "double quotes, separated by commas, every line ending in CR LF. Line breaks\n"
         "and double quotes inside values become the bytes 191, 192 and 193. The first\n"
         "line holds the field names unless the second argument begins with N or n.\n"
         "\n"
         "A job file RAZAVOZ.INP in the current directory, TABLE|unused|T (or F), takes\n"
         "the place of the arguments and is erased when read. With neither, a dialog\n"
         "asks for the table.\n"
         "\n"
         "Exit status: 0 when the table was converted; 1 when it was not (no table\n"
         "named, table not found or not openable, output not written, runtime error).\n"
         "\n"
         "Environment: DBF2CSV_UI=qt|terminal|headless chooses the user interface.\n";
}

std::string versionText() { return std::string("dbf2csv ") + DBF2CSV_VERSION + "\n"; }

}  // namespace app
