// The entry of the Qt backend when it is built as a module (dbf2csv-qt.so)
// that dbf2csv loads only once it has chosen the qt backend: a run without
// windows then never maps Qt. The module takes the platform's symbols from
// the program that loads it.
#include "platform/ui/qt/qt_toolkit.hpp"

// The toolkit for a caller that owns it from then on; nullptr when the
// display cannot be reached.
extern "C" __attribute__((visibility("default"))) ui::Toolkit* dbf2csvMakeToolkit() {
  return ui::makeQtToolkit().release();
}
