#include "src/app/sqlite_output.hpp"

#include <sqlite3.h>

#include <memory>

#include "platform/db/workarea.hpp"
#include "platform/rt/atomic_file.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/paths.hpp"
#include "src/app/record_choice.hpp"
#include "src/app/schema.hpp"

namespace app {
namespace {

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Database = std::unique_ptr<sqlite3, CloseDb>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Runs `sql`; false with `problem` set to SQLite's words on a failure.
bool exec(sqlite3* db, const std::string& sql, std::string& problem) {
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  problem = sqlite3_errmsg(db);
  return false;
}

std::string createSql(const std::string& table, const std::vector<Column>& columns) {
  const std::vector<std::string> names = sqlColumnNames(columns, true);
  std::string sql = "CREATE TABLE " + sqlIdentifier(table) + " (";
  for (std::size_t i = 0; i < names.size(); ++i) {
    sql += (i ? ", " : "") + names[i] + " " + std::string(sqliteType(columns[i]));
  }
  return sql + ")";
}

std::string insertSql(const std::string& table, std::size_t columns) {
  std::string sql = "INSERT INTO " + sqlIdentifier(table) + " VALUES (";
  for (std::size_t i = 0; i < columns; ++i) sql += i ? ",?" : "?";
  return sql + ")";
}

bool bindRecord(sqlite3_stmt* insert, const TypedReader& reader, std::span<const Cell> cells) {
  int rc = SQLITE_OK;
  for (std::size_t i = 0; i < cells.size() && rc == SQLITE_OK; ++i) {
    const Cell& c = cells[i];
    const int at = static_cast<int>(i) + 1;
    const std::string_view text = reader.text(c);
    switch (c.kind) {
      case CellKind::Null: rc = sqlite3_bind_null(insert, at); break;
      case CellKind::Logical: rc = sqlite3_bind_int(insert, at, text == "true" ? 1 : 0); break;
      case CellKind::Binary:
        rc = sqlite3_bind_blob64(insert, at, text.data(), text.size(), SQLITE_STATIC);
        break;
      default:
        // Numbers as their text: the column's affinity stores them as
        // integers or reals, exactly where the digits allow.
        rc = sqlite3_bind_text64(insert, at, text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    }
  }
  return rc == SQLITE_OK;
}

// The records into `db`, in the transaction the caller holds.
bool writeRecords(sqlite3* db, const std::string& table, TypedReader& reader, RecordChoice& choice,
                  ui::ProgressBar* oProgress, std::string& problem) {
  if (!exec(db, "DROP TABLE IF EXISTS " + sqlIdentifier(table), problem) ||
      !exec(db, createSql(table, reader.columns()), problem)) {
    return false;
  }
  sqlite3_stmt* raw = nullptr;
  const std::string sql = insertSql(table, reader.columns().size());
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    problem = sqlite3_errmsg(db);
    return false;
  }
  const Statement insert(raw);
  bool ok = true;
  forEachChosen(choice, oProgress, [&] {
    ok = bindRecord(raw, reader, reader.read()) && sqlite3_step(raw) == SQLITE_DONE;
    if (!ok) problem = sqlite3_errmsg(db);
    sqlite3_reset(raw);
    return ok;
  });
  return ok;
}

// SQLite takes names in UTF-8, whatever the system's own names are in.
Database open(const std::string& path, int flags, std::string& problem) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(rt::utf8Name(path).c_str(), &raw, flags, nullptr);
  Database db(raw);
  if (rc != SQLITE_OK) problem = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
  return rc == SQLITE_OK ? std::move(db) : Database();
}

}  // namespace

bool sqliteOutputAvailable() { return true; }

bool writeSqlite(const std::string& cOutput, const std::string& table, TypedReader& reader, RecordChoice& choice,
                 ui::ProgressBar* oProgress, std::string& problem) {
  if (rt::file(cOutput)) {
    // An existing database keeps its other tables: one journaled
    // transaction replaces this one, or nothing changes.
    Database db = open(cOutput, SQLITE_OPEN_READWRITE, problem);
    if (!db || !exec(db.get(), "BEGIN IMMEDIATE", problem)) return false;
    if (writeRecords(db.get(), table, reader, choice, oProgress, problem) &&
        exec(db.get(), "COMMIT", problem)) {
      return true;
    }
    sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  // A new database is written whole under a temporary name, without a
  // journal, and renamed into place only when complete.
  rt::AtomicFile file(cOutput);
  if (!file.ok() || file.tempPath().empty()) {
    problem = file.ok() ? "a database is written to a file, not a device" : file.status().message();
    return false;
  }
  {
    Database db = open(file.tempPath(), SQLITE_OPEN_READWRITE, problem);
    if (!db || !exec(db.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", problem) ||
        !writeRecords(db.get(), table, reader, choice, oProgress, problem) ||
        !exec(db.get(), "COMMIT", problem)) {
      return false;
    }
    if (sqlite3_close(db.release()) != SQLITE_OK) {
      problem = "the database could not be closed";
      return false;
    }
  }
  const rt::Status s = file.commit();
  if (s.isOk()) return true;
  problem = s.message();
  return false;
}

bool copySqliteTable(const std::string& from, const std::string& to, const std::string& table,
                     std::string& problem) {
  const Database db = open(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, problem);
  if (!db) return false;
  std::string literal = "'";
  for (const char c : rt::utf8Name(from)) literal += c == '\'' ? std::string("''") : std::string(1, c);
  if (!exec(db.get(), "ATTACH DATABASE " + literal + "' AS source", problem)) return false;
  // The table the run made, under the name the run gave it.
  std::string name, create;
  {
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db.get(), "SELECT name, sql FROM source.sqlite_master WHERE type = 'table'", -1, &query,
                       nullptr);
    const Statement owned(query);
    if (query && sqlite3_step(query) == SQLITE_ROW) {
      name = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
      create = reinterpret_cast<const char*>(sqlite3_column_text(query, 1));
    }
  }
  const std::string prefix = "CREATE TABLE " + sqlIdentifier(name);
  if (name.empty() || !create.starts_with(prefix)) {
    problem = "the table's database holds no table of its own";
    return false;
  }
  const std::string target = "main." + sqlIdentifier(table);
  if (!exec(db.get(), "BEGIN IMMEDIATE", problem)) return false;
  if (exec(db.get(), "DROP TABLE IF EXISTS " + target, problem) &&
      exec(db.get(), "CREATE TABLE " + target + create.substr(prefix.size()), problem) &&
      exec(db.get(), "INSERT INTO " + target + " SELECT * FROM source." + sqlIdentifier(name), problem) &&
      exec(db.get(), "COMMIT", problem)) {
    return true;
  }
  sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  return false;
}

}  // namespace app
