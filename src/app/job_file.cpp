// The job file RAZAVOZ.INP that a calling program leaves for a batch run:
// elements separated by "|", element 1 the table, element 3 the field-name
// flag.
#include "src/app/job_file.hpp"

#include "platform/rt/call_frame.hpp"
#include "platform/rt/error_codes.hpp"
#include "platform/rt/files.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/message_box.hpp"

namespace app {

std::vector<std::string> str2Array(std::string_view cString,
                                   std::optional<std::string_view> cDelimiter) {
  RT_PROC("STR2ARRAY");
  static const std::string kDefault(2, static_cast<char>(222));
  const std::string_view separator = cDelimiter ? *cDelimiter : std::string_view(kDefault);
  std::vector<std::string> aResult;
  if (separator.empty()) {
    // Nothing can be found between the elements: the whole text is one.
    if (!cString.empty()) aResult.emplace_back(cString);
    return aResult;
  }
  std::string_view rest = cString;
  for (auto pos = rest.find(separator); pos != std::string_view::npos;
       pos = rest.find(separator)) {
    aResult.emplace_back(rest.substr(0, pos));
    rest.remove_prefix(pos + separator.size());
  }
  if (!rest.empty()) aResult.emplace_back(rest);
  return aResult;
}

// A step of MAIN: it runs in MAIN's call frame.
JobFile readJobFile(std::optional<std::string>& cTable, bool& lFieldLine) {
  if (!rt::file(kJobFile)) return JobFile::Absent;
  const std::string cContent = rt::memoRead(kJobFile);
  // Consumed at once: a run that fails later must not find it again. One
  // that stays would be converted again at the caller's next start.
  if (rt::fErase(kJobFile) != 0) {
    noteOnStderr(std::string(kJobFile) + " could not be erased: " +
                 rt::dosErrorMessage(rt::fError()));
  }
  const auto aJob = str2Array(cContent, "|");
  if (aJob.size() < 3) return JobFile::Incomplete;
  cTable = aJob[0];
  lFieldLine = rt::nonExactEqual(aJob[2], "T");
  return JobFile::Read;
}

}  // namespace app
