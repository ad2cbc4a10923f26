// Byte strings of the program shown as Qt text, and back.
#pragma once

#include <string>

#include <QString>

namespace ui::qt {

// The program's texts are byte strings; names on Linux are UTF-8.
inline QString toQt(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string fromQt(const QString& s) { return s.toStdString(); }

// A message text with each ";" turned into a line break (";;" leaves an
// empty line).
inline QString messageLines(const std::string& text) {
  return toQt(text).replace(QLatin1Char(';'), QLatin1Char('\n'));
}

}  // namespace ui::qt
