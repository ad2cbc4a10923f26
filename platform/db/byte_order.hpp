// Reading integers of either byte order from unaligned bytes.
#pragma once

#include <cstdint>
#include <cstring>

namespace db {

inline std::uint16_t readLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t readLe64(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(readLe32(p)) |
         (static_cast<std::uint64_t>(readLe32(p + 4)) << 32);
}

inline std::uint16_t readBe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t readBe32(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

inline std::uint64_t readBe64(const std::uint8_t* p) {
  return (static_cast<std::uint64_t>(readBe32(p)) << 32) | readBe32(p + 4);
}

inline double doubleFromBits(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

}  // namespace db
