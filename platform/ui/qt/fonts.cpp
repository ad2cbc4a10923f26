#include "platform/ui/qt/fonts.hpp"

#include <QApplication>
#include <QStringList>

namespace ui::qt {
namespace {

bool isFixedPitchFamily(const QString& family) {
  static const QStringList fixed = {QStringLiteral("Courier New"), QStringLiteral("Courier"),
                                    QStringLiteral("Lucida Console"), QStringLiteral("Consolas")};
  return fixed.contains(family, Qt::CaseInsensitive);
}

// Strips a trailing style word ("Bold", "Italic") from `words`; true if found.
bool takeStyle(QStringList& words, const QString& style) {
  if (words.size() > 1 && words.last().compare(style, Qt::CaseInsensitive) == 0) {
    words.removeLast();
    return true;
  }
  return false;
}

}  // namespace

QFont fontFromName(const std::string& name) {
  QFont font = QApplication::font();
  const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  const qsizetype dot = text.indexOf(QLatin1Char('.'));
  bool sizeOk = false;
  const int points = dot > 0 ? text.left(dot).toInt(&sizeOk) : 0;
  if (!sizeOk || points <= 0) return font;
  QStringList words = text.mid(dot + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  bool bold = false;
  bool italic = false;
  for (int pass = 0; pass < 2; ++pass) {
    bold = takeStyle(words, QStringLiteral("Bold")) || bold;
    italic = takeStyle(words, QStringLiteral("Italic")) || italic;
  }
  const QString family = words.join(QLatin1Char(' '));
  if (!family.isEmpty()) {
    QStringList families{family};
    if (isFixedPitchFamily(family)) {
      families << QStringLiteral("Liberation Mono") << QStringLiteral("DejaVu Sans Mono")
               << QStringLiteral("monospace");
      font.setStyleHint(QFont::TypeWriter);
      font.setFixedPitch(true);
    }
    font.setFamilies(families);
  }
  font.setPointSize(points);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

}  // namespace ui::qt
