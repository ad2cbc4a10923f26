#include "src/app/typed_export.hpp"

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/export_output.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/message_box.hpp"
#include "src/app/progress_window.hpp"
#include "src/app/record_choice.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/schema.hpp"
#include "src/app/sqlite_output.hpp"
#include "src/app/typed_lines.hpp"
#include "src/app/typed_values.hpp"
#include "src/app/where_eval.hpp"

namespace app {
namespace {

// Fails the run, the table closed, after telling the user `cMessage` and,
// when given, the system's reason.
bool failWith(const std::string& cMessage, const std::string& cReason = "") {
  db::dbCloseArea();
  msg(cMessage);
  if (!cReason.empty()) noteOnStderr(cReason);
  return false;
}

// Writes the script that loads the CSV `cOutput`; false, having told the
// user, when it cannot be written.
bool writeSchema(const Options& options, const std::string& cName, const std::string& cOutput,
                 const TypedReader& reader, bool lFieldLine) {
  const std::string cScript = schemaName(cOutput);
  const SchemaSource source{tableNameOf(cName), rt::baseName(cOutput), reader.columns(), options.delimiter,
                            lFieldLine};
  rt::AtomicFile script(cScript);
  script.append(options.schema == "postgres" ? postgresSchema(source) : sqliteSchema(source));
  const rt::Status s = script.ok() ? script.commit() : script.status();
  if (s.isOk()) return true;
  msg("Not able to write " + cScript + ".");
  noteOnStderr(s.message());
  return false;
}

// The records into the database `cOutput`, in the table named after the DBF
// file.
bool exportSqlite(const std::string& cName, const std::string& cOutput, TypedReader& reader, RecordChoice& choice) {
  const std::uint64_t nCount = db::lastRec();
  db::dbGoTop();
  ProgressWindow window = buildProgressWindow(cOutput, nCount, updateStep(nCount), choice.tellsRead());
  std::string cReason;
  const bool ok = writeSqlite(cOutput, tableNameOf(cName), reader, choice, window.oProgress, cReason);
  db::dbCloseArea();
  if (!ok) {
    window.oDialog->destroy();
    msg("Not able to write " + cOutput + ".");
    noteOnStderr(cReason);
    return false;
  }
  msg(finalReport(cOutput, choice, 0) + typedReport(reader.counts()));
  window.oDialog->destroy();
  return true;
}

}  // namespace

std::string schemaName(const std::string& cOutput) {
  const std::string base = rt::baseName(cOutput);
  const std::size_t dot = base.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : base.substr(dot + 1);
  const bool lowerCase = !extension.empty() && rt::lower(extension) == extension && rt::upper(extension) != extension;
  const std::size_t cut = cOutput.size() - (dot == std::string::npos ? 0 : base.size() - dot);
  return cOutput.substr(0, cut) + (lowerCase ? ".sql" : ".SQL");
}

bool exportTyped(const std::string& cName, bool lFieldLine, const Options& options) {
  db::selectArea(db::select("INPUT"));
  std::string cOutput = options.output.value_or(typedOutputName(cName, options.format));
  if (rt::namesStandardOutput(cOutput)) cOutput = kStandardOutput;
  const std::string cShown = cOutput == kStandardOutput ? "standard output" : cOutput;

  RecordChoice choice(options);
  if (const rt::Status s = choice.bind(*db::currentTable(), cName); !s.isOk()) return failWith(s.message());
  LineFormat format;
  if (const rt::Status s = typedTextFormat(options, cName, *db::currentTable(), format); !s.isOk()) {
    return failWith(s.message());
  }
  // The condition reads text by the code page: bound once it is known.
  if (!options.where.empty()) {
    if (const rt::Status s = choice.setCondition(whereCondition(options.where, format)); !s.isOk()) {
      return failWith(s.message());
    }
  }
  std::optional<TypedReader> reader = TypedReader::forCurrentTable(std::move(format), &choice.fields());
  if (!reader) return failWith("Not able to read the values of " + cName + " as typed values.");

  if (options.format == "sqlite") return exportSqlite(cName, cOutput, *reader, choice);

  ExportOutput out(cOutput);
  if (!out.ok()) return failWith("Not able to create " + cShown + ".", out.status().message());
  if (!options.schema.empty() && out.inPlace()) {
    return failWith("--schema needs an output file: " + cShown + " is not one the script can load.");
  }

  const bool json = options.format == "jsonl";
  LineFormat lines;
  lines.delimiter = options.delimiter;
  LineWriter writer(std::move(lines));
  const std::uint64_t nCount = db::lastRec();
  db::dbGoTop();
  if (options.bom) out.append("\xEF\xBB\xBF");
  if (lFieldLine && !json) {
    csvNames(writer, reader->columns());
    writer.keep();
  }

  ProgressWindow window = buildProgressWindow(cShown, nCount, updateStep(nCount), choice.tellsRead());
  std::string block;  // the lines being written while the writer fills its buffer
  reserveBlock(writer);
  forEachChosen(choice, window.oProgress, [&] {
    json ? reader->jsonLine(writer) : reader->csvLine(writer);
    return keepLine(out, writer, block);
  });
  flushKept(out, writer);
  db::dbCloseArea();
  if (!commitOutput(out, cShown, window)) return false;
  if (!options.schema.empty() && !writeSchema(options, cName, cOutput, *reader, lFieldLine)) {
    window.oDialog->destroy();
    return false;
  }
  msg(finalReport(cShown, choice, 0) + typedReport(reader->counts()));
  window.oDialog->destroy();
  return true;
}

}  // namespace app
