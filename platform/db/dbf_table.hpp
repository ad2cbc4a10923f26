// One open DBF table: navigation in natural order over the record file,
// deleted records passed over while setting 11 (Deleted) is on, and field
// values decoded from the current record's bytes on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/db/dbf_header.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/field_decode.hpp"
#include "platform/db/memo_file.hpp"
#include "platform/rt/os_file.hpp"
#include "platform/db/record_reader.hpp"

namespace db {

class DbfTable : public Table {
 public:
  // Takes over the opened (and locked) table file, its parsed header and its
  // memo file (null when no field needs one). Stands on the first visible
  // record.
  DbfTable(std::string path, rt::OsFile file, TableHeader header, std::unique_ptr<MemoFile> memo);
  // The reader refers to the file member: the table stays where it was made.
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;

  std::uint32_t lastRec() const override { return header_.recordCount; }
  int fieldCount() const override { return static_cast<int>(visible_.size()); }
  const std::string& fieldName(int pos) const override;
  // A record the file does not hold raises a runtime error: Retry reads it
  // again, Default ends the table there (end of file).
  void goTop() override;
  void skip() override;
  bool eof() const override { return eof_; }
  std::uint32_t recNo() const override { return recNo_; }
  // The record shown at end of file is blank, so never deleted.
  bool deleted() const override { return record_[0] == '*'; }
  // NIL for a position outside 1..fieldCount(). A memo that cannot be read
  // raises a runtime error: Retry reads it again, Default gives an empty memo.
  rt::Value fieldGet(int pos) override;
  std::string declaredCodePage() const override;
  bool isNull(int pos) const override;
  bool memoBytes(int pos, std::string& out) override;
  bool goTo(std::uint32_t n) override {
    moveTo(n, nullptr);
    return !eof_;
  }
  std::optional<RecordView> recordView() const override {
    return RecordView{record_, header_.recordLength, stored_};
  }

 private:
  // Moves to record `n` (end of file beyond the last). A failed read raises
  // an error of `operation`, or quietly ends the table when it is null.
  void moveTo(std::uint32_t n, const char* operation);
  void passDeleted(const char* operation);
  bool isNull(const FieldDesc& f) const;
  bool bitSet(int bit) const;
  rt::Value memoValue(const FieldDesc& f, const std::uint8_t* p);
  // Reads the memo the pointer at `p` names into `out`; `block` is the
  // pointer's block.
  Status readMemo(const FieldDesc& f, const std::uint8_t* p, std::uint64_t& block, std::string& out);
  void buildBlankRecord();

  std::string path_;
  rt::OsFile file_;
  TableHeader header_;
  std::unique_ptr<MemoFile> memo_;
  RecordReader reader_;
  std::vector<int> visible_;         // indices into header_.fields, system fields left out
  std::vector<FieldKind> kinds_;     // parallel to header_.fields
  std::vector<StoredField> stored_;  // the visible fields, for recordView()
  std::vector<std::uint8_t> blank_;  // the record at end of file, every field empty, padded
  const std::uint8_t* record_ = nullptr;
  std::uint32_t recNo_ = 0;
  bool eof_ = true;
};

}  // namespace db
