// libFuzzer target: a dBase III memo file (DBT: 512-byte blocks, text ended
// by 0x1A), read through a small table whose memo fields point where the
// input's first 16 bytes say.
#include "tests/fuzz/fuzz_entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto summary = fuzz::readMemoTable(fuzz::MemoTarget::DbtIII, fuzz::bytesOf(data, size));
  if (!fuzz::isSound(summary)) __builtin_trap();
  return 0;
}
