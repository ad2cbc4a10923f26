#include "platform/rt/lineout.hpp"

#include <cstdio>
#include <string>

#include "platform/rt/display.hpp"
#include "platform/rt/error_codes.hpp"
#include "platform/rt/lineout_test_helper.hpp"
#include "platform/rt/os_file.hpp"
#include "platform/rt/paths.hpp"

namespace rt {

namespace {

// A file the line output writes to; not open when none is.
struct Channel {
  OsFile file;
  std::string path;
};

Channel& channel(Set which) {
  static Channel alternate, extra, printer;
  return which == Set::AltFile ? alternate : which == Set::ExtraFile ? extra : printer;
}

std::function<void(std::string_view)>& consoleWriter() {
  static std::function<void(std::string_view)> writer;
  return writer;
}

bool switchOn(Set which) {
  Value v = set(which);
  return v.isLogical() && v.logical();
}

void writeConsole(std::string_view text) {
  if (consoleWriter()) {
    consoleWriter()(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

// Writes unbuffered, so that a report is on disk line by line even if the
// program ends abruptly; a failure goes to the error block, which may have
// the rest written again.
void writeChannel(Channel& ch, std::string_view text) {
  while (!text.empty()) {
    size_t written = 0;
    const Status status = ch.file.write(text, &written);
    if (status.isOk()) return;
    text.remove_prefix(written);
    Answer answer =
        raise(makeError(Condition::FileWrite, ch.path, "QOUT", status.osCode(), Value(), {ch.path}));
    if (answer.kind != Answer::Retry) return;
  }
}

void writeAllChannels(std::string_view consoleText, std::string_view fileText) {
  if (switchOn(Set::Console)) writeConsole(consoleText);
  const std::pair<Set, Set> files[] = {
      {Set::Alternate, Set::AltFile}, {Set::Extra, Set::ExtraFile}, {Set::Printer, Set::PrintFile}};
  for (const auto& [onSwitch, fileSetting] : files) {
    Channel& ch = channel(fileSetting);
    if (ch.file.isOpen() && switchOn(onSwitch)) writeChannel(ch, fileText);
  }
}

std::string joined(const Array& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ' ';
    appendDisplay(out, values[i]);
  }
  return out;
}

void closeChannel(Channel& ch) { ch = Channel{}; }

}  // namespace

void qOut(const Array& values) {
  std::string text = joined(values);
  writeAllChannels("\n" + text, "\r\n" + text);
}

void qqOut(const Array& values) {
  std::string text = joined(values);
  writeAllChannels(text, text);
}

void outErr(const Array& values) {
  std::string text = joined(values);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

bool openOutputFile(Set which, std::string_view name, bool additive) {
  Channel& ch = channel(which);
  closeChannel(ch);
  if (name.empty()) return false;
  std::string path = resolvePath(name);
  for (;;) {
    OsFile file;
    const Status status = file.open(path, additive ? OpenMode::Append : OpenMode::Write);
    if (status.isOk()) {
      ch = Channel{std::move(file), path};
      return true;
    }
    Answer answer = raise(makeError(Condition::FileCreate, path, "SET", status.osCode(),
                                    Value(Array{Value(static_cast<int>(which)), Value(std::string(name))}),
                                    {path}));
    if (answer.kind != Answer::Retry) return false;
  }
}

void setConsoleWriter(std::function<void(std::string_view)> writer) {
  consoleWriter() = std::move(writer);
}

}  // namespace rt
