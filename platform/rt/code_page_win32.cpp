// Code pages through Windows' own tables (MultiByteToWideChar).
#include <windows.h>

#include <charconv>
#include <vector>

#include "platform/rt/code_page_system.hpp"
#include "platform/rt/win32_api.hpp"

namespace rt::sys {
namespace {

// The Windows code page numbers of the names codePageName() passes on;
// numbers ("CP866") are taken as they are. UTF-8 never comes here.
struct NamedCodePage {
  std::string_view name;
  UINT codePage;
};
constexpr NamedCodePage kNamed[] = {
    {"us-ascii", 20127},      {"ascii", 20127},       {"koi8-r", 20866},      {"koi8r", 20866},
    {"koi8-u", 21866},        {"koi8u", 21866},       {"latin1", 28591},
    {"iso-8859-1", 28591},    {"iso8859-1", 28591},   {"latin2", 28592},
    {"iso-8859-2", 28592},    {"iso8859-2", 28592},   {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},    {"iso-8859-5", 28595},  {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},    {"iso-8859-8", 28598},  {"iso-8859-9", 28599},
    {"latin5", 28599},        {"iso-8859-13", 28603}, {"iso-8859-15", 28605},
    {"latin9", 28605},        {"macintosh", 10000},   {"mac", 10000},
    {"mac_roman", 10000},     {"macroman", 10000},    {"mac-cyrillic", 10007},
    {"maccyrillic", 10007},   {"mac_cyrillic", 10007}, {"mac-centraleurope", 10029},
    {"maccentraleurope", 10029}, {"mac_latin2", 10029}, {"macgreek", 10006},
    {"mac-greek", 10006},     {"mac_greek", 10006},   {"shift_jis", 932},
    {"shift-jis", 932},       {"sjis", 932},          {"gbk", 936},
    {"gb2312", 936},          {"gb18030", 54936},     {"big5", 950},
    {"euc-kr", 51949},        {"euc-jp", 20932},      {"ibm-thai", 20838},
};

// 0 when the name is none Windows has.
UINT windowsCodePage(std::string_view name) {
  UINT number = 0;
  if (name.size() > 2 && name.starts_with("CP")) {
    const char* end = name.data() + name.size();
    const auto [p, ec] = std::from_chars(name.data() + 2, end, number);
    if (ec != std::errc() || p != end) number = 0;
  } else {
    for (const NamedCodePage& n : kNamed) {
      if (n.name == name) number = n.codePage;
    }
  }
  return number != 0 && ::IsValidCodePage(number) ? number : 0;
}

// The ISO 8859 pages define their bytes 0x80-0x9F as the C1 controls.
bool definesC1Controls(UINT codePage) { return codePage >= 28591 && codePage <= 28605; }

// The character of one byte of a single-byte code page, or U+FFFD where the
// page leaves it undefined. Windows maps such a byte to the C1 control of
// the same number or into the private use area rather than refusing it.
char32_t charOfByte(UINT codePage, int b) {
  const char in = static_cast<char>(b);
  wchar_t out[2];
  if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &in, 1, out, 2) != 1) return kReplacementChar;
  const auto c = static_cast<char32_t>(out[0]);
  if (c >= 0x80 && c <= 0x9F && c == static_cast<char32_t>(b) && !definesC1Controls(codePage)) {
    return kReplacementChar;
  }
  if (c >= 0xE000 && c <= 0xF8FF) return kReplacementChar;
  return c;
}

// A multi-byte code page through MultiByteToWideChar.
class WindowsConverter final : public TextConverter {
 public:
  WindowsConverter(UINT codePage, int longest) : codePage_(codePage), longest_(longest) {}
  std::size_t append(std::string_view in, std::string& out) override;

 private:
  UINT codePage_;
  int longest_;  // the most bytes one character takes
  std::vector<wchar_t> wide_;
};

std::size_t WindowsConverter::append(std::string_view in, std::string& out) {
  std::vector<wchar_t>& wide = wide_;
  const UINT codePage = codePage_;
  const auto convert = [&](const char* p, int n) {
    wide.resize(static_cast<std::size_t>(n) * 2 + 2);
    return ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, p, n, wide.data(),
                                 static_cast<int>(wide.size()));
  };
  // Mostly the whole text is well formed; otherwise character by character,
  // the shortest run of bytes that makes one, and one U+FFFD for the first
  // byte of a sequence the code page does not define.
  const int whole = convert(in.data(), static_cast<int>(in.size()));
  if (whole > 0 || in.empty()) {
    win32::appendUtf8(wide.data(), whole, out);
    return 0;
  }
  std::size_t replaced = 0;
  std::size_t at = 0;
  while (at < in.size()) {
    int length = 1, produced = 0;
    for (; length <= longest_ && at + static_cast<std::size_t>(length) <= in.size(); ++length) {
      produced = convert(in.data() + at, length);
      if (produced > 0) break;
    }
    if (produced > 0) {
      win32::appendUtf8(wide.data(), produced, out);
      at += static_cast<std::size_t>(length);
    } else {
      out += "\xEF\xBF\xBD";
      ++replaced;
      ++at;
    }
  }
  return replaced;
}

}  // namespace

CodePageKind codePageChars(const std::string& name, CodePageChars& chars) {
  const UINT codePage = windowsCodePage(name);
  CPINFO info{};
  if (codePage == 0 || !::GetCPInfo(codePage, &info)) return CodePageKind::Unknown;
  if (info.MaxCharSize > 1) return CodePageKind::MultiByte;
  for (int b = 0; b < 256; ++b) chars[static_cast<std::size_t>(b)] = charOfByte(codePage, b);
  return CodePageKind::SingleByte;
}

std::unique_ptr<TextConverter> textConverter(const std::string& name) {
  CPINFO info{};
  const UINT codePage = windowsCodePage(name);
  if (codePage == 0 || !::GetCPInfo(codePage, &info)) return nullptr;
  return std::make_unique<WindowsConverter>(codePage, static_cast<int>(info.MaxCharSize));
}

}  // namespace rt::sys
