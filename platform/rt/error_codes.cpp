#include "platform/rt/error_codes.hpp"

namespace rt {

namespace {

using C = Condition;

// The table of conditions. Columns: condition, generic code, subsystem,
// sub-code, description, canRetry, canDefault, canSubstitute, fixed osCode,
// and what a defaultable operation does when the block answers false.
//
// Retry is offered where the cause can go away while the program waits: a
// file another program holds, a file that can be put back, a disk that can
// be freed. It is not offered for damaged bytes: reading them again gives the
// same damage. A default is offered only where carrying on leaves a clear,
// visible result rather than invented data.
constexpr ConditionInfo kConditions[] = {
    // Values and arrays.
    {C::ArgumentError, gen::Argument, "BASE", 1001, "Argument error: %1",
     false, false, true, 0, "a numeric answer stands in for the result; otherwise the result is empty"},
    {C::BoundError, gen::Bound, "BASE", 1002, "Array index %1 out of bounds",
     false, false, false, 0, nullptr},
    {C::ZeroDivide, gen::ZeroResult, "BASE", 1005, "Division by zero",
     false, false, true, 0, "the result is 0"},

    // Work areas and aliases.
    {C::NoAlias, gen::NoAlias, "DBCMD", 2001, "Alias %1 does not exist",
     false, false, false, 0, nullptr},
    {C::BadAlias, gen::BadAlias, "DBCMD", 2002, "Invalid alias name %1",
     false, false, false, 0, nullptr},
    {C::AliasInUse, gen::AliasInUse, "DBCMD", 2003, "Alias %1 is already in use",
     false, false, false, 0, nullptr},
    {C::AreaNotInUse, gen::NoTable, "DBCMD", 2004, "Work area %1 is not in use",
     false, false, false, 0, nullptr},

    // The file layer.
    {C::FileCreate, gen::Create, "FILE", 3001, "Cannot create file %1",
     true, true, false, 0, "no file is created; output meant for it goes nowhere"},
    {C::FileOpen, gen::Open, "FILE", 3002, "Cannot open file %1",
     true, false, false, 0, nullptr},
    {C::FileClose, gen::Close, "FILE", 3003, "Cannot close file %1",
     false, false, false, 0, nullptr},
    {C::FileRead, gen::Read, "FILE", 3004, "Cannot read file %1",
     true, false, false, 0, nullptr},
    {C::FileWrite, gen::Write, "FILE", 3005, "Cannot write file %1",
     true, false, false, 0, nullptr},

    // Opening a table.
    {C::TableNotFound, gen::Open, "DBF", 4001, "Table %1 not found",
     true, false, false, 0, nullptr},
    {C::TableVersion, gen::Open, "DBF", 4002, "Table %1 has version byte %2, which this driver does not read",
     false, false, false, 0, nullptr},
    {C::MemoNotFound, gen::Open, "DBF", 4003, "Memo file %1 of the table not found",
     true, false, false, 0, nullptr},
    {C::TableShared, gen::SharingViolation, "DBF", 4004, "Table %1 is held by another process",
     true, true, false, kOsSharingViolation, "the table is not opened; no work area is used"},
    {C::LockRefused, gen::QuietDefault, "DBF", 4005, "Lock on %1 refused: another process holds it",
     true, true, false, 0, "the lock is not taken and the locking call reports false"},
    {C::HeaderDamaged, gen::Corruption, "DBF", 4006, "Table header damaged: %1",
     false, false, false, 0, nullptr},
    {C::FieldDamaged, gen::DataType, "DBF", 4007, "Field %1 damaged: %2",
     false, false, false, 0, nullptr},

    // Reading records and memos.
    {C::RecordBeyondEnd, gen::Corruption, "DBF", 4101, "Record %1 lies beyond the end of the file",
     false, true, false, 0, "the table ends before this record"},
    {C::MemoOutOfRange, gen::Corruption, "DBF", 4102, "Memo block %1 of record %2 lies outside the memo file",
     false, true, false, 0, "the memo reads as empty"},
    {C::MemoLoop, gen::Corruption, "DBF", 4103, "Memo chain of record %1 loops at block %2",
     false, true, false, 0, "the memo reads as empty"},
    {C::MemoDamaged, gen::Corruption, "DBF", 4104, "Memo of record %1 damaged: %2",
     false, true, false, 0, "the memo reads as empty"},
    {C::TableReadOnly, gen::ReadOnly, "DBF", 4105, "Table %1 is open for reading only",
     false, true, false, 0, "nothing is written"},

    // Engines and drivers.
    {C::DriverUnknown, gen::Unsupported, "DBE", 5001, "Database driver %1 is not loaded",
     false, false, false, 0, nullptr},
    {C::DriverNoStructure, gen::Unsupported, "DBE", 5002,
     "Database driver %1 needs a structure definition to open %2",
     false, false, false, 0, nullptr},
};

std::string fill(const char* pattern, std::initializer_list<std::string_view> details) {
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
      size_t index = static_cast<size_t>(p[1] - '1');
      if (index < details.size()) out.append(details.begin()[index]);
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

const ConditionInfo& conditionInfo(Condition condition) {
  for (const ConditionInfo& info : kConditions)
    if (info.condition == condition) return info;
  return kConditions[0];  // every condition has a row; kept for the compiler
}

ErrorPtr makeError(Condition condition, std::string_view fileName, std::string_view operation,
                   int osCode, Value args, std::initializer_list<std::string_view> details) {
  const ConditionInfo& info = conditionInfo(condition);
  auto error = std::make_shared<ErrorObject>();
  error->genCode = info.genCode;
  error->osCode = info.osCode != 0 ? info.osCode : osCode;
  error->subSystem = info.subSystem;
  error->subCode = info.subCode;
  error->description = fill(info.description, details);
  error->fileName = std::string(fileName);
  error->operation = std::string(operation);
  error->canRetry = info.canRetry;
  error->canDefault = info.canDefault;
  error->canSubstitute = info.canSubstitute;
  error->args = std::move(args);
  return error;
}

}  // namespace rt
