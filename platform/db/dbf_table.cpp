#include "platform/db/dbf_table.hpp"

#include <algorithm>

#include "platform/db/code_page_mark.hpp"
#include "platform/db/db_errors.hpp"
#include "platform/rt/settings.hpp"

namespace db {

namespace {

bool isBinaryKind(FieldKind k) {
  return k == FieldKind::VfpInteger || k == FieldKind::Level7Integer || k == FieldKind::Currency ||
         k == FieldKind::DateTime || k == FieldKind::Timestamp || k == FieldKind::VfpDouble ||
         k == FieldKind::Level7Double;
}

bool hideDeleted() {
  const rt::Value v = rt::set(rt::Set::Deleted);
  return v.isLogical() && v.logical();
}

}  // namespace

DbfTable::DbfTable(std::string path, rt::OsFile file, TableHeader header,
                   std::unique_ptr<MemoFile> memo)
    : path_(std::move(path)),
      file_(std::move(file)),
      header_(std::move(header)),
      memo_(std::move(memo)),
      reader_(file_, header_.headerLength, header_.recordLength, header_.recordCount) {
  for (std::size_t i = 0; i < header_.fields.size(); ++i) {
    kinds_.push_back(fieldKind(header_.fields[i], header_.version));
    const FieldDesc& f = header_.fields[i];
    if (f.system) continue;
    visible_.push_back(static_cast<int>(i));
    stored_.push_back(StoredField{kinds_.back(), f.offset, f.length, f.decimals, f.nullBit >= 0,
                                  holdsBinary(f, header_.version), f.type});
  }
  buildBlankRecord();
  record_ = blank_.data() + kRecordPadding;
  recNo_ = header_.recordCount + 1;
  // An opened table stands on its first record. A record that cannot be read
  // is not an error of the open: the move that needs it raises it.
  moveTo(1, nullptr);
  passDeleted(nullptr);
}

// The record shown at end of file: text fields blank, binary fields holding
// their zero (dBase 7 stores zero with the sign bit set), so that every field
// reads as its type's empty value.
void DbfTable::buildBlankRecord() {
  blank_.assign(header_.recordLength + 2 * kRecordPadding, ' ');
  std::uint8_t* record = blank_.data() + kRecordPadding;
  for (std::size_t i = 0; i < header_.fields.size(); ++i) {
    const FieldDesc& f = header_.fields[i];
    const FieldKind k = kinds_[i];
    const bool binaryPointer = k == FieldKind::Memo && f.length == 4;
    if (!isBinaryKind(k) && !binaryPointer && !f.system) continue;
    std::fill_n(record + f.offset, f.length, std::uint8_t{0});
    if (k == FieldKind::Level7Integer || k == FieldKind::Level7Double) record[f.offset] = 0x80;
  }
}

const std::string& DbfTable::fieldName(int pos) const {
  static const std::string kNone;
  if (pos < 1 || pos > fieldCount()) return kNone;
  return header_.fields[static_cast<std::size_t>(visible_[static_cast<std::size_t>(pos - 1)])].name;
}

void DbfTable::goTop() {
  moveTo(1, "DBGOTOP");
  passDeleted("DBGOTOP");
}

void DbfTable::skip() {
  if (eof_) return;
  // Most moves are to the next record, already read with its block.
  if (const std::uint8_t* bytes = reader_.buffered(recNo_ + 1)) {
    record_ = bytes;
    ++recNo_;
  } else {
    moveTo(recNo_ + 1, "DBSKIP");
  }
  passDeleted("DBSKIP");
}

void DbfTable::passDeleted(const char* operation) {
  // The setting is read only for a deleted record: most records are not.
  while (!eof_ && record_[0] == '*' && hideDeleted()) moveTo(recNo_ + 1, operation);
}

void DbfTable::moveTo(std::uint32_t n, const char* operation) {
  for (;;) {
    if (n < 1 || n > header_.recordCount) break;
    const std::uint8_t* bytes = nullptr;
    Status s = reader_.fetch(n, bytes);
    if (s.isOk()) {
      record_ = bytes;
      recNo_ = n;
      eof_ = false;
      return;
    }
    if (!operation) break;
    const bool beyondEnd = s.code() == StatusCode::BeyondEnd;
    TableError e(beyondEnd ? rt::Condition::RecordBeyondEnd : rt::Condition::FileRead, path_, operation,
                 beyondEnd ? std::to_string(n) + " of " + path_ : path_);
    if (!raiseAndRetry(e.from(s).rereadable())) break;
    reader_.invalidate();
  }
  // Default: the table ends before the record that cannot be read.
  record_ = blank_.data() + kRecordPadding;
  recNo_ = header_.recordCount + 1;
  eof_ = true;
}

bool DbfTable::bitSet(int bit) const {
  const FieldDesc& flags = header_.fields[static_cast<std::size_t>(header_.nullFlagsField)];
  const auto byte = static_cast<std::uint32_t>(bit / 8);
  if (byte >= flags.length) return false;
  return (record_[flags.offset + byte] >> (bit % 8)) & 1;
}

bool DbfTable::isNull(const FieldDesc& f) const {
  return f.nullBit >= 0 && header_.nullFlagsField >= 0 && bitSet(f.nullBit);
}

bool DbfTable::isNull(int pos) const {
  if (pos < 1 || pos > fieldCount()) return false;
  return isNull(header_.fields[static_cast<std::size_t>(visible_[static_cast<std::size_t>(pos - 1)])]);
}

rt::Value DbfTable::fieldGet(int pos) {
  if (pos < 1 || pos > fieldCount()) return rt::Value();
  const auto index = static_cast<std::size_t>(visible_[static_cast<std::size_t>(pos - 1)]);
  const FieldDesc& f = header_.fields[index];
  // A null is written as an empty value.
  if (isNull(f)) return rt::Value(std::string());
  const std::uint8_t* p = record_ + f.offset;
  if (kinds_[index] == FieldKind::Memo) return memoValue(f, p);
  const bool shortValue = f.varBit >= 0 && header_.nullFlagsField >= 0 && bitSet(f.varBit);
  return decodeField(kinds_[index], f, p, shortValue);
}

Status DbfTable::readMemo(const FieldDesc& f, const std::uint8_t* p, std::uint64_t& block, std::string& out) {
  out.clear();
  block = 0;
  Status s = memoPointer(p, f.length, block);
  // Without a memo file (a table opened for its other fields) every memo
  // reads as empty.
  if (s.isOk() && block != 0 && memo_) s = memo_->read(block, out);
  return s;
}

rt::Value DbfTable::memoValue(const FieldDesc& f, const std::uint8_t* p) {
  std::string bytes;
  for (;;) {
    std::uint64_t block = 0;
    const Status s = readMemo(f, p, block, bytes);
    if (s.isOk()) return rt::Value(rt::Memo{std::move(bytes)});
    const bool outside = s.code() == StatusCode::BeyondEnd;
    const std::string record = std::to_string(recNo_) + " of " + path_;
    TableError e = outside ? TableError(rt::Condition::MemoOutOfRange, path_, "FIELDGET",
                                        std::to_string(block), record).saying(s.message())
                           : TableError(rt::Condition::MemoDamaged, path_, "FIELDGET", record,
                                        "field " + f.name + ": " + s.message());
    if (!raiseAndRetry(e.rereadable())) break;
  }
  // Default: a memo that cannot be read is empty.
  return rt::Value(rt::Memo{});
}

bool DbfTable::memoBytes(int pos, std::string& out) {
  if (pos < 1 || pos > fieldCount()) return false;
  const auto index = static_cast<std::size_t>(visible_[static_cast<std::size_t>(pos - 1)]);
  const FieldDesc& f = header_.fields[index];
  if (kinds_[index] != FieldKind::Memo || isNull(f)) return false;
  std::uint64_t block = 0;
  return readMemo(f, record_ + f.offset, block, out).isOk();
}

std::string DbfTable::declaredCodePage() const {
  const std::string mark = codePageOfMark(header_.codePageMark);
  return mark.empty() ? codePageOfDriver(header_.languageDriver) : mark;
}

}  // namespace db
