// The error message and the line splitter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rt/error_block.hpp"
#include "src/errors/errors.hpp"
#include "src/errors/message.hpp"

namespace {

using errors::MessageMembers;
using rt::Value;

MessageMembers members() {
  return MessageMembers{Value(2),          Value("DBFNTX"), Value(1012), Value("Corruption detected"),
                        Value("ORDERS.DBF"), Value("DBSKIP"), Value(1),    Value()};
}

struct PieceCase {
  const char* name;
  void (*change)(MessageMembers&);
  const char* expected;
};

const PieceCase kPieceCases[] = {
    {"all pieces", [](MessageMembers&) {},
     "Error DBFNTX/1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"severity 3 is an error", [](MessageMembers& m) { m.severity = 3; },
     "Error DBFNTX/1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"severity 1 is a warning", [](MessageMembers& m) { m.severity = 1; },
     "Warning DBFNTX/1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"severity 0 is a warning", [](MessageMembers& m) { m.severity = 0; },
     "Warning DBFNTX/1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"severity NIL is a warning", [](MessageMembers& m) { m.severity = Value(); },
     "Warning DBFNTX/1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"NIL subsystem and sub-code",
     [](MessageMembers& m) {
       m.subSystem = Value();
       m.subCode = Value();
     },
     "Error ????" "/????;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"sub-code as text", [](MessageMembers& m) { m.subCode = "1012"; },
     "Error DBFNTX/????;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"subsystem as number", [](MessageMembers& m) { m.subSystem = 7; },
     "Error ????" "/1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"empty subsystem stays a text", [](MessageMembers& m) { m.subSystem = ""; },
     "Error /1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 1"},
    {"empty description keeps its label", [](MessageMembers& m) { m.description = ""; },
     "Error DBFNTX/1012;Description : ;File : ORDERS.DBF;Operation : DBSKIP;Thread ID : 1"},
    {"NIL description has no line", [](MessageMembers& m) { m.description = Value(); },
     "Error DBFNTX/1012;File : ORDERS.DBF;Operation : DBSKIP;Thread ID : 1"},
    {"numeric description has no line", [](MessageMembers& m) { m.description = 5; },
     "Error DBFNTX/1012;File : ORDERS.DBF;Operation : DBSKIP;Thread ID : 1"},
    {"empty file and operation",
     [](MessageMembers& m) {
       m.fileName = "";
       m.operation = "";
     },
     "Error DBFNTX/1012;Description : Corruption detected;Thread ID : 1"},
    {"NIL file and blank operation",
     [](MessageMembers& m) {
       m.fileName = Value();
       m.operation = "   ";
     },
     "Error DBFNTX/1012;Description : Corruption detected;Thread ID : 1"},
    {"other thread", [](MessageMembers& m) { m.thread = 14; },
     "Error DBFNTX/1012;Description : Corruption detected;File : ORDERS.DBF;Operation : DBSKIP;"
     "Thread ID : 14"},
};

TEST(ErrorMessage, EachPieceUnderItsOwnCondition) {
  for (const PieceCase& c : kPieceCases) {
    MessageMembers m = members();
    c.change(m);
    EXPECT_EQ(errors::errorMessage(m), c.expected) << c.name;
  }
}

struct CargoCase {
  const char* name;
  Value cargo;
  const char* expectedTail;  // what follows "Thread ID : 1"
};

TEST(ErrorMessage, OnlyThreeElementCargoAddsItsTexts) {
  const std::string longText =
      "ORA-00942: table or view does not exist while reading the customer ledger";
  const CargoCase cases[] = {
      {"NIL", Value(), ""},
      {"a text", Value("session lost"), ""},
      {"two elements", Value(rt::Array{Value("a"), Value("b")}), ""},
      {"four elements", Value(rt::Array{Value("a"), Value(1), Value("b"), Value("c")}), ""},
      {"first element NIL", Value(rt::Array{Value(), Value(942), Value("table missing")}),
       ";table missing"},
      {"first element numeric", Value(rt::Array{Value(3), Value(942), Value("table missing")}),
       ";table missing"},
      {"first element a text", Value(rt::Array{Value("while exporting"), Value(942), Value("table missing")}),
       ";while exporting;table missing"},
      {"long text wrapped at 50", Value(rt::Array{Value(), Value(942), Value(longText)}),
       ";ORA-00942: table or view does not exist while;reading the customer ledger"},
  };
  for (const CargoCase& c : cases) {
    MessageMembers m = members();
    m.fileName = Value();
    m.operation = Value();
    m.cargo = c.cargo;
    EXPECT_EQ(errors::errorMessage(m),
              std::string("Error DBFNTX/1012;Description : Corruption detected;Thread ID : 1") +
                  c.expectedTail)
        << c.name;
  }
}

TEST(ErrorMessage, ReadsTheErrorObjectAndLeavesItAsItWas) {
  rt::ErrorObject e;
  e.severity = 1;
  e.subSystem = "BASE";
  e.subCode = 1340;
  e.description = "Divide by zero";
  e.thread = 3;
  e.cargo = Value(rt::Array{Value("first"), Value(5), Value("last")});
  EXPECT_EQ(errors::errorMessage(e),
            "Warning BASE/1340;Description : Divide by zero;Thread ID : 3;first;last");
  EXPECT_EQ(e.cargo.array().size(), 3u);
  EXPECT_EQ(e.cargo.array()[0].text(), "first");
}

TEST(LineSplit, WrapsJoinsAndTrims) {
  struct Case {
    const char* name;
    std::string text;
    const char* expected;
  } cases[] = {
      {"empty", "", ""},
      {"short, trailing blanks removed", "Table is locked   ", "Table is locked"},
      {"exactly the width", std::string(50, 'x'), "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
      {"long", "The connection to the database server was lost while the export was reading records",
       "The connection to the database server was lost;while the export was reading records"},
      {"line breaks end lines", "first line\r\nsecond line", "first line;second line"},
      {"blank line stays empty", "above\r\n\r\nbelow", "above;;below"},
      {"trailing line break", "only line\r\n", "only line"},
  };
  for (const Case& c : cases) EXPECT_EQ(errors::lineSplit(c.text, 50), c.expected) << c.name;
}

TEST(LineSplit, NoLineLongerThanTheWidth) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "word" + std::string(static_cast<size_t>(i % 9), 'x') + std::to_string(i) + " ";
  std::string result = errors::lineSplit(text, 20);
  ASSERT_FALSE(result.empty());
  EXPECT_NE(result.back(), ';');
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = result.find(';', start)) != std::string::npos; start = end + 1)
    lines.push_back(result.substr(start, end - start));
  lines.push_back(result.substr(start));
  EXPECT_GT(lines.size(), 5u);
  std::string rejoined;
  for (const std::string& line : lines) {
    EXPECT_LE(line.size(), 20u) << line;
    EXPECT_FALSE(line.empty());
    EXPECT_NE(line.back(), ' ') << line;
    rejoined += line + " ";
  }
  // Every word is kept, in order.
  for (int i = 0, pos = 0; i < 40; ++i) {
    std::string word = "word" + std::string(static_cast<size_t>(i % 9), 'x') + std::to_string(i) + " ";
    size_t found = rejoined.find(word, static_cast<size_t>(pos));
    ASSERT_NE(found, std::string::npos) << i;
    pos = static_cast<int>(found) + 1;
  }
}

}  // namespace
