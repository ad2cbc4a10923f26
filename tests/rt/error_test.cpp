#include "platform/rt/error_block.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/program_end.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

rt::ErrorPtr anError(const char* description = "Table damaged") {
  auto e = std::make_shared<rt::ErrorObject>();
  e->description = description;
  return e;
}

rt::Value answerOf(const rt::ErrorPtr&) { return rt::Value("first"); }

// Which block is in force: the one that answers "first", or another.
bool firstInForce() {
  rt::Value v = rt::errorBlock()(anError());
  return v.isString() && v.text() == "first";
}

TEST(ErrorTest, GuardPutsThePreviousBlockBackOnEveryPath) {
  rt::ErrorBlockGuard outer(answerOf);
  auto other = [](const rt::ErrorPtr&) { return rt::Value(false); };
  { rt::ErrorBlockGuard g(other); EXPECT_FALSE(firstInForce()); }
  EXPECT_TRUE(firstInForce());
  EXPECT_THROW({ rt::ErrorBlockGuard g(other); throw std::runtime_error("x"); }, std::runtime_error);
  EXPECT_TRUE(firstInForce());
  rt::sequence([&] { rt::ErrorBlockGuard g(other); rt::breakWith(1); }, [](const rt::Value&) {});
  EXPECT_TRUE(firstInForce());
  EXPECT_THROW({ rt::ErrorBlockGuard g(other); rt::quit(); }, rt::QuitSignal);
  EXPECT_TRUE(firstInForce());
}

TEST(ErrorTest, ErrorBlockReturnsTheBlockItReplaces) {
  rt::ErrorBlockGuard outer(answerOf);
  rt::ErrorBlock previous = rt::errorBlock([](const rt::ErrorPtr&) { return rt::Value(); });
  EXPECT_EQ(previous(anError()).text(), "first");
  rt::errorBlock(previous);
  EXPECT_TRUE(firstInForce());
}

struct AnswerCase {
  rt::Value blockAnswer;
  rt::Answer::Kind kind;
};

TEST(ErrorTest, RaiseTurnsTheBlocksAnswerIntoWhatTheOperationDoes) {
  const AnswerCase cases[] = {
      {rt::Value(true), rt::Answer::Retry},
      {rt::Value(false), rt::Answer::Default},
      {rt::Value(), rt::Answer::Default},
      {rt::Value("text"), rt::Answer::Default},
      {rt::Value(0), rt::Answer::Substitute},
      {rt::Value::number(2.5, 1), rt::Answer::Substitute},
  };
  for (const auto& c : cases) {
    rt::ErrorBlockGuard g([&](const rt::ErrorPtr&) { return c.blockAnswer; });
    auto error = anError();
    rt::Answer a = rt::raise(error);
    EXPECT_EQ(a.kind, c.kind) << c.blockAnswer.type();
    EXPECT_EQ(error->tries, 1);
    if (c.kind == rt::Answer::Substitute) {
      EXPECT_EQ(a.value.num(), c.blockAnswer.num());
    }
  }
}

TEST(ErrorTest, EachTryIsCounted) {
  int calls = 0;
  rt::ErrorBlockGuard g([&](const rt::ErrorPtr& e) {
    ++calls;
    return rt::Value(e->tries < 3);
  });
  auto error = anError();
  while (rt::raise(error).kind == rt::Answer::Retry) {
  }
  EXPECT_EQ(error->tries, 3);
  EXPECT_EQ(calls, 3);
}

TEST(ErrorTest, BreakBlockLeavesTheSequenceWithTheErrorObject) {
  auto error = anError("lost lock");
  rt::Value recovered;
  bool after = false;
  rt::sequence(
      [&] {
        rt::ErrorBlockGuard g(rt::breakBlock());
        (void)rt::raise(error);
        after = true;
      },
      [&](const rt::Value& v) { recovered = v; });
  EXPECT_FALSE(after);
  ASSERT_TRUE(recovered.isObject());
  EXPECT_EQ(recovered.object().get(), error.get());
}

TEST(ErrorTest, SequenceRecoversOnlyFromABreak) {
  int recovers = 0;
  rt::sequence([] {}, [&](const rt::Value&) { ++recovers; });
  EXPECT_EQ(recovers, 0);
  rt::Value got;
  rt::sequence([] { rt::sequence([] { rt::breakWith("inner"); }, [](const rt::Value&) {}); rt::breakWith("outer"); },
               [&](const rt::Value& v) { got = v; });
  EXPECT_EQ(got.text(), "outer");
  EXPECT_THROW(rt::sequence([] { throw std::runtime_error("not a break"); }, [](const rt::Value&) {}),
               std::runtime_error);
}

TEST(ErrorTest, WithoutABlockOfItsOwnTheProgramReportsAndQuitsWithOne) {
  rt::ErrorBlockGuard g(nullptr);
  int previous = rt::errorLevel(0);
  testing::internal::CaptureStderr();
  EXPECT_THROW((void)rt::raise(anError("Cannot open file ORDERS.DBF")), rt::QuitSignal);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Cannot open file ORDERS.DBF\n");
  EXPECT_EQ(rt::errorLevel(previous), 1);
}

TEST(ErrorTest, RaiseFatalEndsTheProgramWhenTheBlockReturns) {
  rt::ErrorBlockGuard g([](const rt::ErrorPtr& e) { return rt::Value(e->canRetry); });
  int previous = rt::errorLevel(0);
  auto error = anError();
  error->canRetry = true;
  EXPECT_THROW(rt::raiseFatal(error), rt::QuitSignal);
  EXPECT_FALSE(error->canRetry);
  EXPECT_EQ(rt::errorLevel(previous), 1);
}

TEST(ErrorTest, ErrorLevelIsSetAndReturnsThePrevious) {
  int previous = rt::errorLevel(7);
  EXPECT_EQ(rt::errorLevel(), 7);
  EXPECT_EQ(rt::errorLevel(previous), 7);
}

void inner(std::string& names) {
  RT_PROC("INNER");
  for (int level = 0; !rt::procName(level).empty(); ++level) names += rt::procName(level) + " ";
}

TEST(ErrorTest, CallFramesNameEveryLevel) {
  std::string names;
  {
    RT_PROC("MAIN");
    inner(names);
    EXPECT_EQ(rt::procName(), "MAIN");
  }
  EXPECT_EQ(names, "INNER MAIN ");
  EXPECT_EQ(rt::procName(0), "");
  EXPECT_EQ(rt::procLine(0), 0);
  EXPECT_EQ(rt::procName(-1), "");
}

TEST(ErrorTest, ProcLineTellsTheLineOfEachLevel) {
  RT_PROC("OUTER");
  RT_LINE();
  int outerLine = __LINE__ - 1;
  int innerLine = 0;
  {
    RT_PROC("INNER");
    RT_LINE();
    innerLine = __LINE__ - 1;
    EXPECT_EQ(rt::procLine(0), innerLine);
    EXPECT_EQ(rt::procLine(1), outerLine);
    EXPECT_EQ(rt::procName(1), "OUTER");
  }
  EXPECT_EQ(rt::procLine(0), outerLine);
}

TEST(ErrorTest, FramesUnwindWithExceptions) {
  RT_PROC("KEEP");
  try {
    RT_PROC("GONE");
    rt::quit();
  } catch (rt::QuitSignal&) {
  }
  EXPECT_EQ(rt::procName(), "KEEP");
  EXPECT_EQ(rt::procName(1), "");
}

}  // namespace
