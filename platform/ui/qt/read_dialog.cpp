#include "platform/ui/qt/read_dialog.hpp"

#include <algorithm>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ui/qt/qt_application.hpp"
#include "platform/ui/qt/qt_text.hpp"
#include "platform/ui/qt/text_grid.hpp"

namespace ui::qt {

ReadDialog::ReadDialog(ElementList& elements, const std::string& title)
    : QDialog(activeTopLevel()), ReadFlow(elements) {
  setObjectName(QStringLiteral("readDialog"));
  setWindowTitle(toQt(title));
  build(elements);
  connect(qApp, &QApplication::focusChanged, this, &ReadDialog::focusMoved);
}

void ReadDialog::build(ElementList& elements) {
  auto* layout = new QVBoxLayout(this);
  auto* canvas = new QWidget(this);
  layout->addWidget(canvas);
  const TextGrid grid;
  std::vector<QWidget*> placed;  // by list position, for "after its label"
  for (Element& e : elements) {
    QWidget* widget = nullptr;
    if (e.kind == Element::Kind::Label) {
      widget = placeLabel(e, canvas, grid);
    } else if (e.kind == Element::Kind::Entry && e.link) {
      const bool hasLabel = e.labelIndex >= 1 && e.labelIndex <= static_cast<int>(placed.size());
      widget = addEntry(e, canvas, hasLabel ? placed[e.labelIndex - 1] : nullptr);
      if (!hasLabel || e.row > 0) widget->move(grid.at(e.row, e.column));
    }
    placed.push_back(widget);
  }
  fitCanvas(canvas, grid);

  help_ = new QLabel(this);
  help_->setObjectName(QStringLiteral("help"));
  help_->setTextFormat(Qt::PlainText);
  help_->setWordWrap(true);
  help_->setFrameShape(QFrame::StyledPanel);
  help_->setMinimumHeight(help_->fontMetrics().height() * 3);
  layout->addWidget(help_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  for (QAbstractButton* b : buttons->buttons()) {
    b->setFocusPolicy(Qt::NoFocus);  // pressing them must not leave a field first
    if (auto* push = qobject_cast<QPushButton*>(b)) push->setAutoDefault(false);
  }
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("confirm"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { confirm(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { cancel(); });
  layout->addWidget(buttons);
}

EntryField* ReadDialog::addEntry(Element& e, QWidget* canvas, QWidget* label) {
  const std::size_t index = entries_.size();
  auto* field = new EntryField(ReadFlow::field(index), index, canvas);
  field->setObjectName(toQt(e.id.empty() ? e.name : e.id));
  const QFontMetrics metrics(field->font());
  const int chars = std::min(field->state().columns(), 60) + 2;
  field->resize(metrics.horizontalAdvance(QString(chars, QLatin1Char('X'))),
                field->sizeHint().height());
  if (label) {  // after its label on the same line, centred on it
    field->move(label->geometry().right() + metrics.averageCharWidth(),
                label->y() + (label->height() - field->height()) / 2);
  }
  connect(field, &EntryField::leaveRequested, this,
          [this](EntryField* from, ReadFlow::Leave how) { leave(from->index(), how); });
  if (e.popup) {
    auto* button = new QToolButton(canvas);
    button->setObjectName(field->objectName() + QStringLiteral("_popup"));
    button->setText(QStringLiteral("..."));
    button->setFocusPolicy(Qt::NoFocus);
    button->move(field->geometry().right() + 4, field->y());
    button->resize(button->sizeHint().width(), field->height());
    connect(button, &QToolButton::clicked, this, [this, index] { pop(index); });
  }
  entries_.push_back(field);
  return field;
}

bool ReadDialog::run(const std::function<void()>& onWindow) {
  if (onWindow) onWindow();
  start();
  setWindowModality(Qt::ApplicationModal);
  const int result = exec();
  rethrowIfFailed();
  return result == QDialog::Accepted;
}

void ReadDialog::focusField(std::size_t i, bool) {
  moving_ = true;
  entries_[i]->setFocus(Qt::OtherFocusReason);
  moving_ = false;
  showHelp(entries_[i]);
}

void ReadDialog::showText(std::size_t i, const std::string& text) { entries_[i]->setText(toQt(text)); }

void ReadDialog::closeWindow() {
  if (ReadFlow::accepted()) accept();
  else reject();
}

// A click into another field leaves the field that had the focus: check it
// once the click is done, and take the user back to it when it fails.
void ReadDialog::focusMoved(QWidget* from, QWidget* to) {
  auto* entered = qobject_cast<EntryField*>(to);
  if (!entered || entered->window() != this) return;
  showHelp(entered);
  auto* left = qobject_cast<EntryField*>(from);
  if (moving_ || !left || left == entered || left->window() != this) return;
  const std::size_t leftIndex = clickedInto(entered->index());
  QTimer::singleShot(0, this, [this, leftIndex] { validate(leftIndex); });
}

void ReadDialog::showHelp(EntryField* field) {
  help_->setText(messageLines(field->state().element().help));
}

}  // namespace ui::qt
