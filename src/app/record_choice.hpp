// Which records and which fields an export writes (--deleted, --recno,
// --fields, --exclude, --where, --limit): made once per table, before any
// output exists, then asked of each record. Every output path (the CSV of
// stored bytes, the routine path, the typed outputs) reads through it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/status.hpp"
#include "platform/rt/value.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/app/options.hpp"
#include "src/app/record_condition.hpp"

namespace app {

// The fields of each output line: _RECNO and _DELETED first when asked,
// then the table's fields by number (from 1) in output order.
struct FieldChoice {
  bool recno = false;
  bool deleted = false;
  std::vector<int> fields;
};

// Every field of a table of `nCount` fields, in its order.
FieldChoice everyFieldOf(int nCount);

inline constexpr const char* kRecnoName = "_RECNO";
inline constexpr const char* kDeletedName = "_DELETED";

class RecordChoice {
 public:
  explicit RecordChoice(const Options& options);
  // Puts back the Deleted setting bind() changed.
  ~RecordChoice();
  RecordChoice(const RecordChoice&) = delete;
  RecordChoice& operator=(const RecordChoice&) = delete;

  // Resolves the field names against `table` (shown as `cName`); shows the
  // records marked deleted to the work area when the mode writes them.
  // InvalidArgument, a sentence naming the field, for a name the table lacks.
  [[nodiscard]] rt::Status bind(const db::Table& table, const std::string& cName);

  // The condition a record must meet besides the deleted mode, bound to the
  // table bind() was given (once the code page it reads text by is known);
  // InvalidArgument, a sentence, for what the condition refuses.
  [[nodiscard]] rt::Status setCondition(std::unique_ptr<RecordCondition> condition);

  const FieldChoice& fields() const { return fields_; }
  // Whether the fields are the table's, all of them in their order.
  bool everyField() const { return everyField_; }

  // Whether the limit is reached: no more records need reading.
  bool done() const { return limit_ && written_ >= *limit_; }
  // Whether the current record is written; counts it as read, and as
  // written when it is.
  bool take() {
    ++read_;
    if (onlyDeleted_ && !table_->deleted()) return false;
    if (condition_ && !condition_->holds()) return false;
    ++written_;
    return true;
  }
  std::uint64_t read() const { return read_; }
  std::uint64_t written() const { return written_; }
  // Whether the report tells the records read beside those written: only
  // when some were passed over by choice.
  bool tellsRead() const { return onlyDeleted_ || condition_ != nullptr; }

 private:
  std::vector<int> resolve(const db::Table& table, const std::string& cName, rt::Status& status) const;

  FieldChoice fields_;
  bool everyField_ = true;
  bool showDeleted_ = false;  // records marked deleted are read
  bool onlyDeleted_ = false;
  std::vector<std::string> names_, exclude_;
  std::optional<std::uint64_t> limit_;
  std::unique_ptr<RecordCondition> condition_;
  const db::Table* table_ = nullptr;
  std::optional<rt::Value> previousDeleted_;
  std::uint64_t read_ = 0, written_ = 0;
};

// From the current record of the table in the current work area on: moves
// `oProgress` (when there is one) to each record read, with the records
// written so far, and calls `write()` for each record `choice` takes, until
// the end of the table, the limit, or `write()` returning false.
template <class Write>
void forEachChosen(RecordChoice& choice, ui::ProgressBar* oProgress, Write&& write) {
  // The table and the bar are moved directly, not through the work area's
  // lookups: the loop is the run's, with the table's area current.
  db::Table& table = *db::currentTable();
  while (!table.eof() && !choice.done()) {
    const bool taken = choice.take();
    if (oProgress) oProgress->update(table.recNo(), choice.written());
    if (taken && !write()) return;
    table.skip();
  }
}

// The values of a record (DBF2ARRAY's array) as `fields` lays them out,
// the leading ones of the current record; for the routine path.
void chosenValues(const rt::Array& aRecord, const FieldChoice& fields, rt::Array& aChosen);

}  // namespace app
