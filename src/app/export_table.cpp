// The conversion itself: the output file, the field-name line, one line per
// record, the final report.
#include "src/app/export_table.hpp"

#include "platform/db/workarea.hpp"
#include "platform/rt/atomic_file.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/bytes_renderer.hpp"
#include "src/app/message_box.hpp"
#include "src/app/progress_window.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/values_renderer.hpp"

namespace app {
namespace {

std::string fieldNameLine() {
  std::string cLine;
  for (int nField = 1; nField <= db::fCount(); ++nField) {
    cLine += nField == 1 ? "\"" : ",\"";
    cLine += db::fieldName(nField);
    cLine += '"';
  }
  return cLine + "\r\n";
}

// Writes one line per record the work area presents; stops early when the
// output has failed, as nothing more can reach it. Returns the lines written.
std::uint64_t writeRecords(rt::AtomicFile& out, ui::ProgressBar* oProgress) {
  std::uint64_t nWritten = 0;
  rt::Array aRecord;
  std::string cLine;
  // Tables whose records are kept as bytes render straight from them.
  std::optional<BytesRenderer> renderer = BytesRenderer::forCurrentTable();
  while (!db::eof()) {
    progress(oProgress);
    ++nWritten;
    if (renderer) {
      out.append(renderer->recordLine());
    } else {
      dbf2Array(aRecord);
      cLine.clear();
      for (std::size_t i = 0; i < aRecord.size(); ++i) {
        cLine += i == 0 ? "\"" : ",\"";
        appendValue(cLine, aRecord[i]);
        cLine += '"';
      }
      cLine += "\r\n";
      out.append(cLine);
    }
    if (!out.ok()) break;
    db::dbSkip();
  }
  return nWritten;
}

std::string finalReport(const std::string& cOutput, std::uint64_t nWritten) {
  const rt::Number n{static_cast<double>(nWritten), 0, {}};
  return "Program Ended Normally;;File " + cOutput + " Created with " +
         rt::allTrim(rt::transform(n, "999,999,999,999")) + " records.";
}

}  // namespace

bool exportTable(const std::string& cName, bool lFieldLine) {
  db::selectArea(db::select("INPUT"));
  const std::string cOutput = outputName(cName);

  // The lines go to a temporary file that replaces the output only once it
  // is complete; leaving this scope any other way removes it.
  rt::AtomicFile out(cOutput);
  if (!out.ok()) {
    db::dbCloseArea();
    msg("Not able to create " + cOutput + ".");
    return false;
  }

  const std::uint64_t nCount = db::lastRec();
  const std::uint64_t nStep = updateStep(nCount);
  db::dbGoTop();
  if (lFieldLine) out.append(fieldNameLine());

  ProgressWindow window = buildProgressWindow(cOutput, nCount, nStep);
  const std::uint64_t nWritten = writeRecords(out, window.oProgress);

  db::dbCloseArea();
  if (!out.commit()) {
    window.oDialog->destroy();
    msg("Not able to write " + cOutput + ".");
    return false;
  }
  msg(finalReport(cOutput, nWritten));
  window.oDialog->destroy();
  return true;
}

}  // namespace app
