#include "platform/ui/edit_model.hpp"

#include <algorithm>

#include "platform/rt/strings.hpp"

namespace ui {

FieldState::FieldState(Element& element, bool picksUpperCased)
    : element_(&element), picture_(Picture::parse(element.picture)), picksUpperCased_(picksUpperCased) {
  const rt::Value* link = element.link;
  logical_ = link && link->isLogical();
  editable_ = logical_ || (link && link->isString());
  if (editable_ && !logical_) columns_ = std::max<int>(1, static_cast<int>(link->text().size()));
}

std::string FieldState::text() const {
  const rt::Value* link = element_->link;
  if (logical_) return link->logical() ? "Y" : "N";
  if (!editable_) return "";
  std::string s = link->text();
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

void FieldState::enter() {
  armed_ = picture_.clearOnFirstKey;
  picked_ = false;
}

FieldState::Edit FieldState::key(const std::string& typed) {
  Edit edit;
  if (!editable_) {
    edit.accepted = false;
    return edit;
  }
  if (logical_) {
    const std::string answer = rt::upper(typed);
    edit.accepted = answer == "Y" || answer == "N";
    edit.clearFirst = edit.accepted;
    if (edit.accepted) edit.text = answer;
    return edit;
  }
  edit.clearFirst = std::exchange(armed_, false);
  edit.text = shape(typed);
  return edit;
}

std::string FieldState::pick(const std::string& picked) {
  armed_ = false;
  picked_ = true;
  return picksUpperCased_ ? rt::upper(picked) : picked;
}

void FieldState::store(const std::string& shown) {
  rt::Value* link = element_->link;
  if (!editable_) return;
  if (logical_) {
    *link = rt::Value(shown == "Y");
    return;
  }
  std::string value = shown;
  if (value.size() < static_cast<std::size_t>(columns_)) value.resize(static_cast<std::size_t>(columns_), ' ');
  *link = rt::Value(std::move(value));
}

ReadFlow::ReadFlow(ElementList& elements, bool picksUpperCased)
    : guard_([this] { finish(false); }) {
  for (Element& e : elements) {
    if (e.kind == Element::Kind::Entry && e.link) fields_.emplace_back(e, picksUpperCased);
  }
}

void ReadFlow::start() {
  if (!fields_.empty()) enter(0);
}

void ReadFlow::enter(std::size_t i) {
  current_ = i;
  fields_[i].enter();
  focusField(i, true);
}

void ReadFlow::leave(std::size_t i, Leave how) {
  current_ = i;
  if (finished_ || !validate(i)) return;
  const std::size_t count = fields_.size();
  if (how == Leave::Enter && current_ + 1 == count) return confirm();
  enter((how == Leave::Previous ? current_ + count - 1 : current_ + 1) % count);
}

std::size_t ReadFlow::clickedInto(std::size_t to) {
  const std::size_t left = std::exchange(current_, to);
  fields_[to].enter();
  return left;
}

bool ReadFlow::validate(std::size_t i) {
  const auto& check = fields_[i].element().validation;
  if (!check) return true;
  bool ok = false;
  if (!guard_.run([&] { ok = check(); })) return false;
  if (!ok && !finished_) enter(i);
  return ok;
}

void ReadFlow::confirm() {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (!validate(i)) return;
  }
  finish(true);
}

void ReadFlow::cancel() { finish(false); }

void ReadFlow::pop(std::size_t i) {
  FieldState& field = fields_[i];
  const auto& popup = field.element().popup;
  if (!popup || finished_) return;
  rt::Value picked;
  const rt::Value content(rt::trim(field.text()));
  if (!guard_.run([&] { picked = popup(content); })) return;
  current_ = i;
  if (picked.isString()) {
    const std::string shown = field.pick(rt::trim(picked.text()));
    field.store(shown);
    showText(i, shown);
  }
  focusField(i, false);
}

void ReadFlow::finish(bool accepted) {
  if (finished_) return;
  finished_ = true;
  accepted_ = accepted;
  closeWindow();
}

}  // namespace ui
