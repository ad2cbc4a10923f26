// libFuzzer target: the job file's split (STR2ARRAY) and its reading.
#include "tests/fuzz/fuzz_entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz::splitJobFile(fuzz::bytesOf(data, size))) __builtin_trap();
  return 0;
}
