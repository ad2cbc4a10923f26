// The run's parameters: the field-name option, the names, the update step.
#include <gtest/gtest.h>

#include "src/app/run_parameters.hpp"

namespace {

TEST(FieldLineOption, OffOnlyWhenArgumentTwoBeginsWithN) {
  struct Case {
    std::optional<std::string> flag;
    bool fieldLine;
  };
  const Case cases[] = {
      {std::nullopt, true}, {"N", false}, {"n", false},  {"no", false}, {"Nope", false},
      {"", true},           {"Y", true},  {" N", true},  {"yes", true}, {"0", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::fieldLineOption(c.flag), c.fieldLine) << c.flag.value_or("(absent)");
  }
}

TEST(NormaliseName, UpperCasesAndAddsTheExtensionWhenMissing) {
  struct Case {
    std::string given, normalised;
  };
  const Case cases[] = {
      {"orders", "ORDERS.DBF"},
      {"orders.dbf", "ORDERS.DBF"},
      {"ORDERS.TXT", "ORDERS.TXT.DBF"},
      {"", ".DBF"},
      {"dbf", "DBF.DBF"},
      {"c:\\data\\orders", "C:\\DATA\\ORDERS.DBF"},
      {" orders ", " ORDERS .DBF"},
      {"/tmp/a.dbf/orders.Dbf", "/TMP/A.DBF/ORDERS.DBF"},
      {"\\\\server\\share\\dir\\t", "\\\\SERVER\\SHARE\\DIR\\T.DBF"},
      {"\\\\?\\c:\\dir\\t.dbf", "\\\\?\\C:\\DIR\\T.DBF"},
  };
  for (const auto& c : cases) EXPECT_EQ(app::normaliseName(c.given), c.normalised) << c.given;
}

TEST(OutputName, OnlyTheFinalExtensionBecomesCsv) {
  struct Case {
    std::string table, output;
  };
  const Case cases[] = {
      {"ORDERS.DBF", "ORDERS.CSV"},
      {"C:\\DATA\\ORDERS.DBF", "C:\\DATA\\ORDERS.CSV"},
      {"/TMP/A.DBF/ORDERS.DBF", "/TMP/A.DBF/ORDERS.CSV"},
      {"X.DBF.DBF", "X.DBF.CSV"},
      {".DBF", ".CSV"},
      {"\\\\SERVER\\SHARE\\DIR.DBF\\T.DBF", "\\\\SERVER\\SHARE\\DIR.DBF\\T.CSV"},
      {"\\\\?\\UNC\\SERVER\\SHARE\\T.DBF", "\\\\?\\UNC\\SERVER\\SHARE\\T.CSV"},
      {"\\\\.\\C:\\DIR\\T.DBF", "\\\\.\\C:\\DIR\\T.CSV"},
  };
  for (const auto& c : cases) EXPECT_EQ(app::outputName(c.table), c.output) << c.table;
}


}  // namespace
