// The standard error handler: its silent answers, the windowed box and the
// text-mode alert with every choice, and the handler's own failures.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/error_codes.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/strings.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/errors/errors.hpp"
#include "src/errors/handler.hpp"
#include "tests/errors/errors_fixture.hpp"

namespace {

using errors_test::ErrorsTest;
using errors_test::makeError;
using errors_test::Outcome;
using errors_test::runToEnd;

constexpr int kStyle = 131072;
// What a text-mode run that ends with the log writes on standard error for
// the error of makeError(rt::gen::Read, ...): its message as one line, then
// the log's notice.
const std::string kReasonLine =
    "Error DBFNTX/1012 Description : Corruption detected File : ORDERS.DBF Operation : DBSKIP "
    "Thread ID : 1\n";
const std::string kLogNotice = "\n\rError log was written to the file APPERROR.LOG";

class HandlerTest : public ErrorsTest {
 protected:
  Outcome handle(const rt::ErrorPtr& e) {
    return runToEnd([&] { return errors::standardEh(e); });
  }
  bool logWritten() const { return std::filesystem::exists(dir_ / "APPERROR.LOG"); }
  // The message of the first box with CR turned back into ";".
  std::string firstBoxText() const {
    return kit_->shown.empty() ? "" : rt::strTran(kit_->shown[0].text, "\r", ";");
  }
};

// The error was raised in INNER, called from OUTER; the lines where each
// routine stood are kept for the call stack.
int innerLine = 0, outerLine = 0;

rt::Answer raiseIn(const rt::ErrorPtr& e) {
  RT_PROC("INNER");
  RT_LINE(); innerLine = __LINE__;
  return rt::raise(e);
}

rt::Answer raiseFromOuter(const rt::ErrorPtr& e) {
  RT_PROC("OUTER");
  RT_LINE(); outerLine = __LINE__;
  return raiseIn(e);
}

TEST_F(HandlerTest, SilentCasesAnswerWithoutAWord) {
  struct Case {
    const char* name;
    int genCode, osCode;
    bool canDefault, canSubstitute;
    rt::Value expected;
  } cases[] = {
      {"11 substitutes 0", rt::gen::ZeroResult, 0, false, false, rt::Value(0)},
      {"11 with canSubstitute", rt::gen::ZeroResult, 0, true, true, rt::Value(0)},
      {"71 sharing violation defaulted", rt::gen::SharingViolation, rt::kOsSharingViolation, true,
       false, rt::Value(false)},
      {"78 defaulted", rt::gen::QuietDefault, 0, true, false, rt::Value(false)},
      {"78 with an osCode defaulted", rt::gen::QuietDefault, 5, true, false, rt::Value(false)},
  };
  windowed();
  for (const Case& c : cases) {
    auto e = makeError(c.genCode, false, c.canDefault);
    e->osCode = c.osCode;
    e->canSubstitute = c.canSubstitute;
    Outcome out = handle(e);
    ASSERT_EQ(out.kind, Outcome::Returned) << c.name;
    EXPECT_EQ(out.value.type(), c.expected.type()) << c.name;
    if (c.expected.isNumber()) {
      EXPECT_EQ(out.value.num(), 0) << c.name;
    }
    if (c.expected.isLogical()) {
      EXPECT_FALSE(out.value.logical()) << c.name;
    }
    EXPECT_TRUE(e->cargo.isNil()) << c.name;
  }
  EXPECT_TRUE(kit_->shown.empty());
  EXPECT_FALSE(logWritten());
  EXPECT_EQ(rt::errorLevel(), 0);
}

TEST_F(HandlerTest, NearMissesOfTheSilentCasesAreShown) {
  struct Case {
    const char* name;
    int genCode, osCode;
    bool canDefault;
  } cases[] = {
      {"71/32 that cannot be defaulted", rt::gen::SharingViolation, rt::kOsSharingViolation, false},
      {"71 with another osCode", rt::gen::SharingViolation, 5, true},
      {"78 that cannot be defaulted", rt::gen::QuietDefault, 0, false},
      {"32 with osCode 32", rt::gen::Corruption, rt::kOsSharingViolation, true},
  };
  windowed();
  for (const Case& c : cases) {
    kit_->shown.clear();
    kit_->confirmAnswers = {ui::Answer::Ok};
    auto e = makeError(c.genCode, false, c.canDefault);
    e->osCode = c.osCode;
    EXPECT_EQ(handle(e).kind, Outcome::Quit) << c.name;
    EXPECT_EQ(kit_->texts("confirmBox").size(), 1u) << c.name;
  }
}

// A database session that reports the outcome it is given.
class TestSession : public db::DbSessionObject {
 public:
  TestSession(int error, std::string message) : error_(error), message_(std::move(message)) {}
  int getLastError() override { return error_; }
  std::string getLastMessage() override { return message_; }

 private:
  int error_;
  std::string message_;
};

struct SessionScope {
  explicit SessionScope(int error, std::string message) {
    db::setDbSession(rt::Value(std::shared_ptr<rt::Object>(
        std::make_shared<TestSession>(error, std::move(message)))));
  }
  ~SessionScope() { db::setDbSession(rt::Value()); }
};

TEST_F(HandlerTest, SessionWithoutErrorLeavesTheCargo) {
  SessionScope session(0, "no error");
  windowed();
  auto e = makeError(rt::gen::Read, true, true);
  e->cargo = "kept";
  kit_->confirmAnswers = {ui::Answer::Ignore};
  handle(e);
  ASSERT_TRUE(e->cargo.isString());
  EXPECT_EQ(e->cargo.text(), "kept");
  EXPECT_EQ(firstBoxText().find(";kept"), std::string::npos);
}

TEST_F(HandlerTest, SessionErrorEnrichesTheCargoAndTheMessage) {
  SessionScope session(942, "ORA-00942: table or view does not exist in the schema of the ledger");
  windowed();
  struct Case {
    const char* name;
    rt::Value previous;
    const char* cargoLines;
  } cases[] = {
      {"previous NIL", rt::Value(), ";ORA-00942: table or view does not exist in the;schema of the ledger"},
      {"previous text", rt::Value("while exporting"),
       ";while exporting;ORA-00942: table or view does not exist in the;schema of the ledger"},
  };
  for (const Case& c : cases) {
    kit_->shown.clear();
    auto e = makeError(rt::gen::Read, true, true);
    e->fileName.clear();
    e->operation.clear();
    e->cargo = c.previous;
    kit_->confirmAnswers = {ui::Answer::Ignore};
    handle(e);
    ASSERT_TRUE(e->cargo.isArray()) << c.name;
    const rt::Array& cargo = e->cargo.array();
    ASSERT_EQ(cargo.size(), 3u) << c.name;
    EXPECT_EQ(cargo[0].type(), c.previous.type()) << c.name;
    EXPECT_EQ(cargo[1].num(), 942) << c.name;
    EXPECT_EQ(cargo[2].text(), "ORA-00942: table or view does not exist in the schema of the ledger");
    EXPECT_EQ(firstBoxText(),
              std::string("Error DBFNTX/1012;Description : Corruption detected;Thread ID : 1") +
                  c.cargoLines)
        << c.name;
  }
}

TEST_F(HandlerTest, WindowedButtonSetsAndAnswers) {
  struct Case {
    const char* name;
    bool canRetry, canDefault;
    ui::Buttons buttons;
    std::vector<ui::Answer> answers;
    Outcome::Kind kind;
    bool returned;  // the logical returned, when it returned
  } cases[] = {
      {"abort", true, true, ui::Buttons::AbortRetryIgnore, {ui::Answer::Abort}, Outcome::Quit, false},
      {"retry of three", true, true, ui::Buttons::AbortRetryIgnore, {ui::Answer::Retry}, Outcome::Returned, true},
      {"ignore", true, true, ui::Buttons::AbortRetryIgnore, {ui::Answer::Ignore}, Outcome::Returned, false},
      {"retry of two", true, false, ui::Buttons::RetryCancel, {ui::Answer::Retry}, Outcome::Returned, true},
      {"cancel, no", true, false, ui::Buttons::RetryCancel, {ui::Answer::Cancel, ui::Answer::No}, Outcome::Broke, false},
      {"cancel, yes", true, false, ui::Buttons::RetryCancel, {ui::Answer::Cancel, ui::Answer::Yes}, Outcome::Quit, false},
      {"ok of two", false, true, ui::Buttons::OkCancel, {ui::Answer::Ok}, Outcome::Quit, false},
      {"cancel of ok, no", false, true, ui::Buttons::OkCancel, {ui::Answer::Cancel, ui::Answer::No}, Outcome::Broke,
       false},
      {"cancel of ok, yes", false, true, ui::Buttons::OkCancel, {ui::Answer::Cancel, ui::Answer::Yes}, Outcome::Quit,
       false},
      {"ok alone", false, false, ui::Buttons::Ok, {ui::Answer::Ok}, Outcome::Quit, false},
      {"retry not offered", false, false, ui::Buttons::Ok, {ui::Answer::Retry}, Outcome::Quit, false},
  };
  windowed();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kit_->shown.clear();
    kit_->confirmAnswers.assign(c.answers.begin(), c.answers.end());
    std::filesystem::remove(dir_ / "APPERROR.LOG");
    rt::errorLevel(0);
    auto e = makeError(rt::gen::Read, c.canRetry, c.canDefault);
    Outcome out = handle(e);

    ASSERT_FALSE(kit_->shown.empty());
    EXPECT_EQ(kit_->shown[0].kind, "confirmBox");
    EXPECT_EQ(kit_->shown[0].title, "Runtime Error Message");
    EXPECT_EQ(kit_->shown[0].buttons, c.buttons);
    EXPECT_EQ(out.kind, c.kind);
    if (c.kind == Outcome::Returned) {
      EXPECT_EQ(out.value.logical(), c.returned);
    }
    if (c.kind == Outcome::Broke) {
      EXPECT_EQ(out.value.object().get(), e.get());
    }
    EXPECT_EQ(logWritten(), c.kind == Outcome::Quit);
    EXPECT_EQ(rt::errorLevel(), c.kind == Outcome::Quit ? 1 : 0);
    if (c.answers[0] == ui::Answer::Cancel) {
      ASSERT_GE(kit_->shown.size(), 2u);
      EXPECT_EQ(kit_->shown[1].kind, "confirmBox");
      EXPECT_EQ(kit_->shown[1].text, "Exit with LOG file");
      EXPECT_EQ(kit_->shown[1].title, "Runtime Error Message");
      EXPECT_EQ(kit_->shown[1].buttons, ui::Buttons::YesNo);
      EXPECT_EQ(kit_->shown[1].style, 131120);
    }
    if (c.kind == Outcome::Quit) {
      EXPECT_EQ(kit_->texts("msgBox"),
                std::vector<std::string>{"Error log was written to the file APPERROR.LOG"});
    }
  }
}

TEST_F(HandlerTest, IconFollowsSeverity) {
  const std::pair<int, int> cases[] = {{3, 16}, {2, 16}, {1, 48}, {0, 64}, {4, 64}, {-1, 64}};
  windowed();
  for (auto [severity, icon] : cases) {
    kit_->shown.clear();
    auto e = makeError(rt::gen::Read, true, true);
    e->severity = severity;
    kit_->confirmAnswers = {ui::Answer::Ignore};
    handle(e);
    ASSERT_EQ(kit_->shown.size(), 1u);
    EXPECT_EQ(kit_->shown[0].style, icon + kStyle) << "severity " << severity;
  }
}

TEST_F(HandlerTest, WindowedMessageHasOsLinesAndTheCallStackOfTheRaisingRoutine) {
  windowed();
  rt::ErrorBlockGuard keep(rt::errorBlock());
  errors::errorSys();
  auto e = makeError(rt::gen::Read, true, true);
  e->osCode = 5;
  kit_->confirmAnswers = {ui::Answer::Ignore};
  rt::Answer answer = raiseFromOuter(e);
  EXPECT_EQ(answer.kind, rt::Answer::Default);
  ASSERT_EQ(kit_->shown.size(), 1u);
  EXPECT_EQ(kit_->shown[0].text,
            "Error DBFNTX/1012\rDescription : Corruption detected\rFile : ORDERS.DBF\r"
            "Operation : DBSKIP\rThread ID : 1\rOperating system error : 5\r" +
                rt::dosErrorMessage(5) + "\rCalled from INNER(" + std::to_string(innerLine) +
                ")\rCalled from OUTER(" + std::to_string(outerLine) + ")");
}

TEST_F(HandlerTest, WindowedMessageTakesTheErrorsOwnCallStackAsItComes) {
  windowed();
  auto e = makeError(rt::gen::Read, true, false);
  e->fileName.clear();
  e->operation.clear();
  e->getCallstack = [](const std::string& separator) {
    return separator + "DBSKIP(0)" + separator + "MAIN(40)";
  };
  kit_->confirmAnswers = {ui::Answer::Retry};
  EXPECT_EQ(handle(e).value.logical(), true);
  EXPECT_EQ(firstBoxText(),
            "Error DBFNTX/1012;Description : Corruption detected;Thread ID : 1;DBSKIP(0);MAIN(40)");
}

TEST_F(HandlerTest, TextModeOptionListsFollowTheError) {
  struct Case {
    bool canRetry, canDefault;
    const char* options;
  } cases[] = {
      {false, false, "Cancel|Exit with LOG file"},
      {true, false, "Cancel|Exit with LOG file|Retry"},
      {false, true, "Cancel|Exit with LOG file|Ignore"},
      {true, true, "Cancel|Exit with LOG file|Retry|Ignore"},
  };
  textMode(true);
  for (const Case& c : cases) {
    kit_->shown.clear();
    kit_->textAlertAnswers = {1};  // Cancel
    EXPECT_EQ(handle(makeError(rt::gen::Read, c.canRetry, c.canDefault)).kind, Outcome::Broke);
    ASSERT_EQ(kit_->shown.size(), 1u);
    EXPECT_EQ(kit_->shown[0].title, c.options);
  }
}

TEST_F(HandlerTest, TextModeActsOnTheChosenOption) {
  struct Case {
    const char* name;
    int choice;
    Outcome::Kind kind;
  } cases[] = {
      {"Cancel", 1, Outcome::Broke},
      {"Exit with LOG file", 2, Outcome::Quit},
      {"Retry", 3, Outcome::Returned},
      {"Ignore", 4, Outcome::Returned},
  };
  textMode(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kit_->shown.clear();
    kit_->textAlertAnswers = {c.choice};
    rt::errorLevel(0);
    std::filesystem::remove(dir_ / "APPERROR.LOG");
    auto e = makeError(rt::gen::Read, true, true);
    testing::internal::CaptureStderr();
    Outcome out = handle(e);
    // The error goes to standard error on one line before the log's notice,
    // which goes there too since the window is no console.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              c.kind == Outcome::Quit ? kReasonLine + kLogNotice : "");
    EXPECT_EQ(out.kind, c.kind);
    if (c.choice == 3) {
      EXPECT_TRUE(out.value.logical());
    }
    if (c.choice == 4) {
      EXPECT_FALSE(out.value.logical());
    }
    if (c.choice == 1) {
      EXPECT_EQ(out.value.object().get(), e.get());
    }
    EXPECT_EQ(logWritten(), c.kind == Outcome::Quit);
    EXPECT_EQ(rt::errorLevel(), c.kind == Outcome::Quit ? 1 : 0);
    EXPECT_TRUE(kit_->texts("confirmBox").empty());
  }
}

TEST_F(HandlerTest, DismissedAlertComesBackAndTheCursorIsPutBack) {
  textMode(true);
  kit_->textAlertAnswers = {0, 0, 4};
  auto e = makeError(rt::gen::Read, true, true);
  e->osCode = 2;
  Outcome out = handle(e);
  EXPECT_EQ(out.kind, Outcome::Returned);
  EXPECT_FALSE(out.value.logical());
  std::vector<std::string> alerts = kit_->texts("textAlert");
  ASSERT_EQ(alerts.size(), 3u);
  const std::string expected =
      "Error DBFNTX/1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
      "Thread ID : 1;Operating system error : 2;" + rt::dosErrorMessage(2);
  for (const std::string& text : alerts) EXPECT_EQ(text, expected);
  EXPECT_EQ(kit_->cursorAt, (std::pair<int, int>{5, 7}));
}

TEST_F(HandlerTest, NoApplicationWindowLogsAndQuitsWithoutAsking) {
  textMode(false);
  testing::internal::CaptureStderr();
  Outcome out = handle(makeError(rt::gen::Read, true, true));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(out.kind, Outcome::Quit);
  EXPECT_EQ(rt::errorLevel(), 1);
  EXPECT_TRUE(kit_->shown.empty());
  EXPECT_NE(logFile().find("oError:description  : Corruption detected"), std::string::npos);
  EXPECT_EQ(err, kReasonLine + kLogNotice);
}

TEST_F(HandlerTest, ErrorSysInstallsTheHandlerAsTheErrorBlock) {
  rt::ErrorBlockGuard keep(rt::errorBlock());
  errors::errorSys();
  rt::Answer answer = rt::raise(makeError(rt::gen::ZeroResult));
  EXPECT_EQ(answer.kind, rt::Answer::Substitute);
  EXPECT_EQ(answer.value.num(), 0);
}

TEST_F(HandlerTest, AnErrorInsideTheHandlerEndsTheProgramOnTheErrorStream) {
  windowed();
  rt::ErrorBlockGuard keep(rt::errorBlock());
  errors::errorSys();
  auto e = makeError(rt::gen::Read, true, true);
  e->getCallstack = [](const std::string&) -> std::string {
    auto inner = makeError(rt::gen::Write);
    inner->description = "Cannot write file STACK.TXT";
    inner->fileName = "STACK.TXT";
    inner->operation = "FWRITE";
    (void)rt::raise(inner);
    return "";
  };
  testing::internal::CaptureStderr();
  Outcome out = runToEnd([&] { return rt::Value(rt::raise(e).kind == rt::Answer::Retry); });
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(out.kind, Outcome::Quit);
  EXPECT_EQ(rt::errorLevel(), 1);
  EXPECT_TRUE(kit_->shown.empty());
  EXPECT_FALSE(logWritten());
  EXPECT_EQ(err,
            "\nError while handling a runtime error:\nError DBFNTX/1012\n"
            "Description : Cannot write file STACK.TXT\nFile : STACK.TXT\nOperation : FWRITE\n"
            "Thread ID : 1\n");
}

}  // namespace
