// Scripts that create a table and load a typed CSV into it: for psql
// (`psql -v ON_ERROR_STOP=1 -f NAME.SQL` in the CSV's folder) and for the
// sqlite3 shell (`sqlite3 DATA.DB < NAME.SQL`); and the names and column
// types they give, which the SQLite output shares.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "src/app/typed_values.hpp"

namespace app {

struct SchemaSource {
  std::string table;    // the SQL table's name, as tableNameOf() gives it
  std::string csvFile;  // the CSV file's name, in the script's folder
  const std::vector<Column>& columns;
  char delimiter = ',';
  bool header = true;   // the CSV begins with the field-name line
};

// The table named after the DBF file `cName`: its file name lower-cased,
// without ".DBF".
std::string tableNameOf(const std::string& cName);

// `name` as an SQL identifier: as it is when it is a plain lower-case
// identifier and no reserved word, else in double quotes (doubled inside).
std::string sqlIdentifier(std::string_view name);

// The columns' names for SQL: lower-cased, made unique, and quoted as
// identifiers where they must be when `asIdentifiers`.
std::vector<std::string> sqlColumnNames(const std::vector<Column>& columns, bool asIdentifiers);

// The column type of `c` in SQLite: INTEGER, NUMERIC, REAL, TEXT or BLOB.
std::string_view sqliteType(const Column& c);

std::string postgresSchema(const SchemaSource& source);
std::string sqliteSchema(const SchemaSource& source);

}  // namespace app
