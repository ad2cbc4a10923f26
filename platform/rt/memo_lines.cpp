#include "platform/rt/memo_lines.hpp"

namespace rt {

namespace {

constexpr char kSoftCr = static_cast<char>(141);

struct Wrap {
  size_t width;
  size_t tabSize;
  bool wordWrap;
};

// Skips a line break at `pos`, if there is one; returns where the text goes on.
size_t skipLineBreak(std::string_view text, size_t pos) {
  if (pos < text.size() && text[pos] == '\r') ++pos;
  if (pos < text.size() && text[pos] == '\n') ++pos;
  return pos;
}

bool atLineBreak(std::string_view text, size_t pos) {
  return pos < text.size() && (text[pos] == '\r' || text[pos] == '\n');
}

// Builds in `line` the line that starts at `pos`; returns where the next one starts.
size_t nextLine(std::string_view text, size_t pos, const Wrap& wrap, std::string& line) {
  line.clear();
  size_t blankLen = std::string::npos, blankNext = 0;
  while (pos < text.size()) {
    if (atLineBreak(text, pos)) return skipLineBreak(text, pos);
    char c = text[pos];
    size_t advance = 1;
    if (c == kSoftCr && pos + 1 < text.size() && text[pos + 1] == '\n') {
      c = ' ';
      advance = 2;
    }
    size_t room = wrap.width - line.size();
    size_t chunk = 1;
    if (c == '\t') chunk = wrap.tabSize - line.size() % wrap.tabSize;
    if (chunk > room) {
      if (c == '\t' && room > 0) chunk = room;  // a tab never wraps a line by itself
      else {
        if (!wrap.wordWrap) return pos;
        if (c == ' ' || c == '\t') return skipLineBreak(text, pos + advance);
        if (blankLen != std::string::npos) {
          line.resize(blankLen);
          return blankNext;
        }
        return pos;  // one word wider than the line: cut it
      }
    }
    line.append(chunk, c == '\t' ? ' ' : c);
    pos += advance;
    if (c == ' ' || c == '\t') {
      blankLen = line.size();
      blankNext = pos;
    }
  }
  return pos;
}

Wrap makeWrap(int width, int tabSize, bool wordWrap) {
  return Wrap{static_cast<size_t>(width < 1 ? 1 : width), static_cast<size_t>(tabSize < 1 ? 1 : tabSize),
              wordWrap};
}

}  // namespace

int mlCount(std::string_view text, int width, int tabSize, bool wordWrap) {
  Wrap wrap = makeWrap(width, tabSize, wordWrap);
  std::string line;
  int count = 0;
  for (size_t pos = 0; pos < text.size(); ++count) pos = nextLine(text, pos, wrap, line);
  return count;
}

std::string memoLine(std::string_view text, int width, int lineNo, int tabSize, bool wordWrap) {
  Wrap wrap = makeWrap(width, tabSize, wordWrap);
  std::string line;
  size_t pos = 0;
  for (int n = 1; pos < text.size(); ++n) {
    pos = nextLine(text, pos, wrap, line);
    if (n == lineNo) {
      line.resize(wrap.width, ' ');
      return line;
    }
  }
  return {};
}

std::string hardCr(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == kSoftCr) c = '\r';
  return out;
}

}  // namespace rt
