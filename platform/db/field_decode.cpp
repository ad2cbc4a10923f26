#include "platform/db/field_decode.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/db/binary_fields.hpp"
#include "platform/db/byte_order.hpp"
#include "platform/db/float_chars.hpp"
#include "platform/db/number_text.hpp"
#include "platform/db/stored_bytes.hpp"

namespace db {

namespace {

std::string_view bytesOf(const std::uint8_t* p, std::size_t n) {
  return {reinterpret_cast<const char*>(p), n};
}

rt::Value characterValue(std::string_view s) {
  std::string v(s);
  // Writers that pad with NUL bytes mean blanks; NULs inside the value stay.
  for (std::size_t i = v.size(); i > 0 && stored::isPadding(static_cast<std::uint8_t>(v[i - 1])); --i) {
    v[i - 1] = ' ';
  }
  return rt::Value(std::move(v));
}

// Decimal text of at most 15 significant digits and 15 decimals: its digits
// and its power of ten are exact doubles, so one division gives the
// correctly rounded value. False for any other text.
bool exactSmallDecimal(std::string_view text, double& out) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                       1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::uint64_t digits = 0;
  int significant = 0, decimals = -1;
  const bool negative = !text.empty() && text[0] == '-';
  for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && decimals < 0) {
      decimals = 0;
      continue;
    }
    if (c < '0' || c > '9') return false;
    digits = digits * 10 + static_cast<unsigned>(c - '0');
    if (digits != 0 && ++significant > 15) return false;
    if (decimals >= 0 && ++decimals > 15) return false;
  }
  const double v = static_cast<double>(digits) / kPowers[decimals < 0 ? 0 : decimals];
  out = negative ? -v : v;
  return true;
}

// The double nearest to decimal `text`.
double parseDouble(std::string_view text) {
  double v = 0;
  if (!exactSmallDecimal(text, v)) v = nearestDouble(text);
  return v;
}

rt::Value numberValue(std::string_view stored, int decimals) {
  std::string scratch, text;
  const std::string_view trimmed = trimNumericField(stored, scratch);
  if (!formatStoredNumber(trimmed, decimals, text)) {
    // Overflow stars, "1,200.00" and the like: shown as stored, nothing invented.
    return rt::Value(rt::Number{0.0, decimals, std::string(trimmed)});
  }
  const double v = parseDouble(text);
  return rt::Value(rt::Number{v, decimals, std::move(text)});
}

rt::Value dateValue(std::string_view s) {
  const stored::DateShape shape = stored::dateShape(s);
  if (shape == stored::DateShape::Empty) return rt::Value(rt::Date::empty());
  // Not a date: its stored characters, kept as a date when they fit in one,
  // else as character text.
  if (shape == stored::DateShape::Other && s.size() > 8) return rt::Value(std::string(s));
  rt::Date d;
  std::memcpy(d.ymd.data(), s.data(), std::min<std::size_t>(s.size(), 8));
  return rt::Value(d);
}

rt::Value integerValue(std::int64_t v) {
  return rt::Value(rt::Number{static_cast<double>(v), 0, std::to_string(v)});
}

rt::Value doubleValue(double v) {
  std::string text = shortestFixed(v);
  if (text.empty()) return rt::Value(std::string());
  const int decimals = decimalsOf(text);
  return rt::Value(rt::Number{v, decimals, std::move(text)});
}

rt::Value momentValue(bool ok, std::string text, std::string_view stored) {
  return ok ? rt::Value(std::move(text)) : rt::Value(std::string(stored));
}

rt::Value varCharValue(std::string_view s, bool shortValue) {
  if (shortValue && !s.empty()) {
    const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(s.back()), s.size());
    return rt::Value(std::string(s.substr(0, n)));
  }
  return rt::Value(std::string(s));
}

rt::Value binaryValue(FieldKind kind, const std::uint8_t* p, std::string_view s) {
  std::string text;
  switch (kind) {
    case FieldKind::VfpInteger: return integerValue(vfpInteger(p));
    case FieldKind::Level7Integer: return integerValue(level7Integer(p));
    case FieldKind::Currency: {
      text = currencyText(p);
      const double v = parseDouble(text);
      return rt::Value(rt::Number{v, 4, std::move(text)});
    }
    case FieldKind::VfpDouble: return doubleValue(vfpDouble(p));
    case FieldKind::Level7Double: return doubleValue(level7Double(p));
    case FieldKind::DateTime: {
      const bool ok = vfpDateTimeText(p, text);
      return momentValue(ok, std::move(text), s);
    }
    case FieldKind::Timestamp: {
      const bool ok = level7TimestampText(p, text);
      return momentValue(ok, std::move(text), s);
    }
    default: return rt::Value(std::string(s));
  }
}

}  // namespace

FieldKind fieldKind(const FieldDesc& f, std::uint8_t version) {
  const bool vfp = isVisualFoxPro(version), level7 = isLevel7(version);
  switch (f.type) {
    case 'C': return FieldKind::Character;
    case 'N': case 'F': return FieldKind::Number;
    case 'D': return FieldKind::Date;
    case 'L': return FieldKind::Logical;
    case 'M': case 'G': case 'P': case 'W': return FieldKind::Memo;
    case 'V': case 'Q': return FieldKind::VarChar;
    default: break;
  }
  if (f.type == 'B' && !vfp) return FieldKind::Memo;
  if ((f.type == 'I' || f.type == '+') && f.length == 4) {
    return level7 ? FieldKind::Level7Integer : FieldKind::VfpInteger;
  }
  if (f.length != 8) return FieldKind::Raw;
  switch (f.type) {
    case 'Y': return FieldKind::Currency;
    case 'T': return FieldKind::DateTime;
    case '@': return FieldKind::Timestamp;
    case 'B': return FieldKind::VfpDouble;
    case 'O': return level7 || !vfp ? FieldKind::Level7Double : FieldKind::VfpDouble;
    default: return FieldKind::Raw;
  }
}

bool holdsBinary(const FieldDesc& f, std::uint8_t version) {
  const bool vfp = isVisualFoxPro(version);
  if (vfp && (f.flags & 0x04) != 0) return true;
  return f.type == 'Q' || f.type == 'G' || f.type == 'P' || f.type == 'W' || (f.type == 'B' && !vfp);
}

rt::Value decodeField(FieldKind kind, const FieldDesc& f, const std::uint8_t* p,
                      bool shortValue) {
  const std::string_view s = bytesOf(p, f.length);
  switch (kind) {
    case FieldKind::Character: return characterValue(s);
    case FieldKind::Number: return numberValue(s, f.decimals);
    case FieldKind::Date: return dateValue(s);
    case FieldKind::Logical:
      return rt::Value(!s.empty() && stored::isTrue(static_cast<std::uint8_t>(s[0])));
    case FieldKind::VarChar: return varCharValue(s, shortValue);
    case FieldKind::Memo:
    case FieldKind::Raw: return rt::Value(std::string(s));
    default: return binaryValue(kind, p, s);
  }
}

Status memoPointer(const std::uint8_t* p, std::uint32_t length, std::uint64_t& block) {
  block = 0;
  if (length == 4) {
    block = readLe32(p);
    return Status::ok();
  }
  // Read for every memo of every record: plain loops, not a search for a
  // set of characters.
  const auto padding = [](std::uint8_t c) { return c == ' ' || c == 0; };
  std::uint32_t first = 0, end = length;
  while (first < end && padding(p[first])) ++first;
  while (end > first && padding(p[end - 1])) --end;
  for (std::uint32_t i = first; i < end; ++i) {
    const auto digit = static_cast<unsigned>(p[i] - '0');
    if (digit > 9) {
      block = 0;
      return Status::corrupt("the memo pointer \"" + std::string(bytesOf(p + first, end - first)) +
                             "\" is not a number");
    }
    // Saturates far beyond any memo file: the size check then refuses it.
    block = block > (UINT64_MAX / 20) ? UINT64_MAX / 20 : block * 10 + digit;
  }
  return Status::ok();
}

}  // namespace db
