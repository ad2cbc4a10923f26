// Dialogs as prompts on a terminal: the entry fields of an element list, a
// numbered pick of files, a numbered choice.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/toolkit.hpp"

namespace ui {

// Asks for the entry fields of `elements` in order, each label as its
// prompt, the read flow of every backend (edit_model.hpp) deciding which
// comes next: a logical field takes Y or N, a text field takes a new
// content ("@!" pictures upper-case it), and "?", or an empty answer
// before a pick, runs the field's pop-up. A field whose validation fails is
// asked again; after the last, every validation runs once more. Returns
// true when the dialog was confirmed, false when input ended.
bool promptDialog(std::istream& in, std::ostream& out, ElementList& elements,
                  const std::string& title);

// The size of the terminal in characters and lines.
struct Screen {
  int columns = 80;
  int rows = 24;
};

// Lists the files of the directory `start` names (a file name in it, or
// blanks for the current directory; found whatever the letter case) that
// match `mask` in any letter case, and asks for one by number. A list longer
// than the screen goes into columns, and one longer than a screenful of
// columns is shown a screenful at a time, Enter showing the next. The chosen
// path, or nullopt when there is none, the answer is empty on the last page,
// or input ended.
std::optional<std::string> promptFile(std::istream& in, std::ostream& out,
                                      const std::string& start, const std::string& mask,
                                      const std::string& title, const Screen& screen = {});

// The names of the files in `directory` matching `mask` in any letter case,
// sorted; empty when the directory cannot be read.
std::vector<std::string> matchingFiles(const std::string& directory, const std::string& mask);

// Asks for a number from 1 to `count`; asks again on anything else but an
// empty answer. nullopt on an empty answer or at the end of input.
std::optional<std::size_t> promptNumber(std::istream& in, std::ostream& out,
                                        const std::string& label, std::size_t count);

}  // namespace ui
