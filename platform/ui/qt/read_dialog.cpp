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
    : QDialog(activeTopLevel()), guard_([this] { reject(); }) {
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
    } else if (e.kind == Element::Kind::Entry) {
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
  connect(buttons, &QDialogButtonBox::accepted, this, &ReadDialog::confirm);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

EntryField* ReadDialog::addEntry(Element& e, QWidget* canvas, QWidget* label) {
  auto* field = new EntryField(e, canvas);
  field->setObjectName(toQt(e.id.empty() ? e.name : e.id));
  const QFontMetrics metrics(field->font());
  const int chars = std::min(field->columns(), 60) + 2;
  field->resize(metrics.horizontalAdvance(QString(chars, QLatin1Char('X'))),
                field->sizeHint().height());
  if (label) {  // after its label on the same line, centred on it
    field->move(label->geometry().right() + metrics.averageCharWidth(),
                label->y() + (label->height() - field->height()) / 2);
  }
  connect(field, &EntryField::leaveRequested, this, &ReadDialog::leave);
  if (e.popup) {
    auto* button = new QToolButton(canvas);
    button->setObjectName(field->objectName() + QStringLiteral("_popup"));
    button->setText(QStringLiteral("..."));
    button->setFocusPolicy(Qt::NoFocus);
    button->move(field->geometry().right() + 4, field->y());
    button->resize(button->sizeHint().width(), field->height());
    connect(button, &QToolButton::clicked, this, [this, field] { pop(field); });
  }
  fields_.push_back(field);
  return field;
}

bool ReadDialog::run(const std::function<void()>& onWindow) {
  if (onWindow) onWindow();
  if (!fields_.empty()) {
    moving_ = true;
    fields_.front()->enter();
    moving_ = false;
    showHelp(fields_.front());
  }
  setWindowModality(Qt::ApplicationModal);
  const int result = exec();
  guard_.rethrowIfFailed();
  return result == QDialog::Accepted;
}

bool ReadDialog::validate(EntryField* field) {
  const Element& e = field->element();
  if (!e.validation) return true;
  bool ok = false;
  if (!guard_.run([&] { ok = e.validation(); })) return false;
  if (!ok && field != QApplication::focusWidget()) {
    moving_ = true;
    field->setFocus(Qt::OtherFocusReason);
    moving_ = false;
    showHelp(field);
  }
  return ok;
}

void ReadDialog::leave(EntryField* field, EntryField::Leave how) {
  if (!validate(field) || guard_.failed()) return;
  const auto at = std::find(fields_.begin(), fields_.end(), field) - fields_.begin();
  const auto count = static_cast<std::ptrdiff_t>(fields_.size());
  if (how == EntryField::Leave::Enter && at + 1 == count) return confirm();
  const auto next = (how == EntryField::Leave::Previous ? at + count - 1 : at + 1) % count;
  moving_ = true;
  fields_[next]->enter();
  moving_ = false;
  showHelp(fields_[next]);
}

void ReadDialog::confirm() {
  for (EntryField* field : fields_) {
    if (!validate(field)) return;
  }
  accept();
}

void ReadDialog::pop(EntryField* field) {
  rt::Value picked;
  const rt::Value content(field->content());
  if (!guard_.run([&] { picked = field->element().popup(content); })) return;
  if (picked.isString()) field->setContent(picked.text());
}

// A click into another field leaves the field that had the focus: check it
// once the click is done, and take the user back to it when it fails.
void ReadDialog::focusMoved(QWidget* from, QWidget* to) {
  auto* left = qobject_cast<EntryField*>(from);
  auto* entered = qobject_cast<EntryField*>(to);
  if (entered && entered->window() == this) showHelp(entered);
  if (moving_ || !left || !entered || left == entered || left->window() != this ||
      entered->window() != this) {
    return;
  }
  QTimer::singleShot(0, this, [this, left] { validate(left); });
}

void ReadDialog::showHelp(EntryField* field) {
  help_->setText(messageLines(field->element().help));
}

}  // namespace ui::qt
