// MAIN: the export run from its parameters to the opened table; the
// conversion itself is exportTable().
#include "src/app/app.hpp"

#include <iostream>
#include <string>

#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/app/export_table.hpp"
#include "src/app/job_file.hpp"
#include "src/app/message_box.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/usage.hpp"
#include "src/app/open_table.hpp"
#include "src/app/options.hpp"
#include "src/app/output_format.hpp"
#include "src/app/table_dialog.hpp"
#include "src/app/table_info.hpp"

namespace app {
namespace {

constexpr int kIconResource = 7627;

const std::string kHowToName = std::string("run dbf2csv TABLE [N], or leave a job file ") +
                               kJobFile + " in the current directory";

// Nobody can answer the selection dialog of a headless run: say how a
// table is named instead.
void hintHowToNameATable() {
  if (ui::toolkit().mode() != ui::Mode::Unattended) return;
  noteOnStderr("no table named; " + kHowToName + " (dbf2csv --help)");
}

// A name with nothing before ".DBF" ("", "data/") names no table.
bool namesNoTable(const std::string& cTable) {
  return rt::baseName(normaliseName(cTable)) == ".DBF";
}

void tellNoTableNamed() {
  if (ui::toolkit().mode() == ui::Mode::Windowed) {
    return msg("No table named.;;To name one, " + kHowToName + ".");
  }
  noteOnStderr("no table named; " + kHowToName + " (dbf2csv --help)");
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
  rt::Status usage = parseCommandLine(args, options);
  if (usage.isOk() && !options.help && !options.version) usage = checkEncoding(options);
  if (!usage.isOk()) {
    // A usage error: nothing is read or written.
    std::cerr << usage.message() << "\n";
    rt::errorLevel(2);
    return;
  }
  if (options.help || options.version) {
    std::cout << (options.help ? usageText() : versionText()) << std::flush;
    return;
  }
  if (options.info) {
    if (!infoMain(options)) rt::errorLevel(1);
    return;
  }

  const std::vector<std::string>& rest = options.arguments;
  std::optional<std::string> cTable;
  if (!rest.empty()) cTable = rest[0];
  bool lFieldLine = fieldLineOption(rest.size() > 1 ? std::optional(rest[1]) : std::nullopt);
  std::string cDriver;
  ui::toolkit().iconDefault(kIconResource);

  RT_LINE();
  const JobFile job = readJobFile(cTable, lFieldLine);
  if (job == JobFile::Incomplete) {
    return fail(std::string("Job file ") + kJobFile + " is incomplete.");
  }
  // An empty element 1 of a job file stays the table ".DBF", not found.
  if (job == JobFile::Absent && cTable && namesNoTable(*cTable)) {
    tellNoTableNamed();
    return fail("");
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

  const TableName table = tableName(*cTable);
  if (!rt::file(table.cFile)) return fail(table.cName + " NOT FOUND.");
  // Before anything is read or written: the output must not destroy the input.
  if (options.output && *options.output != kStandardOutput) {
    const rt::Status clash = outputClash(rt::resolvePath(*options.output), *options.output, table.cFile,
                                         companionFiles(table.cFile), table.cName);
    if (!clash.isOk()) return fail(clash.message());
  }

  // The selection dialog's check leaves the table open under INPUT.
  if (db::select("INPUT") == 0) {
    RT_LINE();
    rt::Status reason = rt::Status::ok();
    if (!openTable(cDriver, table.cFile, "INPUT", true, &reason)) {
      fail("Not able to open " + table.cName + ".");
      return noteOnStderr(reason.message());
    }
  }

  RT_LINE();
  if (!exportTable(table.cName, lFieldLine, options)) rt::errorLevel(1);
}

}  // namespace app
