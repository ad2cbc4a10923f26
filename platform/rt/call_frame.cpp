#include "platform/rt/call_frame.hpp"

namespace rt {

namespace {

// The innermost frame; frames link outwards.
CallFrame* innermost = nullptr;

}  // namespace

CallFrame::CallFrame(const char* name, int line) : name_(name), line_(line), outer_(innermost) {
  innermost = this;
}

CallFrame::~CallFrame() { innermost = outer_; }

const CallFrame* frameAt(int level) {
  if (level < 0) return nullptr;
  const CallFrame* frame = innermost;
  while (frame && level-- > 0) frame = frame->outer_;
  return frame;
}

std::string procName(int level) {
  const CallFrame* frame = frameAt(level);
  return frame ? std::string(frame->name()) : std::string();
}

int procLine(int level) {
  const CallFrame* frame = frameAt(level);
  return frame ? frame->line() : 0;
}

}  // namespace rt
