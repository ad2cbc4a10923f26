// The child processes of a batch, in the same terms on every system: start
// the program in a directory of its own with its messages going to a file,
// wait for the next child to end or for the batch to be interrupted, end a
// child at once. One implementation per system (processes_posix.cpp, ...).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/rt/status.hpp"

namespace batch {

// A process id on POSIX, a handle's value on Windows.
using ProcessId = std::int64_t;

struct ChildCommand {
  std::string program;             // the executable's path
  std::vector<std::string> options;  // after the program name; text, in UTF-8
  std::vector<std::string> args;   // after the options; names, as the system spells them
  std::string directory;           // its current directory
  std::string messagesFile;        // created; takes standard output and standard error
  std::vector<std::pair<std::string, std::string>> environment;  // set on top of ours
};

// How a child ended: its exit code, or (crashed) the signal or exception
// that ended it.
struct ChildEnd {
  ProcessId id = 0;
  bool crashed = false;
  int code = 0;
};

// The running children of a batch. While one lives, an interrupt (Ctrl-C,
// SIGTERM, a closed terminal; a console control event on Windows) no longer
// ends the program but is noted, so that the batch can stop in order; the
// previous handling comes back when it is destroyed, and a child still
// running then is ended. A batch that ends without a chance to do so
// (SIGKILL, its console closed) takes its children with it: on Windows
// they are in a job object that ends them when the batch's handle to it
// closes; on Linux each one, told the batch's process id, asks at once for
// SIGTERM when the batch ends (followBatch).
class Children {
 public:
  Children();
  ~Children();
  Children(const Children&) = delete;
  Children& operator=(const Children&) = delete;

  // Starts `command` with standard input empty and the interrupt handled as
  // by default, and sets `id` to it; the system's failure when it cannot.
  rt::Status start(const ChildCommand& command, ProcessId& id);
  // Waits until a child ends and gives its end, or until an interrupt comes
  // (nullopt; at once once interrupted() is true). nullopt too when no child
  // runs.
  std::optional<ChildEnd> waitNext();
  // True once an interrupt has come.
  bool interrupted() const { return interrupted_; }
  // Ends a running child at once and waits until it is gone.
  void end(ProcessId id);
  // The children started and not yet seen to end.
  std::size_t running() const { return running_.size(); }

 private:
  struct Saved;  // what the system needs to put back
  std::unique_ptr<Saved> saved_;
  std::vector<ProcessId> running_;
  bool interrupted_ = false;
};

// A process's first act: when a batch started it, have it end when the
// batch ends. False when that batch has already ended: the process then
// ends at once, converting nothing. True when no batch started it.
bool followBatch();

// Whether standard error is a terminal, where a line can be redrawn.
bool errorIsTerminal();

// How the system names the crash of a child: "signal 11 (Segmentation
// fault)", an exception code on Windows.
std::string crashDescription(int code);

}  // namespace batch
