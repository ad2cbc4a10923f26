#include "src/errors/handler.hpp"

#include <optional>
#include <string>
#include <vector>

#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/error_codes.hpp"
#include "platform/rt/lineout.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/strings.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/errors/call_stack.hpp"
#include "src/errors/error_log.hpp"
#include "src/errors/errors.hpp"
#include "src/errors/message.hpp"

namespace errors {

namespace {

constexpr const char* kTitle = "Runtime Error Message";
constexpr const char* kExitWithLog = "Exit with LOG file";
// Style bits passed to the confirm box above the icon code.
constexpr int kStyleBits = 65536 + 65536;

// Handler calls in progress on this thread: an error raised while the
// handler runs must not open the same dialog and the same log again, or a
// log that cannot be written would call the handler without end.
thread_local int activeCalls = 0;

class ActiveCall {
 public:
  ActiveCall() { ++activeCalls; }
  ~ActiveCall() { --activeCalls; }
  ActiveCall(const ActiveCall&) = delete;
  ActiveCall& operator=(const ActiveCall&) = delete;
};

// The three kinds of error the handler settles without a word.
std::optional<rt::Value> silentAnswer(const rt::ErrorObject& e) {
  if (e.genCode == rt::gen::ZeroResult) return rt::Value(0);
  if (e.genCode == rt::gen::SharingViolation && e.osCode == rt::kOsSharingViolation &&
      e.canDefault)
    return rt::Value(false);
  if (e.genCode == rt::gen::QuietDefault && e.canDefault) return rt::Value(false);
  return std::nullopt;
}

// When the database session reports an error of its own, the cargo gains
// its number and text. This runtime has no SQL session class, so the
// session of DBSESSION() is the only one asked.
void enrichCargo(rt::ErrorObject& e) {
  rt::Value value = db::dbSession();
  if (!value.isObject()) return;
  auto* session = dynamic_cast<db::DbSessionObject*>(value.object().get());
  if (!session || session->getLastError() == 0) return;
  e.cargo = rt::Value(
      rt::Array{e.cargo, rt::Value(session->getLastError()), rt::Value(session->getLastMessage())});
}

std::vector<std::string> alertOptions(const rt::ErrorObject& e) {
  std::vector<std::string> options{"Cancel", kExitWithLog};
  if (e.canRetry) options.emplace_back("Retry");
  if (e.canDefault) options.emplace_back("Ignore");
  return options;
}

std::string osErrorLines(int osCode) {
  if (osCode == 0) return {};
  return ";Operating system error : " + std::to_string(osCode) + ";" + rt::dosErrorMessage(osCode);
}

[[noreturn]] void logAndQuit(const rt::ErrorPtr& error) {
  errorLog(error, 2);
  rt::errorLevel(1);
  rt::quit();
}

// A text-mode run that ends with the log first puts the message on the
// standard error stream as one line: the notice that follows names only the
// log, which may not even be writable, and a script reads no alert.
[[noreturn]] void tellAndLogAndQuit(const rt::ErrorPtr& error, const std::string& message) {
  rt::outErr({rt::Value(rt::strTran(message, ";", " ") + "\n")});
  logAndQuit(error);
}

[[noreturn]] void cancel(const rt::ErrorPtr& error) {
  rt::breakWith(rt::Value(std::shared_ptr<rt::Object>(error)));
}

rt::Value textPath(const rt::ErrorPtr& error, const std::string& message) {
  ui::Toolkit& kit = ui::toolkit();
  if (!kit.hasAppWindow()) tellAndLogAndQuit(error, message);
  std::vector<std::string> options = alertOptions(*error);
  auto [row, column] = kit.cursor();
  int choice = 0;
  // A dismissed alert (or an answer that names no option) asks again.
  while (choice < 1 || choice > static_cast<int>(options.size()))
    choice = kit.textAlert(message, options);
  kit.setCursor(row, column);
  const std::string& chosen = options[static_cast<size_t>(choice - 1)];
  if (chosen == "Ignore") return rt::Value(false);
  if (chosen == "Retry") return rt::Value(true);
  if (chosen == "Cancel") cancel(error);
  tellAndLogAndQuit(error, message);
}

ui::Buttons buttonSet(const rt::ErrorObject& e) {
  if (e.canDefault && e.canRetry) return ui::Buttons::AbortRetryIgnore;
  if (e.canRetry) return ui::Buttons::RetryCancel;
  if (e.canDefault) return ui::Buttons::OkCancel;
  return ui::Buttons::Ok;
}

ui::Icon iconFor(int severity) {
  if (severity == 3 || severity == 2) return ui::Icon::Error;
  if (severity == 1) return ui::Icon::Warning;
  return ui::Icon::Information;
}

std::string callStackLines(const rt::ErrorObject& e) {
  if (e.getCallstack) return e.getCallstack(";");
  std::string lines;
  // Level 0 is this handler, 1 the block of errorSys(), 2 the routine in
  // which the error was raised.
  for (const std::string& entry : calledFrom(2)) lines += ";Called from " + entry;
  return lines;
}

rt::Value windowedPath(const rt::ErrorPtr& error, std::string message) {
  ui::Toolkit& kit = ui::toolkit();
  message += callStackLines(*error);
  const ui::Answer choice =
      kit.confirmBox(rt::strTran(message, ";", rt::chr(13)), kTitle, buttonSet(*error),
                     ui::styleWord(iconFor(error->severity), kStyleBits));
  // Retry and Ignore count only when the error allows them (a box shows
  // them only then).
  if (choice == ui::Answer::Retry && error->canRetry) return rt::Value(true);
  if (choice == ui::Answer::Ignore && error->canDefault) return rt::Value(false);
  if (choice == ui::Answer::Cancel &&
      kit.confirmBox(kExitWithLog, kTitle, ui::Buttons::YesNo,
                     ui::styleWord(ui::Icon::Warning, kStyleBits)) != ui::Answer::Yes)
    cancel(error);
  logAndQuit(error);
}

// An error raised while the handler runs: no second dialog and no second
// log, only the error on the standard error stream, and the program ends.
[[noreturn]] void nestedError(const rt::ErrorObject& e) {
  rt::outErr({"\nError while handling a runtime error:\n" +
              rt::strTran(errorMessage(e), ";", "\n") + "\n"});
  rt::errorLevel(1);
  rt::quit();
}

}  // namespace

rt::Value standardEh(const rt::ErrorPtr& error) {
  RT_PROC("STANDARDEH");
  if (std::optional<rt::Value> answer = silentAnswer(*error)) return *answer;
  if (activeCalls > 0) nestedError(*error);
  ActiveCall active;
  enrichCargo(*error);
  std::string message = errorMessage(*error);
  message += osErrorLines(error->osCode);
  if (ui::toolkit().mode() != ui::Mode::Windowed) return textPath(error, message);
  return windowedPath(error, std::move(message));
}

void errorSys() {
  (void)rt::errorBlock([](const rt::ErrorPtr& error) -> rt::Value {
    RT_PROC("(b)ERRORSYS");
    return standardEh(error);
  });
}

}  // namespace errors
