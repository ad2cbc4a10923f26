// Writes output lines in a LineFormat into a buffer it owns and reuses from
// line to line: begin a line, add fields (a text from its stored bytes, a
// plain text such as digits or a date, a field name), end it. The export's
// fast path writes into the same buffer through room() and wrote().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "src/app/line_format.hpp"
#include "src/app/substitute.hpp"

namespace app {

// Writes the `n` stored bytes at `p` at `w` through the format's value map
// (its binary map for a field that holds binary); returns the end of what
// was written. `w` needs room for n * widest + 4.
inline char* putText(const LineFormat& format, char* w, const std::uint8_t* p, std::size_t n,
                     bool binary = false);
// The same through any map, a byte at a time.
inline char* putMapped(const ByteMap& map, char* w, const std::uint8_t* p, std::size_t n);

class LineWriter {
 public:
  explicit LineWriter(LineFormat format) : format_(std::move(format)) {}

  const LineFormat& format() const { return format_; }

  // Starts a new line; the previous one is gone.
  void begin() {
    size_ = 0;
    fields_ = false;
  }
  // A text value from its stored bytes, through the value map (the binary
  // map for a field that holds binary), in quotes.
  void text(std::string_view raw, bool binary = false);
  // A value written as it is, in quotes: digits, a date, T or F.
  void plain(std::string_view text);
  // A field name from its stored bytes, through the name map, in quotes.
  void name(std::string_view raw);
  // Ends the line; the whole line, valid until the next begin().
  std::string_view end();
  // How many U+FFFD the lines ended so far hold: characters the code page
  // leaves undefined.
  std::uint64_t replacements() const { return replacements_; }

  // For the fast path: room for `n` bytes after what the line holds, to be
  // written in place; every field written there begins with the delimiter
  // and the opening quote. wrote() then says where the writing stopped.
  char* room(std::size_t n) {
    if (line_.size() < size_ + n) line_.resize(2 * (size_ + n));
    return line_.data() + size_;
  }
  void wrote(char* end) {
    const auto size = static_cast<std::size_t>(end - line_.data());
    fields_ = fields_ || size > size_;
    size_ = size;
  }

 private:
  // The delimiter and the opening quote; `n` more bytes of room after them.
  char* open(std::size_t n);

  LineFormat format_;
  // The line, from its second byte: every field begins with the delimiter,
  // and the first one's is left out when the line ends. The string keeps its
  // size from line to line; size_ is how much of it the line holds.
  std::string line_;
  std::size_t size_ = 0;
  bool fields_ = false;
  std::uint64_t replacements_ = 0;
};

// ---- Inline, as the fast path runs it for every text field ---------------

inline char* putMapped(const ByteMap& map, char* w, const std::uint8_t* p, std::size_t n) {
  // Four bytes stored for every byte, the next byte's written over the ones
  // a shorter sequence leaves.
  for (std::size_t i = 0; i < n; ++i) {
    std::memcpy(w, map.bytes[p[i]].data(), 4);
    w += map.length[p[i]];
  }
  return w;
}

inline char* putText(const LineFormat& format, char* w, const std::uint8_t* p, std::size_t n,
                     bool binary) {
  // Without a code page a binary value is written as any other.
  if (binary && (format.rule == TextRule::Table || format.rule == TextRule::Convert)) {
    return putMapped(format.binary, w, p, n);
  }
  switch (format.rule) {
    case TextRule::Substitute:
      return copySubstituted(w, {reinterpret_cast<const char*>(p), n});
    case TextRule::DoubleQuote:
      // Runs without a quote are copied whole; a quote is written twice.
      for (const std::uint8_t* end = p + n; p < end;) {
        const auto* quote = static_cast<const std::uint8_t*>(std::memchr(p, '"', static_cast<std::size_t>(end - p)));
        const std::size_t run = static_cast<std::size_t>((quote ? quote : end) - p);
        std::memcpy(w, p, run);
        w += run;
        p += run;
        if (quote) {
          *w++ = '"';
          *w++ = '"';
          ++p;
        }
      }
      return w;
    case TextRule::Convert: return putConverted(format, w, p, n, true);
    case TextRule::Table: return putMapped(format.values, w, p, n);
  }
  return w;
}

}  // namespace app
