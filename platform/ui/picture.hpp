// The picture of an entry field ("@!@K", "Y"), read the same way by every
// dialog backend.
#pragma once

#include <string>

namespace ui {

// The functions of a picture: the part before the first blank when the
// picture begins with "@", every character of it but "@" one function
// ("@!@K" and "@!K" name the same two). A picture that does not begin with "@" is all
// template and has no functions.
struct Picture {
  bool upperCase = false;        // "@!": typed letters become upper case
  bool clearOnFirstKey = false;  // "@K": the first edit after entering clears the field

  static Picture parse(const std::string& picture);
  // `text` as the field takes it: ASCII letters upper-cased under "@!"
  // (names are byte strings matched against the disk by ASCII case alone);
  // unchanged otherwise.
  std::string shape(std::string text) const;
};

}  // namespace ui
