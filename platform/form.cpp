#include "platform/form.h"

namespace dorv::ui {

Form::Form(std::wstring name) : name_(std::move(name)) {}

Form::~Form() {
  if (observer_) observer_->form_destroyed(*this);
}

void Form::changed() {
  if (observer_) observer_->form_changed(*this);
}

void Form::control_changed(Control& c) {
  if (observer_) observer_->control_changed(c);
}

void Form::focus_to(Control* c) { focused_ = c; }

void Form::set_caption(std::wstring caption) {
  caption_ = std::move(caption);
  changed();
}

void Form::move(Rect rect) {
  rect_ = rect;
  changed();
}

void Form::set_enabled(bool enabled) {
  enabled_ = enabled;
  changed();
}

void Form::run_event(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    host().unhandled_error(e.what());
  }
}

void Form::load() {
  if (loaded_) return;
  loaded_ = true;
  run_event([this] { form_load(); });
}

void Form::show(ShowMode mode) {
  load();
  if (!loaded_) return;  // Load may have unloaded the form again
  visible_ = true;
  modal_ = mode == ShowMode::Modal;
  changed();
  host().show_form(*this, mode);
}

void Form::hide() {
  if (!visible_) return;
  visible_ = false;
  changed();
  host().hide_form(*this);
}

bool Form::unload(UnloadMode mode) {
  if (!loaded_) return true;
  bool cancel = false;
  run_event([&] { query_unload(cancel, mode); });
  if (cancel) return false;
  run_event([this] { form_unload(); });
  loaded_ = false;
  visible_ = false;
  modal_ = false;
  focused_ = nullptr;
  changed();
  host().form_unloaded(*this);
  return true;
}

bool Form::press_enter() { return default_button_ && default_button_->click(); }

bool Form::press_escape() { return cancel_button_ && cancel_button_->click(); }

Control* Form::find(std::wstring_view name, int index) const {
  for (const auto& c : controls_)
    if (c->name() == name && c->index() == index) return c.get();
  return nullptr;
}

}  // namespace dorv::ui
