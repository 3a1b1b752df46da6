// The host stands in for what the Windows platform gives a form at run time:
// message boxes, input boxes, the open-file dialog, showing forms, the wait
// that keeps the window alive, the printers and the shell. There is one host
// per program: the Qt front end for a person, the headless host for tests.
#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace dorv {
class FileError;
}

namespace dorv::ui {

class Form;
class Printers;

enum class MsgButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel, CancelTryContinue };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Abort, Retry, Ignore, Yes, No, TryAgain, Continue };

struct MsgBoxRequest {
  std::wstring text;
  MsgButtons buttons = MsgButtons::OK;
  MsgIcon icon = MsgIcon::None;
  int default_button = 0;  // 0 the first button of the set, 1 the second, 2 the third
  std::wstring title;
};

struct InputBoxRequest {
  std::wstring prompt;
  std::wstring title;
  std::wstring default_text;
  std::optional<int> left;  // twips from the screen's left, when given
  std::optional<int> top;   // twips from the screen's top, when given
};

struct OpenFileRequest {
  std::wstring title;
  std::wstring filter;  // "description|pattern|description|pattern..."
  std::filesystem::path initial_folder;
};

enum class ShowMode { Modeless, Modal };

// The buttons of a set, in the order they stand in the box.
std::vector<MsgResult> buttons_of(MsgButtons set);

class Host {
 public:
  virtual ~Host() = default;

  virtual MsgResult message_box(const MsgBoxRequest& request) = 0;
  // The typed text; Cancel gives the empty text.
  virtual std::wstring input_box(const InputBoxRequest& request) = 0;
  // The chosen file's full name, or nothing when the dialog was cancelled.
  virtual std::optional<std::filesystem::path> open_file_dialog(const OpenFileRequest& request) = 0;

  // Called by Form::show: a modeless show returns at once; a modal show
  // returns when the form has been unloaded (or hidden).
  virtual void show_form(Form& form, ShowMode mode) = 0;
  virtual void hide_form(Form& form) = 0;
  virtual void form_unloaded(Form& form) = 0;

  // Processes pending window events.
  virtual void do_events() = 0;
  // The pause of one second that keeps the window alive while a long step
  // waits. During the wait for a command file it ends as soon as that wait
  // may end (command_wait_may_end in platform/command_wait.h).
  virtual void wait_one_second() = 0;

  virtual Printers& printers() = 0;

  // Opens a file with its associated application; does not wait. False when
  // the request could not be made.
  virtual bool shell_open(const std::filesystem::path& file, const std::wstring& parameters) = 0;
  // Starts a command file of the program folder in a normal window without
  // waiting. False when it could not be started.
  virtual bool start_command_file(const std::filesystem::path& folder, const std::wstring& name) = 0;
  // False once the command file last started has ended; true while it runs
  // or when that cannot be known.
  virtual bool command_file_running();

  // Width and height in twips of a text in a font on the screen, for laying
  // out text drawn in picture boxes.
  virtual int text_width(const std::wstring& text, const Font& font) const;
  virtual int text_height(const Font& font) const;

  // Runs a task once the current event has been handled (from the event
  // loop; the headless host at its next do_events or wait).
  virtual void post(std::function<void()> task) = 0;

  // An exception escaped an event procedure: the front end tells the user,
  // the headless host lets the test see it.
  virtual void unhandled_error(const std::string& what) = 0;

  // The program is about to end (end_program): close what must be closed.
  virtual void program_ending(int exit_code) { (void)exit_code; }
};

// Thrown by end_program to leave every procedure at once; the front end (or
// a test) catches it where the program's run began. Deliberately not a
// std::exception, so that no event wrapper mistakes it for an error.
struct ProgramEnd {
  int exit_code;
};
// Ends the program with an exit code, as the classic End statement does.
[[noreturn]] void end_program(int exit_code);

Host& host();
bool has_host();
// Installs the program's host (not owned). Returns the one it replaces.
Host* set_host(Host* host);

// The common calls, shaped as the forms use them.
MsgResult msg_box(const std::wstring& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None,
                  const std::wstring& title = L"", int default_button = 0);
// Tells the user of a file that could not be read or written: its Russian
// sentence in a message box with an OK button.
void show_file_error(const FileError& error);
// The typed answer, a line break in it taken as a blank: an answer is one
// item (a name, a value) of the files that keep it.
std::wstring input_box(const std::wstring& prompt, const std::wstring& title = L"",
                       const std::wstring& default_text = L"", std::optional<int> left = std::nullopt,
                       std::optional<int> top = std::nullopt);

}  // namespace dorv::ui
