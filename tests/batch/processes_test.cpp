// Children of a batch: started in their folder with their messages in a
// file and the environment given, seen to end, ended at once; an interrupt
// is noted instead of ending the program.
#include "src/batch/processes.hpp"

#include <signal.h>

#include <chrono>
#include <gtest/gtest.h>

#include "tests/support/temp_dir.hpp"

namespace {

using batch::ChildCommand;
using batch::Children;
using batch::ProcessId;

ChildCommand shell(const rt_test::TempDir& dir, const std::string& script) {
  return ChildCommand{"/bin/sh", {"-c"}, {script}, dir.path(), dir / "messages.txt",
                      {{"BATCH_TEST", "given"}}};
}

TEST(Children, AChildRunsInItsFolderWithItsMessagesCapturedAndItsEndSeen) {
  rt_test::TempDir dir;
  Children children;
  ProcessId id{};
  const rt::Status s = children.start(
      shell(dir, "pwd; echo \"$BATCH_TEST\" >&2; read line && echo stdin not empty; exit 3"), id);
  ASSERT_TRUE(s.isOk()) << s.message();
  const auto end = children.waitNext();
  ASSERT_TRUE(end);
  EXPECT_EQ(end->id, id);
  EXPECT_FALSE(end->crashed);
  EXPECT_EQ(end->code, 3);
  EXPECT_EQ(rt_test::readFile(dir / "messages.txt"), dir.path() + "\ngiven\n");
  EXPECT_EQ(children.running(), 0u);
  EXPECT_FALSE(children.waitNext());  // nothing left to wait for
}

TEST(Children, ACrashIsToldAndAProgramThatCannotStartGivesTheReason) {
  rt_test::TempDir dir;
  Children children;
  ProcessId id{};
  ASSERT_TRUE(children.start(shell(dir, "kill -SEGV $$"), id).isOk());
  const auto end = children.waitNext();
  ASSERT_TRUE(end);
  EXPECT_TRUE(end->crashed);
  EXPECT_EQ(batch::crashDescription(end->code), "signal 11 (Segmentation fault)");

  ChildCommand missing = shell(dir, "");
  missing.program = dir / "no-such-program";
  const rt::Status refused = children.start(missing, id);
  EXPECT_EQ(refused.code(), rt::StatusCode::NotFound);
  EXPECT_EQ(refused.message(), "No such file or directory");
}

TEST(Children, AnInterruptIsNotedEndsTheWaitAndTheRunningChildrenCanBeEnded) {
  rt_test::TempDir dir;
  const auto begun = std::chrono::steady_clock::now();
  {
    Children children;
    ProcessId id{};
    const rt::Status s = children.start(shell(dir, "sleep 30"), id);
    ASSERT_TRUE(s.isOk()) << s.message();
    // The child keeps the default action of the interrupt: it does not
    // inherit the batch's blocked signals.
    ProcessId second{};
    ASSERT_TRUE(children.start(shell(dir, "kill -TERM $$; sleep 30"), second).isOk());
    const auto end = children.waitNext();
    ASSERT_TRUE(end);
    EXPECT_TRUE(end->crashed);
    EXPECT_EQ(end->code, SIGTERM);

    ::kill(::getpid(), SIGINT);  // the batch itself is interrupted, and lives
    EXPECT_FALSE(children.waitNext());
    EXPECT_TRUE(children.interrupted());
    children.end(id);
    EXPECT_EQ(children.running(), 0u);
    ::kill(::getpid(), SIGTERM);  // a second interrupt is still the batch's
  }
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(10));
  sigset_t pending;
  sigpending(&pending);
  EXPECT_FALSE(sigismember(&pending, SIGTERM));
}

}  // namespace
