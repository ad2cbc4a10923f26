#include "platform/rt/strings.hpp"

#include "platform/rt/settings.hpp"

namespace rt {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

std::string_view trimView(std::string_view s) {
  size_t end = s.size();
  while (end > 0 && s[end - 1] == ' ') --end;
  return s.substr(0, end);
}

std::string_view lTrimView(std::string_view s) {
  size_t start = 0;
  while (start < s.size() && isBlank(s[start])) ++start;
  return s.substr(start);
}

std::string_view allTrimView(std::string_view s) {
  s = lTrimView(s);
  size_t end = s.size();
  while (end > 0 && isBlank(s[end - 1])) --end;
  return s.substr(0, end);
}

std::string trim(std::string_view s) { return std::string(trimView(s)); }
std::string lTrim(std::string_view s) { return std::string(lTrimView(s)); }
std::string allTrim(std::string_view s) { return std::string(allTrimView(s)); }

std::string padR(std::string_view s, int width, char fill) {
  if (width <= 0) return {};
  size_t w = static_cast<size_t>(width);
  std::string out(s.substr(0, w));
  out.resize(w, fill);
  return out;
}

std::string padL(std::string_view s, int width, char fill) {
  if (width <= 0) return {};
  size_t w = static_cast<size_t>(width);
  if (s.size() >= w) return std::string(s.substr(0, w));
  std::string out(w - s.size(), fill);
  out.append(s);
  return out;
}

std::string left(std::string_view s, int count) {
  return count <= 0 ? std::string() : std::string(s.substr(0, static_cast<size_t>(count)));
}

std::string subStr(std::string_view s, int start) {
  return subStr(s, start, static_cast<int>(s.size()) + 1);
}

std::string subStr(std::string_view s, int start, int count) {
  long long len = static_cast<long long>(s.size());
  long long from = start > 0 ? start - 1 : start == 0 ? 0 : len + start;
  if (from < 0) from = 0;
  if (from >= len || count <= 0) return {};
  return std::string(s.substr(static_cast<size_t>(from), static_cast<size_t>(count)));
}

int at(std::string_view needle, std::string_view hay) {
  if (needle.empty()) return 0;
  size_t pos = hay.find(needle);
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

int rat(std::string_view needle, std::string_view hay) {
  if (needle.empty()) return 0;
  size_t pos = hay.rfind(needle);
  return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

std::string strTran(std::string_view s, std::string_view search, std::string_view replace,
                    int start, int count) {
  if (search.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  int seen = 0, replaced = 0;
  size_t pos = 0;
  for (size_t hit; (hit = s.find(search, pos)) != std::string_view::npos; pos = hit + search.size()) {
    out.append(s, pos, hit - pos);
    ++seen;
    bool take = seen >= start && (count < 0 || replaced < count);
    out.append(take ? replace : search);
    if (take) ++replaced;
  }
  out.append(s.substr(pos));
  return out;
}

std::string replicate(std::string_view s, int times) {
  std::string out;
  if (times <= 0) return out;
  out.reserve(s.size() * static_cast<size_t>(times));
  for (int i = 0; i < times; ++i) out.append(s);
  return out;
}

std::string space(int count) { return count <= 0 ? std::string() : std::string(static_cast<size_t>(count), ' '); }

std::string chr(int code) { return std::string(1, static_cast<char>(static_cast<unsigned char>(code & 0xFF))); }

bool nonExactEqual(std::string_view a, std::string_view b) {
  return a.size() >= b.size() && a.compare(0, b.size(), b) == 0;
}

bool exactEqual(std::string_view a, std::string_view b) { return trimView(a) == trimView(b); }

bool textEqual(std::string_view a, std::string_view b) {
  Value exact = set(Set::Exact);
  return exact.isLogical() && exact.logical() ? exactEqual(a, b) : nonExactEqual(a, b);
}

}  // namespace rt
