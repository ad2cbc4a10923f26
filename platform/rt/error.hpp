// The error machinery of the runtime: the error object, the error block in
// force, guarded sequences and BREAK, the raise protocol, program end
// (ERRORLEVEL, QUIT) and the call frames behind PROCNAME and PROCLINE.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/rt/value.hpp"

namespace rt {

// The runtime's record of one error, handed to the error block in force.
class ErrorObject : public Object {
 public:
  std::string className() const override { return "ERROR"; }

  int genCode = 0;
  int osCode = 0;           // operating-system error code, 0 when none
  std::string subSystem;
  int subCode = 0;
  int severity = 2;         // 1 warning, 2 error, 3 fatal
  std::string description;
  std::string fileName;
  std::string operation;
  int thread = 1;
  Value cargo;
  bool canRetry = false;
  bool canDefault = false;
  bool canSubstitute = false;
  int tries = 0;
  Value args;               // array of the failed operation's arguments, or NIL

  // The optional getCallstack method: when set, returns the call stack as
  // one text, the entries separated by the given separator.
  std::function<std::string(const std::string& separator)> getCallstack;
};

using ErrorPtr = std::shared_ptr<ErrorObject>;

// The error block: takes the error object, answers the runtime.
using ErrorBlock = std::function<Value(const ErrorPtr&)>;

// The block in force; installing one returns the block it replaces.
const ErrorBlock& errorBlock();
ErrorBlock errorBlock(ErrorBlock block);

// Installs a block for the guard's lifetime and puts the previous one back on
// every path out of the scope.
class ErrorBlockGuard {
 public:
  explicit ErrorBlockGuard(ErrorBlock block) : previous_(errorBlock(std::move(block))) {}
  ~ErrorBlockGuard() { errorBlock(std::move(previous_)); }
  ErrorBlockGuard(const ErrorBlockGuard&) = delete;
  ErrorBlockGuard& operator=(const ErrorBlockGuard&) = delete;
  const ErrorBlock& previous() const { return previous_; }

 private:
  ErrorBlock previous_;
};

// BREAK and QUIT travel as signal exceptions that do not derive from
// std::exception, so no ordinary catch swallows them. Only a guarded
// sequence catches a break; only the entry point catches quit.
struct BreakSignal {
  Value value;
};
struct QuitSignal {};

// BREAK: leaves the innermost guarded sequence with `value`.
[[noreturn]] void breakWith(Value value);

// A block that hands every error to BREAK, for guarded sequences.
ErrorBlock breakBlock();

// BEGIN SEQUENCE ... RECOVER USING x ... END: runs `body`; a break out of it
// runs `recover` with the break value.
template <class Body, class Recover>
void sequence(Body&& body, Recover&& recover) {
  bool broke = false;
  Value breakValue;
  try {
    body();
  } catch (BreakSignal& b) {
    broke = true;
    breakValue = std::move(b.value);
  }
  if (broke) recover(breakValue);
}

// What the raise protocol tells the failing operation to do.
struct Answer {
  enum Kind { Retry, Default, Substitute } kind;
  Value value;  // the substitute result (numeric) when kind is Substitute
};

// The one raise point: hands `error` to the block in force (counting the
// try) and turns its answer into an Answer: true retries, false (or anything
// not understood) takes the operation's default, a number becomes its
// result. The block may also not return at all (break, quit).
Answer raise(const ErrorPtr& error);

// Raises `error` for an operation that has no sound default or retry: when
// the block answers anything but a break or quit, the operation still cannot
// go on, so this ends the program with exit code 1 after the block returned.
// Used where a failed operation leaves nothing to continue with.
[[noreturn]] void raiseFatal(const ErrorPtr& error);

// ERRORLEVEL: the exit code the process ends with.
int errorLevel();
int errorLevel(int code);  // sets it, returns the previous one

// QUIT: ends the program through orderly termination (the entry point
// catches the signal, runs the exit procedure once and returns the code).
[[noreturn]] void quit();

// Call frames: each routine of the program enters a named frame so that
// PROCNAME and PROCLINE can name the routine and line of every call level.
class CallFrame {
 public:
  CallFrame(const char* name, int line);
  ~CallFrame();
  CallFrame(const CallFrame&) = delete;
  CallFrame& operator=(const CallFrame&) = delete;
  void at(int line) { line_ = line; }

  const char* name() const { return name_; }
  int line() const { return line_; }

 private:
  const char* name_;
  int line_;
  CallFrame* outer_;
  friend const CallFrame* frameAt(int level);
};

// The frame `level` levels up from the innermost (0), or nullptr beyond the
// outermost.
const CallFrame* frameAt(int level);
// PROCNAME / PROCLINE: "" and 0 beyond the outermost level.
std::string procName(int level = 0);
int procLine(int level = 0);

}  // namespace rt

// RT_PROC("MAIN") at the top of a routine enters its call frame;
// RT_LINE() records the current source line in it (before calls worth naming).
#define RT_PROC(name) ::rt::CallFrame rtFrame_(name, __LINE__)
#define RT_LINE() rtFrame_.at(__LINE__)
