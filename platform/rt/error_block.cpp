#include "platform/rt/error_block.hpp"

#include <cstdio>

#include "platform/rt/program_end.hpp"

namespace rt {

namespace {

// Until the program installs its own handler, an error cannot be answered:
// say what went wrong and end the program with a failure code.
Value reportAndQuit(const ErrorPtr& error) {
  std::fprintf(stderr, "%s\n", error->description.c_str());
  std::fflush(stderr);
  errorLevel(1);
  quit();
}

ErrorBlock& blockInForce() {
  static ErrorBlock block = reportAndQuit;
  return block;
}

}  // namespace

const ErrorBlock& errorBlock() { return blockInForce(); }

ErrorBlock errorBlock(ErrorBlock block) {
  ErrorBlock previous = std::move(blockInForce());
  blockInForce() = block ? std::move(block) : ErrorBlock(reportAndQuit);
  return previous;
}

void breakWith(Value value) { throw BreakSignal{std::move(value)}; }

ErrorBlock breakBlock() {
  return [](const ErrorPtr& error) -> Value { breakWith(Value(std::shared_ptr<Object>(error))); };
}

Answer raise(const ErrorPtr& error) {
  ++error->tries;
  // Copy the block: it may install another block while it runs.
  ErrorBlock block = errorBlock();
  Value answer = block(error);
  if (answer.isLogical() && answer.logical()) return {Answer::Retry, {}};
  if (answer.isNumber()) return {Answer::Substitute, std::move(answer)};
  return {Answer::Default, {}};
}

void raiseFatal(const ErrorPtr& error) {
  error->canRetry = false;
  error->canDefault = false;
  error->canSubstitute = false;
  (void)raise(error);
  errorLevel(1);
  quit();
}

}  // namespace rt
