// A form: a window with its controls and its event procedures. A form's
// layout is defined once, in its constructor; its procedures are member
// functions wired to the controls' events.
#pragma once
#include <map>
#include <memory>
#include <stdexcept>
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

template <class T>
class ControlArray;

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
  // One of the form's procedures is running (it may be waiting, with events
  // processed meanwhile): the form takes no action of the user, its close
  // box included, and is not destroyed (see release_form).
  bool busy() const { return running_ > 0; }

  // Loads the form (runs Load once) without showing it.
  void load();
  // Loads when needed and shows; a modal show returns when the form is gone.
  void show(ShowMode mode = ShowMode::Modeless);
  void hide();
  // Unloads the form: QueryUnload may cancel (false is returned), then Unload
  // runs and the form is no longer loaded. A later show loads it anew.
  bool unload(UnloadMode mode = UnloadMode::Code);
  // The user closed the window with its close box; refused while busy.
  bool close_box() { return !busy() && unload(UnloadMode::CloseBox); }

  // The button that Enter and Esc press.
  CommandButton* default_button() const { return default_button_; }
  CommandButton* cancel_button() const { return cancel_button_; }
  void set_default_button(CommandButton* b) { default_button_ = b; }
  void set_cancel_button(CommandButton* b) { cancel_button_ = b; }
  bool press_enter();
  bool press_escape();

  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  // The controls from back to front as they are drawn: in the order they were
  // added, except that those brought to the front lie over all the others,
  // the last one brought uppermost.
  std::vector<Control*> back_to_front() const;
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
  // A control array: declared once, its members added by index (here, or
  // later through the array's add); its events carry the member's index.
  template <class T>
  ControlArray<T>& add_array(std::wstring name) {
    auto a = std::make_unique<ControlArray<T>>(*this, std::move(name));
    ControlArray<T>& ref = *a;
    arrays_.push_back(std::move(a));
    return ref;
  }
  // Members first, first + 1, ... at the given places.
  template <class T>
  ControlArray<T>& add_array(std::wstring name, const std::vector<Rect>& rects, int first = 0,
                             Control* container = nullptr) {
    ControlArray<T>& a = add_array<T>(std::move(name));
    for (std::size_t i = 0; i < rects.size(); ++i) a.add(first + static_cast<int>(i), rects[i], container);
    return a;
  }
  // Members first ... last, each placed by place(index).
  template <class T, class Place>
  ControlArray<T>& add_array(std::wstring name, int first, int last, Place place, Control* container = nullptr) {
    ControlArray<T>& a = add_array<T>(std::move(name));
    for (int i = first; i <= last; ++i) a.add(i, place(i), container);
    return a;
  }

 private:
  friend class Control;
  template <class T>
  friend class ControlArray;
  friend void release_form(std::unique_ptr<Form> form);
  struct ArrayBase {
    virtual ~ArrayBase() = default;
  };
  void control_changed(Control& c);
  void focus_to(Control* c);
  void changed();
  int next_z_order() { return ++z_top_; }

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
  std::vector<std::unique_ptr<ArrayBase>> arrays_;
  FormObserver* observer_ = nullptr;
  int z_top_ = 0;
  int running_ = 0;
  bool release_pending_ = false;
};

// Destroys a form the program no longer needs: at once when none of its
// procedures is running, else once the last of them has returned (a form
// may release itself from its own Unload).
void release_form(std::unique_ptr<Form> form);

// Controls of one kind and name told apart by an index, as Text1(0) ...
// Text1(18). The indices need not be contiguous.
template <class T>
class ControlArray : public Form::ArrayBase {
 public:
  ControlArray(Form& form, std::wstring name) : form_(form), name_(std::move(name)) {}
  ControlArray(const ControlArray&) = delete;
  ControlArray& operator=(const ControlArray&) = delete;

  const std::wstring& name() const { return name_; }
  // Adds the member of an index; its events go to the array's procedures.
  T& add(int index, Rect rect, Control* container = nullptr) {
    if (index < 0 || members_.count(index)) throw std::logic_error("control array index taken or negative");
    T& c = form_.add<T>(name_, rect, index, container);
    members_[index] = &c;
    c.on_click = [this, index] { forward(on_click, index); };
    c.on_dbl_click = [this, index] { forward(on_dbl_click, index); };
    c.on_got_focus = [this, index] { forward(on_got_focus, index); };
    c.on_lost_focus = [this, index] { forward(on_lost_focus, index); };
    if constexpr (requires { c.on_change; }) c.on_change = [this, index] { forward(on_change, index); };
    return c;
  }
  // The member of an index; an index with no member is a program error.
  T& operator()(int index) const {
    auto it = members_.find(index);
    if (it == members_.end()) throw std::out_of_range("no member of this index in control array");
    return *it->second;
  }
  T& operator[](int index) const { return (*this)(index); }
  bool contains(int index) const { return members_.count(index) != 0; }
  int count() const { return static_cast<int>(members_.size()); }
  int lbound() const { return members_.empty() ? 0 : members_.begin()->first; }
  int ubound() const { return members_.empty() ? -1 : members_.rbegin()->first; }
  // The members in the order of their indices.
  std::vector<T*> members() const {
    std::vector<T*> all;
    for (const auto& [index, c] : members_) all.push_back(c);
    return all;
  }

  // Event procedures of the array, given the index of the member.
  std::function<void(int)> on_click;
  std::function<void(int)> on_dbl_click;
  std::function<void(int)> on_got_focus;
  std::function<void(int)> on_lost_focus;
  std::function<void(int)> on_change;  // text boxes and combo boxes

 private:
  static void forward(const std::function<void(int)>& handler, int index) {
    if (handler) handler(index);
  }
  Form& form_;
  std::wstring name_;
  std::map<int, T*> members_;
};

}  // namespace dorv::ui
