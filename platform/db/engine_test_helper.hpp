// What tests do to the engine registry: make an engine fail to load or a
// composite fail to build, reset it to nothing loaded, and give it engines
// of their own. Not for the program.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/db/engine.hpp"

namespace db {

void setEngineAvailable(std::function<bool(const std::string& engine)> available);
void setBuildAvailable(std::function<bool(const std::string& driver)> available);
// Unloads every engine and composite and forgets the default driver and the
// DBEINFO values; the availability seams and test engines stay as set.
void resetEngines();
// Makes a data engine of the test's own known under `name`: dbeLoad() of that
// name then succeeds and opening through it (as a driver name) uses `engine`
// (an engine whose tables fail to commit, for instance).
void installTestEngine(const std::string& name, std::shared_ptr<DataEngine> engine);

}  // namespace db
