// The host for tests: message boxes, input boxes and the open-file dialog are
// answered from a script, every question is kept so that a test can assert on
// it, modal forms are handed to a scripted procedure, and command files
// really run.
#pragma once
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/host.h"
#include "platform/printer.h"

namespace dorv::ui {

// A box was raised that the script has no answer for.
class ScriptExhausted : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ShellRequest {
  std::filesystem::path file;
  std::wstring parameters;
};

class HeadlessHost : public Host {
 public:
  HeadlessHost();
  ~HeadlessHost() override;

  // ---- the script ----
  void answer_message(MsgResult answer) { message_answers_.push_back(answer); }
  void answer_input(std::wstring text) { input_answers_.push_back(std::move(text)); }
  void cancel_input() { input_answers_.push_back(std::nullopt); }
  void answer_open_file(std::filesystem::path file) { open_answers_.push_back(std::move(file)); }
  void cancel_open_file() { open_answers_.push_back(std::nullopt); }
  // The next modal form is handed to this procedure, which acts on it as the
  // user would. If the form is still loaded afterwards, it is closed as by its
  // close box.
  void on_modal(std::function<void(Form&)> procedure) { modal_procedures_.push_back(std::move(procedure)); }
  // How long wait_one_second() really waits (tests shorten it); a pause
  // during a command file's wait ends earlier, with the command file.
  void set_second(std::chrono::milliseconds d) { second_ = d; }

  // ---- what happened ----
  struct Message {
    MsgBoxRequest request;
    MsgResult answer;
  };
  struct Input {
    InputBoxRequest request;
    std::wstring answer;
    bool cancelled;
  };
  const std::vector<Message>& messages() const { return messages_; }
  const std::vector<Input>& inputs() const { return inputs_; }
  const std::vector<OpenFileRequest>& open_dialogs() const { return open_dialogs_; }
  const std::vector<ShellRequest>& shell_opens() const { return shell_opens_; }
  const std::vector<std::wstring>& started_command_files() const { return started_; }
  const std::vector<Form*>& shown_forms() const { return shown_; }
  int waits() const { return waits_; }
  // Every answer scripted was used.
  bool script_done() const;
  void clear_records();

  ListedPrinters& listed_printers() { return printers_; }

  // ---- Host ----
  MsgResult message_box(const MsgBoxRequest& request) override;
  std::wstring input_box(const InputBoxRequest& request) override;
  std::optional<std::filesystem::path> open_file_dialog(const OpenFileRequest& request) override;
  void show_form(Form& form, ShowMode mode) override;
  void hide_form(Form& form) override;
  void form_unloaded(Form& form) override;
  // Runs the tasks posted so far (as do_events and the wait also do).
  void do_events() override;
  void wait_one_second() override;
  void post(std::function<void()> task) override { posted_.push_back(std::move(task)); }
  Printers& printers() override { return printers_; }
  bool shell_open(const std::filesystem::path& file, const std::wstring& parameters) override;
  bool start_command_file(const std::filesystem::path& folder, const std::wstring& name) override;
  void unhandled_error(const std::string& what) override;

 private:
  std::deque<MsgResult> message_answers_;
  std::deque<std::optional<std::wstring>> input_answers_;
  std::deque<std::optional<std::filesystem::path>> open_answers_;
  std::deque<std::function<void(Form&)>> modal_procedures_;
  std::deque<std::function<void()>> posted_;
  std::vector<Message> messages_;
  std::vector<Input> inputs_;
  std::vector<OpenFileRequest> open_dialogs_;
  std::vector<ShellRequest> shell_opens_;
  std::vector<std::wstring> started_;
  std::vector<Form*> shown_;
  int waits_ = 0;
  std::chrono::milliseconds second_{1000};
  ListedPrinters printers_;
  Host* previous_ = nullptr;
};

}  // namespace dorv::ui
