// The result of a byte-level check or read: ok, or a readable sentence that
// says what is wrong. The engine turns a failed status into a runtime error.
#pragma once

#include <string>
#include <utility>

namespace db {

class [[nodiscard]] Status {
 public:
  static Status ok() { return Status(); }
  static Status fail(std::string message) { return Status(std::move(message)); }

  bool isOk() const { return !failed_; }
  // The sentence, without the table's name (the caller adds it); "" when ok.
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}

  bool failed_ = false;
  std::string message_;
};

}  // namespace db
