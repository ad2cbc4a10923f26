// The export's fast path: the current record of a DBF table rendered as one
// output line straight from its stored bytes, with exactly the text that
// DBF2ARRAY, VARTOCHAR and TRIM give for it, but without a Value per field. Character,
// numeric, date and logical fields are read in place; every other field
// (memos, nullable and binary fields) and any stored text that is not a
// plain number or date goes through FIELDGET and VARTOCHAR as before.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db {
class Table;
}

namespace app {

class LineWriter;
struct FieldChoice;

class BytesRenderer {
 public:
  // A renderer for the table open in the current work area, writing through
  // `out` the fields `choice` names (every field when null); nullopt when
  // its engine keeps no record bytes (the routine path then renders every
  // record).
  static std::optional<BytesRenderer> forCurrentTable(LineWriter& out, const FieldChoice* choice = nullptr);

  // The output line of the current record in the writer's format. Valid
  // until the writer's next line.
  std::string_view recordLine();

 private:
  // The plan of a field, made once per table.
  enum class Kind : std::uint8_t { Character, Number, Date, Logical, Memo, Routine, RecNo, Deleted };
  struct Field {
    Kind kind;
    bool binary;            // holds binary (db::StoredField::binary)
    int pos;                // field number for FIELDGET
    std::uint32_t offset;   // in the record, flag byte included
    std::uint32_t length;
    int decimals;
    std::size_t after = 0;  // room the fields after this one and the line end need
  };

  BytesRenderer(db::Table& table, LineWriter& out) : table_(&table), out_(&out) {}
  // The line in one of the formats whose text has a kernel of its own.
  template <int Rule>
  std::string_view render(const std::uint8_t* record);
  // A field that takes the long way, written by the writer; returns where
  // the kernel goes on writing.
  char* writeLong(const Field& f, const std::uint8_t* p, char* w, bool plain, std::string_view text);
  void writeSlow(const Field& f, const std::uint8_t* p);
  // A memo field, its text read into memo_ and written by the writer.
  char* writeMemo(const Field& f, const std::uint8_t* p, char* w);

  db::Table* table_;
  LineWriter* out_;
  std::vector<Field> fields_;
  std::size_t bound_ = 0;           // room a whole record needs
  std::string number_, scratch_, memo_;  // reused from field to field
  char recNo_[32] = {};             // the record number's digits, with room for a block move
};

}  // namespace app
