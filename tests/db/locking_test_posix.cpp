// Shared and exclusive opening between two processes: advisory locks that
// another process's conflicting open respects, and the error it gets. The
// other process is made by fork().
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "tests/db/locking_fixture.hpp"

namespace {

using db_test::Locking;

// A child process that opens a table and holds it until released.
class Holder {
 public:
  Holder(const std::string& path, bool shared) {
    if (pipe(toChild_) != 0 || pipe(fromChild_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const bool opened = !db_test::openUnder("DBFNTX", path, shared);
      char c = opened ? '1' : '0';
      (void)!write(fromChild_[1], &c, 1);
      (void)!read(toChild_[0], &c, 1);
      _exit(0);
    }
    char c = '0';
    opened_ = read(fromChild_[0], &c, 1) == 1 && c == '1';
  }
  ~Holder() { release(); }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

  bool opened() const { return opened_; }
  // Lets the child close the table and end, and waits for it.
  void release() {
    if (pid_ <= 0) return;
    (void)!write(toChild_[1], "x", 1);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    for (int fd : {toChild_[0], toChild_[1], fromChild_[0], fromChild_[1]}) close(fd);
  }

 private:
  int toChild_[2] = {-1, -1}, fromChild_[2] = {-1, -1};
  pid_t pid_ = -1;
  bool opened_ = false;
};

TEST_F(Locking, OpeningsConflictAsTheirModesSay) {
  struct Case {
    bool otherShared, mineShared, mineOpens;
  };
  for (const Case c : {Case{true, true, true}, Case{true, false, false}, Case{false, true, false},
                       Case{false, false, false}}) {
    SCOPED_TRACE(std::to_string(c.otherShared) + std::to_string(c.mineShared));
    Holder other(path_, c.otherShared);
    ASSERT_TRUE(other.opened());
    const std::optional<std::string> error = db_test::openUnder("DBFNTX", path_, c.mineShared);
    if (c.mineOpens) {
      EXPECT_FALSE(error) << *error;
    } else {
      EXPECT_EQ(error, "Table " + path_ + " is held by another process");
      EXPECT_TRUE(db::workspaceList().empty());
    }
    db::closeAll();
  }
}

TEST_F(Locking, TheRefusalIsASharingViolationThatMayBeRetried) {
  Holder other(path_, false);
  ASSERT_TRUE(other.opened());
  db_test::AnsweringBlock block({false});
  db::dbUseArea(true, "DBFNTX", path_, "T", true);
  EXPECT_EQ(db::select("T"), 0);
  ASSERT_EQ(block.errors().size(), 1u);
  const rt::ErrorPtr& e = block.errors()[0];
  EXPECT_EQ(e->genCode, 71);
  EXPECT_EQ(e->osCode, 32);
  EXPECT_EQ(e->operation, "DBUSEAREA");
  EXPECT_EQ(e->fileName, path_);
  EXPECT_TRUE(e->canRetry);
  EXPECT_TRUE(e->canDefault);
}

TEST_F(Locking, RetryOpensOnceTheOtherProcessHasLetGo) {
  Holder other(path_, false);
  ASSERT_TRUE(other.opened());
  int raised = 0;
  rt::ErrorBlockGuard guard([&](const rt::ErrorPtr&) {
    ++raised;
    other.release();
    return rt::Value(true);
  });
  db::dbUseArea(true, "DBFNTX", path_, "T", false);
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(db::select("T"), 1);
}

TEST_F(Locking, ClosingTheTableReleasesItsLock) {
  ASSERT_FALSE(db_test::openUnder("DBFNTX", path_, false));
  db::dbCloseArea();
  Holder other(path_, false);
  EXPECT_TRUE(other.opened());
}

}  // namespace
