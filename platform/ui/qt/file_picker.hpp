// UI_POPFILE on Qt: the file picker of the table-name field.
#pragma once

#include <optional>
#include <string>

#include <QStringList>

#include "platform/ui/toolkit.hpp"

namespace ui::qt {

// Shows a file picker titled with the pick's title at its start location (a
// directory, or a file whose directory is taken and whose name is
// preselected; DOS-style names with "\" and any letter case are found on the
// disk; blank: the current directory), offering its filters as "Description
// (masks)" with the filter of its mask selected. The chosen path, or nullopt
// when the pick was cancelled.
std::optional<std::string> pickFile(const FilePick& pick);

// A mask ("*.DBF") as the patterns that match it in any letter case
// ("*.DBF", "*.DBf", ..., "*.dbf"), since names on Linux keep their case.
QStringList anyCasePatterns(const QString& mask);

}  // namespace ui::qt
