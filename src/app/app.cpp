// MAIN: the export run from its parameters to the opened table; the
// conversion itself is exportTable().
#include "src/app/app.hpp"

#include <iostream>

#include "platform/db/workarea.hpp"
#include "platform/rt/error.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/strings.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/app/export_table.hpp"
#include "src/app/job_file.hpp"
#include "src/app/message_box.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/usage.hpp"
#include "src/app/open_table.hpp"
#include "src/app/options.hpp"
#include "src/app/table_dialog.hpp"

namespace app {
namespace {

constexpr int kIconResource = 7627;

// Nobody can answer the selection dialog of a headless run: say how a
// table is named instead.
void hintHowToNameATable() {
  if (ui::toolkit().mode() != ui::Mode::Unattended) return;
  std::cerr << "dbf2csv: no table named; run dbf2csv TABLE [N], or leave a job file "
            << kJobFile << " in the current directory (dbf2csv --help)\n";
}

// Ends the run as failed after telling the user `cMessage` (none when empty).
void fail(const std::string& cMessage) {
  if (!cMessage.empty()) msg(cMessage);
  rt::errorLevel(1);
}

}  // namespace

void appMain(const std::vector<std::string>& args) {
  RT_PROC("MAIN");
  Options options;
  if (const std::string error = parseCommandLine(args, options); !error.empty()) {
    // A usage error: nothing is read or written.
    std::cerr << error << "\n";
    rt::errorLevel(2);
    return;
  }
  if (options.help || options.version) {
    std::cout << (options.help ? usageText() : versionText()) << std::flush;
    return;
  }

  const std::vector<std::string>& rest = options.arguments;
  std::optional<std::string> cTable;
  if (!rest.empty()) cTable = rest[0];
  bool lFieldLine = fieldLineOption(rest.size() > 1 ? std::optional(rest[1]) : std::nullopt);
  std::string cDriver;
  ui::toolkit().iconDefault(kIconResource);

  RT_LINE();
  if (readJobFile(cTable, lFieldLine) == JobFile::Incomplete) {
    return fail(std::string("Job file ") + kJobFile + " is incomplete.");
  }

  if (!cTable) {
    RT_LINE();
    const std::string cChosen = getTableName(lFieldLine, cDriver, rt::startLocation());
    if (rt::allTrim(cChosen).empty()) {
      hintHowToNameATable();
      return fail("");
    }
    cTable = cChosen;
  }

  const std::string cName = normaliseName(*cTable);
  if (!rt::file(cName)) return fail(cName + " NOT FOUND.");

  // The selection dialog's check leaves the table open under INPUT.
  if (db::select("INPUT") == 0) {
    RT_LINE();
    if (!openTable(cDriver, cName, "INPUT", true)) return fail("Not able to open " + cName + ".");
  }

  RT_LINE();
  if (!exportTable(cName, lFieldLine, options)) rt::errorLevel(1);
}

}  // namespace app
