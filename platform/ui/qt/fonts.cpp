#include "platform/ui/qt/fonts.hpp"

#include <QApplication>
#include <QStringList>

#include "platform/ui/font_name.hpp"
#include "platform/ui/qt/qt_text.hpp"

namespace ui::qt {

QFont fontFromName(const std::string& name) {
  QFont font = QApplication::font();
  const std::optional<FontName> face = parseFontName(name);
  if (!face) return font;
  if (!face->family.empty()) {
    QStringList families{toQt(face->family)};
    if (face->fixedPitch) {
      families << QStringLiteral("Liberation Mono") << QStringLiteral("DejaVu Sans Mono")
               << QStringLiteral("monospace");
      font.setStyleHint(QFont::TypeWriter);
      font.setFixedPitch(true);
    }
    font.setFamilies(families);
  }
  font.setPointSize(face->points);
  font.setBold(face->bold);
  font.setItalic(face->italic);
  return font;
}

}  // namespace ui::qt
