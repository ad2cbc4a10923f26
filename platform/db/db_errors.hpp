// Runtime errors of the database layer: an error object for a condition of
// the runtime's table, about one table file, handed to the error block.
#pragma once

#include <string>
#include <utility>

#include "platform/rt/error_block.hpp"
#include "platform/rt/error_codes.hpp"
#include "platform/rt/status.hpp"

namespace db {

struct TableError {
  TableError(rt::Condition c, std::string fileName, std::string operationName,
             std::string d1 = {}, std::string d2 = {})
      : condition(c), file(std::move(fileName)), operation(std::move(operationName)),
        detail1(std::move(d1)), detail2(std::move(d2)) {}

  // From the failed status: the error's osCode and, after ": ", its sentence.
  TableError& from(const rt::Status& status) {
    osCode = status.osCode();
    more = status.message();
    return *this;
  }
  // The error's osCode, in the numbering of rt::dos.
  TableError& withOsCode(int code) {
    osCode = code;
    return *this;
  }
  // Says more than the condition's description: appended after ": ".
  TableError& saying(std::string text) {
    more = std::move(text);
    return *this;
  }
  // A read that may succeed later (another program is still writing the
  // file): offered for retry whatever the condition's row says.
  TableError& rereadable() {
    canReread = true;
    return *this;
  }

  rt::Condition condition;
  std::string file;          // the table file the error is about
  std::string operation;     // the operation of the runtime that failed
  std::string detail1, detail2;  // fill the condition's description
  int osCode = 0;
  std::string more;
  bool canReread = false;
};

// The error object for `e`.
rt::ErrorPtr makeTableError(const TableError& e);
// Hands `e` to the error block in force. True when the block asked for a
// retry that the error offers; false for every other answer.
bool raiseAndRetry(const TableError& e);

}  // namespace db
