#include "platform/host.h"

#include <cmath>
#include <stdexcept>

#include "platform/printer.h"
#include "platform/process.h"

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

// Without a font to measure, a fixed-pitch estimate: a character is 0.6 of
// the font size wide, a line 1.2 of it high (1 point = 20 twips).
bool Host::command_file_running() { return sys::last_command_file_running(); }

int Host::text_width(const std::wstring& text, double font_size_pt, bool bold) const {
  const double per_char = font_size_pt * 20.0 * (bold ? 0.65 : 0.6);
  return static_cast<int>(std::lround(per_char * static_cast<double>(text.size())));
}

int Host::text_height(double font_size_pt) const { return static_cast<int>(std::lround(font_size_pt * 20.0 * 1.2)); }

void end_program(int exit_code) {
  if (g_host) g_host->program_ending(exit_code);
  throw ProgramEnd{exit_code};
}

Host& host() {
  if (!g_host) throw std::logic_error("no platform host installed");
  return *g_host;
}

Host* set_host(Host* h) {
  Host* old = g_host;
  g_host = h;
  return old;
}

MsgResult msg_box(const std::wstring& text, MsgButtons buttons, MsgIcon icon, const std::wstring& title,
                  int default_button) {
  return host().message_box({text, buttons, icon, default_button, title});
}

std::wstring input_box(const std::wstring& prompt, const std::wstring& title, const std::wstring& default_text,
                       std::optional<int> left, std::optional<int> top) {
  return host().input_box({prompt, title, default_text, left, top});
}

std::wstring Printers::current_device_name() const {
  const auto names = device_names();
  const int i = current();
  return i >= 0 && i < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(i)] : std::wstring();
}

ListedPrinters::ListedPrinters(std::vector<std::wstring> names, int current)
    : names_(std::move(names)), current_(current) {
  if (current_ < 0 && !names_.empty()) current_ = 0;
}

void ListedPrinters::set_current(int index) {
  if (index >= 0 && index < static_cast<int>(names_.size())) current_ = index;
}

bool ListedPrinters::set_copies(int copies) {
  if (copies < 1 || copies > 9999) return false;
  copies_ = copies;
  return true;
}

void ListedPrinters::set_names(std::vector<std::wstring> names, int current) {
  names_ = std::move(names);
  current_ = current;
}

}  // namespace dorv::ui
