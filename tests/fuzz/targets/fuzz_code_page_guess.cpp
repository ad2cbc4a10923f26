// libFuzzer target: the code page guesser on any bytes.
#include "tests/fuzz/fuzz_entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz::guessFromBytes(fuzz::bytesOf(data, size))) __builtin_trap();
  return 0;
}
