#include "src/app/output_format.hpp"

#include "platform/db/engine.hpp"
#include "platform/rt/code_page.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/options.hpp"

namespace app {

std::string companionCodePage(const std::string& cName) {
  const std::string cCpg = cName.substr(0, cName.size() - 4) + ".CPG";
  if (!rt::file(cCpg)) return "";
  return rt::allTrim(rt::memoRead(cCpg));
}

std::string encodingUsageError(const Options& options) {
  if (!options.encoding || rt::upper(*options.encoding) == "AUTO") return "";
  rt::CodePageChars chars;
  if (rt::codePageChars(rt::codePageName(*options.encoding), chars) != rt::CodePageKind::Unknown) return "";
  return "dbf2csv: --encoding " + *options.encoding + ": not a code page that can be converted here (dbf2csv --help)";
}

std::optional<LineFormat> outputFormat(const Options& options, const std::string& cName,
                                       const db::Table& table, std::string& problem) {
  if (!options.encoding) return makeLineFormat(options.rfc4180, options.delimiter, nullptr, false);
  std::string codePage = *options.encoding;
  if (rt::upper(codePage) == "AUTO") {
    codePage = table.declaredCodePage();
    if (codePage.empty()) codePage = companionCodePage(cName);
    if (codePage.empty()) {
      problem = cName + " declares no code page: name it with --encoding=CODEPAGE.";
      return std::nullopt;
    }
  }
  const std::string name = rt::codePageName(codePage);
  rt::CodePageChars chars;
  switch (rt::codePageChars(name, chars)) {
    case rt::CodePageKind::SingleByte:
      return makeLineFormat(options.rfc4180, options.delimiter, &chars, options.bom);
    case rt::CodePageKind::MultiByte:
      return makeConvertingFormat(options.rfc4180, options.delimiter, name, options.bom);
    case rt::CodePageKind::Unknown: break;
  }
  problem = "Code page " + codePage + " of " + cName + " cannot be converted here.";
  return std::nullopt;
}

}  // namespace app
