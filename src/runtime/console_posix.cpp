#include "src/runtime/console.hpp"

namespace runtime {

// A Linux program always has the streams its starter gave it.
void attachConsole() {}

std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

}  // namespace runtime
