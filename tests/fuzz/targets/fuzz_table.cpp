// libFuzzer target: a whole table with its memo file, opened and exported as
// the program does.
#include "tests/fuzz/fuzz_entries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz::isSound(fuzz::readWholeTable(fuzz::bytesOf(data, size)))) __builtin_trap();
  return 0;
}
