#include "platform/host.h"

#include <cmath>
#include <stdexcept>

#include "platform/printer.h"
#include "platform/process.h"
#include "text/fileerror.h"
#include "text/linefile.h"

namespace dorv::ui {
namespace {
Host* g_host = nullptr;
}

std::vector<MsgResult> buttons_of(MsgButtons set) {
  switch (set) {
    case MsgButtons::OK: return {MsgResult::OK};
    case MsgButtons::OKCancel: return {MsgResult::OK, MsgResult::Cancel};
    case MsgButtons::AbortRetryIgnore: return {MsgResult::Abort, MsgResult::Retry, MsgResult::Ignore};
    case MsgButtons::YesNoCancel: return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    case MsgButtons::YesNo: return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::RetryCancel: return {MsgResult::Retry, MsgResult::Cancel};
    case MsgButtons::CancelTryContinue: return {MsgResult::Cancel, MsgResult::TryAgain, MsgResult::Continue};
  }
  return {MsgResult::OK};
}

bool Host::command_file_running() { return sys::last_command_file_running(); }

// Without a font to measure, the fixed-pitch estimate.
int Host::text_width(const std::wstring& text, const Font& font) const {
  return static_cast<int>(std::lround(estimated_text_width(text, font)));
}

int Host::text_height(const Font& font) const { return static_cast<int>(std::lround(estimated_text_height(font))); }

void end_program(int exit_code) {
  if (g_host) g_host->program_ending(exit_code);
  throw ProgramEnd{exit_code};
}

Host& host() {
  if (!g_host) throw std::logic_error("no platform host installed");
  return *g_host;
}

bool has_host() { return g_host != nullptr; }

Host* set_host(Host* h) {
  Host* old = g_host;
  g_host = h;
  return old;
}

void show_file_error(const FileError& error) {
  msg_box(error.message(), MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
}

MsgResult msg_box(const std::wstring& text, MsgButtons buttons, MsgIcon icon, const std::wstring& title,
                  int default_button) {
  return host().message_box({text, buttons, icon, default_button, title});
}

std::wstring input_box(const std::wstring& prompt, const std::wstring& title, const std::wstring& default_text,
                       std::optional<int> left, std::optional<int> top) {
  // The answer is one line, as a one-line text box holds it.
  return one_line_text(host().input_box({prompt, title, default_text, left, top}));
}

}  // namespace dorv::ui
