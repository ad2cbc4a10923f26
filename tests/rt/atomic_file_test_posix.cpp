// The atomic file's cases only a POSIX system has: file modes and the
// umask, a directory without write permission, signals.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/rt/atomic_file.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

class AtomicFilePosixTest : public testing::Test {
 protected:
  rt_test::TempDir dir;
};

mode_t permissionsOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}

TEST_F(AtomicFilePosixTest, TheNewFileGetsTheUsualPermissions) {
  mode_t mask = umask(022);
  {
    rt::AtomicFile out(dir / "A.CSV");
    EXPECT_EQ(permissionsOf(out.tempPath()), 0644u);
    EXPECT_TRUE(out.commit().isOk());
  }
  umask(077);
  {
    rt::AtomicFile out(dir / "B.CSV");
    EXPECT_TRUE(out.commit().isOk());
  }
  umask(mask);
  EXPECT_EQ(permissionsOf(dir / "A.CSV"), 0644u);
  EXPECT_EQ(permissionsOf(dir / "B.CSV"), 0600u);
}

// An output reached through a symbolic link (a link in the data folder,
// /dev/stderr redirected to a log) replaces the file the link names and
// leaves the link a link.
TEST_F(AtomicFilePosixTest, ALinkStaysALinkAndTheFileItNamesIsReplaced) {
  ASSERT_EQ(mkdir((dir / "real").c_str(), 0755), 0);
  dir.write("real/OUT.CSV", "old");
  ASSERT_EQ(symlink("real/OUT.CSV", (dir / "LINK.CSV").c_str()), 0);
  rt::AtomicFile out(dir / "LINK.CSV");
  out.append("new");
  ASSERT_TRUE(out.commit().isOk()) << out.status().message();
  struct stat st;
  ASSERT_EQ(lstat((dir / "LINK.CSV").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(rt_test::readFile(dir / "real/OUT.CSV"), "new");
}

TEST_F(AtomicFilePosixTest, AnUnwritableDirectoryIsReported) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  std::filesystem::create_directory(dir / "ro");
  std::filesystem::permissions(dir / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  rt::AtomicFile out(dir / "ro/X.CSV");
  EXPECT_FALSE(out.ok());
  EXPECT_EQ(out.status().code(), rt::StatusCode::AccessDenied);
  EXPECT_EQ(out.status().osCode(), 5);
  out.append("ignored");
  EXPECT_FALSE(out.commit().isOk());
}

// In a child that raises the interrupt `signal` while an AtomicFile's
// temporary file exists; how the child ended.
int interruptedChild(const std::string& target, int signal, bool ignored) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(signal, ignored ? SIG_IGN : SIG_DFL);
    rt::AtomicFile out(target);
    ::raise(signal);
    _exit(out.tempPath().empty() ? 2 : 3);  // ignored: the temporary file stays
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST_F(AtomicFilePosixTest, AnInterruptRemovesTheTemporaryFileUnlessItIsIgnored) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const int status = interruptedChild(dir / "A.CSV", signal, false);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(dir.listing(), "") << signal;
  }
  const int status = interruptedChild(dir / "A.CSV", SIGHUP, true);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
  EXPECT_EQ(dir.listing().rfind(".A.CSV.", 0), 0u);
}

}  // namespace
