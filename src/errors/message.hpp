// The message text of a runtime error, ";" marking its line breaks.
#pragma once

#include <string>

#include "platform/rt/error_block.hpp"
#include "platform/rt/value.hpp"

namespace errors {

// The members the message reads, as the dynamic values they are to the
// message: each may be NIL or of a type the message does not expect, and
// each piece of the message tests its member in its own way.
struct MessageMembers {
  rt::Value severity, subSystem, subCode, description, fileName, operation, thread, cargo;
};

// The members of `error` as the message reads them.
MessageMembers messageMembers(const rt::ErrorObject& error);

// ERRORMESSAGE: kind, subsystem and sub-code on the first line, then the
// description, file, operation, thread and the texts of a three-element
// cargo, each on lines of its own. Never fails; changes nothing.
std::string errorMessage(const MessageMembers& members);
std::string errorMessage(const rt::ErrorObject& error);

}  // namespace errors
