#include "src/app/typed_lines.hpp"

#include <cstring>

#include "platform/db/engine.hpp"
#include "src/app/line_writer.hpp"

namespace app {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// Whether the delimiter can be a character of a number, a date, a moment, a
// logical or hex digits, which then need the check for quotes that text
// always has.
bool inValues(char delimiter) {
  const char c = delimiter;
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '.' ||
         c == ':' || c == ' ' || c == '\\';
}

}  // namespace

char* putJsonString(char* w, std::string_view s) {
  *w++ = '"';
  std::size_t run = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    std::memcpy(w, s.data() + run, i - run);
    w += i - run;
    run = i + 1;
    *w++ = '\\';
    switch (c) {
      case '"': *w++ = '"'; break;
      case '\\': *w++ = '\\'; break;
      case '\n': *w++ = 'n'; break;
      case '\r': *w++ = 'r'; break;
      case '\t': *w++ = 't'; break;
      default:
        std::memcpy(w, "u00", 3);
        w[3] = kHex[c >> 4];
        w[4] = kHex[c & 15];
        w += 5;
    }
  }
  std::memcpy(w, s.data() + run, s.size() - run);
  w += s.size() - run;
  *w++ = '"';
  return w;
}

void appendJsonString(std::string& out, std::string_view s) {
  const std::size_t at = out.size();
  out.resize(at + 6 * s.size() + 2);
  out.resize(static_cast<std::size_t>(putJsonString(out.data() + at, s) - out.data()));
}

char* putHex(char* w, std::string_view bytes) {
  *w++ = '\\';
  *w++ = 'x';
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    *w++ = kHex[b >> 4];
    *w++ = kHex[b & 15];
  }
  return w;
}

void csvNames(LineWriter& out, const std::vector<Column>& columns) {
  out.begin();
  for (const Column& c : columns) out.csv(c.name);
  out.end();
}

std::vector<std::string> jsonKeys(const std::vector<Column>& columns) {
  std::vector<std::string> keys;
  for (const Column& c : columns) {
    std::string key = keys.empty() ? "{" : ",";
    appendJsonString(key, c.name);
    key += ':';
    keys.push_back(std::move(key));
  }
  return keys;
}

// The record kernels: each value is written where it goes in the line, and
// only a value that may need more (text with a quote, a delimiter or a
// character outside printable ASCII, binary, a delimiter that numbers can
// hold) is looked at again.

void TypedReader::csvLine(LineWriter& out) {
  const std::uint8_t* rec = record();
  const char delimiter = out.format().delimiter;
  const bool check = inValues(delimiter);
  out.begin();
  char* w = out.room(csvBound_);
  for (const Field& f : fields_) {
    if (f.nullable && table_->isNull(f.pos)) {
      w = out.closeBareField(w);
      continue;
    }
    CellKind kind = CellKind::Null;
    bool plain = false;
    char* begin = w;
    if (f.width == 0) {
      const std::string_view raw = longValue(f);
      out.wrote(w);
      begin = out.room(csvRoom(textRoom(raw.size())) + f.csvAfter);
      w = putLong(f, raw, begin, kind);
    } else {
      w = put(f, rec, w, kind, plain, delimiter);
    }
    const bool bare = kind == CellKind::Text ? plain && w != begin
                                             : kind == CellKind::Null || (kind != CellKind::Binary && !check);
    w = bare ? out.closeBareField(w) : csvOdd(out, begin, w, kind);
  }
  out.wrote(w);
  out.end();
}

char* TypedReader::csvOdd(const LineWriter& out, char* begin, char* end, CellKind kind) {
  // Most text that is not plain is text beyond ASCII, written as it is.
  const std::string_view s(begin, static_cast<std::size_t>(end - begin));
  if (kind != CellKind::Binary && !s.empty() && !needsQuotes(s, out.format().delimiter)) {
    return out.closeBareField(end);
  }
  scratch_.assign(s);
  if (kind == CellKind::Binary) {
    std::string hex(2 * scratch_.size() + 2, '\0');
    putHex(hex.data(), scratch_);
    scratch_ = std::move(hex);
  }
  return out.csvField(begin, scratch_);
}

void TypedReader::jsonLine(LineWriter& out) {
  const std::uint8_t* rec = record();
  out.begin();
  char* w = out.room(jsonBound_);
  if (fields_.empty()) *w++ = '{';
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    std::memcpy(w, keys_[i].data(), keys_[i].size());
    w += keys_[i].size();
    CellKind kind = CellKind::Null;
    bool plain = false;
    char* end = w;
    if (f.nullable && table_->isNull(f.pos)) {
      // NULL below.
    } else if (f.width == 0) {
      const std::string_view raw = longValue(f);
      out.wrote(w);
      w = out.room(jsonRoom(textRoom(raw.size())) + f.jsonAfter);
      end = putLong(f, raw, w + 1, kind);
    } else {
      // Room for the opening quote of a string.
      end = put(f, rec, w + (f.quotedInJson ? 1 : 0), kind, plain, '"');
    }
    if (kind == CellKind::Null) {
      std::memcpy(w, "null", 4);
      w += 4;
    } else if (!f.quotedInJson) {
      w = end;
    } else if (plain || kind == CellKind::Date || kind == CellKind::Moment) {
      *w = '"';
      *end = '"';
      w = end + 1;
    } else {
      w = jsonOdd(w, end, kind);
    }
  }
  std::memcpy(w, "}\n", 2);
  out.wrote(w + 2);
}

char* TypedReader::jsonOdd(char* begin, char* end, CellKind kind) {
  scratch_.assign(begin + 1, end);
  if (kind == CellKind::Binary) {
    std::string hex(2 * scratch_.size() + 2, '\0');
    putHex(hex.data(), scratch_);
    scratch_ = std::move(hex);
  }
  return putJsonString(begin, scratch_);
}

}  // namespace app
