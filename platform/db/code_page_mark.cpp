#include "platform/db/code_page_mark.hpp"

#include <array>
#include <utility>

namespace db {
namespace {

struct Mark {
  std::uint8_t mark;
  const char* codePage;
};

// The marks of the Visual FoxPro documentation, then the dBase language
// driver numbers that other writers put there.
constexpr Mark kMarks[] = {
    {0x01, "437"},  {0x02, "850"},  {0x03, "1252"}, {0x04, "MACINTOSH"}, {0x64, "852"},
    {0x65, "866"},  {0x66, "865"},  {0x67, "861"},  {0x68, "895"},  {0x69, "620"},
    {0x6A, "737"},  {0x6B, "857"},  {0x78, "950"},  {0x79, "949"},  {0x7A, "936"},
    {0x7B, "932"},  {0x7C, "874"},  {0x7D, "1255"}, {0x7E, "1256"}, {0x96, "MAC-CYRILLIC"},
    {0x97, "MAC-CENTRALEUROPE"}, {0x98, "MACGREEK"}, {0xC8, "1250"}, {0xC9, "1251"},
    {0xCA, "1254"}, {0xCB, "1253"}, {0xF0, "UTF-8"},
    {0x09, "437"},  {0x0B, "437"},  {0x0D, "437"},  {0x0F, "437"},  {0x11, "437"},
    {0x15, "437"},  {0x18, "437"},  {0x19, "437"},  {0x1B, "437"},
    {0x0A, "850"},  {0x0E, "850"},  {0x10, "850"},  {0x12, "850"},  {0x14, "850"},
    {0x16, "850"},  {0x1A, "850"},  {0x1D, "850"},  {0x25, "850"},  {0x37, "850"},
    {0x1F, "852"},  {0x22, "852"},  {0x23, "852"},  {0x40, "852"},  {0x08, "865"},
    {0x17, "865"},  {0x26, "866"},  {0x24, "860"},  {0x1C, "863"},  {0x13, "932"},
    {0x4D, "936"},  {0x4E, "949"},  {0x4F, "950"},  {0x50, "874"},  {0x57, "1252"},
    {0x58, "1252"}, {0x59, "1252"},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string codePageOfMark(std::uint8_t mark) {
  for (const Mark& m : kMarks) {
    if (m.mark == mark) return m.codePage;
  }
  return "";
}

std::string codePageOfDriver(std::string_view driver) {
  if (driver.size() >= 5 && driver.starts_with("DB") && isDigit(driver[2]) && isDigit(driver[3]) &&
      isDigit(driver[4])) {
    return std::string(driver.substr(2, 3));
  }
  return driver.starts_with("DBWIN") ? "1252" : "";
}

}  // namespace db
