// The parameters of a run: the field-name option, the table and output
// names, the bar's update step.
#include "src/app/run_parameters.hpp"

#include "platform/rt/numbers.hpp"
#include "platform/rt/os_file.hpp"
#include "platform/rt/paths.hpp"
#include "platform/rt/strings.hpp"

namespace app {

namespace {
constexpr std::string_view kTableExtension = ".DBF";
constexpr std::string_view kCodePageExtension = ".CPG";
}  // namespace

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

std::string outputName(const std::string& cName, std::string_view extension) {
  // Only the extension changes, so the output lies beside the table even
  // when a directory of its path has ".DBF" in its name.
  if (!cName.ends_with(kTableExtension)) return cName + std::string(extension);
  return cName.substr(0, cName.size() - kTableExtension.size()) + std::string(extension);
}

std::string_view outputExtension(const std::string& format) {
  return format == "jsonl" ? ".JSONL" : format == "sqlite" ? ".SQLITE" : ".CSV";
}

std::string typedOutputName(const std::string& cName, const std::string& format) {
  return outputName(cName, outputExtension(format));
}

std::vector<std::string> companionFiles(const std::string& cFile) {
  // A table's name ends in ".DBF" in some letter case: the stem is the rest.
  const std::string stem = cFile.substr(0, cFile.size() - kTableExtension.size());
  std::vector<std::string> files;
  for (const std::string_view extension : kCompanionExtensions) {
    const std::string companion = rt::resolvePath(stem + std::string(extension));
    if (rt::file(companion)) files.push_back(companion);
  }
  return files;
}

rt::Status outputClash(const std::string& cOutput, const std::string& cShown, const std::string& cFile,
                       const std::vector<std::string>& companions, const std::string& cName) {
  const std::string refused = "Not converted: the output " + cShown + " is ";
  if (rt::sameFile(cOutput, cFile)) {
    return rt::Status::invalidArgument(refused + "the table " + cName + " itself.").about(cShown);
  }
  for (const std::string& companion : companions) {
    if (!rt::sameFile(cOutput, companion)) continue;
    const bool codePage = rt::upper(companion).ends_with(kCodePageExtension);
    return rt::Status::invalidArgument(refused + (codePage ? "the code page file of " : "the memo file of ") +
                                       cName + ".")
        .about(cShown);
  }
  return rt::Status::ok();
}

std::uint64_t updateStep(std::uint64_t nCount) { return nCount <= 1000 ? 10 : 100; }

std::string withSeparators(std::uint64_t count) {
  return rt::allTrim(rt::transform(rt::Number{static_cast<double>(count), 0, {}}, "999,999,999,999"));
}

}  // namespace app
