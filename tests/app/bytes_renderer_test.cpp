// The export's fast path against the routines: every record rendered from
// its bytes must read exactly as DBF2ARRAY, VARTOCHAR and TRIM render it,
// for awkward stored bytes of every type and for every real table of the
// corpus; and the substitution agrees with the four passes of
// CHANGESPECIALCHARS at every length and position.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/error_block.hpp"
#include "platform/rt/settings.hpp"
#include "src/app/bytes_renderer.hpp"
#include "src/app/open_table.hpp"

#include "src/app/line_writer.hpp"
#include "platform/rt/code_page.hpp"
#include "src/app/substitute.hpp"
#include "src/app/values_renderer.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/dbf_writer.hpp"
#include "tests/support/fake_toolkit.hpp"
#include "tests/support/test_drivers.hpp"

namespace {

namespace fs = std::filesystem;
using test_support::FieldSpec;

// The formats both paths must agree in: the default, RFC 4180 quoting with
// a semicolon, a single-byte code page (a table per byte) with a tab, and a
// multi-byte one (the converter).
std::vector<std::pair<std::string, app::LineFormat>> formats() {
  rt::CodePageChars cp866{};
  EXPECT_EQ(rt::codePageChars("CP866", cp866), rt::CodePageKind::SingleByte);
  return {{"default", app::LineFormat::standard()},
          {"rfc4180 ;", app::makeLineFormat(true, ';', nullptr, false)},
          {"cp866 tab", app::makeLineFormat(false, '\t', &cp866, false)},
          {"cp866 rfc4180", app::makeLineFormat(true, ',', &cp866, false)},
          {"utf-8", app::makeConvertingFormat(false, ',', "UTF-8", false)}};
}

// Compares both renderings of every visible record of the table open in the
// current area, in every format; returns how many records were compared.
int compareAllRecords(const std::string& what) {
  int compared = 0;
  for (const auto& [name, format] : formats()) {
    app::LineWriter fastOut(format), routineOut(format);
    std::optional<app::BytesRenderer> renderer = app::BytesRenderer::forCurrentTable(fastOut);
    EXPECT_TRUE(renderer.has_value()) << what;
    if (!renderer) return 0;
    compared = 0;
    std::vector<bool> binary;
    const std::optional<db::RecordView> view = db::currentTable()->recordView();
    for (const db::StoredField& f : view->fields) binary.push_back(f.binary);
    rt::Array aRecord;
    for (db::dbGoTop(); !db::eof(); db::dbSkip(), ++compared) {
      const std::string fast(renderer->recordLine());
      app::dbf2Array(aRecord);
      EXPECT_EQ(fast, app::valuesLine(routineOut, aRecord, binary)) << what << " " << name << ", record " << db::recNo();
    }
  }
  return compared;
}

// `text` cut or padded with blanks to `width` bytes.
std::string fit(const std::string& text, std::size_t width) {
  std::string s = text.substr(0, width);
  s.resize(width, ' ');
  return s;
}

// Awkward stored bytes, one list per field; record i takes entry i + j of
// the list of field j, so neighbours differ from record to record.
const std::vector<std::string> kTexts = {
    "", "a", " lead", "quote\"d", "line\r\nbreak and a long tail", "soft\x8D\nbreak",
    std::string("nul\0inside", 10), std::string("pad\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20),
    "\"\"\"\"\"\"\"\"\"\"\"\"\"\"\"\"", "\x8D\x8D\x8D\x8D\x8D\x8D\x8D\x8D\x8D\x8D",
    "1234567\"", "12345678\r", "\xBF\xC0\xC1 high bytes", std::string(3, '\0'), "   ",
    std::string(61, 'x') + "\"yz", std::string(64, 'w') + "\"", std::string(40, ' ') + "tail"};
const std::vector<std::string> kWholes = {
    "     0", "    42", "   -42", "    -0", "  0042", "   1e3", "   1.5", "******", "      ",
    std::string(6, '\0'), std::string("  4\0 2", 6), "   +12", "  12  ", "-     ", "   -.0"};
const std::vector<std::string> kDecimals = {
    "     12.50", "    -12.50", "     -0.00", "      0.00", "     12.5 ", "    12.505",
    "  1,200.00", "       .50", "      -.50", "          ", "1234567.89", "     00.50",
    " 1.2345e2 ", "    -9.995", std::string("   \0\0\0\0.12", 10)};
const std::vector<std::string> kLongNumbers = {
    "       12345678.1234", "      -12345678.1234", "             -0.0000", "              0.0000",
    "   1234567890123.5  ", "                    ", "012345678901234.1234", "  1234567890.12345678",
    "             1.2e+03", std::string("          \0\0\0\0\0.1234", 20)};
const std::vector<std::string> kDates = {
    "20240131", "        ", std::string(8, '\0'), "00000000", "2024013 ", "abc\"defg",
    "2024-1-1", "99999999", " 2024013", "0000000 "};
const std::vector<std::string> kWideDates = {"20240131  ", "          ", "2024013100",
                                             std::string("20240131\0\0", 10), "00000000  "};
const std::vector<std::string> kLogicals = {"T", "t", "Y", "y", "N", "F", "?", " ",
                                            std::string(1, '\0')};

class BytesRendererTest : public testing::Test {
 protected:
  // Deleted records are passed over, as start-up sets it for the export.
  void SetUp() override {
    test_support::loadAllDrivers();
    deleted_ = rt::set(rt::Set::Deleted, rt::Value(true));
  }
  void TearDown() override {
    db::closeAll();
    rt::set(rt::Set::Deleted, deleted_);
  }

  rt::Value deleted_;

  app_test::ScratchDir dir_;
  testing_support::ScopedFakeToolkit toolkit_;
};

TEST_F(BytesRendererTest, AwkwardStoredBytesReadAsTheRoutinesReadThem) {
  test_support::TableShape shape;
  shape.fields = {{"C1", 'C', 1, 0},  {"C7", 'C', 7, 0},  {"C8", 'C', 8, 0},   {"C9", 'C', 9, 0},
                 {"C20", 'C', 20, 0}, {"N0", 'N', 6, 0},  {"N2", 'N', 10, 2},  {"D8", 'D', 8, 0},
                 {"D10", 'D', 10, 0}, {"L1", 'L', 1, 0},  {"C33", 'C', 33, 0}, {"N20", 'N', 20, 4},
                 {"C64", 'C', 64, 0}, {"C65", 'C', 65, 0}};
  const std::vector<std::pair<const std::vector<std::string>*, std::size_t>> columns = {
      {&kTexts, 1},     {&kTexts, 7}, {&kTexts, 8},      {&kTexts, 9},     {&kTexts, 20},
      {&kWholes, 6},    {&kDecimals, 10}, {&kDates, 8}, {&kWideDates, 10}, {&kLogicals, 1},
      {&kTexts, 33},    {&kLongNumbers, 20}, {&kTexts, 64}, {&kTexts, 65}};
  {
    test_support::DbfWriter writer("AWKWARD.DBF", shape);
    for (std::size_t i = 0; i < 60; ++i) {
      std::string record;
      for (std::size_t j = 0; j < columns.size(); ++j) {
        const auto& list = *columns[j].first;
        record += fit(list[(i + j) % list.size()], columns[j].second);
      }
      writer.appendRaw(record, i % 7 == 3);
    }
  }
  std::string driver;
  ASSERT_TRUE(app::openTable(driver, "AWKWARD.DBF", "INPUT", true));
  EXPECT_EQ(compareAllRecords("AWKWARD.DBF"), 60 - 9);
  EXPECT_TRUE(toolkit_->shown.empty());
}

// A Visual FoxPro table whose only field is its hidden _NullFlags: every
// record is an empty line.
TEST_F(BytesRendererTest, ATableWithNoVisibleFieldGivesEmptyLines) {
  test_support::TableShape shape;
  shape.version = 0x30;
  shape.fields = {{"_NullFlags", '0', 1, 0, 0x05}};
  {
    test_support::DbfWriter writer("HIDDEN.DBF", shape);
    for (int i = 0; i < 3; ++i) writer.appendRaw(std::string(1, '\0'));
  }
  std::string driver;
  ASSERT_TRUE(app::openTable(driver, "HIDDEN.DBF", "INPUT", true));
  EXPECT_EQ(compareAllRecords("HIDDEN.DBF"), 3);
  app::LineWriter out(app::LineFormat::standard());
  std::optional<app::BytesRenderer> renderer = app::BytesRenderer::forCurrentTable(out);
  ASSERT_TRUE(renderer.has_value());
  db::dbGoTop();
  EXPECT_EQ(renderer->recordLine(), "\r\n");
}

// Every table of the corpus that opens: memos, nulls, binary types, damaged
// records and all; errors the reading raises are answered with the default
// the same way on both paths.
TEST_F(BytesRendererTest, EveryCorpusTableReadsAsTheRoutinesReadIt) {
  rt::ErrorBlockGuard answerDefault([](const rt::ErrorPtr&) { return rt::Value(false); });
  int tables = 0, records = 0;
  for (const auto& entry : fs::recursive_directory_iterator(DBF2CSV_CORPUS_DIR)) {
    std::string ext = entry.path().extension().string();
    if (ext != ".dbf" && ext != ".DBF") continue;
    std::string driver;
    if (!app::openTable(driver, entry.path().string(), "INPUT", true)) continue;
    records += compareAllRecords(entry.path().filename().string());
    db::dbCloseArea();
    ++tables;
  }
  EXPECT_GE(tables, 50);
  EXPECT_GE(records, 5000);
}

// CHANGESPECIALCHARS as its four passes: 141 to 13, then 13 to 191, 10 to
// 192 and 34 to 193.
std::string fourPasses(std::string s) {
  for (const auto& [from, to] : {std::pair{141, 13}, {13, 191}, {10, 192}, {34, 193}}) {
    for (char& c : s) {
      if (static_cast<unsigned char>(c) == from) c = static_cast<char>(to);
    }
  }
  return s;
}

TEST(CopySubstituted, AgreesWithTheFourPassesAtEveryLengthAndPosition) {
  for (const char special : {'\n', '\r', '"', '\x8D'}) {
    for (std::size_t length = 1; length <= 25; ++length) {
      for (std::size_t at = 0; at < length; ++at) {
        std::string text(length, 'x');
        text[at] = special;
        if (at + 3 < length) text[at + 3] = '\xC1';
        std::string out(length + 2, '#');
        char* end = app::copySubstituted(out.data() + 1, text);
        EXPECT_EQ(end, out.data() + 1 + length);
        std::string expected(1, '#');
        expected += fourPasses(text);
        expected += '#';
        EXPECT_EQ(out, expected) << "length " << length << " at " << at;
      }
    }
  }
}

}  // namespace
