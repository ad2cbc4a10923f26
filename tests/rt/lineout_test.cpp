#include "platform/rt/lineout.hpp"

#include <gtest/gtest.h>

#include "platform/rt/error_block.hpp"
#include "platform/rt/lineout_test_helper.hpp"
#include "platform/rt/os_file_test_helper.hpp"
#include "platform/rt/output_file.hpp"
#include "platform/rt/settings_test_helper.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

class LineoutTest : public testing::Test {
 protected:
  void SetUp() override {
    rt::resetSettings();
    dir.enter();
    rt::setConsoleWriter([this](std::string_view s) { console.append(s); });
  }
  void TearDown() override {
    rt::failWritesAfter(0, 0);
    rt::resetSettings();
    rt::setConsoleWriter({});
  }
  rt_test::TempDir dir;
  std::string console;
};

TEST_F(LineoutTest, QoutGoesToTheAlternateFileWithCrLf) {
  rt::set(rt::Set::Console, "OFF");
  rt::set(rt::Set::AltFile, "APPERROR.LOG", false);
  rt::set(rt::Set::Alternate, "ON");
  rt::qOut({rt::Value("oError:genCode      :"), rt::Value(21)});
  rt::qOut({rt::Value("oError:canRetry     :"), rt::Value(false)});
  rt::qqOut({rt::Value(" more"), rt::Value()});
  rt::qOut();
  rt::set(rt::Set::AltFile, "");
  rt::set(rt::Set::Alternate, "OFF");
  EXPECT_EQ(rt_test::readFile(dir / "APPERROR.LOG"),
            "\r\noError:genCode      : 21\r\noError:canRetry     : .F. more NIL\r\n");
  EXPECT_EQ(console, "");
}

TEST_F(LineoutTest, EveryChannelSwitchedOnGetsTheLine) {
  rt::set(rt::Set::AltFile, "ALT.TXT", false);
  rt::set(rt::Set::ExtraFile, "EXTRA.TXT", false);
  rt::set(rt::Set::PrintFile, "PRINTED.TXT", false);
  rt::qOut({rt::Value("none")});  // only the console is on
  rt::set(rt::Set::Alternate, true);
  rt::set(rt::Set::Extra, true);
  rt::set(rt::Set::Printer, true);
  rt::qOut({rt::Value("all")});
  rt::set(rt::Set::Console, false);
  rt::set(rt::Set::Extra, false);
  rt::qqOut({rt::Value("!")});
  rt::resetSettings();
  EXPECT_EQ(console, "\nnone\nall");
  EXPECT_EQ(rt_test::readFile(dir / "ALT.TXT"), "\r\nall!");
  EXPECT_EQ(rt_test::readFile(dir / "EXTRA.TXT"), "\r\nall");
  EXPECT_EQ(rt_test::readFile(dir / "PRINTED.TXT"), "\r\nall!");
}

TEST_F(LineoutTest, AdditiveKeepsWhatTheFileHeldAndNewEmptiesIt) {
  dir.write("ALT.TXT", "before");
  rt::set(rt::Set::Alternate, true);
  rt::set(rt::Set::AltFile, "alt.txt", true);
  rt::qqOut({rt::Value("+1")});
  rt::set(rt::Set::AltFile, "");
  EXPECT_EQ(rt_test::readFile(dir / "ALT.TXT"), "before+1");
  rt::set(rt::Set::AltFile, "ALT.TXT", false);
  rt::qqOut({rt::Value("new")});
  rt::set(rt::Set::AltFile, "");
  EXPECT_EQ(rt_test::readFile(dir / "ALT.TXT"), "new");
}

TEST_F(LineoutTest, AFileThatCannotBeOpenedRaisesInTheGuardedSequence) {
  std::filesystem::create_directory(dir / "APPERROR.LOG");  // a directory is in the way
  rt::Value broke;
  rt::sequence(
      [] {
        rt::ErrorBlockGuard guard(rt::breakBlock());
        rt::set(rt::Set::AltFile, "APPERROR.LOG", false);
      },
      [&](const rt::Value& v) { broke = v; });
  ASSERT_TRUE(broke.isObject());
  auto error = std::dynamic_pointer_cast<rt::ErrorObject>(broke.object());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->genCode, 20);
  EXPECT_EQ(error->osCode, 5);
  EXPECT_EQ(error->operation, "SET");
  EXPECT_EQ(error->description, "Cannot create file APPERROR.LOG");
  EXPECT_EQ(rt::set(rt::Set::AltFile).text(), "");
}

TEST_F(LineoutTest, AnIgnoredOpenFailureLeavesTheChannelClosed) {
  std::filesystem::create_directory(dir / "X.LOG");
  int calls = 0;
  rt::ErrorBlockGuard guard([&](const rt::ErrorPtr&) {
    ++calls;
    return rt::Value(false);
  });
  rt::set(rt::Set::Alternate, true);
  rt::Value previous = rt::set(rt::Set::AltFile, "X.LOG", false);
  EXPECT_EQ(previous.text(), "");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(rt::set(rt::Set::AltFile).text(), "");
  rt::qOut({rt::Value("console only")});
  EXPECT_EQ(console, "\nconsole only");
}

TEST_F(LineoutTest, AFailedWriteAsksTheBlockAndARetryWritesTheRest) {
  rt::set(rt::Set::Console, false);
  rt::set(rt::Set::Alternate, true);
  rt::set(rt::Set::AltFile, "ALT.TXT", false);
  std::vector<int> genCodes;
  rt::ErrorBlockGuard guard([&](const rt::ErrorPtr& e) {
    genCodes.push_back(e->genCode);
    rt::failWritesAfter(0, 0);  // the disk has room again
    return rt::Value(true);
  });
  rt::failWritesAfter(4, rt::dos::DiskFull);
  rt::qOut({rt::Value("abcdef")});
  rt::set(rt::Set::AltFile, "");
  EXPECT_EQ(genCodes, std::vector<int>{24});
  EXPECT_EQ(rt_test::readFile(dir / "ALT.TXT"), "\r\nabcdef");
}

TEST_F(LineoutTest, OutErrWritesToStandardError) {
  testing::internal::CaptureStderr();
  rt::outErr({rt::Value("\n"), rt::Value("Unable to open error log file")});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "\n Unable to open error log file");
  EXPECT_EQ(console, "");
}

}  // namespace
