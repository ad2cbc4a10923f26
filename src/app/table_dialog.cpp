#include "src/app/table_dialog.hpp"

#include <utility>
#include <vector>

#include "platform/rt/call_frame.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"
#include "platform/rt/value.hpp"
#include "platform/ui/toolkit.hpp"
#include "src/app/check_table.hpp"

namespace app {
namespace {

using FileFilters = std::vector<std::pair<std::string, std::string>>;

constexpr int kTableWidth = 60;
constexpr const char* kMemoryFile = "MEMOS.SYS";
constexpr const char* kLabelFont = "10.Courier New Bold";

void addLabel(ui::ElementList& aList, int nRow, int nCol, const std::string& cText) {
  ui::Element label;
  label.kind = ui::Element::Kind::Label;
  label.caption = cText;
  label.row = nRow;
  label.column = nCol;
  label.font = kLabelFont;
  aList.push_back(std::move(label));
}

// An entry field placed after the label just appended.
ui::Element& addEntry(ui::ElementList& aList, rt::Value& xVar, const std::string& cName,
                      const std::string& cPicture, const std::string& cHelp) {
  ui::Element entry;
  entry.kind = ui::Element::Kind::Entry;
  entry.link = &xVar;
  entry.name = cName;
  entry.picture = cPicture;
  entry.help = cHelp;
  entry.id = "GET_" + rt::upper(cName);
  aList.push_back(std::move(entry));
  aList.back().labelIndex = static_cast<int>(aList.size()) - 1;
  return aList.back();
}

// The remembered directory, as the table-name field starts with it: the
// folders that exist as they are on disk, the rest upper-cased.
rt::Value rememberedTable() {
  if (!rt::file(kMemoryFile)) return rt::Value(rt::space(kTableWidth));
  return rt::Value(rt::padR(rt::shownPath(rt::allTrim(rt::memoRead(kMemoryFile))), kTableWidth));
}

// The last file picked, exactly as the picker gave it, and as the field
// shows it. The field's name stands for that very file, even where
// another's name differs from it only in letter case.
struct Pick {
  std::string exact, shown;
  std::string fileOf(const std::string& cName) const {
    return !exact.empty() && cName == shown ? exact : cName;
  }
};

// Everything up to and including the last "\" (or "/", the Linux separator).
std::string directoryPart(const std::string& cName) {
  const int nPos = std::max(rt::rat("\\", cName), rt::rat("/", cName));
  return nPos > 0 ? rt::subStr(cName, 1, nPos) : std::string();
}

}  // namespace

std::string getTableName(bool& rlFieldLine, std::string& rcDriver, const std::string& cStartDir) {
  RT_PROC("GETTABLENAME");
  forgetCheckedTable();
  ui::ElementList aList;
  rt::Value cTable = rememberedTable();
  rt::Value lFieldLine(rlFieldLine);
  const FileFilters aFileFilters{{"Database Tables", "*.DBF"}};
  const std::string cFilter = rt::allTrim(cTable.text()).empty() ? cStartDir : cTable.text();

  addLabel(aList, 2, 5, "Select Table     ");
  ui::Element& table = addEntry(
      aList, cTable, "cTable", "@!@K",
      "Enter the name of the table to create a delimited file from.;;Use the [...] button to "
      "tag a name.");
  Pick pick;
  table.validation = [&cTable, &rcDriver, &pick] {
    return checkTable(pick.fileOf(rt::allTrim(cTable.text())), rcDriver);
  };
  table.popup = [&cFilter, &aFileFilters, &pick](const rt::Value& content) {
    auto picked = ui::toolkit().popFile({content.text(), cFilter, "*.DBF", "Select", aFileFilters});
    if (!picked) return content;
    pick = {*picked, rt::shownPath(*picked)};
    return rt::Value(pick.shown);
  };
  addLabel(aList, 4, 5, "Place Field Names on First line of Delimited File");
  addEntry(aList, lFieldLine, "rlFieldLine", "Y",
           "If you enter yes, the first line of the delimited file will;contain the names of "
           "the fields.");

  RT_LINE();
  const bool lConfirmed = ui::toolkit().readModal(aList, "Create a Text Delimited File",
                                                  [] { ui::toolkit().setAppWindow(); });
  aList.clear();
  rlFieldLine = lFieldLine.logical();
  if (!lConfirmed) return "";

  const std::string cName = pick.fileOf(rt::allTrim(cTable.text()));
  RT_LINE();
  rt::memoWrit(kMemoryFile, directoryPart(rt::shownPath(cName)));
  return cName;
}

}  // namespace app
