// A small writer of DBF tables for tests and benchmarks: every version
// family (dBase II, III, IV, 7, FoxPro 2, Visual FoxPro) and field type, and
// the three memo layouts (DBT of dBase III, DBT of dBase IV, FPT). Streams:
// the header goes out first, records are appended one by one through a large
// buffer, and finish() puts the record count into the header.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

struct FieldSpec {
  std::string name;
  char type = 'C';
  int length = 1;      // character fields may be longer than 255
  int decimals = 0;
  std::uint8_t flags = 0;  // Visual FoxPro field flags (0x01 system, 0x02 nullable)
};

enum class MemoLayout { None, DbtIII, DbtIV, Fpt };

struct TableShape {
  std::uint8_t version = 0x03;
  std::vector<FieldSpec> fields;
  MemoLayout memo = MemoLayout::None;
  std::uint16_t memoBlockSize = 0;  // 0: 512 for a DBT, 64 for an FPT
  std::string memoExtension;        // "" : ".DBT" or ".FPT" after the layout
  int extraHeaderBytes = 0;         // bytes between the terminator and the first record
  bool endMarker = true;            // a 0x1A after the last record
};

class DbfWriter {
 public:
  // Creates the table (and its memo file) and writes the header. Throws
  // std::runtime_error when a file cannot be created.
  DbfWriter(std::string path, TableShape shape);
  ~DbfWriter();
  DbfWriter(const DbfWriter&) = delete;
  DbfWriter& operator=(const DbfWriter&) = delete;

  // Appends a record of one value per field: text fields given shorter than
  // the field are padded with blanks (N and F on the left, the rest on the
  // right); binary fields take the encoders' bytes.
  void append(const std::vector<std::string>& values, bool deleted = false);
  // Appends a record from its field bytes as stored (without the flag byte),
  // the fast path for generating large tables.
  void appendRaw(std::string_view fieldBytes, bool deleted = false);
  // Stores `data` as a memo and returns the bytes of its pointer for a memo
  // field `fieldLength` bytes long (4: binary, else right-aligned digits).
  std::string memo(std::string_view data, int fieldLength = 10);
  // Writes the record count and the end marker and closes the files.
  void finish();

  std::uint32_t recordLength() const { return recordLength_; }
  std::uint32_t headerLength() const { return headerLength_; }
  const std::string& memoPath() const { return memoPath_; }

 private:
  void writeHeader();
  void openMemo();
  void flush();

  std::string path_, memoPath_;
  TableShape shape_;
  std::FILE* file_ = nullptr;
  std::FILE* memoFile_ = nullptr;
  std::string buffer_;
  std::uint32_t recordLength_ = 1, headerLength_ = 0, records_ = 0;
  std::uint64_t nextBlock_ = 0;
  bool finished_ = false;
};

// Encoders for binary fields.
std::string le32(std::int32_t v);
std::string le64(std::int64_t v);
std::string leDouble(double v);
std::string vfpDateTime(std::int32_t julianDay, std::int32_t milliseconds);
std::string level7Integer(std::int32_t v);
std::string level7Double(double v);
std::string level7Timestamp(double milliseconds);

// Damaging a file on purpose: overwrite bytes at an offset, cut it short.
void patchFile(const std::string& path, std::uint64_t offset, std::string_view bytes);
void truncateFile(const std::string& path, std::uint64_t size);

}  // namespace test_support
