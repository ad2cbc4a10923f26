// The statistics the code page guesser reads text by, made from Debian's
// spelling dictionaries and the system's converter by
// scripts/make_guess_tables.py (code_page_guess_tables.cpp). Internal to
// platform/rt (code_page_guess.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace rt::guess_tables {

// What a byte of a code page reads as.
enum ByteKind : std::uint8_t {
  Lower,     // a lower-case letter
  Upper,     // an upper-case letter
  Caseless,  // a letter or mark of a script without case
  Sign,      // punctuation, a digit, a currency or other sign: ends a word
  Strange,   // box drawing, a control character, a byte the page leaves undefined
  Shaped,    // a letter in one of its joined forms (Arabic presentation forms)
  Inner,     // a sign that stands inside words: an apostrophe, Catalan's middle dot
};

// One byte of a single-byte code page: the letter it counts as (lower case,
// presentation forms as their plain letter), or the character itself when
// it is no letter (U+FFFD where the page leaves it undefined), and its kind.
struct PageByte {
  char32_t letter;
  std::uint8_t kind;
};

// A candidate single-byte code page: its name as codePageName() gives it,
// and its bytes 128-255.
struct GuessPage {
  const char* name;
  PageByte high[128];
};

// A language's letter pairs in its words. `alphabet` holds its `size`
// letters in ascending order; `costs` is a (size + 1) x (size + 1) table,
// row the first letter and column the second, index 0 the start or end of
// a word, each entry -log2 of the pair's share in quarters of a bit;
// `unseen` is the entry of a pair the dictionary never showed. Bit i of
// `pages` is set when kGuessPages[i] has the letters of the language: a
// page is read only as the languages it can write.
struct LanguageModel {
  const char* name;
  const char32_t* alphabet;
  std::uint16_t size;
  const std::uint8_t* costs;
  std::uint8_t unseen;
  std::uint64_t pages;
};

extern const GuessPage kGuessPages[];
extern const std::size_t kGuessPageCount;
extern const LanguageModel kLanguages[];
extern const std::size_t kLanguageCount;

}  // namespace rt::guess_tables
