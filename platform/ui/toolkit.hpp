// The dialog toolkit: windows built from element lists, alerts, message and
// confirm boxes, the file picker and the progress bar. One toolkit is in
// force; its backend (qt or win32, terminal, headless) is chosen at start-up.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/rt/value.hpp"
#include "platform/ui/message_box.hpp"

namespace ui {

// A progress bar inside a window. update() is called for every record, so it
// is cheap: it stores the position and asks the backend to redraw only when
// the position has moved by the update step since the last redraw.
// A bar given a `keptWord` also counts how many of the positions passed were
// kept (records written of those read) and shows that count with the word:
// "12 written".
class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  void configure(std::uint64_t maximum, std::uint64_t step, std::string keptWord = {}) {
    maximum_ = maximum;
    step_ = step == 0 ? 1 : step;
    next_ = 0;
    keptWord_ = std::move(keptWord);
  }
  void update(std::uint64_t position) {
    position_ = position;
    if (position >= next_) {
      next_ = position + step_;
      redraw(position);
    }
  }
  void update(std::uint64_t position, std::uint64_t kept) {
    kept_ = kept;
    update(position);
  }
  std::uint64_t maximum() const { return maximum_; }
  std::uint64_t step() const { return step_; }
  std::uint64_t position() const { return position_; }
  std::uint64_t kept() const { return kept_; }
  // The kept count as the bar shows it ("12 written"); "" for a bar that
  // counts none.
  std::string keptText() const { return keptWord_.empty() ? "" : std::to_string(kept_) + " " + keptWord_; }

 protected:
  // Draws the bar at `position`. A backend may skip a redraw that comes
  // sooner than the screen can show it.
  virtual void redraw(std::uint64_t position) = 0;

 private:
  std::uint64_t maximum_ = 0;
  std::uint64_t step_ = 1;
  std::uint64_t next_ = 0;
  std::uint64_t position_ = 0;
  std::uint64_t kept_ = 0;
  std::string keptWord_;
};

// One element of a window: a label, an entry field or a progress bar.
struct Element {
  enum class Kind { Label, Entry, ProgressBar };
  Kind kind = Kind::Label;
  int row = 0;         // text row; an entry field without a row follows its label
  int column = 0;      // text column
  double width = 0;    // progress bar: in text columns
  double height = 0;   // progress bar: in text rows
  std::string caption; // label text
  std::string font;    // "10.Courier New Bold": points, then family and style
  // Entry field:
  rt::Value* link = nullptr;  // the variable the field shows and edits
  std::string name;           // the variable's name ("cTable")
  std::string picture;        // "@!@K", "Y", ...
  int labelIndex = 0;         // 1-based list position of the field's label
  std::function<bool()> validation;                         // may be empty
  std::string help;                                         // ";" breaks lines
  std::function<rt::Value(const rt::Value& content)> popup; // the [...] button
  std::string id;                                           // "GET_CTABLE"
  // Progress bar:
  std::uint64_t maximum = 0;
  std::uint64_t step = 1;
  std::string keptWord;            // the word of the kept count; "": no such count
  ProgressBar** barOut = nullptr;  // receives the created bar
};

using ElementList = std::vector<Element>;

// A window built in the non-waiting form; the caller shows and destroys it.
class Window {
 public:
  virtual ~Window() = default;
  virtual void show() = 0;
  virtual void destroy() = 0;
};

// What UI_POPFILE is given: the field's content, the start location (a
// directory, or a file in it; blank: the current directory), the mask whose
// filter is selected, the title and the filters offered, as pairs of a
// description and its masks ({"Database Tables", "*.DBF"}).
struct FilePick {
  std::string content;
  std::string start;
  std::string mask;
  std::string title;
  std::vector<std::pair<std::string, std::string>> filters;
};

// Who is before the toolkit: a windowed program, a person at a text
// terminal, or nobody (a run without a terminal, a service, a pipe).
enum class Mode { Windowed, Text, Unattended };

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  virtual std::string name() const = 0;  // "qt", "win32", "terminal", "headless"

  // UI_ICONDEFAULT: the icon resource of every window.
  virtual void iconDefault(int resource) { (void)resource; }
  // UI_ALERT: modal alert with the text (";" breaks lines).
  virtual void alert(const std::string& text) = 0;
  // UI_GUIALERT as MSG uses it: modal box titled `title`, ";" breaks lines,
  // in `font`; returns when the user has closed it.
  virtual void guiAlert(const std::string& text, const std::string& title,
                        const std::string& font) = 0;
  // CONFIRMBOX: CHR(13) breaks lines; `style` is a style word (styleWord()).
  // Returns the button that closed the box.
  virtual Answer confirmBox(const std::string& text, const std::string& title, Buttons buttons,
                            int style) = 0;
  // MSGBOX: a message box with an OK button.
  virtual void msgBox(const std::string& text, const std::string& title) = 0;
  // ALERT of text mode: the 1-based index of the chosen option, 0 when the
  // alert was dismissed without a choice.
  virtual int textAlert(const std::string& text, const std::vector<std::string>& options) = 0;

  // UI_READGUI, waiting form: true when the user confirmed and every
  // validation passed, false on cancel. `onWindow` runs once with the window
  // before the user sees it (it makes the dialog the application window).
  virtual bool readModal(ElementList& elements, const std::string& title,
                         const std::function<void()>& onWindow) = 0;
  // UI_READGUI, non-waiting form: builds the window, stores the bars of its
  // progress-bar elements through their barOut, returns at once.
  virtual std::unique_ptr<Window> readNonModal(ElementList& elements,
                                               const std::string& title) = 0;
  // UI_POPFILE: the chosen path, or nullopt when the pick was cancelled.
  virtual std::optional<std::string> popFile(const FilePick& pick) = 0;

  // Windowed, text or unattended (APPTYPE 3 is the windowed one).
  virtual Mode mode() const = 0;
  // SETAPPWINDOW(): whether there is an application window.
  virtual bool hasAppWindow() const = 0;
  // SETAPPWINDOW(window), called from readModal's onWindow: the window being
  // read becomes the application window.
  virtual void setAppWindow() {}
  // Whether the application window is a text-mode console (ROOTCONSOLE test).
  virtual bool appWindowIsConsole() const { return false; }
  // ROW()/COL() and SETPOS of the text cursor, for text mode.
  virtual std::pair<int, int> cursor() const { return {0, 0}; }
  virtual void setCursor(int row, int column) { (void)row, (void)column; }
};

// What the windowed backends (qt, win32) share: a person before a window
// system, and an application window once a dialog has become one.
class WindowedToolkit : public Toolkit {
 public:
  Mode mode() const override { return Mode::Windowed; }
  bool hasAppWindow() const override { return appWindow_; }
  void setAppWindow() override { appWindow_ = true; }

 private:
  bool appWindow_ = false;
};

// The toolkit in force. Start-up installs one; until then, the headless one.
Toolkit& toolkit();
// Installs `t`, returns the previous toolkit. Used by start-up and by tests.
std::unique_ptr<Toolkit> setToolkit(std::unique_ptr<Toolkit> t);
// The backend for this process: DBF2CSV_UI (qt, terminal, headless; win32
// instead of qt on Windows) when set, else the windowed backend (qt with a
// display and the Qt backend built in; win32 on Windows), else terminal when
// standard error is a terminal, else headless.
std::unique_ptr<Toolkit> makeToolkit();
// Makes a backend that lives in its own target (qt) known to makeToolkit().
void registerBackend(const std::string& name, std::function<std::unique_ptr<Toolkit>()> factory);

}  // namespace ui
