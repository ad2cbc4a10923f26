#include "platform/rt/program_end.hpp"

namespace rt {

namespace {

int exitCode = 0;

}  // namespace

int errorLevel() { return exitCode; }

int errorLevel(int code) {
  const int previous = exitCode;
  exitCode = code;
  return previous;
}

void quit() { throw QuitSignal{}; }

}  // namespace rt
