#include "src/errors/error_log.hpp"

#include <string>
#include <utility>

#include "platform/rt/call_frame.hpp"
#include "platform/rt/dates.hpp"
#include "platform/rt/lineout.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/settings.hpp"
#include "platform/rt/strings.hpp"
#include "platform/rt/sysinfo.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/errors/call_stack.hpp"

namespace errors {

namespace {

constexpr int kLastExtension = 999;
constexpr const char* kUnableToOpen = "Unable to open error log file";
constexpr const char* kWritten = "Error log was written to the file ";

// The output settings the report switches, saved on entry and put back on
// every way out, in the order printer, console, alternate file, alternate
// output, extra output.
class SavedOutput {
 public:
  SavedOutput()
      : printer_(rt::set(rt::Set::Printer)),
        console_(rt::set(rt::Set::Console)),
        altFile_(rt::set(rt::Set::AltFile)),
        alternate_(rt::set(rt::Set::Alternate)),
        extra_(rt::set(rt::Set::Extra, false)) {}

  void restore() {
    restored_ = true;
    rt::set(rt::Set::Printer, printer_);
    rt::set(rt::Set::Console, console_);
    // An alternate file that was in use before is reopened for appending:
    // the report must not wipe what it held.
    rt::set(rt::Set::AltFile, altFile_, true);
    rt::set(rt::Set::Alternate, alternate_);
    rt::set(rt::Set::Extra, extra_);
  }

  // The way out of an abandoned report (the program is ending): an error
  // while restoring takes its default rather than leave a destructor.
  ~SavedOutput() {
    if (restored_) return;
    rt::ErrorBlockGuard quiet([](const rt::ErrorPtr&) { return rt::Value(false); });
    restore();
  }

  SavedOutput(const SavedOutput&) = delete;
  SavedOutput& operator=(const SavedOutput&) = delete;

 private:
  rt::Value printer_, console_, altFile_, alternate_, extra_;
  bool restored_ = false;
};

bool consoleIsOn() {
  rt::Value console = rt::set(rt::Set::Console);
  return console.isLogical() && console.logical();
}

// Tells the user something about the log: a tone and the console (and the
// standard error stream when the console is off) in text mode, a message
// box in a windowed program.
void tellUser(const std::string& text) {
  if (ui::toolkit().mode() == ui::Mode::Windowed) {
    ui::toolkit().msgBox(text, "");
    return;
  }
  rt::tone(660, 5);
  rt::qOut({text});
  if (!consoleIsOn()) rt::outErr({rt::chr(10) + rt::chr(13) + text});
}

// "APPERROR.LOG", then "APPERROR.001" up to "APPERROR.999".
std::string logFileName(int attempt) {
  return "APPERROR." + (attempt == 0 ? std::string("LOG") : rt::padL(std::to_string(attempt), 3, '0'));
}

// Opens the first log file name that can be opened as a new file and
// switches the alternate output on; "" when none can. Errors while opening
// break out of the attempt and the next name is tried.
std::string openLogFile() {
  rt::ErrorBlockGuard breakOut(rt::breakBlock());
  for (int attempt = 0; attempt <= kLastExtension; ++attempt) {
    std::string name = logFileName(attempt);
    bool opened = false;
    rt::sequence(
        [&] {
          rt::set(rt::Set::AltFile, name, false);
          rt::set(rt::Set::Alternate, "ON");
          opened = true;
        },
        [](const rt::Value&) {});
    if (opened) return name;
  }
  return {};
}

void separator() { rt::qOut({rt::replicate("-", 78)}); }

void writeArguments(const rt::Value& args) {
  rt::qOut({"oError:args         :"});
  if (!args.isArray()) {
    rt::qOut({rt::space(10), "-> NIL"});
    return;
  }
  for (const rt::Value& arg : args.array()) {
    rt::qOut({rt::space(9), "-> VALTYPE:", rt::valType(arg)});
    if (arg.isObject())
      rt::qqOut({" CLASS:", arg.object()->className()});
    else
      rt::qqOut({" VALUE:", rt::var2Char(arg)});
  }
}

void writeMembers(const rt::ErrorObject& e) {
  const std::pair<const char*, rt::Value> members[] = {
      {"oError:canDefault   :", e.canDefault},  {"oError:canRetry     :", e.canRetry},
      {"oError:canSubstitute:", e.canSubstitute}, {"oError:cargo        :", e.cargo},
      {"oError:description  :", e.description}, {"oError:filename     :", e.fileName},
      {"oError:genCode      :", e.genCode},     {"oError:operation    :", e.operation},
      {"oError:osCode       :", e.osCode},      {"oError:severity     :", e.severity},
      {"oError:subCode      :", e.subCode},     {"oError:subSystem    :", e.subSystem},
      {"oError:thread       :", e.thread},      {"oError:tries        :", e.tries},
  };
  for (const auto& [label, value] : members) rt::qOut({label, value});
}

// The entries from call level `firstLevel` outwards, 0 being errorLog.
void writeCallStack(const rt::ErrorObject& e, int firstLevel) {
  if (e.getCallstack) {
    rt::qOut({e.getCallstack(rt::chr(13) + rt::chr(10))});
    return;
  }
  for (const std::string& entry : calledFrom(firstLevel)) rt::qOut({"Called from", entry});
}

void writeReport(const rt::ErrorObject& e, int firstLevel) {
  separator();
  rt::qOut({"ERROR LOG of \"" + rt::appName(true) + "\" Date:", rt::Value(rt::date()), rt::time()});
  rt::qOut();
  rt::qOut({"Runtime version     :", rt::version() + "." + rt::version(3)});
  rt::qOut({"Operating system    :", rt::os()});
  separator();
  writeArguments(e.args);
  writeMembers(e);
  separator();
  rt::qOut({"CALLSTACK:"});
  separator();
  writeCallStack(e, firstLevel);
  rt::qOut();
}

}  // namespace

void errorLog(const rt::ErrorPtr& error, int level) {
  RT_PROC("ERRORLOG");
  SavedOutput saved;
  rt::set(rt::Set::Printer, "OFF");
  rt::set(rt::Set::Console, "ON");
  // A report goes to the console only when the application window is the
  // text console; a windowed program writes it to the file alone.
  if (!ui::toolkit().hasAppWindow() || !ui::toolkit().appWindowIsConsole())
    rt::set(rt::Set::Console, "OFF");
  std::string logFile = openLogFile();
  if (logFile.empty()) {
    tellUser(kUnableToOpen);
    rt::errorLevel(1);
    rt::quit();
  }
  // Level 0 is this routine; with `level` 2 from the handler, level 3 is the
  // routine in which the error was raised.
  writeReport(*error, level + 1);
  rt::set(rt::Set::AltFile, "");
  rt::set(rt::Set::Alternate, "OFF");
  tellUser(kWritten + logFile);
  saved.restore();
}

}  // namespace errors
