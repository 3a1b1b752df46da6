#include "platform/form.h"

#include <algorithm>

#include "text/fileerror.h"

namespace dorv::ui {
namespace {
// Forms released while one of their procedures was running.
std::vector<std::unique_ptr<Form>>& pending_releases() {
  static std::vector<std::unique_ptr<Form>> forms;
  return forms;
}

void destroy_if_idle(Form* form) {
  auto& pending = pending_releases();
  auto it = std::find_if(pending.begin(), pending.end(), [form](const auto& p) { return p.get() == form; });
  if (it == pending.end() || form->busy()) return;  // a busy form is posted again when it ends
  std::unique_ptr<Form> gone = std::move(*it);
  pending.erase(it);
}
}  // namespace

void release_form(std::unique_ptr<Form> form) {
  if (!form) return;
  if (!form->busy()) return;  // destroyed here
  form->release_pending_ = true;
  pending_releases().push_back(std::move(form));
}

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

std::vector<Control*> Form::back_to_front() const {
  std::vector<Control*> order;
  for (const auto& c : controls_) order.push_back(c.get());
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->z_order() < b->z_order(); });
  return order;
}

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
  // Counts the procedures running, whatever way they end; a form released
  // meanwhile is destroyed once the event that ran the last of them is over.
  struct Running {
    Form& form;
    explicit Running(Form& f) : form(f) { ++form.running_; }
    ~Running() {
      if (--form.running_ == 0 && form.release_pending_ && has_host()) {
        Form* f = &form;
        host().post([f] { destroy_if_idle(f); });
      }
    }
  } running(*this);
  try {
    handler();
  } catch (const FileError& e) {
    // A file the procedure could not read or write: the user is told in
    // Russian and the program goes on; what is stored was never half-written.
    show_file_error(e);
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
