// Code pages through iconv.
#include "platform/rt/code_page.hpp"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace rt {
namespace {

constexpr const char* kUtf32 = "UTF-32LE";

// Reads one character of UTF-32LE.
char32_t readUtf32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<char32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<char32_t>(b[3]) << 24);
}

}  // namespace

CodePageKind codePageChars(const std::string& name, CodePageChars& chars) {
  iconv_t cd = iconv_open(kUtf32, name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return CodePageKind::Unknown;
  CodePageChars table{};
  bool multiByte = false;
  for (int b = 0; b < 256 && !multiByte; ++b) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in = static_cast<char>(b);
    char out[16];
    char* inPtr = &in;
    char* outPtr = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    const std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const auto produced = static_cast<std::size_t>(outPtr - out);
    if (r == static_cast<std::size_t>(-1) && errno == EINVAL) {
      multiByte = true;  // the byte begins a longer sequence
    } else if (r == static_cast<std::size_t>(-1) || produced != 4) {
      table[static_cast<std::size_t>(b)] = kReplacementChar;
    } else {
      table[static_cast<std::size_t>(b)] = readUtf32(out);
    }
  }
  iconv_close(cd);
  if (multiByte) return CodePageKind::MultiByte;
  chars = table;
  return CodePageKind::SingleByte;
}

struct TextConverter::Impl {
  iconv_t cd = reinterpret_cast<iconv_t>(-1);
};

TextConverter::TextConverter(const std::string& name) : impl_(std::make_unique<Impl>()) {
  impl_->cd = iconv_open("UTF-8", name.c_str());
}

TextConverter::~TextConverter() {
  if (ok()) iconv_close(impl_->cd);
}

bool TextConverter::ok() const { return impl_->cd != reinterpret_cast<iconv_t>(-1); }

std::size_t TextConverter::append(std::string_view in, std::string& out) {
  std::size_t replaced = 0;
  iconv(impl_->cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t r = iconv(impl_->cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // An undefined or cut-off sequence: one replacement for its first byte.
    out += "\xEF\xBF\xBD";
    ++replaced;
    ++inPtr;
    --inLeft;
    iconv(impl_->cd, nullptr, nullptr, nullptr, nullptr);
  }
  return replaced;
}

}  // namespace rt
