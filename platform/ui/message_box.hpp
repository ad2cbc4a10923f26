// The confirm box's button sets, icons and answers, numbered as the Windows
// message box numbers them, and the rules every backend applies to them.
#pragma once

#include <vector>

namespace ui {

// The buttons a confirm box offers.
enum class Buttons { Ok = 0, OkCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4,
                     RetryCancel = 5 };
// The icon of a confirm box: the bits 0xF0 of its style word.
enum class Icon { None = 0, Error = 16, Question = 32, Warning = 48, Information = 64 };
// The button that closed a confirm box.
enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The style word of a box: its icon and further flag bits (131072 keeps the
// box in front) that a backend may honour or ignore.
constexpr int styleWord(Icon icon, int flags = 0) { return static_cast<int>(icon) | flags; }
// The icon a style word asks for; None for bits that name no icon.
Icon iconOf(int style);
// The answers of a button set, in the order its buttons are shown.
std::vector<Answer> answersOf(Buttons buttons);
// The caption of the button that gives `answer`: "OK", "Cancel", "Yes", ...
const char* captionOf(Answer answer);
// The answer of a box nobody can see: Abort to Abort/Retry/Ignore, Cancel to
// Retry/Cancel, Yes to a Yes/No question, OK otherwise.
Answer unattendedAnswer(Buttons buttons);

}  // namespace ui
