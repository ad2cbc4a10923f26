// A record as the table file stores it: its bytes and where each visible
// field lies in them, for readers that take the bytes as they are rather
// than a value per field (the export's fast path).
#pragma once

#include <cstdint>
#include <span>

#include "platform/db/field_decode.hpp"

namespace db {

// One visible field of a stored record.
struct StoredField {
  FieldKind kind = FieldKind::Raw;
  std::uint32_t offset = 0;  // in the record; byte 0 is the deletion flag
  std::uint32_t length = 0;
  int decimals = 0;          // declared decimals
  bool nullable = false;     // may be marked null, its bytes then meaning nothing
  bool binary = false;       // its text is bytes of no code page (holdsBinary)
};

// The current record: `length` bytes, valid until the table moves, and the
// visible fields in field order (FIELDGET's number less one).
struct RecordView {
  const std::uint8_t* bytes = nullptr;
  std::uint32_t length = 0;
  std::span<const StoredField> fields;
};

}  // namespace db
