#include "platform/ui/qt/fonts.hpp"

#include <QApplication>
#include <QStringList>

#include "platform/ui/font_spec.hpp"
#include "platform/ui/qt/qt_text.hpp"

namespace ui::qt {

QFont fontFromName(const std::string& name) {
  QFont font = QApplication::font();
  const std::optional<FontSpec> spec = parseFontSpec(name);
  if (!spec) return font;
  if (!spec->family.empty()) {
    QStringList families{toQt(spec->family)};
    if (spec->fixedPitch) {
      families << QStringLiteral("Liberation Mono") << QStringLiteral("DejaVu Sans Mono")
               << QStringLiteral("monospace");
      font.setStyleHint(QFont::TypeWriter);
      font.setFixedPitch(true);
    }
    font.setFamilies(families);
  }
  font.setPointSize(spec->points);
  font.setBold(spec->bold);
  font.setItalic(spec->italic);
  return font;
}

}  // namespace ui::qt
