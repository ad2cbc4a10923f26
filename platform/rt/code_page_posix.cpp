// Code pages through iconv.
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/rt/code_page_system.hpp"

namespace rt::sys {
namespace {

constexpr const char* kUtf32 = "UTF-32LE";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// Reads one character of UTF-32LE.
char32_t readUtf32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<char32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<char32_t>(b[3]) << 24);
}

// A converter of the code pages that combine characters (1255, 1258)
// holds a character back until it sees that no combining mark follows;
// this gives out what it holds and puts it back in its initial state.
std::size_t flush(iconv_t cd, char** outPtr, std::size_t* outLeft) {
  return iconv(cd, nullptr, nullptr, outPtr, outLeft);
}

// A multi-byte code page through iconv.
class IconvConverter final : public TextConverter {
 public:
  explicit IconvConverter(iconv_t cd) : cd_(cd) {}
  ~IconvConverter() override { iconv_close(cd_); }
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;
  std::size_t append(std::string_view in, std::string& out) override;

 private:
  iconv_t cd_;
};

std::size_t IconvConverter::append(std::string_view in, std::string& out) {
  std::size_t replaced = 0;
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char buffer[4096];
  for (bool last = false; !last;) {
    last = inLeft == 0;
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t r = last ? flush(cd_, &outPtr, &outLeft) : iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (last || r != kFailed || errno == E2BIG) continue;
    // An undefined or cut-off sequence: what came before it, then one
    // replacement for its first byte.
    outPtr = buffer;
    outLeft = sizeof buffer;
    flush(cd_, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    out += "\xEF\xBF\xBD";
    ++replaced;
    // Some converters (glibc's 949) have taken in a refused pair already;
    // at the end of the text there is then nothing left to pass over.
    if (inLeft == 0) continue;
    ++inPtr;
    --inLeft;
  }
  return replaced;
}

}  // namespace

CodePageKind codePageChars(const std::string& name, CodePageChars& chars) {
  iconv_t cd = iconv_open(kUtf32, name.c_str());
  if (cd == kNoConverter) return CodePageKind::Unknown;
  CodePageChars table{};
  bool multiByte = false;
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    char out[16];
    char* inPtr = &in;
    char* outPtr = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    const std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (r == kFailed && errno == EINVAL) {
      multiByte = true;  // the byte begins a longer sequence
      break;
    }
    const bool converted = r != kFailed && flush(cd, &outPtr, &outLeft) != kFailed;
    if (!converted || outPtr - out != 4) {
      table[static_cast<std::size_t>(b)] = kReplacementChar;
      flush(cd, nullptr, nullptr);
    } else {
      table[static_cast<std::size_t>(b)] = readUtf32(out);
    }
  }
  iconv_close(cd);
  if (multiByte) return CodePageKind::MultiByte;
  chars = table;
  return CodePageKind::SingleByte;
}

std::unique_ptr<TextConverter> textConverter(const std::string& name) {
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == kNoConverter) return nullptr;
  return std::make_unique<IconvConverter>(cd);
}

}  // namespace rt::sys
