// The data engines behind the driver names: which table versions and memo
// files each accepts, and the engines that cannot open a file on their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/db/engine.hpp"

namespace db {

// Version bytes each family reads.
bool dbaseAccepts(std::uint8_t version);  // dBase II, III, IV, V, 7 (and their SQL variants)
bool foxAccepts(std::uint8_t version);    // FoxBASE+, FoxPro 2, Visual FoxPro

// DBFDBE: the dBase family, memos in a DBT (dBase III or IV layout).
std::shared_ptr<DataEngine> makeDbaseEngine();
// FOXDBE: the FoxPro family, memos in an FPT (a DBT for FoxBASE+ tables).
std::shared_ptr<DataEngine> makeFoxEngine();
// SDFDBE, DELDBE, ODBCDBE: text files and external sources need a structure
// definition that nothing here supplies, so every open raises a runtime
// error saying so (a file that is no table is never read as one).
std::shared_ptr<DataEngine> makeStructureEngine(std::string name);

}  // namespace db
