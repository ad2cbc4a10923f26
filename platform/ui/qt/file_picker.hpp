// UI_POPFILE on Qt: the file picker of the table-name field.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QStringList>

namespace ui::qt {

// Shows a file picker titled `title` at `start` (a directory, or a file
// whose directory is taken and whose name is preselected; DOS-style names
// with "\" and any letter case are found on the disk; blank: the current
// directory), offering `filters` as "Description (masks)" with `mask`'s
// filter selected. The chosen path, or nullopt when the pick was cancelled.
using FileFilters = std::vector<std::pair<std::string, std::string>>;
std::optional<std::string> pickFile(const std::string& start, const std::string& mask,
                                    const std::string& title, const FileFilters& filters);

// A mask ("*.DBF") as the patterns that match it in any letter case
// ("*.DBF", "*.DBf", ..., "*.dbf"), since names on Linux keep their case.
QStringList anyCasePatterns(const QString& mask);

}  // namespace ui::qt
