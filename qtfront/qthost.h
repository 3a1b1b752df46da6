// The desktop front end's host: every form of the platform layer becomes a Qt
// window built from its controls alone, the user's actions go back to the
// controls, and message boxes, input boxes, the open-file dialog, the
// printers and the shell are Qt's. Needs a QApplication; one per program.
#pragma once
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/form.h"
#include "platform/host.h"

class QTranslator;
class QWidget;

namespace dorv::front {

class ConsoleWindow;
class FormWindow;
class QtPrinters;

class QtHost : public ui::Host {
 public:
  QtHost();
  ~QtHost() override;
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;

  // Shows the main window and runs the application until that window is
  // unloaded or the program ends; returns the program's exit code.
  int run(ui::Form& main_form);
  // The printers offered to the program in place of the system's (a test's
  // machine without any installed).
  void use_printers(std::unique_ptr<QtPrinters> printers);
  // The window whose unloading ends the program.
  void set_main_form(ui::Form* form) { main_form_ = form; }

  // The window that shows a form (null when it is not on the screen), and
  // the widget that shows one of its controls.
  QWidget* window_of(const ui::Form& form) const;
  QWidget* widget_of(const ui::Control& control) const;
  // The text viewers opened by shell_open that are still open.
  std::vector<QWidget*> viewers() const;
  // The console windows of command files that still run.
  std::vector<ConsoleWindow*> consoles() const;

  // The program has ended (end_program, or the main window was unloaded).
  bool ending() const { return ending_; }
  int exit_code() const { return exit_code_; }

  // Runs a call into a form's code from a Qt event: an end of the program
  // thrown from it ends the application, an error is shown to the user.
  void call(const std::function<void()>& procedure);

  // ---- Host ----
  ui::MsgResult message_box(const ui::MsgBoxRequest& request) override;
  std::wstring input_box(const ui::InputBoxRequest& request) override;
  std::optional<std::filesystem::path> open_file_dialog(const ui::OpenFileRequest& request) override;
  void show_form(ui::Form& form, ui::ShowMode mode) override;
  void hide_form(ui::Form& form) override;
  void form_unloaded(ui::Form& form) override;
  void do_events() override;
  void wait_one_second() override;
  ui::Printers& printers() override;
  bool shell_open(const std::filesystem::path& file, const std::wstring& parameters) override;
  // Runs the command file with a console window of its own.
  bool start_command_file(const std::filesystem::path& folder, const std::wstring& name) override;
  bool command_file_running() override;
  int text_width(const std::wstring& text, const ui::Font& font) const override;
  int text_height(const ui::Font& font) const override;
  void post(std::function<void()> task) override;
  void unhandled_error(const std::string& what) override;
  void program_ending(int exit_code) override;

  // A window's form is gone (unloaded or destroyed): the window is dropped.
  void window_gone(ui::Form& form);

 private:
  FormWindow* window_for(ui::Form& form);
  void end(int exit_code);
  // After a nested event loop: leaves the calling procedure when the program
  // ended meanwhile.
  void check_ending() const;
  QWidget* dialog_parent() const;

  std::map<const ui::Form*, FormWindow*> windows_;
  std::vector<QPointer<QWidget>> viewers_;
  std::vector<QPointer<ConsoleWindow>> consoles_;
  bool started_command_file_ = false;
  std::vector<QPointer<FormWindow>> retired_;  // dropped windows not yet deleted
  std::unique_ptr<QtPrinters> printers_;
  // Receives the posted tasks (gone with the host, and its tasks with it) and
  // keeps the user's input from forms that are busy.
  std::unique_ptr<QObject> context_;
  // The toolkit's own texts (stock dialogs) in Russian.
  std::unique_ptr<QTranslator> translator_;
  std::unique_ptr<QTranslator> file_kinds_;
  ui::Form* main_form_ = nullptr;
  bool ending_ = false;
  int exit_code_ = 0;
  Host* previous_ = nullptr;
};

// The title of a box whose program gave none.
extern const wchar_t* const kProgramTitle;

}  // namespace dorv::front
