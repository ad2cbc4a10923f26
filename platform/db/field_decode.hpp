// Field values from record bytes: what FIELDGET gives for each field type.
#pragma once

#include <cstdint>

#include "platform/db/dbf_header.hpp"
#include "platform/db/status.hpp"
#include "platform/rt/value.hpp"

namespace db {

// How a field's bytes are read, fixed once per field when the table opens.
enum class FieldKind : std::uint8_t {
  Character,      // C: the bytes, trailing NUL padding as blanks
  Number,         // N, F: digits with the declared decimals
  Date,           // D
  Logical,        // L
  Memo,           // M, G, P, W, and dBase B: a pointer into the memo file
  VfpInteger,     // I (and +) of every table but dBase 7
  Level7Integer,  // I, + of dBase 7
  Currency,       // Y
  DateTime,       // T
  Timestamp,      // @
  VfpDouble,      // B of Visual FoxPro, O outside dBase 7 tables of other families
  Level7Double,   // O
  VarChar,        // V, Q: the true length from _NullFlags
  Raw,            // unknown types and fixed-size types of the wrong size
};

FieldKind fieldKind(const FieldDesc& field, std::uint8_t version);

// Whether the text of a field is bytes in no code page: Visual FoxPro's
// binary flag, the types Q, G, P and W, a dBase B memo.
bool holdsBinary(const FieldDesc& field, std::uint8_t version);

// The value of a field of any kind but Memo, from its `field.length` bytes at
// `p`. `shortValue` is the V/Q bit of _NullFlags: the true length is then the
// field's last byte. Never fails: bytes that are no valid value of the type
// come back as character text.
rt::Value decodeField(FieldKind kind, const FieldDesc& field, const std::uint8_t* p,
                      bool shortValue);

// The memo block number in a memo field's bytes: a 4-byte LE integer when
// the field is 4 bytes long, else right-aligned decimal digits (blank: 0).
// Fails when the text holds anything but digits, blanks and NUL bytes.
[[nodiscard]] Status memoPointer(const std::uint8_t* p, std::uint32_t length,
                                 std::uint64_t& block);

}  // namespace db
