// TEMPORARY: stands in for the selection dialog until it lands; weak, so the
// real getTableName() takes its place as soon as it is linked in.
#include "src/app/table_dialog.hpp"

namespace app {

__attribute__((weak)) std::string getTableName(bool&, std::string&, const std::string&) {
  return "";
}

}  // namespace app
