#include "src/app/output_format.hpp"

#include <iostream>

#include "platform/db/engine.hpp"
#include "platform/rt/code_page.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/code_page_choice.hpp"
#include "src/app/options.hpp"

namespace app {

std::string companionCodePage(const std::string& cName) {
  const std::string cCpg = cName.substr(0, cName.size() - 4) + ".CPG";
  if (!rt::file(cCpg)) return "";
  return rt::allTrim(rt::memoRead(cCpg));
}

std::string declaredCodePage(const std::string& cName, const db::Table& table) {
  const std::string declared = table.declaredCodePage();
  return declared.empty() ? companionCodePage(cName) : declared;
}

rt::Status checkEncoding(const Options& options) {
  if (!options.encoding || rt::upper(*options.encoding) == "AUTO" || rt::upper(*options.encoding) == "GUESS") {
    return rt::Status::ok();
  }
  rt::CodePageChars chars;
  if (rt::codePageChars(rt::codePageName(*options.encoding), chars) != rt::CodePageKind::Unknown) {
    return rt::Status::ok();
  }
  return rt::Status::invalidArgument("dbf2csv: --encoding " + *options.encoding +
                                     ": not a code page that can be converted here (dbf2csv --help)");
}

rt::Status outputFormat(const Options& options, const std::string& cName, db::Table& table,
                        LineFormat& format) {
  if (!options.encoding) {
    format = makeLineFormat(options.rfc4180, options.delimiter, nullptr, false);
    return rt::Status::ok();
  }
  std::string codePage = *options.encoding;
  if (rt::upper(codePage) == "AUTO") {
    codePage = declaredCodePage(cName, table);
    if (codePage.empty()) {
      return rt::Status::invalidArgument(cName + " declares no code page: let dbf2csv read its text with "
                                                 "--encoding=guess, or name it with --encoding=CODEPAGE.")
          .about(cName);
    }
  } else if (rt::upper(codePage) == "GUESS") {
    const std::string declared = declaredCodePage(cName, table);
    const CodePageChoice choice = guessTableCodePage(table, declared);
    std::cerr << choiceLine(cName, choice, declared) << '\n' << std::flush;
    codePage = choice.codePage;
  }
  const std::string name = rt::codePageName(codePage);
  rt::CodePageChars chars;
  switch (rt::codePageChars(name, chars)) {
    case rt::CodePageKind::SingleByte:
      format = makeLineFormat(options.rfc4180, options.delimiter, &chars, options.bom);
      return rt::Status::ok();
    case rt::CodePageKind::MultiByte:
      format = makeConvertingFormat(options.rfc4180, options.delimiter, name, options.bom);
      return rt::Status::ok();
    case rt::CodePageKind::Unknown: break;
  }
  return rt::Status::notSupported("Code page " + codePage + " of " + cName + " cannot be converted here.")
      .about(cName);
}

rt::Status typedTextFormat(const Options& options, const std::string& cName, db::Table& table,
                           LineFormat& format) {
  Options text = options;
  text.rfc4180 = false;
  text.bom = false;
  text.delimiter = ',';
  return outputFormat(text, cName, table, format);
}

}  // namespace app
