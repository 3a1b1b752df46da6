#include "platform/headless.h"

#include <algorithm>
#include <thread>

#include "platform/command_wait.h"
#include "platform/process.h"
#include "text/codepage.h"

namespace dorv::ui {

HeadlessHost::HeadlessHost() : printers_({L"Printer 1", L"PDF"}, 0) { previous_ = set_host(this); }

HeadlessHost::~HeadlessHost() {
  do_events();
  set_host(previous_);
}

void HeadlessHost::do_events() {
  while (!posted_.empty()) {
    auto task = std::move(posted_.front());
    posted_.pop_front();
    task();
  }
}

bool HeadlessHost::script_done() const {
  return message_answers_.empty() && input_answers_.empty() && open_answers_.empty() && modal_procedures_.empty();
}

void HeadlessHost::clear_records() {
  messages_.clear();
  inputs_.clear();
  open_dialogs_.clear();
  shell_opens_.clear();
  started_.clear();
  shown_.clear();
  waits_ = 0;
}

MsgResult HeadlessHost::message_box(const MsgBoxRequest& request) {
  if (message_answers_.empty())
    throw ScriptExhausted("unexpected message box \"" + to_utf8(request.title) + "\": " + to_utf8(request.text));
  const MsgResult answer = message_answers_.front();
  message_answers_.pop_front();
  const auto buttons = buttons_of(request.buttons);
  if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end())
    throw ScriptExhausted("scripted answer is not a button of the message box: " + to_utf8(request.text));
  messages_.push_back({request, answer});
  return answer;
}

std::wstring HeadlessHost::input_box(const InputBoxRequest& request) {
  if (input_answers_.empty())
    throw ScriptExhausted("unexpected input box \"" + to_utf8(request.title) + "\": " + to_utf8(request.prompt));
  const auto answer = input_answers_.front();
  input_answers_.pop_front();
  inputs_.push_back({request, answer.value_or(L""), !answer.has_value()});
  return answer.value_or(L"");
}

std::optional<std::filesystem::path> HeadlessHost::open_file_dialog(const OpenFileRequest& request) {
  if (open_answers_.empty()) throw ScriptExhausted("unexpected open-file dialog \"" + to_utf8(request.title) + "\"");
  auto answer = open_answers_.front();
  open_answers_.pop_front();
  open_dialogs_.push_back(request);
  return answer;
}

void HeadlessHost::show_form(Form& form, ShowMode mode) {
  shown_.push_back(&form);
  if (mode != ShowMode::Modal) return;
  if (modal_procedures_.empty()) throw ScriptExhausted("unexpected modal form " + to_utf8(form.name()));
  auto procedure = std::move(modal_procedures_.front());
  modal_procedures_.pop_front();
  procedure(form);
  if (form.loaded() && form.visible()) form.close_box();
}

void HeadlessHost::hide_form(Form&) {}

void HeadlessHost::form_unloaded(Form&) {}

void HeadlessHost::wait_one_second() {
  ++waits_;
  // While a command file's wait is on, the pause ends with the command file:
  // looked at often enough that nobody notices the difference.
  constexpr std::chrono::milliseconds kLook{5};
  const auto end = std::chrono::steady_clock::now() + second_;
  while (!command_wait_may_end()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) break;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(end - now, kLook));
  }
  do_events();
}

bool HeadlessHost::shell_open(const std::filesystem::path& file, const std::wstring& parameters) {
  shell_opens_.push_back({file, parameters});
  return true;
}

bool HeadlessHost::start_command_file(const std::filesystem::path& folder, const std::wstring& name) {
  started_.push_back(name);
  return sys::start_command_file(folder, name);
}

void HeadlessHost::unhandled_error(const std::string& what) { throw std::runtime_error(what); }

}  // namespace dorv::ui
