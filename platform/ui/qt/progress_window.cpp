#include "platform/ui/qt/progress_window.hpp"

#include <algorithm>
#include <climits>

#include <QApplication>
#include <QCloseEvent>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/ui/qt/qt_application.hpp"
#include "platform/ui/qt/qt_text.hpp"
#include "platform/ui/qt/text_grid.hpp"

namespace ui::qt {
namespace {

std::vector<QtProgressBar*>& liveBars() {
  static std::vector<QtProgressBar*> bars;
  return bars;
}

// The window belongs to the run that built it: the user cannot close it
// while the run is going on.
class RunWindow : public QWidget {
 protected:
  void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

}  // namespace

QtProgressBar::QtProgressBar(QProgressBar* widget, std::uint64_t maximum, std::uint64_t step, std::string keptWord)
    : widget_(widget), scale_(maximum / static_cast<std::uint64_t>(INT_MAX) + 1) {
  configure(maximum, step, std::move(keptWord));
  widget->setRange(0, std::max(1, static_cast<int>(maximum / scale_)));
  widget->setValue(0);
  liveBars().push_back(this);
}

QtProgressBar::~QtProgressBar() { std::erase(liveBars(), this); }

void QtProgressBar::redraw(std::uint64_t position) {
  const bool last = position >= maximum();
  if (!last && calls_++ % kClockEvery != 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (!last && paints_ > 0 && now - lastPaint_ < kMinInterval) return;
  lastPaint_ = now;
  paint(position);
}

void QtProgressBar::sync() {
  if (paints_ == 0 || drawn_ != position() || drawnKept_ != kept()) paint(position());
}

void QtProgressBar::paint(std::uint64_t position) {
  if (!widget_) return;
  position = std::min(position, maximum());
  widget_->setValue(static_cast<int>(position / scale_));
  if (const std::string kept = keptText(); !kept.empty()) widget_->setFormat(QStringLiteral("%p%, ") + toQt(kept));
  drawn_ = position;
  drawnKept_ = this->kept();
  ++paints_;
  // The run has no event loop of its own: let the window repaint and move.
  QCoreApplication::processEvents();
}

ProgressWindow::ProgressWindow(ElementList& elements, const std::string& title) {
  ensureApplication();
  auto* window = new RunWindow;
  widget_ = window;
  window->setWindowTitle(toQt(title));
  auto* layout = new QVBoxLayout(window);
  auto* canvas = new QWidget(window);
  layout->addWidget(canvas);
  const TextGrid grid;
  for (Element& e : elements) {
    if (e.kind == Element::Kind::Label) {
      placeLabel(e, canvas, grid);
    } else if (e.kind == Element::Kind::ProgressBar) {
      auto* widget = new QProgressBar(canvas);
      widget->setGeometry(QRect(grid.at(e.row, e.column),
                                QSize(grid.width(e.width), grid.height(e.height))));
      auto bar = std::make_unique<QtProgressBar>(widget, e.maximum, e.step, e.keptWord);
      if (e.barOut) *e.barOut = bar.get();
      bars_.push_back(std::move(bar));
    }
  }
  fitCanvas(canvas, grid);
}

ProgressWindow::~ProgressWindow() { destroy(); }

void ProgressWindow::show() {
  if (!widget_) return;
  widget_->show();
  widget_->raise();
  widget_->activateWindow();
  QCoreApplication::processEvents();
}

void ProgressWindow::destroy() {
  if (!widget_) return;
  delete widget_.data();
  QCoreApplication::processEvents();
}

void syncProgressBars() {
  for (QtProgressBar* bar : liveBars()) bar->sync();
}

}  // namespace ui::qt
