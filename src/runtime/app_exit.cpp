// APPEXIT: commits and closes every work area still in use at program end.
#include "platform/db/workarea.hpp"
#include "platform/rt/error_block.hpp"
#include "platform/rt/call_frame.hpp"
#include "src/runtime/startup.hpp"

namespace runtime {

void appExit() {
  RT_PROC("APPEXIT");
  rt::ErrorBlockGuard guard(rt::breakBlock());
  for (int area : db::workspaceList()) {
    bool failed = false;
    rt::sequence(
        [&] {
          db::inArea(area, [] {
            db::dbCommit();
            db::dbCloseArea();
          });
        },
        [&](const rt::Value&) { failed = true; });
    if (!failed) continue;
    // The commit or close failed: only this area's pending changes are lost.
    // A failing rollback or second close must not stop the areas after it
    // from being closed, so it is guarded too and its failure dropped.
    rt::sequence(
        [&] {
          db::inArea(area, [] {
            db::dbRollback();
            db::dbCloseArea();
          });
        },
        [](const rt::Value&) {});
  }
}

}  // namespace runtime
