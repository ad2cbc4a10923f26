// Error blocks: the error object, the error block in force, guarded
// sequences and BREAK, and the raise protocol by which a failing runtime
// operation asks the block what to do. One thread runs the program; the
// block in force, like the call frames and the exit code, is process-wide.
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

// BREAK travels as a signal exception that does not derive from
// std::exception, so no ordinary catch swallows it; only a guarded sequence
// catches it (QUIT: see program_end.hpp).
struct BreakSignal {
  Value value;
};

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
// go on, so this ends the program (quit) with exit code 1 after the block
// returned.
// Used where a failed operation leaves nothing to continue with.
[[noreturn]] void raiseFatal(const ErrorPtr& error);

}  // namespace rt
