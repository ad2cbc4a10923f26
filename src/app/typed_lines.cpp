#include "src/app/typed_lines.hpp"

#include <cstring>

namespace app {
namespace {

bool needsQuotes(std::string_view s, char delimiter) {
  for (const char c : s) {
    if (c == delimiter || c == '"' || c == '\r' || c == '\n') return true;
  }
  return false;
}

void appendCsvText(std::string& out, std::string_view s, char delimiter) {
  // An empty text is quoted so that it differs from NULL.
  if (!s.empty() && !needsQuotes(s, delimiter)) {
    out.append(s);
    return;
  }
  out += '"';
  for (std::size_t at = 0;;) {
    const std::size_t quote = s.find('"', at);
    out.append(s.substr(at, quote == std::string_view::npos ? std::string_view::npos : quote + 1 - at));
    if (quote == std::string_view::npos) break;
    out += '"';
    at = quote + 1;
  }
  out += '"';
}


}  // namespace

void appendJsonString(std::string& out, std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t run = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(s.substr(run, i - run));
    run = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
  }
  out.append(s.substr(run));
  out += '"';
}

void appendHex(std::string& out, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  const std::size_t at = out.size();
  out.resize(at + 2 + 2 * bytes.size());
  char* w = out.data() + at;
  *w++ = '\\';
  *w++ = 'x';
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    *w++ = kHex[b >> 4];
    *w++ = kHex[b & 15];
  }
}

void appendCsvNames(std::string& out, const std::vector<Column>& columns, char delimiter) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out += delimiter;
    appendCsvText(out, columns[i].name, delimiter);
  }
  out += "\r\n";
}

void appendCsvLine(std::string& out, const TypedReader& reader, std::span<const Cell> cells, char delimiter) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) out += delimiter;
    const Cell& c = cells[i];
    switch (c.kind) {
      case CellKind::Null: break;
      case CellKind::Binary: appendHex(out, reader.text(c)); break;
      case CellKind::Text: appendCsvText(out, reader.text(c), delimiter); break;
      default: {
        // Digits and dates need no quotes unless the delimiter is one of
        // their characters (-d . or -d -).
        const std::string_view s = reader.text(c);
        if (s.find(delimiter) == std::string_view::npos) {
          out.append(s);
        } else {
          appendCsvText(out, s, delimiter);
        }
      }
    }
  }
  out += "\r\n";
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

void appendJsonLine(std::string& out, const TypedReader& reader, std::span<const Cell> cells,
                    const std::vector<std::string>& keys) {
  if (cells.empty()) out += '{';
  for (std::size_t i = 0; i < cells.size(); ++i) {
    out += keys[i];
    const Cell& c = cells[i];
    switch (c.kind) {
      case CellKind::Null: out += "null"; break;
      case CellKind::Number:
      case CellKind::Logical: out.append(reader.text(c)); break;
      case CellKind::Binary: {
        std::string hex;
        appendHex(hex, reader.text(c));
        appendJsonString(out, hex);
        break;
      }
      default: appendJsonString(out, reader.text(c));
    }
  }
  out += "}\n";
}

}  // namespace app
