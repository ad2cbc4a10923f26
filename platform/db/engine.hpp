// Database engines and drivers: the registry behind DBELOAD, DBEBUILD,
// DBESETDEFAULT and DBEINFO, and the seam through which data engines open
// tables.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/db/record_view.hpp"
#include "platform/rt/value.hpp"

namespace db {

// One open table as a data engine presents it: records in natural order,
// fields numbered from 1. Failures raise runtime errors through rt::raise.
class Table {
 public:
  virtual ~Table() = default;
  virtual std::uint32_t lastRec() const = 0;  // deleted records included
  virtual int fieldCount() const = 0;
  virtual const std::string& fieldName(int pos) const = 0;
  virtual void goTop() = 0;                   // first visible record
  virtual void skip() = 0;                    // next visible record
  virtual bool eof() const = 0;
  virtual std::uint32_t recNo() const = 0;
  // Whether the current record is marked deleted (DELETED()).
  virtual bool deleted() const { return false; }
  virtual rt::Value fieldGet(int pos) = 0;
  virtual void commit() {}
  virtual void rollback() {}
  // The current record as stored, valid until the next move; nullopt when
  // the engine keeps no record bytes.
  virtual std::optional<RecordView> recordView() const { return std::nullopt; }
  // Moves to record `n`, deleted or not, for a reader that samples the
  // table; false, at end of file, when the file does not hold it (no error
  // is raised: the run that reads every record reports it).
  virtual bool goTo(std::uint32_t) { return false; }
  // The code page the table's header declares (a number such as "866", or
  // a converter's name); "" when it declares none.
  virtual std::string declaredCodePage() const { return ""; }
  // Whether field `pos` of the current record is marked null (Visual
  // FoxPro's _NullFlags); fieldGet() then gives an empty value.
  virtual bool isNull(int /*pos*/) const { return false; }
  // The stored bytes of the memo that field `pos` of the current record
  // points to, into `out` (empty when it points nowhere), for a reader that
  // takes text as stored: no value is built and `out` keeps its room from
  // memo to memo. False when the pointer or the memo is damaged or the
  // engine has no such field: fieldGet() then reads it and reports why.
  virtual bool memoBytes(int /*pos*/, std::string& /*out*/) { return false; }
};

// A data engine opens a file as a table or raises a runtime error that says
// why it cannot (unknown version, memo file missing, header damaged, ...).
class DataEngine {
 public:
  virtual ~DataEngine() = default;
  // The open table; nullptr when the error block answered anything but a
  // retry to the error raised (the open failed, nothing stays open).
  virtual std::unique_ptr<Table> open(const std::string& path, bool shared) = 0;
};

// DBELOAD: loads the engine of that name; false when it is unknown or not
// available.
bool dbeLoad(const std::string& engine, bool hidden);
// DBEBUILD: builds a composite driver of a loaded data and order engine.
bool dbeBuild(const std::string& driver, const std::string& dataEngine,
              const std::string& orderEngine);
// DBESETDEFAULT: makes a driver the default; returns the previous default.
// A name that is no driver leaves the default as it is.
std::string dbeSetDefault(const std::string& driver);
std::string dbeDefault();
// DBEINFO: accepts any component, item and value; returns the previous value.
rt::Value dbeInfo(int component, int item, const rt::Value& value);
// Whether `driver` is a loaded visible engine or a built composite.
bool driverExists(const std::string& driver);
// The data engine that opens tables under `driver` (a composite's data
// engine, or a loaded visible engine); nullptr when no such driver exists.
std::shared_ptr<DataEngine> dataEngineFor(const std::string& driver);

}  // namespace db
