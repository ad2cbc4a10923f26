// A record as the table file stores it: its bytes and where each visible
// field lies in them, for readers that take the bytes as they are rather
// than a value per field (the export's fast path).
#pragma once

#include <cstddef>
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
  char type = 'C';           // the type letter the descriptor declares
};

// The readable bytes before and after a RecordView's bytes: the padded
// scans of stored_bytes.hpp read whole blocks, and no copy of each record
// is needed to give them room.
inline constexpr std::size_t kRecordPadding = 16;

// The current record: `length` bytes, valid until the table moves, with
// kRecordPadding readable bytes on either side; and the visible fields in
// field order (FIELDGET's number less one).
struct RecordView {
  const std::uint8_t* bytes = nullptr;
  std::uint32_t length = 0;
  std::span<const StoredField> fields;
};

}  // namespace db
