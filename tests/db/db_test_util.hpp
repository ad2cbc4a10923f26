// Helpers of the database tests: opening a table under a driver with the
// error caught, and the text a value is written as in the export.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rt/error_block.hpp"
#include "platform/rt/value.hpp"
#include "tests/support/test_drivers.hpp"

namespace db_test {

// A fixture with every engine loaded and the four composite drivers built,
// no work area open; closes every area and puts the settings back afterwards.
template <class Base = testing::Test>
class WithDrivers : public Base {
 protected:
  void SetUp() override { test_support::loadAllDrivers(); }
  void TearDown() override;
};
void closeAllAndResetSettings();
template <class Base>
void WithDrivers<Base>::TearDown() {
  closeAllAndResetSettings();
}

// A fresh temporary directory, removed with its content afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The path of `name` inside the directory.
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// An error block for the lifetime of the object that records every error
// and answers with the given values in turn (the last one from then on).
class AnsweringBlock {
 public:
  explicit AnsweringBlock(std::vector<rt::Value> answers);
  const std::vector<rt::ErrorPtr>& errors() const { return errors_; }
  // The descriptions of the errors raised, in order.
  std::vector<std::string> descriptions() const;

 private:
  std::vector<rt::ErrorPtr> errors_;
  std::deque<rt::Value> answers_;
  rt::ErrorBlockGuard guard_;
};

// Opens `path` under `driver` in a new area with the alias "T" while a
// break block is in force. Returns the description of the error that broke
// the open, or nothing when the table opened.
std::optional<std::string> openUnder(const std::string& driver, const std::string& path,
                                     bool shared = true);

// Runs `body` under a break block; the description of the error that broke
// it, or nothing.
std::optional<std::string> caught(const std::function<void()>& body);

// The export's text of a value: dates as DTOS, logicals T/F, numbers as
// their stored text, character and memo bytes with CR, soft CR, LF and
// double quote replaced; trailing blanks removed.
std::string exported(const rt::Value& v);

// The export's lines for the current area: optionally the names, then every
// visible record from the top, each ended by CR LF.
std::string exportCurrentArea(bool names);


}  // namespace db_test
