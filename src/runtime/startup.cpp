#include "src/runtime/startup.hpp"

#include <exception>
#include <iostream>

#include "platform/rt/error_block.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/runtime/console.hpp"
#include "src/app/app.hpp"
#include "src/app/options.hpp"
#include "src/app/output_format.hpp"
#include "src/batch/arguments.hpp"
#include "src/batch/processes.hpp"
#include "src/errors/errors.hpp"

namespace runtime {

namespace {

// The exit procedure runs once, whichever way the program ends: a normal
// return of the entry routine, QUIT from anywhere, or a break or exception
// that nothing caught.
class ExitProcedure {
 public:
  void run() {
    if (ran_) return;
    ran_ = true;
    try {
      appExit();
    } catch (rt::QuitSignal&) {
      // QUIT during the exit procedure: the program is ending anyway.
    }
  }

 private:
  bool ran_ = false;
};

// A failure nothing caught must not end the program as a success.
void failIfStillZero() {
  if (rt::errorLevel() == 0) rt::errorLevel(1);
}

}  // namespace

int start(const std::vector<std::string>& args, const EntryRoutine& entry) {
  ExitProcedure exitProcedure;
  try {
    try {
      errors::errorSys();
      appSys();
      dbeSys();
      entry(args);
    } catch (rt::QuitSignal&) {
      // Orderly termination: the exit code is the one set by errorLevel().
    } catch (rt::BreakSignal&) {
      // A break with no guarded sequence to take it: the run was abandoned.
      failIfStillZero();
    }
    exitProcedure.run();
  } catch (rt::BreakSignal&) {
    failIfStillZero();
  } catch (const std::exception& e) {
    std::cerr << "dbf2csv: " << e.what() << '\n';
    failIfStillZero();
    exitProcedure.run();
  } catch (...) {
    std::cerr << "dbf2csv: unexpected failure\n";
    failIfStillZero();
  }
  return rt::errorLevel();
}

int start(int argc, char** argv) {
  // A table's run in a batch that has already ended has nobody to convert
  // for. Said aloud: a DBF2CSV_BATCH left in a user's environment must not
  // make every run end without a word.
  if (!batch::followBatch()) {
    attachConsole();
    std::cerr << "dbf2csv: the batch that started this run has ended (DBF2CSV_BATCH); nothing converted\n";
    return 1;
  }
  attachConsole();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  app::takeTextInUtf8(args, utf8Arguments(argc, argv));
  // A batch only runs children of this program: it needs neither the
  // dialogs nor the database engines. A usage error (a code page that
  // cannot be converted among them), --help and --version are the main
  // routine's, for a batch as for a single table.
  app::Options options;
  if (app::parseCommandLine(args, options).isOk() && options.batch && !options.info && !options.help &&
      !options.version && app::checkEncoding(options).isOk()) {
    return batch::runBatchCommand(options);
  }
  ui::setToolkit(ui::makeToolkit());
  return start(args, app::appMain);
}

}  // namespace runtime
