#include "platform/rt/display.hpp"

#include "platform/rt/dates.hpp"
#include "platform/rt/numbers.hpp"
#include "platform/rt/strings.hpp"

namespace rt {

namespace {

constexpr int kMaxDepth = 8;

void appendAt(std::string& out, const Value& v, int depth, std::vector<const Array*>& open);

void appendArray(std::string& out, const Array& a, int depth, std::vector<const Array*>& open) {
  bool cyclic = false;
  for (const Array* seen : open) cyclic = cyclic || seen == &a;
  if (cyclic || depth >= kMaxDepth) {
    out.append("{...}");
    return;
  }
  open.push_back(&a);
  out += '{';
  for (size_t i = 0; i < a.size(); ++i) {
    if (i > 0) out.append(", ");
    appendAt(out, a[i], depth + 1, open);
  }
  out += '}';
  open.pop_back();
}

void appendAt(std::string& out, const Value& v, int depth, std::vector<const Array*>& open) {
  switch (v.type()) {
    case 'C':
    case 'M':
      out.append(v.text());
      break;
    case 'N': {
      size_t mark = out.size();
      appendStr(out, v.number());
      size_t blanks = 0;
      while (mark + blanks < out.size() && out[mark + blanks] == ' ') ++blanks;
      out.erase(mark, blanks);
      break;
    }
    case 'D':
      out.append(dtoc(v.date()));
      break;
    case 'L':
      out.append(v.logical() ? ".T." : ".F.");
      break;
    case 'A':
      appendArray(out, v.array(), depth, open);
      break;
    case 'O':
      out.append(v.object() ? v.object()->className() : std::string("NIL"));
      break;
    case 'B':
      out.append("{||...}");
      break;
    default:
      out.append("NIL");
  }
}

}  // namespace

std::string valType(const Value& v) { return std::string(1, v.type()); }

bool empty(const Value& v) {
  switch (v.type()) {
    case 'C':
    case 'M':
      return allTrimView(v.text()).empty();
    case 'N':
      return v.num() == 0.0;
    case 'D':
      return v.date().isEmpty();
    case 'L':
      return !v.logical();
    case 'A':
      return v.array().empty();
    case 'U':
      return true;
    default:
      return false;
  }
}

std::string var2Char(const Value& v) {
  std::string out;
  appendDisplay(out, v);
  return out;
}

void appendDisplay(std::string& out, const Value& v) {
  std::vector<const Array*> open;
  appendAt(out, v, 0, open);
}

}  // namespace rt
