// A fresh temporary directory that is the current directory for the
// lifetime of the object, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.hpp"

namespace app_test {

class ScratchDir {
 public:
  ScratchDir() { dir_.enter(); }

  std::filesystem::path path() const { return dir_.path(); }

  // Writes `bytes` to the file `name` of the directory.
  void write(const std::string& name, const std::string& bytes) const { dir_.write(name, bytes); }

 private:
  rt_test::TempDir dir_;
};

}  // namespace app_test
