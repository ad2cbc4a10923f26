// The rules of a waiting window's entry fields and of reading them, the
// same on every backend: a backend turns its own events (keys, clicks,
// answer lines) into these calls and shows what they give back.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/callback_guard.hpp"
#include "platform/ui/picture.hpp"
#include "platform/ui/toolkit.hpp"

namespace ui {

// Whether a name picked with a field's pop-up is shown upper-cased: yes on
// Windows, which finds a name in any case and shows names as the program
// writes them; no on Linux, where an upper-cased path can name another
// file. Defined by each system's file.
extern const bool kPicksUpperCased;

// One entry field: its picture, whether its next key clears it ("@K"),
// and how its text becomes the variable's value.
class FieldState {
 public:
  explicit FieldState(Element& element, bool picksUpperCased = kPicksUpperCased);

  Element& element() const { return *element_; }
  bool logical() const { return logical_; }
  // Only character and logical variables are edited.
  bool editable() const { return editable_; }
  // The width of the variable in characters (1 for a logical one).
  int columns() const { return columns_; }
  // What the field shows of its variable: "Y" or "N", or the text without
  // its blank fill.
  std::string text() const;

  // The field is entered (again): under "@K" the next key clears it.
  void enter();
  // A cursor movement: what follows edits the content instead.
  void moveCursor() { armed_ = false; }

  // What a key that changes the text does.
  struct Edit {
    bool accepted = true;     // false: the key does nothing
    bool clearFirst = false;  // the field is emptied before the key acts
    std::string text;         // what it puts in; a logical field's whole text
  };
  // `typed`: what the key puts in (one character, or a pasted text); empty
  // for a deletion or a cut. A logical field takes Y and N in either case
  // and nothing else.
  Edit key(const std::string& typed);
  // `text` as typing puts it in: "@!" upper-cases its letters.
  std::string shape(const std::string& text) const { return picture_.shape(text); }

  // The text a pop-up's pick puts in, upper-cased or not by the system's
  // rule (not the picture's: a pick is not typed). The field stays in
  // editing: the next key edits the pick.
  std::string pick(const std::string& picked);
  // Whether the content came from a pick since the field was entered.
  bool picked() const { return picked_; }

  // Writes what the field shows to the variable: a logical is true for
  // "Y"; a character variable keeps at least its width, blank-filled, and
  // a longer text whole.
  void store(const std::string& shown);

 private:
  Element* element_;
  Picture picture_;
  bool picksUpperCased_;
  bool logical_ = false;
  bool editable_ = false;
  bool armed_ = false;
  bool picked_ = false;
  int columns_ = 1;
};

// Reading a waiting window: which field comes next, when validations run,
// when the window closes. Leaving a field (Enter, Tab, the arrows, a click
// into another) runs its validation, and a failed one keeps the person in
// it; Enter in the last field and OK confirm, running every validation in
// field order, and the window closes only when all pass; Cancel closes it
// without validating. A break, quit or other exception from a validation
// or pop-up closes the window and is kept for the backend to rethrow once
// its event loop has returned.
class ReadFlow {
 public:
  enum class Leave { Next, Previous, Enter };

  explicit ReadFlow(ElementList& elements, bool picksUpperCased = kPicksUpperCased);
  virtual ~ReadFlow() = default;
  ReadFlow(const ReadFlow&) = delete;
  ReadFlow& operator=(const ReadFlow&) = delete;

  // The entry fields with a variable, in list order.
  std::vector<FieldState>& fields() { return fields_; }
  FieldState& field(std::size_t i) { return fields_[i]; }
  // The field the person is in.
  std::size_t current() const { return current_; }

  // Enters the first field.
  void start();
  // Leaves field `i`, the one the person is in, by Enter, Tab or an arrow.
  void leave(std::size_t i, Leave how);
  // The person moved into field `to` by a click. Returns the field left,
  // to be validated (validate()) once the click is done, or `to` itself
  // when no other field was left.
  std::size_t clickedInto(std::size_t to);
  // Runs the validation of field `i`; a failure takes the person back into
  // it, entered anew: the next key replaces the refused value.
  bool validate(std::size_t i);
  void confirm();
  void cancel();
  // Runs the pop-up of field `i` with its content and shows a string it
  // gives; the person stays in the field.
  void pop(std::size_t i);

  bool finished() const { return finished_; }
  bool accepted() const { return accepted_; }
  // Rethrows what a callback threw, once the event loop has returned.
  void rethrowIfFailed() { guard_.rethrowIfFailed(); }

 protected:
  // Moves the focus to field `i` and shows its help; `entering`: the field
  // is entered anew rather than kept (after a pick, or a refused value).
  virtual void focusField(std::size_t i, bool entering) = 0;
  // Shows `text` in field `i` with the cursor after it.
  virtual void showText(std::size_t i, const std::string& text) = 0;
  // The window is done: the backend ends its event loop.
  virtual void closeWindow() = 0;

 private:
  void enter(std::size_t i);
  void finish(bool accepted);

  std::vector<FieldState> fields_;
  CallbackGuard guard_;
  std::size_t current_ = 0;
  bool finished_ = false;
  bool accepted_ = false;
};

}  // namespace ui
