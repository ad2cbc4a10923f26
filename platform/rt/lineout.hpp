// The line output: QOUT, QQOUT and OUTERR. What QOUT and QQOUT write goes to
// every channel switched on: the console (setting 17, standard output), the
// alternate file (18 on and a file set with 19), the extra file (21 and 22)
// and the printer file (23 and 24; with no printer file, printer output goes
// nowhere, as there is no printer). Values are written in their display form
// (display.hpp), separated by one blank. The line break is CR LF in the
// files; on the console it is "\n", the terminal's own.
#pragma once

#include <functional>
#include <string_view>

#include "platform/rt/settings.hpp"
#include "platform/rt/value.hpp"

namespace rt {

// QOUT: a line break, then the values. A failed write to a file raises a
// write error; a retry writes the rest, any other answer drops it.
void qOut(const Array& values = {});
// QQOUT: the values on the current line, without a line break.
void qqOut(const Array& values);
// OUTERR: the values to standard error, separated by one blank, no line break.
void outErr(const Array& values);

// Used by set() for settings 19, 22 and 24: closes the channel's file and,
// for a non-empty name, opens the file of that name (emptied unless
// `additive`, created in the resolved directory). A failure to open raises a
// create error; true when the file is open afterwards.
bool openOutputFile(Set which, std::string_view name, bool additive);


}  // namespace rt
