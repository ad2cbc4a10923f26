// The modal boxes of the Qt toolkit. Each returns once the user closed it.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/message_box.hpp"

namespace ui::qt {

// UI_GUIALERT: a box titled `title` showing the lines of `text` (";" breaks
// lines) in `font` ("11.Courier New Bold"), with one OK button.
void showGuiAlert(const std::string& text, const std::string& title, const std::string& font);
// UI_ALERT: a warning box titled "Alert"; ";" breaks lines.
void showAlert(const std::string& text);
// CONFIRMBOX: the buttons of `buttons` and the icon of the style word
// `style`; CR breaks lines. Returns the button pressed; closing the box
// counts as Cancel, or as the single button of an OK box, or as No.
Answer showConfirmBox(const std::string& text, const std::string& title, Buttons buttons,
                      int style);
// MSGBOX: an information box with an OK button.
void showMsgBox(const std::string& text, const std::string& title);
// ALERT of text mode as a box with one button per option: the 1-based index
// of the chosen option, 0 when the box was closed without a choice.
int showTextAlert(const std::string& text, const std::vector<std::string>& options);

}  // namespace ui::qt
