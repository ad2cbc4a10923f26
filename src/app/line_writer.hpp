// Writes output lines in a LineFormat into a buffer it owns and reuses from
// line to line: begin a line, add fields (a text from its stored bytes, a
// plain text such as digits or a date, a field name), end it. The writer is
// the one place that frames a field (its quotes and the delimiter) and
// doubles quotes; the export's record kernel writes into the same buffer
// through room() and wrote(), framing each field with openField() and
// closeField(). Lines can be kept in the buffer and handed on in blocks.
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
// The same, copying runs of ASCII that the map keeps sixteen bytes at a time.
inline char* putTable(const ByteMap& map, char* w, const std::uint8_t* p, std::size_t n);
// The `n` bytes at `p` with every double quote written twice; `w` needs
// room for 2 * n.
inline char* putQuotesDoubled(char* w, const char* p, std::size_t n);
// Whether a field holding `s` must be quoted in RFC 4180's way: it holds
// the delimiter, a quote, CR or LF.
inline bool needsQuotes(std::string_view s, char delimiter);

class LineWriter {
 public:
  explicit LineWriter(LineFormat format) : format_(std::move(format)) {}

  const LineFormat& format() const { return format_; }

  // Starts a new line after the kept ones; a line ended and not kept is gone.
  void begin() { start_ = size_ = kept_; }
  // A text value from its stored bytes, through the value map (the binary
  // map for a field that holds binary), in quotes.
  void text(std::string_view raw, bool binary = false);
  // A value written as it is, in quotes: digits, a date, T or F.
  void plain(std::string_view text);
  // A field name from its stored bytes, through the name map, in quotes.
  void name(std::string_view raw);
  // A text as it is, quoted only where RFC 4180 needs it (csvField()).
  void csv(std::string_view text) { wrote(csvField(room(2 * text.size() + kFieldFrame), text)); }
  // Ends the line; the whole line, valid until the next begin().
  std::string_view end() {
    // A line with fields ends in the delimiter after its last one: the line
    // end takes its place.
    char* w = room(kLineEnd);
    if (size_ > start_) --w;
    w[0] = '\r';
    w[1] = '\n';
    wrote(w + kLineEnd);
    const std::string_view line{line_.data() + start_, size_ - start_};
    if (format_.mayReplace) replacements_ += replacementsIn(line);
    return line;
  }
  // How many U+FFFD the lines ended so far hold: characters the code page
  // leaves undefined.
  std::uint64_t replacements() const { return replacements_; }

  // Keeps the line just ended in the buffer: the next line follows it.
  void keep() { kept_ = size_; }
  // The lines kept so far, in one piece; valid until the next begin().
  std::string_view kept() const { return {line_.data(), kept_}; }
  // Forgets the kept lines (once they have been written out).
  void clearKept() { start_ = size_ = kept_ = 0; }
  // Makes room for `n` bytes of lines after the kept ones at once.
  void reserve(std::size_t n) { room(n); }
  // Hands the kept lines over in `block`, sized to them, and goes on in
  // the buffer `block` held: the lines are written from one buffer while
  // the next are rendered into the other, with no copy between them.
  void swapKept(std::string& block) {
    const std::size_t room = line_.size();
    line_.resize(kept_);
    line_.swap(block);
    clearKept();
    // The other buffer gets the room this one had grown to at once, not by
    // doubling again line by line.
    if (line_.size() < room) line_.resize(room);
  }

  // For the record kernel: room for `n` bytes after what the line holds, to
  // be written in place; wrote() then says where the writing stopped. Each
  // field written there is framed by openField() and closeField().
  char* room(std::size_t n) {
    if (line_.size() < size_ + n) grow(size_ + n);
    return line_.data() + size_;
  }
  void wrote(char* end) { size_ = static_cast<std::size_t>(end - line_.data()); }

  // The opening quote of a field.
  static char* openField(char* w) {
    *w = '"';
    return w + 1;
  }
  // The closing quote and the delimiter after it; end() takes the last
  // field's delimiter back.
  char* closeField(char* w) const {
    w[0] = '"';
    w[1] = format_.delimiter;
    return w + 2;
  }
  // The delimiter after a field written without quotes.
  char* closeBareField(char* w) const {
    *w = format_.delimiter;
    return w + 1;
  }
  // `s` framed in RFC 4180's way: as it is, or in quotes with its quotes
  // doubled when it must be (needsQuotes()) or is empty, so that an empty
  // text differs from a field with no value; the delimiter after it. `w`
  // needs room for 2 * s.size() + kFieldFrame and lies outside `s`.
  char* csvField(char* w, std::string_view s) const {
    if (!s.empty() && !needsQuotes(s, format_.delimiter)) {
      std::memcpy(w, s.data(), s.size());
      return closeBareField(w + s.size());
    }
    return closeField(putQuotesDoubled(openField(w), s.data(), s.size()));
  }
  // The most bytes the framing adds to a field, and to a line.
  static constexpr std::size_t kFieldFrame = 3;
  static constexpr std::size_t kLineEnd = 2;

 private:
  // Makes the buffer at least `n` bytes long.
  void grow(std::size_t n);
  // Room for a field of at most `n` bytes, its opening quote written.
  char* open(std::size_t n) { return openField(room(n + kFieldFrame)); }

  LineFormat format_;
  // The kept lines, then the line being written. The string keeps its size
  // from line to line; size_ is how much of it is written, start_ where the
  // current line begins, kept_ where the kept lines end.
  std::string line_;
  std::size_t size_ = 0;
  std::size_t start_ = 0;
  std::size_t kept_ = 0;
  std::uint64_t replacements_ = 0;
};

// ---- Inline, as the record kernel runs it for every text field ----------

inline char* putMapped(const ByteMap& map, char* w, const std::uint8_t* p, std::size_t n) {
  // Four bytes stored for every byte, the next byte's written over the ones
  // a shorter sequence leaves.
  for (std::size_t i = 0; i < n; ++i) {
    std::memcpy(w, map.bytes[p[i]].data(), 4);
    w += map.length[p[i]];
  }
  return w;
}

inline char* putTable(const ByteMap& map, char* w, const std::uint8_t* p, std::size_t n) {
  std::size_t i = 0;
#if defined(__SSE2__)
  if (map.keepsAscii) {
    // A block is stored whole and the output advanced past its leading run
    // of kept bytes; the first byte the map changes is mapped on its own.
    const __m128i quote = _mm_set1_epi8('"'), cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    while (i + 16 <= n) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      const __m128i odd = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, cr)),
                                       _mm_or_si128(_mm_cmpeq_epi8(v, lf), v));
      const auto mask = static_cast<unsigned>(_mm_movemask_epi8(odd));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(w), v);
      if (mask == 0) {
        w += 16;
        i += 16;
        continue;
      }
      const auto run = static_cast<std::size_t>(__builtin_ctz(mask));
      w += run;
      i += run;
      std::memcpy(w, map.bytes[p[i]].data(), 4);
      w += map.length[p[i]];
      ++i;
    }
  }
#endif
  return putMapped(map, w, p + i, n - i);
}

inline char* putQuotesDoubled(char* w, const char* p, std::size_t n) {
  // Runs without a quote are copied whole.
  for (const char* end = p + n; p < end;) {
    const auto* quote = static_cast<const char*>(std::memchr(p, '"', static_cast<std::size_t>(end - p)));
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
}

inline bool needsQuotes(std::string_view s, char delimiter) {
  for (const char c : s) {
    if (c == delimiter || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

inline char* putText(const LineFormat& format, char* w, const std::uint8_t* p, std::size_t n,
                     bool binary) {
  // Without a code page a binary value is written as any other.
  if (binary && (format.rule == TextRule::Table || format.rule == TextRule::Convert)) {
    return putTable(format.binary, w, p, n);
  }
  switch (format.rule) {
    case TextRule::Substitute:
      return copySubstituted(w, {reinterpret_cast<const char*>(p), n});
    case TextRule::DoubleQuote:
      return putQuotesDoubled(w, reinterpret_cast<const char*>(p), n);
    case TextRule::Convert: return putConverted(format, w, p, n, true);
    case TextRule::Table: return putTable(format.values, w, p, n);
  }
  return w;
}

}  // namespace app
