// The registry of database engines and drivers. Engines are loaded by name;
// a composite driver pairs a loaded data engine with a loaded order engine.
// The order engines read no index files here: records come in natural order.
#include <algorithm>
#include <map>
#include <utility>

#include "platform/db/data_engines.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/engine_test_helper.hpp"
#include "platform/rt/strings.hpp"

namespace db {

namespace {

struct Engine {
  std::shared_ptr<DataEngine> data;  // null for an order engine
  bool hidden = false;
};

struct Registry {
  std::map<std::string, Engine> loaded;
  std::map<std::string, std::shared_ptr<DataEngine>> drivers;  // composite -> its data engine
  std::map<std::string, std::shared_ptr<DataEngine>> testEngines;
  std::function<bool(const std::string&)> engineAvailable;
  std::function<bool(const std::string&)> buildAvailable;
  std::string defaultDriver;
  std::map<std::pair<int, int>, rt::Value> info;
};

Registry& registry() {
  static Registry r;
  return r;
}

bool isOrderEngine(const std::string& name) { return name == "NTXDBE" || name == "CDXDBE"; }

// The engine of that name, when it exists at all.
bool makeEngine(const std::string& name, Engine& out) {
  Registry& r = registry();
  if (auto it = r.testEngines.find(name); it != r.testEngines.end()) {
    out.data = it->second;
    return true;
  }
  if (isOrderEngine(name)) return true;
  if (name == "DBFDBE") out.data = makeDbaseEngine();
  else if (name == "FOXDBE") out.data = makeFoxEngine();
  else if (name == "SDFDBE" || name == "DELDBE" || name == "ODBCDBE") out.data = makeStructureEngine(name);
  return out.data != nullptr;
}

}  // namespace

bool dbeLoad(const std::string& engine, bool hidden) {
  Registry& r = registry();
  const std::string name = rt::upper(engine);
  if (r.loaded.count(name)) return true;
  if (r.engineAvailable && !r.engineAvailable(name)) return false;
  Engine e;
  if (!makeEngine(name, e)) return false;
  e.hidden = hidden;
  r.loaded.emplace(name, std::move(e));
  return true;
}

bool dbeBuild(const std::string& driver, const std::string& dataEngine,
              const std::string& orderEngine) {
  Registry& r = registry();
  const std::string name = rt::upper(driver);
  auto data = r.loaded.find(rt::upper(dataEngine));
  auto order = r.loaded.find(rt::upper(orderEngine));
  if (name.empty() || data == r.loaded.end() || order == r.loaded.end()) return false;
  if (!data->second.data || order->second.data) return false;
  if (r.buildAvailable && !r.buildAvailable(name)) return false;
  r.drivers[name] = data->second.data;
  return true;
}

std::string dbeSetDefault(const std::string& driver) {
  Registry& r = registry();
  std::string previous = r.defaultDriver;
  if (driverExists(driver)) r.defaultDriver = rt::upper(driver);
  return previous;
}

std::string dbeDefault() { return registry().defaultDriver; }

rt::Value dbeInfo(int component, int item, const rt::Value& value) {
  rt::Value& slot = registry().info[{component, item}];
  return std::exchange(slot, value);
}

bool driverExists(const std::string& driver) { return dataEngineFor(driver) != nullptr; }

std::shared_ptr<DataEngine> dataEngineFor(const std::string& driver) {
  Registry& r = registry();
  const std::string name = rt::upper(driver);
  if (auto it = r.drivers.find(name); it != r.drivers.end()) return it->second;
  if (auto it = r.loaded.find(name); it != r.loaded.end() && !it->second.hidden) {
    return it->second.data;
  }
  return nullptr;
}

void setEngineAvailable(std::function<bool(const std::string& engine)> available) {
  registry().engineAvailable = std::move(available);
}

void setBuildAvailable(std::function<bool(const std::string& driver)> available) {
  registry().buildAvailable = std::move(available);
}

void installTestEngine(const std::string& name, std::shared_ptr<DataEngine> engine) {
  registry().testEngines[rt::upper(name)] = std::move(engine);
}

void resetEngines() {
  Registry& r = registry();
  r.loaded.clear();
  r.drivers.clear();
  r.defaultDriver.clear();
  r.info.clear();
}

}  // namespace db
