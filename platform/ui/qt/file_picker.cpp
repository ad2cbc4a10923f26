#include "platform/ui/qt/file_picker.hpp"

#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTreeView>

#include "platform/rt/files.hpp"
#include "platform/rt/strings.hpp"
#include "platform/ui/qt/progress_window.hpp"
#include "platform/ui/qt/qt_application.hpp"
#include "platform/ui/qt/qt_text.hpp"

namespace ui::qt {
namespace {

// "Description (*.dbf)": the masks as people write them. They match in any
// letter case, as the model is told below.
QString filterLine(const std::pair<std::string, std::string>& filter) {
  QStringList patterns;
  for (const QString& mask : toQt(filter.second).split(QRegularExpression(QStringLiteral("[; ]")),
                                                       Qt::SkipEmptyParts)) {
    patterns << mask.toLower();
  }
  return toQt(filter.first) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
         QLatin1Char(')');
}

// Wide enough for the name, size, type and date columns of the detail view,
// in characters of the dialog's font.
constexpr int kColumnsWide = 110;
constexpr int kLinesHigh = 30;

// The directory to open and the name to preselect for a start location.
std::pair<QString, QString> startPlace(const std::string& start) {
  const std::string trimmed = rt::allTrim(start);
  if (trimmed.empty()) return {QDir::currentPath(), QString()};
  const QFileInfo info(toQt(rt::resolvePath(trimmed)));
  if (info.isDir()) return {info.absoluteFilePath(), QString()};
  QString dir = info.absolutePath();
  while (!QFileInfo(dir).isDir()) {
    const QString up = QFileInfo(dir).path();
    if (up == dir) break;
    dir = up;
  }
  if (!QFileInfo(dir).isDir()) dir = QDir::currentPath();
  return {dir, info.isFile() ? info.fileName() : QString()};
}

}  // namespace

std::optional<std::string> pickFile(const FilePick& pick) {
  ensureApplication();
  syncProgressBars();
  QFileDialog dialog(activeTopLevel(), toQt(pick.title));
  dialog.setObjectName(QStringLiteral("popFile"));
  // Qt's own dialog behaves the same on every desktop.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setViewMode(QFileDialog::Detail);
  // Names on Linux keep their case: "*.dbf" must find ORDERS.DBF too. The
  // model reads the case setting when the name filters are set, so first.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  QStringList lines;
  QString selected;
  for (const auto& filter : pick.filters) {
    lines << filterLine(filter);
    if (selected.isEmpty() && QString::compare(toQt(filter.second), toQt(pick.mask),
                                               Qt::CaseInsensitive) == 0) {
      selected = lines.last();
    }
  }
  if (!lines.isEmpty()) dialog.setNameFilters(lines);
  if (!selected.isEmpty()) dialog.selectNameFilter(selected);
  const auto [directory, name] = startPlace(pick.start);
  dialog.setDirectory(directory);
  if (!name.isEmpty()) dialog.selectFile(name);
  // Size, type and date as wide as what they show ("781 bytes", not
  // "781...tes"), whenever the folder's listing arrives; the name takes
  // the rest.
  if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = tree->header();
    header->setStretchLastSection(false);
    for (int column = 1; column < header->count(); ++column) {
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
  const QFontMetrics metrics(dialog.font());
  dialog.resize(std::max(dialog.width(), metrics.averageCharWidth() * kColumnsWide),
                std::max(dialog.height(), metrics.lineSpacing() * kLinesHigh));
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return fromQt(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

}  // namespace ui::qt
