// The window of one form: a widget per control at its place, kept in step
// with the controls through the form's observer, and the user's actions
// reported back to the controls. Nothing here knows any particular form.
#pragma once
#include <QWidget>
#include <functional>
#include <map>

#include "platform/form.h"

class QEventLoop;
class QLineEdit;

namespace dorv::front {

class QtHost;

class FormWindow : public QWidget, public ui::FormObserver {
 public:
  FormWindow(QtHost& host, ui::Form& form);
  ~FormWindow() override;

  // The form shown, null once it is gone.
  ui::Form* form() const { return form_; }
  // The form was unloaded or destroyed: the window no longer touches it.
  void detach();
  QWidget* widget_of(const ui::Control& control) const;
  // Makes the widgets of controls that have none, brings every widget up to
  // date and places the window (its position only the first time).
  void refresh();

  // The event loop of a modal show, while one runs.
  QEventLoop* modal_loop = nullptr;

  // ---- FormObserver ----
  void control_changed(ui::Control& control) override;
  void form_changed(ui::Form& form) override;
  void focus_requested(ui::Control& control) override;
  void form_destroyed(ui::Form& form) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct View {
    QWidget* widget = nullptr;
    bool multi_line = false;  // a text box: the kind of editor made for it
    int top_item = -1;        // a list view: the item last scrolled into view
    int z_order = 0;          // the control's z-order the widget was raised for
  };
  View& view(ui::Control& control);
  void make(ui::Control& control, View& v);
  void sync(ui::Control& control, View& v);
  // What the user types into a line editor goes to the control.
  void report_typing(QLineEdit* edit, ui::Control& control, std::function<void(const std::wstring&)> type);
  void sync_common(ui::Control& control, QWidget* w);
  void sync_z_order(ui::Control& control, View& v);
  void restack();
  void sync_list(ui::ListView& list, View& v);
  // Runs a user's action on a control, then shows the control's state (the
  // control may have refused the action).
  void act(ui::Control& control, const std::function<void()>& action);
  void place(bool first);

  QtHost& host_;
  ui::Form* form_;
  std::map<const ui::Control*, View> views_;
  std::map<const QObject*, ui::Control*> by_widget_;
  int syncing_ = 0;
  bool placed_ = false;
  ui::Rect placed_rect_;
};

}  // namespace dorv::front
