// The readers of stored bytes, on byte buffers and without a file: the table
// header, a memo pointer, a memo file's header and memo block, and the field
// bytes of a record (the rules both FIELDGET and the export's fast path
// read by).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/db/dbf_header.hpp"
#include "platform/db/field_decode.hpp"
#include "platform/db/memo_file.hpp"
#include "platform/db/stored_bytes.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::uint8_t* at(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

void putLe16(Bytes& b, std::size_t at, unsigned v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

struct Descriptor {
  const char* name;
  char type;
  std::uint8_t length, decimals, flags;
};

// A 32-byte-descriptor header: version, record count 3, the descriptors, a
// 0x0D terminator; the header and record lengths as the fields make them
// unless given.
Bytes header(std::uint8_t version, const std::vector<Descriptor>& fields, int headerLength = -1,
             int recordLength = -1) {
  Bytes b(32 + 32 * fields.size() + 1, 0);
  b[0] = version;
  b[4] = 3;
  unsigned record = 1;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    std::uint8_t* e = b.data() + 32 + 32 * i;
    std::memcpy(e, fields[i].name, std::strlen(fields[i].name));
    e[11] = static_cast<std::uint8_t>(fields[i].type);
    e[16] = fields[i].length;
    e[17] = fields[i].decimals;
    e[18] = fields[i].flags;
    record += fields[i].length;
  }
  b.back() = 0x0D;
  putLe16(b, 8, headerLength < 0 ? static_cast<unsigned>(b.size()) : static_cast<unsigned>(headerLength));
  putLe16(b, 10, recordLength < 0 ? record : static_cast<unsigned>(recordLength));
  return b;
}

// The parsed fields as one line: name, type, length, decimals, offset, and
// the system / null / varchar marks.
std::string fieldsOf(const db::TableHeader& h) {
  std::string out;
  for (const db::FieldDesc& f : h.fields) {
    out += f.name + ":" + f.type + std::to_string(f.length) + "." + std::to_string(f.decimals) +
           "@" + std::to_string(f.offset) + (f.system ? "s" : "") +
           (f.nullBit >= 0 ? "n" + std::to_string(f.nullBit) : "") +
           (f.varBit >= 0 ? "v" + std::to_string(f.varBit) : "") + " ";
  }
  return out;
}

TEST(HeaderBytes, FieldsArePlacedAndMarkedAsTheDescriptorsSay) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::string fields;
  };
  const Case cases[] = {
      {"dBase III", header(0x03, {{"NAME", 'C', 10, 0, 0}, {"PRICE", 'N', 8, 2, 0}}),
       "NAME:C10.0@1 PRICE:N8.2@11 "},
      {"decimals of a character field that widen it",
       header(0x03, {{"WIDE", 'C', 4, 1, 0}}, -1, 1 + 4 + 256), "WIDE:C260.0@1 "},
      {"decimals of a character field that do not",
       header(0x03, {{"NARROW", 'C', 4, 1, 0}}), "NARROW:C4.0@1 "},
      {"Visual FoxPro null and varchar bits",
       header(0x30, {{"V", 'V', 5, 0, 0x02}, {"N", 'N', 3, 0, 0x02}, {"_NullFlags", '0', 1, 0, 0x05}}),
       "V:V5.0@1n1v0 N:N3.0@6n2 _NullFlags:01.0@9s "},
  };
  for (const Case& c : cases) {
    db::TableHeader h;
    const db::Status s = db::parseHeader(c.bytes.data(), c.bytes.size(), c.bytes.size() + 100, h);
    ASSERT_TRUE(s.isOk()) << c.what << ": " << s.message();
    EXPECT_EQ(fieldsOf(h), c.fields) << c.what;
    EXPECT_EQ(h.headerLength, c.bytes.size()) << c.what;
    EXPECT_EQ(h.recordCount, 3u) << c.what;
  }
  const Bytes vfp = cases[3].bytes;
  db::TableHeader h;
  ASSERT_TRUE(db::parseHeader(vfp.data(), vfp.size(), vfp.size(), h).isOk());
  EXPECT_EQ(h.nullFlagsField, 2);
}

TEST(HeaderBytes, ImpossibleHeadersAreRefusedWithTheReason) {
  Bytes encrypted = header(0x03, {{"A", 'C', 1, 0, 0}});
  encrypted[15] = 1;
  Bytes cut = header(0x03, {{"A", 'C', 1, 0, 0}, {"B", 'C', 1, 0, 0}}, 32 + 32 + 20);
  struct Case {
    Bytes bytes;
    std::uint64_t fileSize;
    std::string message;
  };
  const Case cases[] = {
      {Bytes(1, 0x03), 0, "the file is empty"},
      {Bytes(20, 0x03), 20, "the file is too short for a table header (20 bytes)"},
      {header(0x03, {{"A", 'C', 1, 0, 0}}, 31), 100,
       "the header length 31 is too small for a header of this version (0x03)"},
      {header(0x03, {{"A", 'C', 1, 0, 0}}), 60, "the header length 65 runs past the end of the file (60 bytes)"},
      {encrypted, 100, "the records are encrypted"},
      {header(0x03, {}), 100, "the table has no fields"},
      {header(0x03, {{"A", 'C', 1, 0, 0}}, -1, 0), 100, "the record length is 0"},
      {header(0x03, {{"A", 'C', 9, 0, 0}}, -1, 5), 100,
       "the fields need 10 bytes per record but the header gives 5"},
      {cut, 200, "field descriptor 2 runs past the header length 84"},
  };
  for (const Case& c : cases) {
    db::TableHeader h;
    const db::Status s = db::parseHeader(c.bytes.data(), c.bytes.size(), c.fileSize, h);
    EXPECT_FALSE(s.isOk()) << c.message;
    EXPECT_EQ(s.message(), c.message);
  }
}

TEST(MemoPointerBytes, BinaryOrRightAlignedDigits) {
  struct Case {
    std::string bytes;
    bool ok;
    std::uint64_t block;
    std::string message;
  };
  const Case cases[] = {
      {std::string("\x10\x00\x00\x01", 4), true, 0x01000010, ""},
      {"        42", true, 42, ""},
      {std::string("\0\0\0\0\0\0\0\0\0\0", 10), true, 0, ""},
      {"          ", true, 0, ""},
      {std::string(" 7\0       ", 10), true, 7, ""},
      {"0000000012", true, 12, ""},
      {"  4 2     ", false, 0, "the memo pointer \"4 2\" is not a number"},
      {"      -1  ", false, 0, "the memo pointer \"-1\" is not a number"},
  };
  for (const Case& c : cases) {
    std::uint64_t block = 1;
    const db::Status s = db::memoPointer(at(c.bytes), static_cast<std::uint32_t>(c.bytes.size()), block);
    EXPECT_EQ(s.isOk(), c.ok) << c.bytes;
    EXPECT_EQ(s.message(), c.message) << c.bytes;
    if (c.ok) {
      EXPECT_EQ(block, c.block) << c.bytes;
    }
  }
  // More digits than 64 bits hold: a block beyond any memo file, not a wrap.
  std::uint64_t block = 0;
  ASSERT_TRUE(db::memoPointer(at("99999999999999999999"), 20, block).isOk());
  EXPECT_GE(block, UINT64_MAX / 20);
}

TEST(MemoFileBytes, BlockSizeFromTheHeader) {
  struct Case {
    const char* what;
    std::size_t at;
    std::uint8_t hi, lo;
    db::MemoLayout layout;
    bool fixed;
    bool ok;
    std::uint32_t size;
  };
  const Case cases[] = {
      {"FPT 64", 6, 0, 64, db::MemoLayout::Fpt, false, true, 64},
      {"FPT 0", 6, 0, 0, db::MemoLayout::Fpt, false, false, 0},
      {"DBT IV 1024", 20, 4, 0, db::MemoLayout::Dbt, false, true, 1024},
      {"DBT IV 0 means 512", 20, 0, 0, db::MemoLayout::Dbt, false, true, 512},
      {"DBT III ignores it", 20, 4, 0, db::MemoLayout::Dbt, true, true, 512},
  };
  for (const Case& c : cases) {
    std::uint8_t head[32] = {};
    // FPT sizes are big-endian, DBT ones little-endian.
    head[c.at] = c.layout == db::MemoLayout::Fpt ? c.hi : c.lo;
    head[c.at + 1] = c.layout == db::MemoLayout::Fpt ? c.lo : c.hi;
    std::uint32_t size = 0;
    const db::Status s = db::memoBlockSize(head, c.layout, c.fixed, size);
    EXPECT_EQ(s.isOk(), c.ok) << c.what;
    if (c.ok) {
      EXPECT_EQ(size, c.size) << c.what;
    }
    if (!c.ok) {
      EXPECT_EQ(s.message(), "the memo file gives a block size of 0");
    }
  }
}

TEST(MemoFileBytes, TheBlockHeaderSaysWhereTheMemoLies) {
  struct Case {
    const char* what;
    std::string head;
    db::MemoLayout layout;
    std::string result;  // "counted HEADER+LENGTH", "to 0x1A" or the failure
  };
  const Case cases[] = {
      {"FPT text", std::string("\0\0\0\1\0\0\1\2", 8), db::MemoLayout::Fpt, "counted 8+258"},
      {"FPT cut off", std::string("\0\0\0\1\0\0", 6), db::MemoLayout::Fpt,
       "the memo's 8-byte block header is cut off"},
      {"dBase IV", std::string("\xFF\xFF\x08\x00\x0C\0\0\0", 8), db::MemoLayout::Dbt, "counted 8+4"},
      {"dBase IV empty", std::string("\xFF\xFF\x08\x00\x08\0\0\0", 8), db::MemoLayout::Dbt, "counted 8+0"},
      {"dBase IV too short", std::string("\xFF\xFF\x08\x00\x07\0\0\0", 8), db::MemoLayout::Dbt,
       "the memo's length 7 is shorter than its 8-byte block header"},
      {"dBase III text", "some tex", db::MemoLayout::Dbt, "to 0x1A"},
      {"dBase III near the end", std::string("\xFF\xFF\x08", 3), db::MemoLayout::Dbt, "to 0x1A"},
  };
  for (const Case& c : cases) {
    db::MemoExtent e;
    const db::Status s = db::memoExtent(at(c.head), c.head.size(), c.layout, e);
    const std::string result = !s.isOk() ? s.message()
                               : e.counted ? "counted " + std::to_string(e.headerSize) + "+" + std::to_string(e.length)
                                           : "to 0x1A";
    EXPECT_EQ(result, c.result) << c.what;
  }
}

// A field's bytes in a buffer with 16 readable bytes on either side, as the
// padded scans need; the slack holds bytes that must not be read as the field.
struct Padded {
  explicit Padded(const std::string& field) : buffer(16, 'x') {
    buffer += field;
    buffer += std::string(16, 'y');
  }
  const std::uint8_t* p() const { return at(buffer) + 16; }
  std::string buffer;
};

TEST(FieldBytes, DatesHaveThreeShapesAndTheQuickScanAgrees) {
  using Shape = db::stored::DateShape;
  struct Case {
    std::string bytes;
    Shape shape;
  };
  const Case cases[] = {
      {"        ", Shape::Empty},        {std::string(8, '\0'), Shape::Empty},
      {"00000000", Shape::Empty},        {"", Shape::Empty},
      {"20240229", Shape::Digits},       {"19991231  ", Shape::Digits},
      {"00000000  ", Shape::Digits},     {"2024022", Shape::Other},
      {"1999-12-31", Shape::Other},      {"2024022 ", Shape::Other},
      {std::string("2024\0\0\0\0", 8), Shape::Other}, {"NotAYear", Shape::Other},
      {"20240229 x", Shape::Other},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(db::stored::dateShape(c.bytes), c.shape) << c.bytes;
    const Padded field(c.bytes);
    std::string_view text = "unchanged";
    const bool plain = db::stored::plainDate(field.p(), c.bytes.size(), text);
    // The quick scan answers for the empty date and an eight-byte date only.
    const bool expected = c.shape == Shape::Empty || (c.shape == Shape::Digits && c.bytes.size() == 8);
    EXPECT_EQ(plain, expected) << c.bytes;
    if (plain) {
      EXPECT_EQ(text, c.shape == Shape::Empty ? "" : c.bytes) << c.bytes;
    }
  }
}

TEST(FieldBytes, PaddingLogicalsAndNumbersReadTheSameEveryWay) {
  for (int b = 0; b < 256; ++b) {
    const auto c = static_cast<std::uint8_t>(b);
    EXPECT_EQ(db::stored::isTrue(c), c == 'T' || c == 't' || c == 'Y' || c == 'y') << b;
    EXPECT_EQ(db::stored::isPadding(c), c == ' ' || c == 0) << b;
  }
  // The padded trim against a plain loop, for every padding length.
  for (std::size_t width = 0; width <= 40; ++width) {
    for (std::size_t value = 0; value <= width; ++value) {
      std::string field(value, 'v');
      if (value > 1) field[(value - 1) / 2] = '\0';  // a NUL inside the value stays
      for (std::size_t i = value; i < width; ++i) field += i % 2 ? ' ' : '\0';
      const Padded padded(field);
      EXPECT_EQ(db::stored::trimmedLength(padded.p(), width), value) << width << " " << value;
    }
  }
  // The block scan of plain numbers against the byte scan.
  for (const std::string n : {"  12.50", " -12.50", "  -0.00", "   0.50", " 012.50", "  12.5 ",
                              "1234.56", "   12.5", "       ", "  -    ", " 1e2.00", "    .50"}) {
    const Padded padded(n);
    std::string_view fast, bytes;
    const bool f = db::stored::plainNumber(padded.p(), n.size(), 2, fast);
    const bool b = db::stored::detail::plainNumberBytes(padded.p(), n.size(), 2, bytes);
    EXPECT_EQ(f, b) << n;
    if (f && b) {
      EXPECT_EQ(fast, bytes) << n;
    }
  }
}

TEST(FieldBytes, ValuesDecodedFromARecordBuffer) {
  // One record: flag, C(6), D(8), L(1), N(5,1).
  const std::string record = std::string(" a\0b \0\0", 7) + "20240229" + "y" + " -2.5";
  const db::FieldDesc c{"C", 'C', 6, 0, 0, 1}, d{"D", 'D', 8, 0, 0, 7}, l{"L", 'L', 1, 0, 0, 15},
      n{"N", 'N', 5, 1, 0, 16};
  const auto value = [&](const db::FieldDesc& f) {
    return db::decodeField(db::fieldKind(f, 0x03), f, at(record) + f.offset, false);
  };
  EXPECT_EQ(value(c).text(), std::string("a\0b   ", 6));
  EXPECT_EQ(value(d).date().dtos(), "20240229");
  EXPECT_TRUE(value(l).logical());
  EXPECT_EQ(value(n).number().text, "-2.5");
}

}  // namespace
