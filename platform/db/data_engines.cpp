#include "platform/db/data_engines.hpp"

#include <optional>
#include <vector>

#include "platform/db/db_errors.hpp"
#include "platform/db/dbf_table.hpp"
#include "platform/rt/paths.hpp"

namespace db {

namespace {

const char* const kOpen = "DBUSEAREA";

struct MemoCandidate {
  const char* extension;
  MemoLayout layout;
};

// What sets one family's engine apart from the other's.
struct Family {
  bool (*accepts)(std::uint8_t version);
  bool readsFpt;  // the dBase family knows only the DBT
};

// Everything an open attempt has gathered so far.
struct Opening {
  std::string path;  // resolved
  rt::OsFile file;
  TableHeader header;
  std::unique_ptr<MemoFile> memo;
};

std::optional<TableError> openFile(const std::string& name, bool shared, Opening& o) {
  o.path = rt::resolvePath(name);
  if (Status s = o.file.open(o.path); !s.isOk()) {
    if (s.code() == StatusCode::NotFound) {
      return TableError(rt::Condition::TableNotFound, name, kOpen, name).withOsCode(s.osCode());
    }
    // Windows refuses the opening itself when another program holds the table.
    if (s.code() == StatusCode::Locked) return TableError(rt::Condition::TableShared, o.path, kOpen, o.path);
    return TableError(rt::Condition::FileOpen, name, kOpen, name).from(s);
  }
  if (Status s = o.file.lock(shared); !s.isOk()) {
    if (s.code() == StatusCode::Locked) return TableError(rt::Condition::TableShared, o.path, kOpen, o.path);
    return TableError(rt::Condition::FileOpen, o.path, kOpen, o.path).from(s);
  }
  return std::nullopt;
}

std::optional<TableError> readHeader(const Family& family, Opening& o) {
  const std::uint64_t size = o.file.size();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::min<std::uint64_t>(size, kMaxHeaderBytes)));
  std::size_t got = 0;
  if (Status s = o.file.readAt(0, bytes.data(), bytes.size(), got); !s.isOk()) {
    return TableError(rt::Condition::FileRead, o.path, kOpen, o.path).from(s);
  }
  if (got > 0 && !family.accepts(bytes[0])) {
    return TableError(rt::Condition::TableVersion, o.path, kOpen, o.path, hexByte(bytes[0]));
  }
  if (Status s = parseHeader(bytes.data(), got, size, o.header); !s.isOk()) {
    return TableError(rt::Condition::HeaderDamaged, o.path, kOpen, o.path + ": " + s.message());
  }
  return std::nullopt;
}

bool needsMemo(const TableHeader& h) {
  for (const FieldDesc& f : h.fields)
    if (!f.system && fieldKind(f, h.version) == FieldKind::Memo) return true;
  return false;
}

// The memo files to look for beside the table, in the order they are tried.
std::vector<MemoCandidate> memoCandidates(const Family& family, std::uint8_t version) {
  const MemoCandidate dbt{".DBT", MemoLayout::Dbt}, fpt{".FPT", MemoLayout::Fpt};
  if (!family.readsFpt) return {dbt};
  if (prefersFpt(version)) return {fpt, dbt};
  return {dbt, fpt};
}

// The path without the file name's extension.
std::string stemOf(const std::string& path) {
  const std::size_t nameStart = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= nameStart) return path;
  return path.substr(0, dot);
}

std::optional<TableError> openMemo(const Family& family, Opening& o) {
  if (!needsMemo(o.header)) return std::nullopt;
  const std::vector<MemoCandidate> candidates = memoCandidates(family, o.header.version);
  const std::string stem = stemOf(o.path);
  // dBase III memo files have 512-byte blocks whatever their header holds.
  const bool fixedBlocks = o.header.version == 0x83 || o.header.version == 0x03;
  for (const MemoCandidate& c : candidates) {
    const std::string memoPath = rt::resolvePath(stem + c.extension);
    auto memo = std::make_unique<MemoFile>();
    Status s = memo->open(memoPath, c.layout, fixedBlocks);
    if (s.isOk()) {
      o.memo = std::move(memo);
      return std::nullopt;
    }
    if (s.code() == StatusCode::NotFound) continue;
    // A failure the system reported, not one of the memo file's bytes.
    if (s.osCode() != 0) return TableError(rt::Condition::FileOpen, o.path, kOpen, memoPath).from(s);
    return TableError(rt::Condition::HeaderDamaged, o.path, kOpen,
                      o.path + ": its memo file " + memoPath + ": " + s.message());
  }
  return TableError(rt::Condition::MemoNotFound, o.path, kOpen, stem + candidates.front().extension)
      .withOsCode(rt::dos::FileNotFound);
}

class DbfDataEngine final : public DataEngine {
 public:
  explicit DbfDataEngine(Family family) : family_(family) {}

  std::unique_ptr<Table> open(const std::string& path, bool shared) override {
    for (;;) {
      Opening o;
      std::optional<TableError> failure = openFile(path, shared, o);
      if (!failure) failure = readHeader(family_, o);
      if (!failure) failure = openMemo(family_, o);
      if (!failure) {
        return std::make_unique<DbfTable>(std::move(o.path), std::move(o.file),
                                          std::move(o.header), std::move(o.memo));
      }
      // The attempt's files close (and its lock goes) before the block runs.
      o = Opening{};
      if (!raiseAndRetry(*failure)) return nullptr;
    }
  }

 private:
  Family family_;
};

class StructureEngine final : public DataEngine {
 public:
  explicit StructureEngine(std::string name) : name_(std::move(name)) {}

  std::unique_ptr<Table> open(const std::string& path, bool /*shared*/) override {
    while (raiseAndRetry(TableError(rt::Condition::DriverNoStructure, path, kOpen, name_, path))) {
    }
    return nullptr;
  }

 private:
  std::string name_;
};

}  // namespace

bool dbaseAccepts(std::uint8_t v) {
  switch (v) {
    case 0x02: case 0x03: case 0x04: case 0x05: case 0x43: case 0x63: case 0x7B:
    case 0x83: case 0x8B: case 0x8C: case 0x8E: case 0xCB:
      return true;
    default:
      return false;
  }
}

bool foxAccepts(std::uint8_t v) {
  switch (v) {
    case 0x03: case 0x83: case 0x30: case 0x31: case 0x32: case 0xF5: case 0xFB:
      return true;
    default:
      return false;
  }
}

std::shared_ptr<DataEngine> makeDbaseEngine() {
  return std::make_shared<DbfDataEngine>(Family{dbaseAccepts, false});
}

std::shared_ptr<DataEngine> makeFoxEngine() {
  return std::make_shared<DbfDataEngine>(Family{foxAccepts, true});
}

std::shared_ptr<DataEngine> makeStructureEngine(std::string name) {
  return std::make_shared<StructureEngine>(std::move(name));
}

}  // namespace db
