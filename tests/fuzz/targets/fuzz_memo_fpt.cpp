// libFuzzer target: a FoxPro memo file (FPT: big-endian block size and
// lengths), read through a small table whose memo fields point where the
// input's first 16 bytes say.
#include "tests/fuzz/fuzz_entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto summary = fuzz::readMemoTable(fuzz::MemoTarget::Fpt, fuzz::bytesOf(data, size));
  if (!fuzz::isSound(summary)) __builtin_trap();
  return 0;
}
