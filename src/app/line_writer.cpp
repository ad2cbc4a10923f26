#include "src/app/line_writer.hpp"

#include <algorithm>

namespace app {

void LineWriter::grow(std::size_t n) {
  // Doubling keeps the copies few while lines are kept in blocks.
  line_.resize(std::max(n, 2 * line_.size()));
}

void LineWriter::text(std::string_view raw, bool binary) {
  char* w = open(raw.size() * format_.values.widest + 4);
  w = putText(format_, w, reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size(), binary);
  wrote(closeField(w));
}

void LineWriter::plain(std::string_view text) {
  char* w = open(text.size());
  std::memcpy(w, text.data(), text.size());
  wrote(closeField(w + text.size()));
}

void LineWriter::name(std::string_view raw) {
  char* w = open(raw.size() * format_.names.widest + 4);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(raw.data());
  w = format_.rule == TextRule::Convert ? putConverted(format_, w, bytes, raw.size(), false)
                                         : putMapped(format_.names, w, bytes, raw.size());
  wrote(closeField(w));
}

}  // namespace app
