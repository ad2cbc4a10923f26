// Shared and exclusive opening between two processes: advisory locks that
// another process's conflicting open respects, and the error it gets. The
// other process is made by fork().
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "tests/db/locking_fixture.hpp"

namespace {

using db_test::Locking;

// A child process that takes something (`take` says whether it could) and
// holds it until released.
class Holder {
 public:
  explicit Holder(const std::function<bool()>& take) {
    if (pipe(toChild_) != 0 || pipe(fromChild_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      char c = take() ? '1' : '0';
      (void)!write(fromChild_[1], &c, 1);
      (void)!read(toChild_[0], &c, 1);
      _exit(0);
    }
    char c = '0';
    opened_ = read(fromChild_[0], &c, 1) == 1 && c == '1';
  }
  // A child that opens the table.
  Holder(const std::string& path, bool shared)
      : Holder([&] { return !db_test::openUnder("DBFNTX", path, shared); }) {}
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

// A POSIX record lock (what fcntl and lockf take) of `type` over `length`
// bytes from `start` (0: to the end).
bool recordLock(const std::string& path, short type, off_t start, off_t length) {
  const int fd = ::open(path.c_str(), type == F_WRLCK ? O_RDWR : O_RDONLY);
  struct flock l {};
  l.l_type = type;
  l.l_whence = SEEK_SET;
  l.l_start = start;
  l.l_len = length;
  return fd >= 0 && ::fcntl(fd, F_SETLK, &l) == 0;
}

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

TEST_F(Locking, AWriterHoldingTheFileOrItsHeaderByRecordLocksStopsAnOpen) {
  struct Case {
    const char* what;
    short type;
    off_t start, length;
    bool sharedOpens, exclusiveOpens;
  };
  // LOCK.DBF: a 65-byte header, then records of 2 bytes.
  const Case cases[] = {
      {"lockf over the whole file", F_WRLCK, 0, 0, false, false},
      {"a write lock on the header", F_WRLCK, 0, 32, false, false},
      {"a write lock on the record count", F_WRLCK, 4, 4, false, false},
      {"a write lock on the first record", F_WRLCK, 65, 2, true, false},
      {"a read lock over the whole file", F_RDLCK, 0, 0, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Holder other([&] { return recordLock(path_, c.type, c.start, c.length); });
    ASSERT_TRUE(other.opened());
    for (const bool shared : {true, false}) {
      const std::optional<std::string> error = db_test::openUnder("DBFNTX", path_, shared);
      if (shared ? c.sharedOpens : c.exclusiveOpens) {
        EXPECT_FALSE(error) << *error;
      } else {
        EXPECT_EQ(error, "Table " + path_ + " is held by another process") << shared;
      }
      db::closeAll();
    }
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
