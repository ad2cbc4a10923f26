// Call frames: each routine of the program enters a named frame (RT_PROC) so
// that PROCNAME and PROCLINE, the error handler and the error log can name
// the routine and line of every call level. One thread runs the program, and
// the frames, like the error block and the exit code, are process-wide.
#pragma once

#include <string>

namespace rt {

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
