#include "src/runtime/console.hpp"

namespace runtime {

// A Linux program always has the streams its starter gave it.
void attachConsole() {}

}  // namespace runtime
