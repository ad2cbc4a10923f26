// libFuzzer target: the --where condition, read, bound and evaluated.
#include "tests/fuzz/fuzz_entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz::evaluateCondition(fuzz::bytesOf(data, size))) __builtin_trap();
  return 0;
}
