// The table file's header and field descriptors: where the records start,
// how long each is, and where every field lies inside a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/db/status.hpp"

namespace db {

// A version byte as it is named in messages: "0x30".
std::string hexByte(std::uint8_t b);

// Version-byte families that change how bytes are read.
bool isDbase2(std::uint8_t version);        // 521-byte header, 16-byte descriptors
bool isLevel7(std::uint8_t version);        // dBase 7: 68-byte header, 48-byte descriptors
bool isVisualFoxPro(std::uint8_t version);  // _NullFlags, binary memo pointers, B double
bool prefersFpt(std::uint8_t version);      // the FoxPro family keeps memos in an FPT

// One field of the record, as its descriptor declares it.
struct FieldDesc {
  std::string name;       // the stored bytes up to the first NUL
  char type = 'C';        // the stored type letter, as is
  std::uint32_t length = 0;
  int decimals = 0;       // declared decimals; 0 for character fields
  std::uint8_t flags = 0; // Visual FoxPro field flags
  std::uint32_t offset = 0;  // from the start of the record (the flag byte is 0)
  bool system = false;    // a Visual FoxPro system field such as _NullFlags
  int nullBit = -1;       // bit in _NullFlags that marks a null value, or -1
  int varBit = -1;        // bit in _NullFlags that marks a short V/Q value, or -1
};

struct TableHeader {
  std::uint8_t version = 0;
  std::uint32_t recordCount = 0;   // as the header says; trusted
  std::uint32_t headerLength = 0;  // file offset of the first record
  std::uint32_t recordLength = 0;  // flag byte included
  std::vector<FieldDesc> fields;   // every field, system fields included
  int nullFlagsField = -1;         // index into `fields` of _NullFlags, or -1
  std::uint8_t codePageMark = 0;   // byte 29
  std::string languageDriver;      // a dBase 7 header's driver name, up to its first NUL
};

// How many leading bytes of the file parseHeader() needs at most.
constexpr std::size_t kMaxHeaderBytes = 65536;

// Reads the header from the first `size` bytes of a file of `fileSize` bytes
// (size = min(fileSize, kMaxHeaderBytes)). Fails, saying why, when the file is
// too short, the header length or record length is impossible, the records
// are encrypted, there are no fields, a field descriptor is cut off by the
// header length, or the fields do not fit in a record.
[[nodiscard]] Status parseHeader(const std::uint8_t* bytes, std::size_t size,
                                 std::uint64_t fileSize, TableHeader& out);

}  // namespace db
