// The WebAssembly module's interface to the page's worker (web/worker.js):
// one conversion at a time, started with the program's arguments, taken in
// chunks. Strings are UTF-8, owned here and valid until the next call.
#include <emscripten/emscripten.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "web/web_export.hpp"

namespace {

std::unique_ptr<web::WebExport> current;
// Whether the output has been handed out; the first lines, written at the
// open, have not.
bool handedOut = false;

// The arguments, one a line, as the worker passes them.
std::vector<std::string> lines(const char* text) {
  std::vector<std::string> args;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) args.push_back(line);
  return args;
}

}  // namespace

extern "C" {

// Starts a conversion of the table the arguments name (a table path, "Y" or
// "N" for the field-name line, then options as the command line takes
// them). 1 when it started; 0, with dbf2csv_message(), when it could not.
EMSCRIPTEN_KEEPALIVE int dbf2csv_open(const char* args) {
  current = std::make_unique<web::WebExport>();
  handedOut = false;
  return current->open(lines(args)) ? 1 : 0;
}

// Converts records until at least `want` bytes of output are waiting (or
// the table ends); the bytes are at dbf2csv_output() until the next call.
// Their number, or -1 when the table proved damaged (dbf2csv_message()).
EMSCRIPTEN_KEEPALIVE int dbf2csv_next(int want) {
  if (handedOut) current->takeOutput();
  handedOut = true;
  if (!current->next(static_cast<std::size_t>(want))) return -1;
  return static_cast<int>(current->output().size());
}

EMSCRIPTEN_KEEPALIVE const char* dbf2csv_output() { return current->output().data(); }
EMSCRIPTEN_KEEPALIVE int dbf2csv_finished() { return current->finished() ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE double dbf2csv_records() { return static_cast<double>(current->records()); }
EMSCRIPTEN_KEEPALIVE double dbf2csv_record_count() { return static_cast<double>(current->recordCount()); }
EMSCRIPTEN_KEEPALIVE double dbf2csv_replacements() { return static_cast<double>(current->replacements()); }
EMSCRIPTEN_KEEPALIVE const char* dbf2csv_output_name() { return current->outputName().c_str(); }
EMSCRIPTEN_KEEPALIVE const char* dbf2csv_message() { return current->message().c_str(); }

// Ends the conversion, closing the table.
EMSCRIPTEN_KEEPALIVE void dbf2csv_close() { current.reset(); }

}  // extern "C"
