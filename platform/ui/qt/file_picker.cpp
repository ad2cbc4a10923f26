#include "platform/ui/qt/file_picker.hpp"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/rt/files.hpp"
#include "platform/rt/strings.hpp"
#include "platform/ui/qt/progress_window.hpp"
#include "platform/ui/qt/qt_application.hpp"
#include "platform/ui/qt/qt_text.hpp"

namespace ui::qt {
namespace {

// More letters than this would give an unwieldy list; such a mask is offered
// in its own, upper and lower case only.
constexpr int kMaxCaseLetters = 5;

QString filterLine(const std::pair<std::string, std::string>& filter) {
  QStringList patterns;
  for (const QString& mask : toQt(filter.second).split(QRegularExpression(QStringLiteral("[; ]")),
                                                       Qt::SkipEmptyParts)) {
    patterns << anyCasePatterns(mask);
  }
  return toQt(filter.first) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
         QLatin1Char(')');
}

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

QStringList anyCasePatterns(const QString& mask) {
  int letters = 0;
  for (QChar c : mask) letters += c.isLetter() && c.unicode() < 128 ? 1 : 0;
  if (letters > kMaxCaseLetters) {
    QStringList few{mask, mask.toUpper(), mask.toLower()};
    few.removeDuplicates();
    return few;
  }
  QStringList patterns{mask.toUpper()};
  for (qsizetype i = 0; i < mask.size(); ++i) {
    const QChar c = mask.at(i);
    if (!c.isLetter() || c.unicode() >= 128) continue;
    const qsizetype count = patterns.size();
    for (qsizetype p = 0; p < count; ++p) {
      QString lower = patterns.at(p);
      lower[i] = c.toLower();
      patterns << lower;
    }
  }
  return patterns;
}

std::optional<std::string> pickFile(const FilePick& pick) {
  ensureApplication();
  syncProgressBars();
  QFileDialog dialog(activeTopLevel(), toQt(pick.title));
  dialog.setObjectName(QStringLiteral("popFile"));
  // Qt's own dialog behaves the same on every desktop.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
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
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return fromQt(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

}  // namespace ui::qt
