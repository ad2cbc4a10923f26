#include "src/app/message_box.hpp"

#include "platform/rt/error.hpp"
#include "platform/ui/toolkit.hpp"

namespace app {

void msg(const std::string& cMessage) {
  RT_PROC("MSG");
  ui::toolkit().guiAlert(cMessage, "Alert", "11.Courier New Bold");
}

}  // namespace app
