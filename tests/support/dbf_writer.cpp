#include "tests/support/dbf_writer.hpp"

#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace test_support {

namespace {

constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

bool isVfp(std::uint8_t v) { return v >= 0x30 && v <= 0x32; }
bool isLevel7(std::uint8_t v) { return v == 0x04 || v == 0x8C; }

void putLe(std::string& s, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putBe(std::string& s, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * (bytes - 1 - i))) & 0xFF);
  }
}

std::string beBytes(std::uint64_t v, int bytes) {
  std::string s(static_cast<std::size_t>(bytes), '\0');
  putBe(s, 0, v, bytes);
  return s;
}

std::FILE* create(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + path);
  return f;
}

void writeAt(std::FILE* f, long offset, const std::string& bytes) {
  std::fseek(f, offset, SEEK_SET);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
}

std::string dbase2Header(const TableShape& shape, std::uint32_t recordLength) {
  std::string h(521, '\0');
  h[0] = 0x02;
  putLe(h, 6, recordLength, 2);
  std::size_t pos = 8;
  for (const FieldSpec& f : shape.fields) {
    h.replace(pos, std::min<std::size_t>(f.name.size(), 10), f.name.substr(0, 10));
    h[pos + 11] = f.type;
    h[pos + 12] = static_cast<char>(f.length);
    h[pos + 15] = static_cast<char>(f.decimals);
    pos += 16;
  }
  if (pos < 520) h[pos] = 0x0D;
  else h[520] = 0x0D;
  return h;
}

std::string descriptor(const FieldSpec& f, bool level7, std::uint32_t offset) {
  std::string d(level7 ? 48 : 32, '\0');
  const std::size_t nameBytes = level7 ? 31 : 10;
  d.replace(0, std::min(f.name.size(), nameBytes), f.name.substr(0, nameBytes));
  if (level7) {
    d[32] = f.type;
    d[33] = static_cast<char>(f.length & 0xFF);
    d[34] = static_cast<char>(f.decimals);
    return d;
  }
  d[11] = f.type;
  putLe(d, 12, offset, 4);
  d[16] = static_cast<char>(f.length & 0xFF);
  // Character fields over 255 bytes keep the high byte of the length in the
  // decimal count.
  d[17] = static_cast<char>(f.type == 'C' && f.length > 255 ? f.length >> 8 : f.decimals);
  d[18] = static_cast<char>(f.flags);
  return d;
}

}  // namespace

DbfWriter::DbfWriter(std::string path, TableShape shape) : path_(std::move(path)), shape_(std::move(shape)) {
  for (const FieldSpec& f : shape_.fields) recordLength_ += static_cast<std::uint32_t>(f.length);
  file_ = create(path_);
  writeHeader();
  if (shape_.memo != MemoLayout::None) openMemo();
  buffer_.reserve(kFlushBytes + recordLength_);
}

DbfWriter::~DbfWriter() {
  if (!finished_) finish();
}

void DbfWriter::writeHeader() {
  const std::uint8_t v = shape_.version;
  std::string h;
  if (v == 0x02) {
    h = dbase2Header(shape_, recordLength_);
  } else {
    const bool level7 = isLevel7(v);
    h.assign(level7 ? 68 : 32, '\0');
    h[0] = static_cast<char>(v);
    h[1] = 124;  // last update 2024-01-01
    h[2] = 1;
    h[3] = 1;
    putLe(h, 10, recordLength_, 2);
    if (isVfp(v)) {
      h[28] = shape_.memo != MemoLayout::None ? 0x02 : 0x00;
      h[29] = 0x03;
    }
    if (level7) h.replace(32, 8, "DBWINUS0");
    std::uint32_t offset = 1;
    for (const FieldSpec& f : shape_.fields) {
      h += descriptor(f, level7, offset);
      offset += static_cast<std::uint32_t>(f.length);
    }
    h += '\x0D';
    if (isVfp(v)) h.append(263, '\0');  // the backlink to a database container
    h.append(static_cast<std::size_t>(shape_.extraHeaderBytes), '\0');
    putLe(h, 8, h.size(), 2);
  }
  headerLength_ = static_cast<std::uint32_t>(h.size());
  std::fwrite(h.data(), 1, h.size(), file_);
}

void DbfWriter::openMemo() {
  const bool fpt = shape_.memo == MemoLayout::Fpt;
  std::uint16_t bs = shape_.memoBlockSize ? shape_.memoBlockSize : (fpt ? 64 : 512);
  if (shape_.memo == MemoLayout::DbtIII) bs = 512;
  shape_.memoBlockSize = bs;
  const std::string ext = !shape_.memoExtension.empty() ? shape_.memoExtension : fpt ? ".FPT" : ".DBT";
  const std::size_t dot = path_.rfind('.');
  memoPath_ = (dot == std::string::npos ? path_ : path_.substr(0, dot)) + ext;
  memoFile_ = create(memoPath_);
  std::string header(512, '\0');
  if (fpt) putBe(header, 6, bs, 2);
  if (shape_.memo == MemoLayout::DbtIV) putLe(header, 20, bs, 2);
  std::fwrite(header.data(), 1, header.size(), memoFile_);
  nextBlock_ = (512 + bs - 1) / bs;
  const std::uint64_t pad = nextBlock_ * bs - 512;
  if (pad) std::fwrite(std::string(pad, '\0').data(), 1, pad, memoFile_);
}

std::string DbfWriter::memo(std::string_view data, int fieldLength) {
  const std::uint64_t block = nextBlock_;
  std::string bytes;
  switch (shape_.memo) {
    case MemoLayout::DbtIII: bytes = std::string(data) + "\x1A\x1A"; break;
    case MemoLayout::DbtIV: {
      bytes = std::string("\xFF\xFF\x08\x00", 4) + std::string(4, '\0') + std::string(data);
      putLe(bytes, 4, data.size() + 8, 4);
      break;
    }
    case MemoLayout::Fpt: bytes = beBytes(1, 4) + beBytes(data.size(), 4) + std::string(data); break;
    case MemoLayout::None: throw std::logic_error("the table has no memo file");
  }
  const std::uint64_t bs = shape_.memoBlockSize;
  const std::uint64_t blocks = (bytes.size() + bs - 1) / bs;
  bytes.resize(blocks * bs, '\0');
  std::fwrite(bytes.data(), 1, bytes.size(), memoFile_);
  nextBlock_ += blocks;
  if (fieldLength == 4) return le32(static_cast<std::int32_t>(block));
  std::string digits = std::to_string(block);
  return std::string(static_cast<std::size_t>(fieldLength) - digits.size(), ' ') + digits;
}

void DbfWriter::append(const std::vector<std::string>& values, bool deleted) {
  std::string record;
  record.reserve(recordLength_);
  for (std::size_t i = 0; i < shape_.fields.size(); ++i) {
    const FieldSpec& f = shape_.fields[i];
    std::string v = i < values.size() ? values[i] : std::string();
    const auto len = static_cast<std::size_t>(f.length);
    if (v.size() > len) v.resize(len);
    if (f.type == 'N' || f.type == 'F') v.insert(0, len - v.size(), ' ');
    else v.append(len - v.size(), ' ');
    record += v;
  }
  appendRaw(record, deleted);
}

void DbfWriter::appendRaw(std::string_view fieldBytes, bool deleted) {
  buffer_ += deleted ? '*' : ' ';
  buffer_.append(fieldBytes.substr(0, recordLength_ - 1));
  buffer_.append(recordLength_ - 1 - std::min<std::size_t>(fieldBytes.size(), recordLength_ - 1), ' ');
  ++records_;
  if (buffer_.size() >= kFlushBytes) flush();
}

void DbfWriter::flush() {
  std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
  buffer_.clear();
}

void DbfWriter::finish() {
  finished_ = true;
  flush();
  if (shape_.endMarker) std::fputc(0x1A, file_);
  std::string count(shape_.version == 0x02 ? 2 : 4, '\0');
  putLe(count, 0, records_, static_cast<int>(count.size()));
  writeAt(file_, shape_.version == 0x02 ? 1 : 4, count);
  std::fclose(file_);
  if (memoFile_) {
    std::string next(4, '\0');
    if (shape_.memo == MemoLayout::Fpt) putBe(next, 0, nextBlock_, 4);
    else putLe(next, 0, nextBlock_, 4);
    writeAt(memoFile_, 0, next);
    std::fclose(memoFile_);
  }
}

std::string le32(std::int32_t v) {
  std::string s(4, '\0');
  putLe(s, 0, static_cast<std::uint32_t>(v), 4);
  return s;
}

std::string le64(std::int64_t v) {
  std::string s(8, '\0');
  putLe(s, 0, static_cast<std::uint64_t>(v), 8);
  return s;
}

std::string leDouble(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  return le64(static_cast<std::int64_t>(bits));
}

std::string vfpDateTime(std::int32_t julianDay, std::int32_t milliseconds) {
  return le32(julianDay) + le32(milliseconds);
}

std::string level7Integer(std::int32_t v) {
  return beBytes(static_cast<std::uint32_t>(v) ^ 0x80000000u, 4);
}

std::string level7Double(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  bits = (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
  return beBytes(bits, 8);
}

std::string level7Timestamp(double milliseconds) {
  std::uint64_t bits;
  std::memcpy(&bits, &milliseconds, 8);
  return beBytes(bits, 8);
}

void patchFile(const std::string& path, std::uint64_t offset, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  if (!f) throw std::runtime_error("cannot open " + path);
  std::fseek(f, static_cast<long>(offset), SEEK_SET);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

void truncateFile(const std::string& path, std::uint64_t size) {
  if (::truncate(path.c_str(), static_cast<off_t>(size)) != 0) {
    throw std::runtime_error("cannot truncate " + path);
  }
}

}  // namespace test_support
