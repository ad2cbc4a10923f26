#include "src/app/line_writer.hpp"

namespace app {

char* LineWriter::open(std::size_t n) {
  char* w = room(n + 3);
  *w++ = format_.delimiter;
  *w++ = '"';
  fields_ = true;
  return w;
}

void LineWriter::text(std::string_view raw, bool binary) {
  char* w = open(raw.size() * format_.values.widest + 4);
  w = putText(format_, w, reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size(), binary);
  *w++ = '"';
  wrote(w);
}

void LineWriter::plain(std::string_view text) {
  char* w = open(text.size());
  std::memcpy(w, text.data(), text.size());
  w += text.size();
  *w++ = '"';
  wrote(w);
}

void LineWriter::name(std::string_view raw) {
  char* w = open(raw.size() * format_.names.widest + 4);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(raw.data());
  w = format_.rule == TextRule::Convert ? putConverted(format_, w, bytes, raw.size(), false)
                                         : putMapped(format_.names, w, bytes, raw.size());
  *w++ = '"';
  wrote(w);
}

std::string_view LineWriter::end() {
  char* w = room(2);
  *w++ = '\r';
  *w++ = '\n';
  size_ = static_cast<std::size_t>(w - line_.data());
  const std::size_t first = fields_ ? 1 : 0;
  const std::string_view line{line_.data() + first, size_ - first};
  if (format_.mayReplace) replacements_ += replacementsIn(line);
  return line;
}

}  // namespace app
