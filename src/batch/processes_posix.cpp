// The children of a batch on POSIX systems. The interrupt signals and
// SIGCHLD are blocked while a Children lives and taken synchronously by
// sigwaitinfo(), so there is no handler, no flag set behind the program's
// back and no moment where a signal can slip between a check and a wait.
// Children start through posix_spawn() with the signal mask and handling
// of a fresh program, and the batch's process id in DBF2CSV_BATCH: there
// is no hook between fork and exec in which to ask for a parent-death
// signal, so each child asks for it itself (followBatch).
#include "src/batch/processes.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace batch {

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};
// The variable that gives a child its batch's process id.
constexpr const char* kBatchVariable = "DBF2CSV_BATCH";

sigset_t interruptsAndChild() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : kInterrupts) sigaddset(&set, s);
  sigaddset(&set, SIGCHLD);
  return set;
}

bool interruptPending() {
  sigset_t pending;
  sigpending(&pending);
  for (int s : kInterrupts)
    if (sigismember(&pending, s)) return true;
  return false;
}

// A handler that does nothing: with SIGCHLD ignored the system would reap
// the children itself and their ends would be lost.
void noteOnly(int) {}

// The environment of a child: ours with `extra` set over it.
std::vector<std::string> childEnvironment(
    const std::vector<std::pair<std::string, std::string>>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    const std::string entry(*e);
    const bool replaced = std::any_of(extra.begin(), extra.end(), [&](const auto& kv) {
      return entry.compare(0, kv.first.size() + 1, kv.first + "=") == 0;
    });
    if (!replaced) env.push_back(entry);
  }
  for (const auto& [name, value] : extra) env.push_back(name + "=" + value);
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

ChildEnd endOf(pid_t pid, int status) {
  ChildEnd end;
  end.id = pid;
  end.crashed = !WIFEXITED(status);
  end.code = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return end;
}

}  // namespace

struct Children::Saved {
  sigset_t mask;
  struct sigaction child;
};

Children::Children() : saved_(std::make_unique<Saved>()) {
  struct sigaction note {};
  note.sa_handler = noteOnly;
  sigemptyset(&note.sa_mask);
  ::sigaction(SIGCHLD, &note, &saved_->child);
  const sigset_t set = interruptsAndChild();
  ::sigprocmask(SIG_BLOCK, &set, &saved_->mask);
}

Children::~Children() {
  while (!running_.empty()) end(running_.back());
  // An interrupt taken here belongs to the batch, which has handled it:
  // it must not end the program once unblocked.
  const sigset_t set = interruptsAndChild();
  const timespec now{0, 0};
  while (::sigtimedwait(&set, nullptr, &now) > 0) {
  }
  ::sigprocmask(SIG_SETMASK, &saved_->mask, nullptr);
  ::sigaction(SIGCHLD, &saved_->child, nullptr);
}

rt::Status Children::start(const ChildCommand& command, ProcessId& id) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, command.messagesFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_addchdir_np(&actions, command.directory.c_str());
  // The child gets the mask we had before blocking, and the interrupts'
  // default actions: a child with them blocked could not be stopped.
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int s : kInterrupts) sigaddset(&defaults, s);
  sigaddset(&defaults, SIGCHLD);
  posix_spawnattr_setsigmask(&attr, &saved_->mask);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> argStrings{command.program};
  argStrings.insert(argStrings.end(), command.options.begin(), command.options.end());
  argStrings.insert(argStrings.end(), command.args.begin(), command.args.end());
  auto environment = command.environment;
  environment.emplace_back(kBatchVariable, std::to_string(::getpid()));
  std::vector<std::string> envStrings = childEnvironment(environment);
  std::vector<char*> argv = pointers(argStrings), envp = pointers(envStrings);

  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, command.program.c_str(), &actions, &attr, argv.data(),
                               envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return rt::systemFailure(rc);
  running_.push_back(pid);
  id = pid;
  return rt::Status::ok();
}

std::optional<ChildEnd> Children::waitNext() {
  const sigset_t set = interruptsAndChild();
  while (!interrupted_ && !running_.empty()) {
    // An interrupt comes first: a Ctrl-C on the terminal reaches the
    // children too, and their ends are then its effect, not failures.
    if (interruptPending()) {
      interrupted_ = true;
      break;
    }
    for (auto it = running_.begin(); it != running_.end(); ++it) {
      int status = 0;
      const pid_t pid = static_cast<pid_t>(*it);
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        running_.erase(it);
        return endOf(pid, status);
      }
    }
    // SIGCHLD is pending when a child has ended since the last look:
    // waiting here cannot miss it.
    const int s = ::sigwaitinfo(&set, nullptr);
    if (s > 0 && s != SIGCHLD) interrupted_ = true;
  }
  return std::nullopt;
}

void Children::end(ProcessId id) {
  const auto it = std::find(running_.begin(), running_.end(), id);
  if (it == running_.end()) return;
  running_.erase(it);
  const pid_t pid = static_cast<pid_t>(id);
  ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

bool followBatch() {
  const char* batch = std::getenv(kBatchVariable);
  if (!batch) return true;
  char* end = nullptr;
  const long pid = std::strtol(batch, &end, 10);
  if (end == batch || *end != '\0' || pid <= 0) return true;
  // SIGTERM ends a run as an interrupt does, removing its temporary file.
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  // A batch that ended before the request sends nothing: this process has
  // been handed to another parent by then.
  return ::getppid() == static_cast<pid_t>(pid);
}

bool errorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::string crashDescription(int code) {
  const char* name = ::strsignal(code);
  return "signal " + std::to_string(code) + (name ? std::string(" (") + name + ")" : "");
}

}  // namespace batch
