// The export run in steps for the page: the program's own routines for the
// arguments, the table, the line format and the lines; only the loop is
// cut into chunks, and what the program would show in a box is kept as text.
#include "web/web_export.hpp"

#include <sstream>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/error_block.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/paths.hpp"
#include "platform/ui/headless/headless_toolkit.hpp"
#include "src/app/open_table.hpp"
#include "src/app/options.hpp"
#include "src/app/output_format.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/typed_lines.hpp"
#include "src/app/values_renderer.hpp"
#include "src/errors/message.hpp"
#include "src/runtime/startup.hpp"

namespace web {
namespace {

// A message of the program with its line breaks (";") as the page shows them.
std::string asLines(std::string text) {
  for (char& c : text) {
    if (c == ';') c = '\n';
  }
  return text;
}

// The sentences of a report (each after ";;", the program's paragraph
// break), one a line.
std::string reportLines(const std::string& report) {
  std::string lines;
  for (std::size_t at = report.find(";;"); at != std::string::npos;) {
    const std::size_t end = report.find(";;", at + 2);
    lines += (lines.empty() ? "" : "\n") + report.substr(at + 2, end - (at + 2));
    at = end;
  }
  return lines;
}

// Runs `body` with every runtime error turned into a break; the error's
// message, as the program's error handler words it, when one broke it off.
template <class Body>
std::optional<std::string> guarded(Body&& body) {
  std::optional<std::string> failure;
  rt::ErrorBlockGuard saved(rt::breakBlock());
  rt::sequence(body, [&](const rt::Value& value) {
    const auto* error = value.isObject() ? dynamic_cast<const rt::ErrorObject*>(value.object().get()) : nullptr;
    failure = error ? asLines(errors::errorMessage(*error)) : "The conversion was broken off.";
  });
  return failure;
}

}  // namespace

WebExport::WebExport() : told_(std::make_unique<std::ostringstream>()) {
  ui::setToolkit(std::make_unique<ui::HeadlessToolkit>(*told_));
  // Once per module, as once per process: the engines stay loaded.
  static const bool started = [] {
    runtime::appSys();
    runtime::dbeSys();
    return true;
  }();
  (void)started;
}

WebExport::~WebExport() { close(); }

bool WebExport::fail(const std::string& text) {
  close();
  message_ = text;
  // What the program showed on the way, such as a value of a type it cannot write.
  if (!told_->str().empty()) message_ += "\n" + told_->str();
  return false;
}

bool WebExport::open(const std::vector<std::string>& args) {
  app::Options options;
  rt::Status usage = app::parseCommandLine(args, options);
  if (usage.isOk()) usage = app::checkEncoding(options);
  std::string error = usage.message();
  if (error.empty() && options.arguments.empty()) error = "dbf2csv: no table named";
  // A script loads a file by its name in a folder, which a download has not.
  if (error.empty() && !options.schema.empty()) {
    error = "--schema is for the dbf2csv program: the page writes no script";
  }
  // The page shows the program's words without its name before them.
  if (error.starts_with("dbf2csv: ")) error.erase(0, 9);
  if (!error.empty()) return fail(error);

  const std::vector<std::string>& rest = options.arguments;
  const bool lFieldLine = app::fieldLineOption(rest.size() > 1 ? std::optional(rest[1]) : std::nullopt);
  const app::TableName table = app::tableName(rest[0]);
  if (!rt::file(table.cFile)) return fail(table.cName + " NOT FOUND.");
  std::string cDriver;
  rt::Status reason = rt::Status::ok();
  if (!app::openTable(cDriver, table.cFile, "INPUT", true, &reason)) {
    return fail("Not able to open " + table.cName + ".\n" + reason.message());
  }
  open_ = true;
  outputName_ = rt::baseName(app::typedOutputName(table.cName, options.format));

  rt::Status problem = rt::Status::ok();
  const std::optional<std::string> failure = guarded([&] {
    db::selectArea(db::select("INPUT"));
    if (options.typed) {
      problem = openTyped(options, table.cName, lFieldLine);
      return;
    }
    app::LineFormat format;
    problem = app::outputFormat(options, table.cName, *db::currentTable(), format);
    if (!problem.isOk()) return;
    writer_.emplace(std::move(format));
    count_ = db::lastRec();
    db::dbGoTop();
    output_ += writer_->format().bom;
    if (lFieldLine) {
      writer_->begin();
      for (int nField = 1; nField <= db::fCount(); ++nField) writer_->name(db::fieldName(nField));
      output_ += writer_->end();
    }
    renderer_ = app::BytesRenderer::forCurrentTable(*writer_);
  });
  if (failure) return fail(*failure);
  if (!writer_) return fail(problem.message());
  return true;
}

rt::Status WebExport::openTyped(const app::Options& options, const std::string& cName, bool lFieldLine) {
  app::LineFormat text;
  if (rt::Status s = app::typedTextFormat(options, cName, *db::currentTable(), text); !s.isOk()) return s;
  reader_ = app::TypedReader::forCurrentTable(std::move(text));
  if (!reader_) return rt::Status::notSupported("Not able to read the values of " + cName + " as typed values.");
  json_ = options.format == "jsonl";
  app::LineFormat lines;
  lines.delimiter = options.delimiter;
  writer_.emplace(std::move(lines));
  count_ = db::lastRec();
  db::dbGoTop();
  if (options.bom) output_ += "\xEF\xBB\xBF";
  if (lFieldLine && !json_) {
    app::csvNames(*writer_, reader_->columns());
    writer_->keep();
  }
  return rt::Status::ok();
}

bool WebExport::next(std::size_t want) {
  if (!open_) return !finished_ ? fail("No table is open.") : true;
  rt::Array aRecord;
  const std::optional<std::string> failure = guarded([&] {
    // Typed lines are kept in the writer and taken in one piece.
    while (!db::eof() && output_.size() + (reader_ ? writer_->kept().size() : 0) < want) {
      ++written_;
      if (reader_) {
        json_ ? reader_->jsonLine(*writer_) : reader_->csvLine(*writer_);
        writer_->keep();
      } else if (renderer_) {
        output_ += renderer_->recordLine();
      } else {
        app::dbf2Array(aRecord);
        output_ += app::valuesLine(*writer_, aRecord);
      }
      db::dbSkip();
    }
    finished_ = db::eof();
  });
  if (reader_) {
    output_ += writer_->kept();
    writer_->clearKept();
  }
  if (failure) return fail(*failure);
  if (finished_) {
    if (reader_) message_ = reportLines(app::typedReport(reader_->counts()));
    close();
  }
  return true;
}

std::uint64_t WebExport::replacements() const { return writer_ ? writer_->replacements() : 0; }

void WebExport::close() {
  renderer_.reset();
  reader_.reset();
  if (!open_) return;
  open_ = false;
  guarded([] {
    const int area = db::select("INPUT");
    if (area > 0) db::inArea(area, [] { db::dbCloseArea(); });
  });
}

}  // namespace web
