// The error conditions the platform raises, each with its generic code,
// subsystem, sub-code, description and what the error block may answer,
// plus the helpers that turn a condition into an error object and translate
// operating-system error numbers.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/rt/error_block.hpp"
#include "platform/rt/status.hpp"

namespace rt {

// Generic codes. They follow the classic xBase numbering where one fits; the
// three codes the standard error handler settles silently belong to the
// conditions it treats that way.
namespace gen {
inline constexpr int Argument = 1;       // an argument of the wrong type or value
inline constexpr int Bound = 2;          // an array index out of range
inline constexpr int ZeroResult = 11;    // a result that may be taken as 0
inline constexpr int NoAlias = 15;       // no work area has the alias
inline constexpr int BadAlias = 17;      // the text is no valid alias
inline constexpr int AliasInUse = 18;    // another work area has the alias
inline constexpr int Create = 20;        // a file cannot be created
inline constexpr int Open = 21;          // a file cannot be opened
inline constexpr int Close = 22;         // a file cannot be closed
inline constexpr int Read = 23;          // the operating system refused a read
inline constexpr int Write = 24;         // the operating system refused a write
inline constexpr int Unsupported = 30;   // the driver cannot do this at all
inline constexpr int Corruption = 32;    // the bytes of a table or memo file are damaged
inline constexpr int DataType = 33;      // a value or field of a type that does not fit
inline constexpr int NoTable = 35;       // the work area holds no table
inline constexpr int ReadOnly = 39;      // a write to a table opened for reading
inline constexpr int SharingViolation = 71;  // with osCode 32: another process holds the file
inline constexpr int QuietDefault = 78;  // an error that may be defaulted silently
}  // namespace gen

// The operating-system code of a sharing violation (another process holds
// the file), in the numbering osCode uses.
inline constexpr int kOsSharingViolation = dos::SharingViolation;

enum class Condition {
  ArgumentError,
  BoundError,
  ZeroDivide,
  NoAlias,
  BadAlias,
  AliasInUse,
  FileCreate,
  FileOpen,
  FileClose,
  FileRead,
  FileWrite,
  TableNotFound,
  TableVersion,
  MemoNotFound,
  TableShared,
  LockRefused,
  HeaderDamaged,
  FieldDamaged,
  RecordBeyondEnd,
  MemoOutOfRange,
  MemoLoop,
  MemoDamaged,
  DriverUnknown,
  DriverNoStructure,
  AreaNotInUse,
  TableReadOnly,
};

// One row of the table of conditions (see error_codes.cpp).
struct ConditionInfo {
  Condition condition;
  int genCode;
  const char* subSystem;
  int subCode;
  const char* description;  // "%1", "%2", ... are filled from the details
  bool canRetry;
  bool canDefault;
  bool canSubstitute;
  int osCode;               // a fixed osCode for the condition, 0 when it comes from the failure
  const char* byDefault;    // what the failed operation does when the block answers false
};

// The row of `condition`.
const ConditionInfo& conditionInfo(Condition condition);

// An error object for `condition`, its description filled with `details`
// ("%1" the first, "%2" the second; a missing detail leaves "").
// `osCode` is in the numbering of status.hpp (rt::dos); a
// condition with a fixed osCode keeps its own.
ErrorPtr makeError(Condition condition, std::string_view fileName = {},
                   std::string_view operation = {}, int osCode = 0, Value args = Value(),
                   std::initializer_list<std::string_view> details = {});

}  // namespace rt
