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
// ranking behind it, empty when the text was plain ASCII.
struct CodePageChoice {
  std::string codePage;
  std::vector<rt::CodePageScore> ranking;
};

// Guesses from a small sample, then from a wider one when the first leaves
// the choice open. Plain ASCII text takes `declared` (a code page as a
// table or .CPG file names it), else 437. Only a page this system converts
// is chosen.
CodePageChoice guessTableCodePage(db::Table& table, const std::string& declared);

// The line for standard error: "ORDERS.DBF reads as code page 866 (sure:
// 0.97; next 1251: 0.12; declared: none)".
std::string choiceLine(const std::string& cName, const CodePageChoice& choice, const std::string& declared);

}  // namespace app
