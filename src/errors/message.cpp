#include "src/errors/message.hpp"

#include "platform/rt/strings.hpp"
#include "src/errors/errors.hpp"

namespace errors {

namespace {

// Cargo texts are wrapped to this width before they join the message.
constexpr int kCargoWidth = 50;

// A number in decimal without leading blanks; "????" for a value that is no
// number, so that a missing code still leaves a visible mark.
std::string decimalOr(const rt::Value& v, const char* missing) {
  return v.isNumber() ? rt::lTrim(rt::str(v.number())) : std::string(missing);
}

// The cargo lines: element 1 when it is a text, then element 3, each
// wrapped; only a cargo of exactly three elements carries them.
void appendCargo(std::string& message, const rt::Value& cargo) {
  if (!cargo.isArray() || cargo.array().size() != 3) return;
  const rt::Value& first = cargo.array()[0];
  const rt::Value& last = cargo.array()[2];
  if (first.isString()) message += ";" + lineSplit(first.text(), kCargoWidth);
  // The handler always puts a text here; anything else shows as its text.
  message += ";" + lineSplit(last.isText() ? last.text() : rt::var2Char(last), kCargoWidth);
}

}  // namespace

MessageMembers messageMembers(const rt::ErrorObject& error) {
  return MessageMembers{error.severity, error.subSystem, error.subCode,  error.description,
                        error.fileName, error.operation, error.thread, error.cargo};
}

std::string errorMessage(const MessageMembers& m) {
  bool isError = m.severity.isNumber() && m.severity.num() > 1;
  std::string message = isError ? "Error " : "Warning ";
  message += m.subSystem.isString() ? m.subSystem.text() : std::string("????");
  message += "/" + decimalOr(m.subCode, "????");
  if (m.description.isString()) message += ";Description : " + m.description.text();
  if (!rt::empty(m.fileName)) message += ";File : " + rt::var2Char(m.fileName);
  if (!rt::empty(m.operation)) message += ";Operation : " + rt::var2Char(m.operation);
  message += ";Thread ID : " + decimalOr(m.thread, "????");
  appendCargo(message, m.cargo);
  return message;
}

std::string errorMessage(const rt::ErrorObject& error) {
  return errorMessage(messageMembers(error));
}

std::string lineSplit(const std::string& text, int width) {
  std::string result;
  int count = rt::mlCount(text, width);
  for (int line = 1; line <= count; ++line) {
    result += rt::trim(rt::memoLine(text, width, line));
    result += ';';
  }
  if (!result.empty() && result.back() == ';') result.pop_back();
  return result;
}

}  // namespace errors
