#include "platform/ui/terminal/terminal_dialog.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <istream>
#include <ostream>

#include "platform/rt/masks.hpp"
#include "platform/rt/paths.hpp"
#include "platform/ui/edit_model.hpp"

namespace ui {
namespace {

namespace fs = std::filesystem;

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \r\t");
  if (first == std::string::npos) return "";
  const auto last = s.find_last_not_of(" \r\t");
  return s.substr(first, last - first + 1);
}

// One answer line; false at the end of input, after ending the prompt line.
bool readAnswer(std::istream& in, std::ostream& out, std::string& answer) {
  if (std::getline(in, answer)) {
    answer = trimmed(answer);
    return true;
  }
  out << '\n' << std::flush;
  return false;
}

std::string labelOf(const ElementList& elements, const Element& field) {
  if (field.labelIndex >= 1 && static_cast<std::size_t>(field.labelIndex) <= elements.size()) {
    return trimmed(elements[field.labelIndex - 1].caption);
  }
  return field.name;
}

// The read flow at a prompt: each answer line is what the person types
// into the field in front, then Enter. A prompt cannot edit in place, so
// an answer replaces the content; an empty one keeps it, or, before
// anything is picked, runs the pop-up, after which the field is asked
// again with the pick.
class PromptFlow : public ReadFlow {
 public:
  PromptFlow(std::istream& in, std::ostream& out, ElementList& elements)
      : ReadFlow(elements), in_(in), out_(out), elements_(elements) {}

  bool run() {
    start();
    while (!finished()) {
      if (!ask(field(current()))) cancel();
    }
    rethrowIfFailed();
    return accepted();
  }

 private:
  void focusField(std::size_t, bool) override {}
  void showText(std::size_t, const std::string&) override {}
  void closeWindow() override {}

  // One prompt; false when input ended.
  bool ask(FieldState& f) {
    const Element& e = f.element();
    const std::string shown = f.text();
    out_ << labelOf(elements_, e);
    if (f.logical()) {
      out_ << " (Y/N) [" << shown << "]";
    } else {
      if (!shown.empty()) out_ << " [" << shown << "]";
      if (e.popup) out_ << (f.picked() ? " (Enter to take it, ? to pick again)" : " (? or Enter to pick from a list)");
    }
    out_ << ": " << std::flush;
    std::string answer;
    if (!readAnswer(in_, out_, answer)) return false;
    if (e.popup && !f.logical() && (answer == "?" || (answer.empty() && !f.picked()))) {
      pop(current());
      return static_cast<bool>(in_);
    }
    if (!answer.empty()) {
      const FieldState::Edit edit = f.key(f.logical() ? answer.substr(0, 1) : answer);
      if (!edit.accepted) return true;  // asked again
      f.store(edit.text);
    }
    leave(current(), Leave::Enter);
    return true;
  }

  std::istream& in_;
  std::ostream& out_;
  const ElementList& elements_;
};

// The directory a start location names: itself when it is one, else the
// directory part of the file name it holds, else the current directory. The
// program writes names upper-cased with "\\" or "/": they are found on the
// disk whatever the letter case.
std::string directoryOf(const std::string& start) {
  std::string s = rt::resolvePath(trimmed(start));
  std::error_code ec;
  if (!s.empty() && fs::is_directory(s, ec)) return s;
  const auto slash = s.find_last_of("/\\");
  if (slash != std::string::npos) {
    std::string parent = slash == 0 ? "/" : s.substr(0, slash);
    if (fs::is_directory(parent, ec)) return parent;
  }
  return ".";
}

// With the system's own separator: Windows takes only "\" in a name that
// begins "\\?\".
std::string joinPath(const std::string& directory, const std::string& name) {
  if (directory == ".") return name;
  if (directory.back() == '/' || directory.back() == '\\') return directory + name;
  return directory + static_cast<char>(fs::path::preferred_separator) + name;
}

// The numbered names as lines: one name a line when they fit on the screen,
// else in as many columns as its width takes, numbered down each column.
std::vector<std::string> listLines(const std::vector<std::string>& names, const Screen& screen) {
  std::vector<std::string> lines;
  const std::size_t rowsFree = static_cast<std::size_t>(std::max(1, screen.rows - 3));
  if (names.size() <= rowsFree) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      lines.push_back("  " + std::to_string(i + 1) + "  " + names[i]);
    }
    return lines;
  }
  const std::size_t digits = std::to_string(names.size()).size();
  std::size_t widest = 0;
  for (const auto& name : names) widest = std::max(widest, name.size());
  const std::size_t cell = 2 + digits + 2 + widest + 2;
  const std::size_t columns =
      std::max<std::size_t>(1, static_cast<std::size_t>(std::max(1, screen.columns)) / cell);
  const std::size_t rows = (names.size() + columns - 1) / columns;
  for (std::size_t r = 0; r < rows; ++r) {
    std::string line;
    for (std::size_t c = 0; c < columns && c * rows + r < names.size(); ++c) {
      const std::size_t i = c * rows + r;
      std::string number = std::to_string(i + 1);
      std::string entry = "  " + std::string(digits - number.size(), ' ') + number + "  " + names[i];
      if (c + 1 < columns && (c + 1) * rows + r < names.size()) entry.resize(cell, ' ');
      line += entry;
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

bool promptDialog(std::istream& in, std::ostream& out, ElementList& elements,
                  const std::string& title) {
  if (!title.empty()) out << title << '\n';
  return PromptFlow(in, out, elements).run();
}

std::vector<std::string> matchingFiles(const std::string& directory, const std::string& mask) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = it->path().filename().string();
    if (rt::matchesMask(mask, name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> promptFile(std::istream& in, std::ostream& out,
                                      const std::string& start, const std::string& mask,
                                      const std::string& title, const Screen& screen) {
  const std::string directory = directoryOf(start);
  const auto names = matchingFiles(directory, mask);
  out << title << ": " << directory << '\n';
  if (names.empty()) {
    out << "No files matching " << mask << " in " << directory << ".\n" << std::flush;
    return std::nullopt;
  }
  // A screenful at a time, so that the first names do not scroll away.
  const std::vector<std::string> lines = listLines(names, screen);
  const std::size_t perPage = static_cast<std::size_t>(std::max(1, screen.rows - 3));
  for (std::size_t first = 0;; first += perPage) {
    const std::size_t end = std::min(lines.size(), first + perPage);
    for (std::size_t i = first; i < end; ++i) out << lines[i] << '\n';
    const bool more = end < lines.size();
    const auto chosen =
        promptNumber(in, out, more ? "Number, or Enter for more" : "Number", names.size());
    if (chosen) return joinPath(directory, names[*chosen - 1]);
    if (!more || !in) return std::nullopt;
  }
}

std::optional<std::size_t> promptNumber(std::istream& in, std::ostream& out,
                                        const std::string& label, std::size_t count) {
  for (;;) {
    out << label << " (1-" << count << "): " << std::flush;
    std::string answer;
    if (!readAnswer(in, out, answer) || answer.empty()) return std::nullopt;
    const bool digits = std::all_of(answer.begin(), answer.end(),
                                    [](unsigned char c) { return std::isdigit(c) != 0; });
    if (digits && answer.size() <= 9) {
      const std::size_t n = std::stoul(answer);
      if (n >= 1 && n <= count) return n;
    }
    out << "Please answer a number from 1 to " << count << ".\n";
  }
}

}  // namespace ui
