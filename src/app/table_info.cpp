#include "src/app/table_info.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <vector>

#include "platform/db/code_page_mark.hpp"
#include "platform/db/dbf_header.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/code_page.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/os_file.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"
#include "platform/rt/utf8.hpp"
#include "src/app/code_page_choice.hpp"
#include "src/app/open_table.hpp"
#include "src/app/options.hpp"
#include "src/app/output_format.hpp"
#include "src/app/record_choice.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/typed_lines.hpp"

namespace app {
namespace {

struct Family {
  unsigned char version;
  const char* name;
};

constexpr Family kFamilies[] = {
    {0x02, "FoxBASE"},
    {0x03, "dBase III or FoxBASE+, no memo"},
    {0x04, "dBase 7, no memo"},
    {0x30, "Visual FoxPro"},
    {0x31, "Visual FoxPro with autoincrement"},
    {0x32, "Visual FoxPro with varchar or varbinary"},
    {0x43, "dBase IV SQL table"},
    {0x63, "dBase IV SQL system table"},
    {0x83, "dBase III with memo"},
    {0x8B, "dBase IV with memo"},
    {0x8C, "dBase 7 with memo"},
    {0xCB, "dBase IV SQL table with memo"},
    {0xE5, "Clipper with SMT memo"},
    {0xF5, "FoxPro 2 with memo"},
    {0xFB, "FoxBASE with memo"},
};

std::string twoDecimals(double x) {
  char s[16];
  std::snprintf(s, sizeof s, "%.2f", x);
  return s;
}

// The header as the file holds it; false when it cannot be read (the
// open that came before has said why already).
bool readHeader(const std::string& cFile, db::TableHeader& header, std::uint64_t& fileSize) {
  rt::OsFile file;
  if (!file.open(cFile).isOk()) return false;
  fileSize = file.size();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, db::kMaxHeaderBytes)));
  std::size_t got = 0;
  if (!file.readAt(0, bytes.data(), bytes.size(), got).isOk()) return false;
  return db::parseHeader(bytes.data(), got, fileSize, header).isOk();
}

std::string declaredLine(const db::TableHeader& header, const std::string& cFile) {
  const std::string mark = db::codePageOfMark(header.codePageMark);
  if (!mark.empty()) return rt::shownCodePage(rt::codePageName(mark)) + " (byte 29: " + db::hexByte(header.codePageMark) + ")";
  const std::string driver = db::codePageOfDriver(header.languageDriver);
  if (!driver.empty()) return driver + " (language driver " + header.languageDriver + ")";
  const std::string cpg = companionCodePage(cFile);
  if (!cpg.empty()) return rt::shownCodePage(rt::codePageName(cpg)) + " (" + rt::baseName(cFile.substr(0, cFile.size() - 4)) + ".CPG)";
  if (header.codePageMark != 0) return "none known (byte 29: " + db::hexByte(header.codePageMark) + ")";
  return "none";
}

std::string guessLine(const CodePageChoice& choice) {
  if (choice.ranking.empty()) return "no text beyond ASCII: " + rt::shownCodePage(choice.codePage);
  std::string line = choice.asDeclared ? rt::shownCodePage(choice.codePage) + " as declared, none is sure: " : "";
  const std::size_t shown = std::min<std::size_t>(choice.ranking.size(), 5);
  for (std::size_t i = 0; i < shown; ++i) {
    line += (i ? ", " : "") + rt::shownCodePage(choice.ranking[i].name) + " (sure: " + twoDecimals(choice.ranking[i].sure) + ")";
  }
  return line;
}

// Names as the header stores them, read as Latin-1 so that the JSON is
// UTF-8 whatever bytes they hold.
std::string latin1(std::string_view bytes) {
  std::string out;
  for (const char ch : bytes) out += rt::utf8(static_cast<unsigned char>(ch));
  return out;
}

void jsonMember(std::string& out, std::string_view key, std::string_view text) {
  if (out.size() > 1) out += ',';
  appendJsonString(out, key);
  out += ':';
  appendJsonString(out, latin1(text));
}

void jsonNumber(std::string& out, std::string_view key, std::string_view number) {
  if (out.size() > 1) out += ',';
  appendJsonString(out, key);
  out += ':';
  out += number;
}

// The facts of the text form as one object: numbers as numbers, the
// ranking as a list, best first.
std::string infoObject(const std::string& cName, const db::TableHeader& header, std::uint64_t held,
                       const std::string& family, const std::string& memo, const std::string& declared,
                       const CodePageChoice& choice) {
  std::string o = "{";
  jsonMember(o, "table", cName);
  jsonMember(o, "format", family);
  jsonMember(o, "version", db::hexByte(header.version));
  jsonNumber(o, "records", std::to_string(header.recordCount));
  jsonNumber(o, "records_held", std::to_string(held));
  if (memo.empty()) jsonNumber(o, "memo_file", "null");
  else jsonMember(o, "memo_file", memo);
  jsonMember(o, "code_page", declared);
  jsonMember(o, "guess", rt::shownCodePage(choice.codePage));
  o += ",\"ranking\":[";
  for (std::size_t i = 0; i < choice.ranking.size(); ++i) {
    std::string r = "{";
    jsonMember(r, "code_page", rt::shownCodePage(choice.ranking[i].name));
    jsonNumber(r, "sure", twoDecimals(choice.ranking[i].sure));
    o += (i ? "," : "") + r + "}";
  }
  o += "],\"fields\":[";
  bool first = true;
  for (const db::FieldDesc& f : header.fields) {
    if (f.system) continue;
    std::string r = "{";
    jsonMember(r, "name", f.name);
    jsonMember(r, "type", std::string(1, f.type));
    jsonNumber(r, "length", std::to_string(f.length));
    jsonNumber(r, "decimals", std::to_string(f.decimals));
    jsonNumber(r, "nullable", f.nullBit >= 0 ? "true" : "false");
    o += (first ? "" : ",") + r + "}";
    first = false;
  }
  return o + "]}";
}

void printFields(const db::TableHeader& header, std::ostream& out) {
  out << "Fields:\n";
  for (const db::FieldDesc& f : header.fields) {
    if (f.system) continue;
    std::string line = "  " + f.name;
    line.resize(std::max<std::size_t>(line.size() + 1, 14), ' ');
    line += std::string(1, f.type) + " " + std::to_string(f.length);
    if (f.decimals) line += "," + std::to_string(f.decimals);
    if (f.nullBit >= 0) line += " nullable";
    out << line << '\n';
  }
}

}  // namespace

bool infoMain(const Options& options) {
  std::vector<std::string> tables;
  for (const std::string& a : options.arguments) {
    std::error_code ec;
    if (!options.batch || !std::filesystem::is_directory(a, ec)) {
      tables.push_back(a);
      continue;
    }
    std::vector<std::string> found;
    const auto add = [&](const std::filesystem::directory_entry& e) {
      if (e.is_regular_file(ec) && rt::upper(e.path().extension().string()) == ".DBF") found.push_back(e.path().string());
    };
    if (options.recursive) {
      for (const auto& e : std::filesystem::recursive_directory_iterator(a, ec)) add(e);
    } else {
      for (const auto& e : std::filesystem::directory_iterator(a, ec)) add(e);
    }
    std::sort(found.begin(), found.end());
    tables.insert(tables.end(), found.begin(), found.end());
  }
  bool ok = true;
  const bool json = options.format == "jsonl";
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (i > 0 && !json) std::cout << '\n';
    ok = tableInfo(tables[i], std::cout, std::cerr, json, &options) && ok;
  }
  std::cout << std::flush;
  return ok;
}

std::string tableFamily(unsigned char version) {
  for (const Family& f : kFamilies) {
    if (f.version == version) return f.name;
  }
  return "";
}

bool tableInfo(const std::string& cTable, std::ostream& out, std::ostream& err, bool json, const Options* options) {
  const TableName table = tableName(cTable);
  if (!rt::file(table.cFile)) {
    err << table.cName << " NOT FOUND.\n";
    return false;
  }
  std::string cDriver;
  rt::Status reason = rt::Status::ok();
  if (!openTable(cDriver, table.cFile, "INFO", true, &reason)) {
    err << "Not able to open " << table.cName << ".\n"
        << (reason.message().empty() ? "" : "dbf2csv: " + reason.message() + "\n");
    return false;
  }
  db::TableHeader header;
  std::uint64_t fileSize = 0;
  const bool read = readHeader(table.cFile, header, fileSize);
  const std::string declared = declaredCodePage(table.cName, *db::currentTable());
  const CodePageChoice choice = guessTableCodePage(*db::currentTable(), declared);
  std::vector<int> chosen;
  if (options) {
    RecordChoice fields(*options);
    if (const rt::Status s = fields.bind(*db::currentTable(), table.cName); !s.isOk()) {
      db::dbCloseArea();
      err << s.message() << '\n';
      return false;
    }
    chosen = fields.fields().fields;
  }
  db::dbCloseArea();
  if (!read) {
    err << "Not able to open " << table.cName << ".\n";
    return false;
  }
  const std::string family = tableFamily(header.version);
  const std::uint64_t held = header.recordLength ? (fileSize - std::min<std::uint64_t>(fileSize, header.headerLength)) / header.recordLength : 0;
  std::string memo;
  for (const std::string& f : companionFiles(table.cFile)) {
    if (!rt::upper(f).ends_with(".CPG")) memo = rt::shownPath(f);
  }
  const bool memoFields = std::any_of(header.fields.begin(), header.fields.end(), [](const db::FieldDesc& f) {
    return f.type == 'M' || f.type == 'G' || f.type == 'P' || f.type == 'W' || (f.type == 'B' && f.length == 10);
  });
  if (!memoFields) memo.clear();
  if (options) {
    // The fields the options choose, by their numbers among the visible ones.
    std::vector<db::FieldDesc> visible;
    for (const db::FieldDesc& f : header.fields) {
      if (!f.system) visible.push_back(f);
    }
    header.fields.clear();
    for (const int pos : chosen) header.fields.push_back(visible[static_cast<std::size_t>(pos - 1)]);
  }
  if (json) {
    out << infoObject(table.cName, header, held, family, memo, declaredLine(header, table.cName), choice) << '\n';
    return true;
  }
  out << "Table:      " << table.cName << '\n'
      << "Format:     " << (family.empty() ? "version byte" : family + ", version byte") << ' '
      << db::hexByte(header.version) << '\n';
  out << "Records:    " << withSeparators(header.recordCount);
  if (held != header.recordCount) out << " (the file holds " << withSeparators(held) << ")";
  out << '\n';
  out << "Memo file:  " << (!memoFields ? "none (no memo fields)" : memo.empty() ? "none" : memo) << '\n'
      << "Code page:  " << declaredLine(header, table.cName) << '\n'
      << "Guess:      " << guessLine(choice) << '\n';
  printFields(header, out);
  return true;
}

}  // namespace app
