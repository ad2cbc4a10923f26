// The fixture of the locking tests: every engine loaded and a table of one
// record, LOCK.DBF, in a temporary directory.
#pragma once

#include <string>

#include "tests/db/db_test_util.hpp"
#include "tests/support/dbf_writer.hpp"

namespace db_test {

class Locking : public WithDrivers<> {
 protected:
  void SetUp() override {
    WithDrivers::SetUp();
    path_ = dir_.file("LOCK.DBF");
    test_support::TableShape shape;
    shape.fields = {{"A", 'C', 1}};
    test_support::DbfWriter(path_, shape).append({"x"});
  }

  TempDir dir_;
  std::string path_;
};

}  // namespace db_test
