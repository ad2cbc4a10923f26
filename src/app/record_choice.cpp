#include "src/app/record_choice.hpp"

#include "platform/db/engine.hpp"
#include "platform/rt/settings.hpp"
#include "platform/rt/strings.hpp"

namespace app {

RecordChoice::RecordChoice(const Options& options)
    : showDeleted_(options.deleted != "skip"),
      onlyDeleted_(options.deleted == "only"),
      names_(options.fields),
      exclude_(options.exclude),
      limit_(options.limit) {
  fields_.recno = options.recno;
  fields_.deleted = options.deleted == "mark";
}

RecordChoice::~RecordChoice() {
  if (previousDeleted_) rt::set(rt::Set::Deleted, *previousDeleted_);
}

rt::Status RecordChoice::setCondition(std::unique_ptr<RecordCondition> condition) {
  if (rt::Status s = condition->bind(*table_); !s.isOk()) return s;
  condition_ = std::move(condition);
  return rt::Status::ok();
}

rt::Status RecordChoice::bind(const db::Table& table, const std::string& cName) {
  table_ = &table;
  rt::Status status = rt::Status::ok();
  fields_.fields = resolve(table, cName, status);
  if (!status.isOk()) return status;
  if (fields_.fields.empty() && !fields_.recno && !fields_.deleted) {
    return rt::Status::invalidArgument("--exclude leaves no field of " + cName + " to write.");
  }
  everyField_ = !fields_.recno && !fields_.deleted && static_cast<int>(fields_.fields.size()) == table.fieldCount();
  for (std::size_t i = 0; everyField_ && i < fields_.fields.size(); ++i) {
    everyField_ = fields_.fields[i] == static_cast<int>(i) + 1;
  }
  if (showDeleted_ && !previousDeleted_) previousDeleted_ = rt::set(rt::Set::Deleted, false);
  return status;
}

// Names match without regard to letter case, as xBase compares field names;
// a name that matches two fields takes both, in the table's order.
std::vector<int> RecordChoice::resolve(const db::Table& table, const std::string& cName, rt::Status& status) const {
  const int nCount = table.fieldCount();
  std::vector<int> matched;
  std::vector<bool> excluded(static_cast<std::size_t>(nCount) + 1, false);
  for (const std::vector<std::string>* list : {&names_, &exclude_}) {
    for (const std::string& name : *list) {
      const std::string wanted = rt::upper(name);
      bool found = false;
      for (int pos = 1; pos <= nCount; ++pos) {
        if (rt::upper(table.fieldName(pos)) != wanted) continue;
        found = true;
        if (list == &names_) matched.push_back(pos);
        excluded[static_cast<std::size_t>(pos)] = true;
      }
      if (!found) {
        status = rt::Status::invalidArgument(cName + " has no field named \"" + name + "\".");
        return {};
      }
    }
  }
  if (!names_.empty()) return matched;
  std::vector<int> kept;
  for (int pos = 1; pos <= nCount; ++pos) {
    if (!excluded[static_cast<std::size_t>(pos)]) kept.push_back(pos);
  }
  return kept;
}

FieldChoice everyFieldOf(int nCount) {
  FieldChoice all;
  for (int pos = 1; pos <= nCount; ++pos) all.fields.push_back(pos);
  return all;
}

void chosenValues(const rt::Array& aRecord, const FieldChoice& fields, rt::Array& aChosen) {
  aChosen.clear();
  if (fields.recno) aChosen.emplace_back(static_cast<long long>(db::recNo()));
  if (fields.deleted) aChosen.emplace_back(db::deleted());
  for (const int pos : fields.fields) aChosen.push_back(aRecord[static_cast<std::size_t>(pos - 1)]);
}

}  // namespace app
