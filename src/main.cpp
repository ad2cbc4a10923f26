// The process entry: hands the command line to the start-up sequence.
#include "src/runtime/startup.hpp"

#ifdef DBF2CSV_HAVE_QT
#include "platform/ui/qt/qt_toolkit.hpp"
#endif

int main(int argc, char** argv) {
#ifdef DBF2CSV_HAVE_QT
  ui::registerBackend("qt", ui::makeQtToolkit);
#endif
  return runtime::start(argc, argv);
}
