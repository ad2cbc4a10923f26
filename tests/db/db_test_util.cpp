#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/settings_test_helper.hpp"
#include "tests/db/db_test_util.hpp"

#include <fstream>
#include <sstream>

#include "platform/db/workarea.hpp"
#include "platform/rt/settings.hpp"
#include "tests/support/temp_dir.hpp"

namespace db_test {

void closeAllAndResetSettings() {
  db::closeAll();
  rt::resetSettings();
}

TempDir::TempDir() : path_(rt_test::makeTempDirectory("dbf2csv-db")) {}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

AnsweringBlock::AnsweringBlock(std::vector<rt::Value> answers)
    : answers_(answers.begin(), answers.end()),
      guard_([this](const rt::ErrorPtr& e) {
        errors_.push_back(e);
        rt::Value answer = answers_.front();
        if (answers_.size() > 1) answers_.pop_front();
        return answer;
      }) {}

std::vector<std::string> AnsweringBlock::descriptions() const {
  std::vector<std::string> out;
  for (const rt::ErrorPtr& e : errors_) out.push_back(e->description);
  return out;
}

std::optional<std::string> caught(const std::function<void()>& body) {
  std::optional<std::string> message;
  rt::ErrorBlockGuard guard(rt::breakBlock());
  rt::sequence(body, [&](const rt::Value& v) {
    const auto error = std::dynamic_pointer_cast<rt::ErrorObject>(v.object());
    message = error ? error->description : std::string("?");
  });
  return message;
}

std::optional<std::string> openUnder(const std::string& driver, const std::string& path,
                                     bool shared) {
  return caught([&] { db::dbUseArea(true, driver, path, "T", shared); });
}

std::string exported(const rt::Value& v) {
  std::string out;
  switch (v.type()) {
    case 'D': out = v.date().dtos(); break;
    case 'L': out = v.logical() ? "T" : "F"; break;
    case 'N': out = v.number().text; break;
    case 'C':
    case 'M':
      for (unsigned char c : v.text()) {
        out += static_cast<char>(c == 13 || c == 141 ? 191 : c == 10 ? 192 : c == 34 ? 193 : c);
      }
      break;
    default: out = "?" + std::string(1, v.type()); break;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string exportCurrentArea(bool names) {
  std::string out;
  auto line = [&out](const auto& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) out += (i ? ",\"" : "\"") + cells[i] + "\"";
    out += "\r\n";
  };
  std::vector<std::string> cells;
  if (names) {
    for (int i = 1; i <= db::fCount(); ++i) cells.push_back(db::fieldName(i));
    line(cells);
  }
  for (db::dbGoTop(); !db::eof(); db::dbSkip()) {
    cells.clear();
    for (int i = 1; i <= db::fCount(); ++i) cells.push_back(exported(db::fieldGet(i)));
    line(cells);
  }
  return out;
}

}  // namespace db_test
