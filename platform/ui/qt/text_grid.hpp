// The text rows and columns of element lists mapped onto pixels.
#pragma once

#include <QPoint>

#include "platform/ui/toolkit.hpp"

class QLabel;
class QWidget;

namespace ui::qt {

// One cell is a character of 10-point Courier New wide and one and a half
// of its lines high, so rows 2 and 4 leave a line of air between them.
class TextGrid {
 public:
  TextGrid();
  QPoint at(double row, double column) const;
  int width(double columns) const;
  int height(double rows) const;

 private:
  int cellWidth_;
  int cellHeight_;
};

// Places the label element `e` on `canvas` at its row and column.
QLabel* placeLabel(const Element& e, QWidget* canvas, const TextGrid& grid);

// Gives `canvas`, whose children are placed by hand, the size that holds
// them all with one cell of margin on the right and below.
void fitCanvas(QWidget* canvas, const TextGrid& grid);

}  // namespace ui::qt
