// Byte layout of the table header.
//
// 32-byte header (dBase III to 5, FoxBASE+, FoxPro, Visual FoxPro):
//   0 version, 1-3 last update, 4 record count (u32 LE), 8 header length
//   (u16 LE, the offset of the first record), 10 record length (u16 LE, flag
//   byte included), 14 transaction flag, 15 encryption flag, 28 table flags,
//   29 code page; 32-byte field descriptors follow from offset 32.
// dBase 7 (version 0x04, 0x8C): the same first 32 bytes, a language driver
//   name, then 48-byte descriptors from offset 68.
// dBase II (version 0x02): record count (u16 LE) at 1, record length (u16 LE)
//   at 6, sixteen 16-byte descriptors from offset 8, records from offset 521.
#include "platform/db/dbf_header.hpp"

#include <algorithm>
#include <cstring>

#include "platform/db/byte_order.hpp"

namespace db {

namespace {

constexpr std::uint32_t kDbase2HeaderLength = 521;

std::string nameUpToNul(const std::uint8_t* p, std::size_t size) {
  const void* nul = std::memchr(p, 0, size);
  std::size_t n = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - p) : size;
  return std::string(reinterpret_cast<const char*>(p), n);
}

bool isTerminator(std::uint8_t b) { return b == 0x0D || b == 0x0A || b == 0x00; }

// Descriptor slots run until a slot begins with 0x0D or the next slot would
// cross the header length. Other terminators (0x0A, 0x00, none) occur in real
// files: the header length alone says where the records start. But a slot
// cut by the header length that holds a field's name and type is a field
// the header length leaves out: its bytes and all after it would be read as
// records, so the header is refused.
Status readDescriptors(const std::uint8_t* bytes, std::size_t begin, std::size_t end,
                       bool level7, std::vector<FieldDesc>& fields) {
  const std::size_t slot = level7 ? 48 : 32;
  const std::size_t nameAndType = level7 ? 33 : 12;
  std::size_t pos = begin;
  for (; pos < end && bytes[pos] != 0x0D && pos + slot <= end; pos += slot) {
    const std::uint8_t* e = bytes + pos;
    FieldDesc f;
    if (level7) {
      f.name = nameUpToNul(e, 32);
      f.type = static_cast<char>(e[32]);
      f.length = e[33];
      f.decimals = e[34];
    } else {
      f.name = nameUpToNul(e, 11);
      f.type = static_cast<char>(e[11]);
      f.length = e[16];
      f.decimals = e[17];
      f.flags = e[18];
    }
    fields.push_back(std::move(f));
  }
  if (pos < end && end - pos >= nameAndType && !isTerminator(bytes[pos])) {
    return Status::corrupt("field descriptor " + std::to_string(fields.size() + 1) +
                        " runs past the header length " + std::to_string(end));
  }
  return Status::ok();
}

void readDbase2Descriptors(const std::uint8_t* bytes, std::vector<FieldDesc>& fields) {
  for (std::size_t pos = 8; pos + 16 <= kDbase2HeaderLength && bytes[pos] != 0x0D; pos += 16) {
    const std::uint8_t* e = bytes + pos;
    FieldDesc f;
    f.name = nameUpToNul(e, 11);
    f.type = static_cast<char>(e[11]);
    f.length = e[12];
    f.decimals = e[15];
    fields.push_back(std::move(f));
  }
}

// Some writers keep character fields longer than 255 bytes by storing the
// high byte of the length in the decimal count; others put a meaningless
// decimal count on character fields. Only the record length tells them
// apart: the wide reading is taken when it, and only it, fills the record.
void applyCharacterWidths(TableHeader& h) {
  std::uint64_t plain = 1, wide = 1;
  for (const FieldDesc& f : h.fields) {
    plain += f.length;
    wide += f.length + (f.type == 'C' ? 256u * static_cast<unsigned>(f.decimals) : 0u);
  }
  const bool widen = wide == h.recordLength && plain != h.recordLength;
  for (FieldDesc& f : h.fields) {
    if (f.type != 'C') continue;
    if (widen) f.length += 256u * static_cast<unsigned>(f.decimals);
    f.decimals = 0;
  }
}

// Visual FoxPro: system fields are hidden, and _NullFlags holds one bit per
// varchar/varbinary field (value shorter than the field) and one per nullable
// field, allocated in field order.
void assignNullBits(TableHeader& h) {
  if (!isVisualFoxPro(h.version)) return;
  int bit = 0;
  for (std::size_t i = 0; i < h.fields.size(); ++i) {
    FieldDesc& f = h.fields[i];
    if (f.flags & 0x01) {
      f.system = true;
      if (f.type == '0' && h.nullFlagsField < 0) h.nullFlagsField = static_cast<int>(i);
      continue;
    }
    if (f.type == 'V' || f.type == 'Q') f.varBit = bit++;
    if (f.flags & 0x02) f.nullBit = bit++;
  }
}

Status placeFields(TableHeader& h) {
  if (h.fields.empty()) return Status::corrupt("the table has no fields");
  if (h.recordLength == 0) return Status::corrupt("the record length is 0");
  applyCharacterWidths(h);
  std::uint64_t offset = 1;
  for (FieldDesc& f : h.fields) {
    f.offset = static_cast<std::uint32_t>(offset);
    offset += f.length;
  }
  if (offset > h.recordLength) {
    return Status::corrupt("the fields need " + std::to_string(offset) +
                        " bytes per record but the header gives " +
                        std::to_string(h.recordLength));
  }
  assignNullBits(h);
  return Status::ok();
}

Status parseDbase2(const std::uint8_t* bytes, std::uint64_t fileSize, TableHeader& h) {
  if (fileSize < kDbase2HeaderLength) {
    return Status::corrupt("the file is too short for a dBase II header (" +
                        std::to_string(fileSize) + " bytes)");
  }
  h.recordCount = readLe16(bytes + 1);
  h.recordLength = readLe16(bytes + 6);
  h.headerLength = kDbase2HeaderLength;
  readDbase2Descriptors(bytes, h.fields);
  return placeFields(h);
}

bool hasEncryptionFlag(std::uint8_t version) { return !prefersFpt(version); }

}  // namespace

std::string hexByte(std::uint8_t b) {
  static const char kDigits[] = "0123456789ABCDEF";
  return std::string("0x") + kDigits[b >> 4] + kDigits[b & 15];
}

bool isDbase2(std::uint8_t version) { return version == 0x02; }

bool isLevel7(std::uint8_t version) { return version == 0x04 || version == 0x8C; }

bool isVisualFoxPro(std::uint8_t version) { return version >= 0x30 && version <= 0x32; }

bool prefersFpt(std::uint8_t version) {
  return isVisualFoxPro(version) || version == 0xF5 || version == 0xFB;
}

Status parseHeader(const std::uint8_t* bytes, std::size_t size, std::uint64_t fileSize,
                   TableHeader& out) {
  out = TableHeader{};
  if (fileSize == 0 || size == 0) return Status::corrupt("the file is empty");
  out.version = bytes[0];
  if (isDbase2(out.version)) return parseDbase2(bytes, fileSize, out);
  const std::size_t base = isLevel7(out.version) ? 68 : 32;
  if (fileSize < base || size < base) {
    return Status::corrupt("the file is too short for a table header (" + std::to_string(fileSize) +
                        " bytes)");
  }
  out.recordCount = readLe32(bytes + 4);
  out.headerLength = readLe16(bytes + 8);
  out.recordLength = readLe16(bytes + 10);
  out.codePageMark = bytes[29];
  if (isLevel7(out.version)) out.languageDriver = nameUpToNul(bytes + 32, 32);
  if (out.headerLength < base) {
    return Status::corrupt("the header length " + std::to_string(out.headerLength) +
                        " is too small for a header of this version (" + hexByte(out.version) + ")");
  }
  if (out.headerLength > fileSize) {
    return Status::corrupt("the header length " + std::to_string(out.headerLength) +
                        " runs past the end of the file (" + std::to_string(fileSize) +
                        " bytes)");
  }
  if (hasEncryptionFlag(out.version) && bytes[15] == 0x01) {
    return Status::corrupt("the records are encrypted");
  }
  if (Status s = readDescriptors(bytes, base, std::min<std::size_t>(out.headerLength, size),
                                 isLevel7(out.version), out.fields);
      !s.isOk()) {
    return s;
  }
  return placeFields(out);
}

}  // namespace db
