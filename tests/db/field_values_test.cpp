// FIELDGET by field type and version family: the value type and its exact
// content, from tables written with the test writer.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/db/data_engines.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "tests/db/db_test_util.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

using test_support::FieldSpec;

// The value's type letter, then its content: C and M bytes as they are,
// numbers as their text, dates as DTOS, logicals T or F.
std::string typed(const rt::Value& v) {
  switch (v.type()) {
    case 'C': case 'M': return std::string(1, v.type()) + ":" + v.text();
    case 'N': return "N:" + v.number().text;
    case 'D': return "D:" + v.date().dtos();
    case 'L': return v.logical() ? "L:T" : "L:F";
    default: return std::string(1, v.type());
  }
}

struct Case {
  char type;
  int length, decimals;
  std::string stored;
  std::string expected;
};

class FieldValues : public db_test::WithDrivers<> {
 protected:
  // Writes a table of one record and opens it under the driver its version
  // calls for.
  void open(std::uint8_t version, const std::vector<FieldSpec>& fields,
            const std::vector<std::string>& values) {
    db::closeAll();
    const std::string path = dir_.file("t" + std::to_string(++tables_) + ".dbf");
    test_support::TableShape shape;
    shape.version = version;
    shape.fields = fields;
    {
      test_support::DbfWriter w(path, shape);
      w.append(values);
    }
    const char* driver = db::dbaseAccepts(version) ? "DBFNTX" : "FOXCDX";
    std::optional<std::string> error = db_test::openUnder(driver, path);
    ASSERT_FALSE(error) << *error;
  }

  // The value of a one-field table whose field holds `stored`.
  std::string valueOf(std::uint8_t version, const FieldSpec& field, const std::string& stored) {
    open(version, {field}, {stored});
    return typed(db::fieldGet(1));
  }

  void expectAll(std::uint8_t version, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(valueOf(version, FieldSpec{"F", c.type, c.length, c.decimals}, c.stored), c.expected)
          << c.type << "(" << c.length << "," << c.decimals << ") stored [" << c.stored << "]";
    }
  }

  db_test::TempDir dir_;
  int tables_ = 0;
};

TEST_F(FieldValues, CharacterNumericDateLogicalOfTheDbaseThreeFamily) {
  const std::string nul(1, '\0');
  expectAll(0x03, {
      {'C', 6, 0, "ab", "C:ab    "},
      {'C', 6, 0, "ab" + nul + "c" + nul + nul, "C:ab" + nul + "c  "},
      {'C', 4, 2, "abcd", "C:abcd"},
      {'N', 5, 2, "12.5", "N:12.50"},
      {'N', 6, 2, "-3.5", "N:-3.50"},
      {'N', 6, 2, "  ", "N:0.00"},
      {'N', 4, 0, nul + nul + nul + nul, "N:0"},
      {'N', 5, 2, "-0.00", "N:0.00"},
      {'N', 6, 2, "2.345", "N:2.35"},
      {'N', 20, 0, "12345678901234567890", "N:12345678901234567890"},
      {'N', 19, 4, "123456789012345.678", "N:123456789012345.6780"},
      {'N', 8, 2, "********", "N:********"},
      {'N', 10, 2, "1,200.00", "N:1,200.00"},
      {'F', 20, 18, "1.5", "N:1.500000000000000000"},
      {'F', 12, 3, "1.23456e+02", "N:123.456"},
      {'D', 8, 0, "20240229", "D:20240229"},
      {'D', 8, 0, "        ", "D:        "},
      {'D', 8, 0, std::string(8, '\0'), "D:        "},
      {'D', 8, 0, "00000000", "D:        "},
      {'D', 8, 0, "20231399", "D:20231399"},
      {'D', 8, 0, "NotAYear", "D:NotAYear"},
      {'D', 8, 0, "1\"3\r5\n\x8D" "8", "D:1\"3\r5\n\x8D" "8"},
      {'D', 4, 0, "2\"4 ", "D:2\"4     "},
      {'D', 10, 0, "19991231  ", "D:19991231"},
      {'D', 10, 0, "1999-12-31", "C:1999-12-31"},
      {'L', 1, 0, "T", "L:T"}, {'L', 1, 0, "t", "L:T"}, {'L', 1, 0, "Y", "L:T"},
      {'L', 1, 0, "y", "L:T"}, {'L', 1, 0, "F", "L:F"}, {'L', 1, 0, "n", "L:F"},
      {'L', 1, 0, "?", "L:F"}, {'L', 1, 0, " ", "L:F"}, {'L', 1, 0, nul, "L:F"},
      {'X', 3, 0, "a\x01z", "C:a\x01z"},
      {'Y', 4, 0, "abcd", "C:abcd"},
  });
}

TEST_F(FieldValues, NumbersCarryTheNearestDoubleBesideTheirText) {
  for (const char* stored : {"0.1", "-3.5", "123456789012.345", "0.000000000000001", "12345678901234567890",
                             "9007199254740993", "1.5e300", "***"}) {
    open(0x03, {{"N", 'N', 20, 0}}, {stored});
    const rt::Value v = db::fieldGet(1);
    const rt::Number& n = v.number();
    const double expected = std::string(stored) == "***" ? 0.0 : std::strtod(n.text.c_str(), nullptr);
    EXPECT_EQ(n.value, expected) << stored;
    EXPECT_EQ(n.decimals, 0);
  }
  open(0x03, {{"N", 'N', 20, 15}}, {"0.123456789012345"});
  EXPECT_EQ(db::fieldGet(1).number().value, 0.123456789012345);
}

TEST_F(FieldValues, BinaryTypesOfVisualFoxPro) {
  using namespace test_support;
  expectAll(0x30, {
      {'I', 4, 0, le32(-123456), "N:-123456"},
      {'Y', 8, 4, le64(12000), "N:1.2000"},
      {'Y', 8, 4, le64(-5), "N:-0.0005"},
      {'Y', 8, 4, le64(INT64_MIN), "N:-922337203685477.5808"},
      {'B', 8, 2, leDouble(2.3), "N:2.3"},
      {'B', 8, 4, leDouble(100.0), "N:100"},
      {'T', 8, 0, vfpDateTime(2453846, 61984999), "C:20060420171304"},
      {'T', 8, 0, std::string(8, '\0'), "C:"},
      {'T', 8, 0, vfpDateTime(0, 5), "C:"},
      {'T', 8, 0, vfpDateTime(2415019, 0), "C:18991230000000"},
      {'T', 8, 0, vfpDateTime(1, 0), "C:" + vfpDateTime(1, 0)},
  });
}

TEST_F(FieldValues, BinaryTypesOfDbaseSeven) {
  using namespace test_support;
  const std::string zero8(8, '\0');
  expectAll(0x04, {
      {'I', 4, 0, level7Integer(1), "N:1"},
      {'I', 4, 0, level7Integer(-1), "N:-1"},
      {'+', 4, 0, level7Integer(5000000), "N:5000000"},
      {'I', 4, 0, std::string("\x7F\xB3\xB4\xC0", 4), "N:-5000000"},
      {'O', 8, 0, std::string("\xC0\x45\xD3\x33\x33\x33\x33\x33", 8), "N:43.65"},
      {'O', 8, 0, std::string("\x3F\x97\x00\x51\xEB\x85\x1E\xB7", 8), "N:-199.99"},
      {'O', 8, 0, level7Double(0.0), "N:0"},
      {'@', 8, 0, std::string("\x42\xCC\x41\x8B\xA9\x9A\x00\x00", 8), "C:19700101000000"},
      {'@', 8, 0, std::string("\x42\xCB\x40\x62\xAA\x88\x00\x00", 8), "C:19000101000000"},
      {'@', 8, 0, level7Timestamp(62135683200000.0 + 45296789.0), "C:19700101123456"},
      {'@', 8, 0, zero8, "C:"},
  });
}

TEST_F(FieldValues, VisualFoxProNullsAndVarcharLengthsComeFromNullFlags) {
  // Bits of _NullFlags in field order: V varlength 0, V null 1, N null 2.
  const std::vector<FieldSpec> fields = {{"Name", 'V', 6, 0, 0x02}, {"QTY", 'N', 4, 0, 0x02},
                                         {"PLAIN", 'C', 3}, {"_NullFlags", '0', 1, 0, 0x05}};
  open(0x32, fields, {std::string("ab\0\0\0\x02", 6), "  12", "xyz", "\x01"});
  EXPECT_EQ(db::fCount(), 3);
  EXPECT_EQ(db::fieldName(1), "Name");
  EXPECT_EQ(db::fieldName(4), "");
  EXPECT_EQ(typed(db::fieldGet(1)), "C:ab");
  EXPECT_EQ(typed(db::fieldGet(2)), "N:12");
  EXPECT_EQ(typed(db::fieldGet(3)), "C:xyz");
  open(0x32, fields, {"abcdef", "  12", "xyz", "\x06"});
  EXPECT_EQ(typed(db::fieldGet(1)), "C:");
  EXPECT_EQ(typed(db::fieldGet(2)), "C:");
  EXPECT_EQ(typed(db::fieldGet(3)), "C:xyz");
}

TEST_F(FieldValues, NullableFieldsWithoutNullFlagsAreNeverNull) {
  open(0x30, {{"A", 'C', 3, 0, 0x02}}, {"abc"});
  EXPECT_EQ(typed(db::fieldGet(1)), "C:abc");
}

TEST_F(FieldValues, WideCharacterFieldsUseTheDecimalByteOnlyWhenTheRecordSaysSo) {
  // 300 bytes: length byte 44, decimal byte 1; the record length agrees.
  open(0xF5, {{"NOTE", 'C', 300}, {"N", 'N', 2}}, {std::string(299, 'x') + "y", "42"});
  EXPECT_EQ(db::fieldGet(1).text().size(), 300u);
  EXPECT_EQ(db::fieldGet(1).text().back(), 'y');
  EXPECT_EQ(typed(db::fieldGet(2)), "N:42");
}

TEST_F(FieldValues, FieldNamesAreTheStoredBytesUpToTheFirstNul) {
  open(0x03, {{"mixedCase", 'C', 1}, {std::string("AB\0junk", 7), 'C', 1}, {"Point_ID", 'N', 1},
              {"Point_ID", 'C', 1}},
       {"a", "b", "1", "c"});
  ASSERT_EQ(db::fCount(), 4);
  EXPECT_EQ(db::fieldName(1), "mixedCase");
  EXPECT_EQ(db::fieldName(2), "AB");
  EXPECT_EQ(db::fieldName(3), "Point_ID");
  EXPECT_EQ(db::fieldName(4), "Point_ID");
  open(0x04, {{"Length CM", 'N', 3}, {"a name of thirty-one characters", 'C', 2}}, {"7", "ok"});
  EXPECT_EQ(db::fieldName(1), "Length CM");
  EXPECT_EQ(db::fieldName(2), "a name of thirty-one characters");
  EXPECT_EQ(typed(db::fieldGet(1)), "N:7");
}

TEST_F(FieldValues, DbaseTwoTablesReadTheirOwnLayout) {
  open(0x02, {{"NAME:", 'C', 5}, {"AMOUNT", 'N', 6, 2}, {"OK", 'L', 1}}, {"Smith", "3.5", "T"});
  ASSERT_EQ(db::fCount(), 3);
  EXPECT_EQ(db::fieldName(1), "NAME:");
  EXPECT_EQ(typed(db::fieldGet(1)), "C:Smith");
  EXPECT_EQ(typed(db::fieldGet(2)), "N:3.50");
  EXPECT_EQ(typed(db::fieldGet(3)), "L:T");
}

TEST_F(FieldValues, ZeroLengthFieldsHoldTheirTypesEmptyValue) {
  open(0x03, {{"A", 'C', 0}, {"B", 'N', 0, 2}, {"C", 'D', 0}, {"D", 'L', 0}, {"E", 'C', 2}},
       {"", "", "", "", "ok"});
  EXPECT_EQ(typed(db::fieldGet(1)), "C:");
  EXPECT_EQ(typed(db::fieldGet(2)), "N:0.00");
  EXPECT_EQ(typed(db::fieldGet(3)), "D:        ");
  EXPECT_EQ(typed(db::fieldGet(4)), "L:F");
  EXPECT_EQ(typed(db::fieldGet(5)), "C:ok");
}

TEST_F(FieldValues, PositionsOutsideTheFieldsGiveNil) {
  open(0x03, {{"A", 'C', 1}}, {"x"});
  EXPECT_TRUE(db::fieldGet(0).isNil());
  EXPECT_TRUE(db::fieldGet(2).isNil());
  EXPECT_EQ(db::fieldName(2), "");
}

TEST_F(FieldValues, AtEndOfFileEveryFieldIsEmpty) {
  open(0x04, {{"C", 'C', 2}, {"N", 'N', 4, 1}, {"D", 'D', 8}, {"I", 'I', 4}, {"O", 'O', 8}},
       {"ab", "1.5", "20240101", test_support::level7Integer(7), test_support::level7Double(2.5)});
  db::dbSkip();
  ASSERT_TRUE(db::eof());
  EXPECT_EQ(db::recNo(), 2u);
  EXPECT_EQ(typed(db::fieldGet(1)), "C:  ");
  EXPECT_EQ(typed(db::fieldGet(2)), "N:0.0");
  EXPECT_EQ(typed(db::fieldGet(3)), "D:        ");
  EXPECT_EQ(typed(db::fieldGet(4)), "N:0");
  EXPECT_EQ(typed(db::fieldGet(5)), "N:0");
}

}  // namespace
