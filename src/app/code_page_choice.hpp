// --encoding=guess: the code page a table's own text is written in, chosen
// from a sample of its records, and the line that tells the user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rt/code_page_guess.hpp"

namespace db {
class Table;
}

namespace app {

// The text `table` gives the guesser: its character and memo fields
// (binary ones left out) in `runs` stretches of `perRun` records spread
// evenly over the table, every record when that is as many. Leaves the
// table anywhere: the caller goes back to the top.
rt::CodePageSample sampleTable(db::Table& table, std::uint32_t runs, std::uint32_t perRun);

// What the guess chose: the code page (as codePageName() gives it) and the
// ranking behind it, empty when the text was plain ASCII. `asDeclared`: no
// page read the text surely enough, and the declared one was taken.
struct CodePageChoice {
  std::string codePage;
  std::vector<rt::CodePageScore> ranking;
  bool asDeclared = false;
};

// How sure the best page must be to win over the one the table declares:
// below it, less than half of the text reads as words in any page.
inline constexpr double kSureEnough = 0.5;

// Guesses from a small sample, then from a wider one when the first leaves
// the choice open. Plain ASCII text, or text no page reads as sure as
// kSureEnough, takes `declared` (a code page as a table or .CPG file names
// it) when this system converts it; ASCII text of a table that declares
// none takes 437. Only a page this system converts is chosen.
CodePageChoice guessTableCodePage(db::Table& table, const std::string& declared);

// The line for standard error: "ORDERS.DBF reads as code page 866 (sure:
// 0.97; next 1251: 0.12; declared: none)", or for a weak guess "ORDERS.DBF
// reads as no code page for sure (best 1258: 0.10): code page 1252 as
// declared".
std::string choiceLine(const std::string& cName, const CodePageChoice& choice, const std::string& declared);

}  // namespace app
