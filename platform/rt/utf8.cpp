#include "platform/rt/utf8.hpp"

#include <cstdint>

namespace rt {
namespace {

// What a lead byte begins: the length of its sequence (0: none, the byte is
// ill-formed on its own) and the range its second byte must be in, which
// is where overlong forms, surrogates and code points beyond U+10FFFF are
// told apart (the later bytes are always 80..BF).
struct Lead {
  std::uint8_t length, low, high;
};

constexpr Lead leadOf(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

std::string utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::size_t appendValidUtf8(std::string_view in, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(in.data());
  const auto* const end = p + in.size();
  std::size_t replaced = 0;
  while (p < end) {
    // Text is mostly ASCII: a run of it is copied whole.
    const auto* run = p;
    while (p < end && *p < 0x80) ++p;
    out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
    if (p == end) break;
    // The well-formed sequence that begins here, or as much of one as there
    // is: its second byte in the lead's range, each later one 80..BF.
    const Lead lead = leadOf(*p);
    const auto left = static_cast<std::size_t>(end - p);
    std::size_t length = 1;
    if (lead.length > 0 && left > 1 && p[1] >= lead.low && p[1] <= lead.high) {
      length = 2;
      while (length < lead.length && length < left && isContinuation(p[length])) ++length;
    }
    if (length == lead.length) {
      out.append(reinterpret_cast<const char*>(p), length);
    } else {
      out += kReplacement;
      ++replaced;
    }
    p += length;
  }
  return replaced;
}

}  // namespace rt
