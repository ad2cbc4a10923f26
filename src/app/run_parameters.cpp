// The parameters of a run: the field-name option, the table and output
// names, the bar's update step.
#include "src/app/run_parameters.hpp"

#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"

namespace app {

namespace {
constexpr std::string_view kTableExtension = ".DBF";
}

bool fieldLineOption(const std::optional<std::string>& cFlag) {
  return !cFlag || !rt::nonExactEqual(rt::upper(*cFlag), "N");
}

std::string normaliseName(std::string_view cTable) {
  std::string cName = rt::upper(cTable);
  if (!cName.ends_with(kTableExtension)) cName += kTableExtension;
  return cName;
}

TableName tableName(std::string_view cTable) {
  // The name as it was given, not upper-cased, with what normalising
  // appends: where it exists exactly it is that file, even beside another
  // whose name differs only in letter case.
  const std::string cGiven = std::string(cTable) + normaliseName(cTable).substr(cTable.size());
  const std::string cFile = rt::resolvePath(cGiven);
  return {cFile, rt::shownPath(cFile)};
}

std::string outputName(const std::string& cName) {
  // Only the extension changes, so the output lies beside the table even
  // when a directory of its path has ".DBF" in its name.
  if (!cName.ends_with(kTableExtension)) return cName + ".CSV";
  return cName.substr(0, cName.size() - kTableExtension.size()) + ".CSV";
}

std::uint64_t updateStep(std::uint64_t nCount) { return nCount <= 1000 ? 10 : 100; }

}  // namespace app
