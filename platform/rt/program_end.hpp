// Program end: the exit code (ERRORLEVEL) and QUIT, which ends the program
// through orderly termination: the entry point catches the signal, runs the
// exit procedure once and returns the code. One thread runs the program; the
// exit code is process-wide.
#pragma once

namespace rt {

// QUIT travels as a signal exception that does not derive from
// std::exception, so no ordinary catch swallows it; only the entry point
// catches it.
struct QuitSignal {};

// ERRORLEVEL: the exit code the process ends with.
int errorLevel();
int errorLevel(int code);  // sets it, returns the previous one

// QUIT: throws QuitSignal.
[[noreturn]] void quit();

}  // namespace rt
