// A form: a window with its controls and its event procedures. A form's
// layout is defined once, in its constructor; its procedures are member
// functions wired to the controls' events.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/host.h"

namespace dorv::ui {

// Why a form is being closed, as QueryUnload learns it.
enum class UnloadMode { CloseBox, Code };

class FormObserver {
 public:
  virtual ~FormObserver() = default;
  virtual void control_changed(Control& control) = 0;
  virtual void form_changed(Form& form) = 0;
  virtual void focus_requested(Control& control) = 0;
  // The form object is being destroyed: forget every pointer into it.
  virtual void form_destroyed(Form& form) { (void)form; }
};

class Form {
 public:
  explicit Form(std::wstring name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::wstring& name() const { return name_; }
  const std::wstring& caption() const { return caption_; }
  void set_caption(std::wstring caption);
  const Rect& rect() const { return rect_; }  // position on the screen and outer size, twips
  void move(Rect rect);
  bool visible() const { return visible_; }
  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled);
  bool loaded() const { return loaded_; }
  bool modal() const { return modal_; }

  // Loads the form (runs Load once) without showing it.
  void load();
  // Loads when needed and shows; a modal show returns when the form is gone.
  void show(ShowMode mode = ShowMode::Modeless);
  void hide();
  // Unloads the form: QueryUnload may cancel (false is returned), then Unload
  // runs and the form is no longer loaded. A later show loads it anew.
  bool unload(UnloadMode mode = UnloadMode::Code);
  // The user closed the window with its close box.
  bool close_box() { return unload(UnloadMode::CloseBox); }

  // The button that Enter and Esc press.
  CommandButton* default_button() const { return default_button_; }
  CommandButton* cancel_button() const { return cancel_button_; }
  void set_default_button(CommandButton* b) { default_button_ = b; }
  void set_cancel_button(CommandButton* b) { cancel_button_ = b; }
  bool press_enter();
  bool press_escape();

  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* find(std::wstring_view name, int index = -1) const;
  Control* focused() const { return focused_; }

  void set_observer(FormObserver* observer) { observer_ = observer; }
  FormObserver* observer() const { return observer_; }

  // Runs an event procedure; an exception that escapes it goes to the host.
  void run_event(const std::function<void()>& handler);

 protected:
  virtual void form_load() {}
  virtual void query_unload(bool& cancel, UnloadMode mode) {
    (void)cancel;
    (void)mode;
  }
  virtual void form_unload() {}

  template <class T>
  T& add(std::wstring name, Rect rect, int index = -1, Control* container = nullptr) {
    auto c = std::make_unique<T>(*this, std::move(name), index, rect, container);
    T& ref = *c;
    controls_.push_back(std::move(c));
    return ref;
  }
  template <class T>
  T& add(std::wstring name, Rect rect, Control* container) {
    return add<T>(std::move(name), rect, -1, container);
  }

 private:
  friend class Control;
  void control_changed(Control& c);
  void focus_to(Control* c);
  void changed();

  std::wstring name_;
  std::wstring caption_;
  Rect rect_{0, 0, 6000, 4000};
  bool visible_ = false;
  bool enabled_ = true;
  bool loaded_ = false;
  bool modal_ = false;
  CommandButton* default_button_ = nullptr;
  CommandButton* cancel_button_ = nullptr;
  Control* focused_ = nullptr;
  std::vector<std::unique_ptr<Control>> controls_;
  FormObserver* observer_ = nullptr;
};

}  // namespace dorv::ui
