// UI_POPFILE on Qt: the file picker of the table-name field.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/toolkit.hpp"

namespace ui::qt {

// Shows a file picker titled with the pick's title at its start location (a
// directory, or a file whose directory is taken and whose name is
// preselected; DOS-style names with "\" and any letter case are found on the
// disk; blank: the current directory), offering its filters as "Description
// (masks)" with the filter of its mask selected; the masks are shown in lower
// case and match names in any letter case. The detail view opens wide enough
// for all its columns. The chosen path, or nullopt when the pick was
// cancelled.
std::optional<std::string> pickFile(const FilePick& pick);

}  // namespace ui::qt
