// The texts of --help and --version.
#include "src/app/usage.hpp"

#include "platform/ui/system.hpp"
#include "src/app/options.hpp"

#ifndef DBF2CSV_VERSION
#define DBF2CSV_VERSION "unknown"
#endif

namespace app {

std::string usageText() {
  return "Usage: dbf2csv [OPTIONS] [--] [TABLE[.DBF] [N]]\n"
         "       dbf2csv [OPTIONS] --batch TABLE|FOLDER ...\n"
         "       dbf2csv -h | --help | -V | --version\n"
         "\n"
         "Converts the DBF table TABLE (dBase, FoxPro, Visual FoxPro, with DBT or FPT\n"
         "memo files) into TABLE.CSV beside it: one line per record, every value in\n"
         "double quotes, separated by commas, every line ending in CR LF. The first\n"
         "line holds the field names unless the second argument begins with N or n.\n"
         "\n"
         "The bytes of the table are written as they are, except inside a value: a\n"
         "carriage return and byte 141 (a soft line break) become byte 191, a line\n"
         "feed byte 192 and a double quote byte 193, so every record is one line. A\n"
         "table whose code page uses byte 141 as a letter needs --encoding to keep it.\n"
         "\n"
         "Options (anywhere on the line; -- ends them, for a table whose name begins with -):\n" +
         optionHelp() +
         "\n"
         "  CODEPAGE is a number (866, cp1251), a name the system's converter knows\n"
         "  (koi8-r, latin1), auto: the code page the table declares in its header\n"
         "  or in a .CPG file beside it, or guess: the code page its text reads in,\n"
         "  named on standard error. With --encoding the substitutes for CR, LF and\n"
         "  the quote are the characters U+00BF, U+00C0 and U+00C1.\n"
         "\n"
         "Examples:\n"
         "  dbf2csv -e auto --rfc4180 -o orders.csv ORDERS\n"
         "      UTF-8 text that any CSV parser reads back exactly; then in PostgreSQL:\n"
         "      \\copy orders from 'orders.csv' with (format csv, header)\n"
         "      or in pandas: pandas.read_csv('orders.csv', encoding='utf-8')\n"
         "  dbf2csv -e 866 --bom -d ';' --rfc4180 CLIENTS\n"
         "      for a spreadsheet that expects semicolons (File > Open, or Data >\n"
         "      From Text/CSV, choose UTF-8 and the semicolon)\n"
         "  dbf2csv -d tab -o - ORDERS N | cut -f 2\n"
         "      tab-separated values on standard output, without the field names\n"
         "  dbf2csv --schema=postgres -o orders.csv ORDERS\n"
         "      typed values (NULLs, numbers, ISO dates, true/false) and orders.sql;\n"
         "      then: psql -v ON_ERROR_STOP=1 -f orders.sql\n"
         "  dbf2csv --typed -o orders.csv ORDERS\n"
         "      for DuckDB: SELECT * FROM read_csv('orders.csv'); for pandas:\n"
         "      pandas.read_csv('orders.csv', keep_default_na=False, na_values=[''])\n"
         "  dbf2csv --where=\"CITY IN ('Oslo', 'Bergen') AND DUE < DATE '2024-07-01'\" ORDERS\n"
         "      only the records for which the SQL condition is true: = <> < <= > >=,\n"
         "      BETWEEN, IN, LIKE, ILIKE, IS NULL, AND, OR, NOT; 'text', -12.5,\n"
         "      DATE 'YYYY-MM-DD', TIMESTAMP 'YYYY-MM-DD HH:MM:SS', TRUE, FALSE, NULL\n"
         "  dbf2csv --format=sqlite -o data.db ORDERS; dbf2csv --format=jsonl ORDERS\n"
         "      the table orders in the SQLite database data.db; ORDERS.JSONL\n"
         "  dbf2csv --fields=name,qty --limit=10 -o - ORDERS\n"
         "      two fields of the first ten records; --exclude=NOTES: all but one\n"
         "  dbf2csv --deleted=only --recno ORDERS\n"
         "      the records marked deleted, each after its number in the table;\n"
         "      --deleted=mark writes every record after a _DELETED field of T or F\n"
         "\n"
         "A job file RAZAVOZ.INP in the current directory, TABLE|unused|T (or F), takes\n"
         "the place of the arguments and is erased when read. With neither, a dialog\n"
         "asks for the table.\n"
         "\n"
         "--batch converts every table named and every table (*.DBF) of every folder\n"
         "named, each in a run of its own, several at once, and never waits for a\n"
         "person. --encoding, --bom, --rfc4180 and --delimiter apply to every table;\n"
         "-o names a folder (made when missing) for the CSV files, which keep the\n"
         "subfolders of -r; without it each CSV file lies beside its table. A table\n"
         "that ends in a runtime error leaves its error log as NAME.LOG beside its\n"
         "CSV file.\n"
         "\n"
         "Exit status: 0 when the table was converted; 1 when it was not (no table\n"
         "named, table not found or not openable, no code page declared, output not\n"
         "written, a field named that the table lacks, runtime error); 2 on a usage error (unknown option, missing or bad\n"
         "value); for a batch 0 when every table was converted, 1 otherwise, 130 when\n"
         "interrupted.\n"
         "\n"
         "Environment: DBF2CSV_UI=" + std::string(ui::sys::windowedBackend()) +
         "|terminal|headless chooses the user interface;\n"
         "with a display set the program shows windows and waits for OK, so scripts\n"
         "set DBF2CSV_UI=headless.\n";
}

std::string versionText() { return std::string("dbf2csv ") + DBF2CSV_VERSION + "\n"; }

}  // namespace app
