// The process entry: hands the command line to the start-up sequence.
#include "src/runtime/startup.hpp"

#ifdef DBF2CSV_QT_MODULE
#include "platform/ui/backend_module.hpp"
#endif

int main(int argc, char** argv) {
#ifdef DBF2CSV_QT_MODULE
  ui::registerBackend("qt", ui::moduleBackend("qt"));
#endif
  return runtime::start(argc, argv);
}
