// The one display form of values, used by VAR2CHAR and by the line output
// (QOUT, QQOUT): texts as they are; numbers as STR without leading blanks;
// dates in the date format in force; logicals .T. and .F.; NIL as NIL;
// arrays as {a, b, c} with their elements in this same form (nested deeper
// than 8 levels, or into themselves, as {...}); objects by their class name;
// code blocks as {||...}.
#pragma once

#include <string>

#include "platform/rt/value.hpp"

namespace rt {

// VALTYPE: the type letter as a one-character text.
std::string valType(const Value& v);

// EMPTY: true for NIL, a text of blanks only (spaces, tabs, CR, LF), 0, the
// empty date, false and an array without elements; objects and code blocks
// are never empty.
bool empty(const Value& v);

// VAR2CHAR: the display form of `v`.
std::string var2Char(const Value& v);
// Appends the display form of `v` to `out`.
void appendDisplay(std::string& out, const Value& v);

}  // namespace rt
