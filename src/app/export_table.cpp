// The conversion itself: the output, the field-name line, one line per
// record, the final report.
#include "src/app/export_table.hpp"

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/atomic_file.hpp"
#include "platform/rt/os_file.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/bytes_renderer.hpp"
#include "src/app/export_output.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/message_box.hpp"
#include "src/app/options.hpp"
#include "src/app/output_format.hpp"
#include "src/app/progress_window.hpp"
#include "src/app/record_choice.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/typed_export.hpp"
#include "src/app/values_renderer.hpp"
#include "src/app/where_eval.hpp"

namespace app {
namespace {

std::string_view fieldNameLine(LineWriter& out, const FieldChoice& fields) {
  out.begin();
  if (fields.recno) out.name(kRecnoName);
  if (fields.deleted) out.name(kDeletedName);
  for (const int nField : fields.fields) out.name(db::fieldName(nField));
  return out.end();
}

// Writes one line per record the choice takes; stops early when the
// output has failed, as nothing more can reach it.
// The lines gather in the writer's buffer and go to the output from there
// a block at a time, without a copy, written while the next block fills.
void writeRecords(ExportOutput& out, LineWriter& writer, RecordChoice& choice, ui::ProgressBar* oProgress) {
  rt::Array aRecord, aChosen;
  std::string block;  // the lines being written while the writer fills its buffer
  // Tables whose records are kept as bytes render straight from them.
  std::optional<BytesRenderer> renderer = BytesRenderer::forCurrentTable(writer, &choice.fields());
  reserveBlock(writer);
  forEachChosen(choice, oProgress, [&] {
    if (renderer) {
      renderer->recordLine();
    } else if (choice.everyField()) {
      dbf2Array(aRecord);
      valuesLine(writer, aRecord);
    } else {
      dbf2Array(aRecord);
      chosenValues(aRecord, choice.fields(), aChosen);
      valuesLine(writer, aChosen);
    }
    return keepLine(out, writer, block);
  });
  flushKept(out, writer);
}

}  // namespace

bool commitOutput(ExportOutput& out, const std::string& cShown, ProgressWindow& window) {
  if (out.commit()) return true;
  window.oDialog->destroy();
  msg("Not able to write " + cShown + ".");
  noteOnStderr(out.status().message());
  return false;
}

std::string finalReport(const std::string& cOutput, const RecordChoice& choice, std::uint64_t nReplaced) {
  const std::string read = choice.tellsRead() ? " of " + withSeparators(choice.read()) : "";
  std::string report = "Program Ended Normally;;File " + cOutput + " Created with " +
                       withSeparators(choice.written()) + read + " records.";
  if (nReplaced > 0) {
    report += ";;" + withSeparators(nReplaced) + " characters undefined in the code page were written as U+FFFD.";
  }
  return report;
}

bool exportTable(const std::string& cName, bool lFieldLine, const Options& options) {
  if (options.typed) return exportTyped(cName, lFieldLine, options);
  db::selectArea(db::select("INPUT"));
  std::string cOutput = options.output.value_or(outputName(cName));
  // A name for standard output (/dev/stdout) is standard output, told as such.
  if (rt::namesStandardOutput(cOutput)) cOutput = kStandardOutput;
  // Messages name standard output in words: "File - Created" reads as a typo.
  const std::string cShown = cOutput == kStandardOutput ? "standard output" : cOutput;

  // The fields come before the output: a name the table lacks leaves no
  // file behind.
  RecordChoice choice(options);
  if (const rt::Status s = choice.bind(*db::currentTable(), cName); !s.isOk()) {
    db::dbCloseArea();
    msg(s.message());
    return false;
  }

  // The code page comes before the output: a table whose code page cannot
  // be had leaves no file behind.
  LineFormat format;
  if (const rt::Status s = outputFormat(options, cName, *db::currentTable(), format); !s.isOk()) {
    db::dbCloseArea();
    msg(s.message());
    return false;
  }

  // The condition reads text by the format's code page: it is bound once
  // that is known, still before any output exists.
  if (!options.where.empty()) {
    if (const rt::Status s = choice.setCondition(whereCondition(options.where, format)); !s.isOk()) {
      db::dbCloseArea();
      msg(s.message());
      return false;
    }
  }
  LineWriter writer(std::move(format));

  // The lines go to a temporary file that replaces the output only once it
  // is complete; leaving this scope any other way removes it.
  ExportOutput out(cOutput);
  if (!out.ok()) {
    db::dbCloseArea();
    msg("Not able to create " + cShown + ".");
    noteOnStderr(out.status().message());
    return false;
  }

  const std::uint64_t nCount = db::lastRec();
  const std::uint64_t nStep = updateStep(nCount);
  db::dbGoTop();
  out.append(writer.format().bom);
  if (lFieldLine) out.append(fieldNameLine(writer, choice.fields()));

  ProgressWindow window = buildProgressWindow(cShown, nCount, nStep, choice.tellsRead());
  writeRecords(out, writer, choice, window.oProgress);

  db::dbCloseArea();
  if (!commitOutput(out, cShown, window)) return false;
  msg(finalReport(cShown, choice, writer.replacements()));
  window.oDialog->destroy();
  return true;
}

}  // namespace app
