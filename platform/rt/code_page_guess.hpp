// Naming the code page of text that declares none: single-byte pages by how
// the text reads as a language (letter pairs, case, signs where letters
// should be), the double-byte pages 932, 936, 949 and 950 by the validity
// of their sequences and the share of common characters, UTF-8 by its
// sequences. Works on bytes alone, the same on every system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// Text gathered to guess from: the values that hold a byte above 127, kept
// up to kMaxBytes; values of plain ASCII are only counted.
class CodePageSample {
 public:
  static constexpr std::size_t kMaxBytes = std::size_t{1} << 20;

  // Adds one value (a field's bytes); ignored once the sample is full.
  void add(std::string_view value);
  bool full() const { return text_.size() >= kMaxBytes; }
  // The bytes above 127 kept so far.
  std::size_t highBytes() const { return high_; }
  // The kept values, each followed by a line feed.
  const std::string& text() const { return text_; }

 private:
  std::string text_;
  std::size_t high_ = 0;
};

// Whether a memo value is a file kept as text (a picture, a document)
// rather than text: it begins with a file's signature, or holds a NUL byte,
// or control characters as text does not. Its bytes tell nothing of a code
// page.
bool looksBinary(std::string_view value);

// One candidate: its name as codePageName() gives it and how sure the
// guesser is that the text reads right in it, from 0 to 1.
struct CodePageScore {
  std::string name;
  double sure = 0;
};

// The candidates best first, one for each reading of the text: a page that
// reads the text exactly as one before it does is left out. Empty when the
// text holds no byte above 127.
std::vector<CodePageScore> guessCodePage(std::string_view text);

// Whether a second, wider sample could change `ranking`: the best is not
// clearly ahead, or there was little to read.
bool guessUnsettled(const std::vector<CodePageScore>& ranking, std::size_t highBytes);

// A code page as a person names it: "866" for "CP866", other names as they
// are ("koi8-r", "UTF-8").
std::string shownCodePage(const std::string& name);

}  // namespace rt
