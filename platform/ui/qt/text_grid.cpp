#include "platform/ui/qt/text_grid.hpp"

#include <cmath>

#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

#include "platform/ui/qt/fonts.hpp"
#include "platform/ui/qt/qt_text.hpp"

namespace ui::qt {

TextGrid::TextGrid() {
  const QFontMetrics metrics(fontFromName("10.Courier New"));
  cellWidth_ = metrics.horizontalAdvance(QLatin1Char('M'));
  cellHeight_ = metrics.height() * 3 / 2;
}

QPoint TextGrid::at(double row, double column) const {
  return {width(column), height(row)};
}

int TextGrid::width(double columns) const {
  return static_cast<int>(std::lround(columns * cellWidth_));
}

int TextGrid::height(double rows) const {
  return static_cast<int>(std::lround(rows * cellHeight_));
}

QLabel* placeLabel(const Element& e, QWidget* canvas, const TextGrid& grid) {
  auto* label = new QLabel(toQt(e.caption), canvas);
  label->setTextFormat(Qt::PlainText);
  if (!e.font.empty()) label->setFont(fontFromName(e.font));
  label->move(grid.at(e.row, e.column));
  label->resize(label->sizeHint());
  return label;
}

void fitCanvas(QWidget* canvas, const TextGrid& grid) {
  QRect bounds;
  for (QWidget* child : canvas->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    bounds = bounds.united(child->geometry());
  }
  canvas->setMinimumSize(bounds.right() + grid.width(3), bounds.bottom() + grid.height(1));
}

}  // namespace ui::qt
