#include "register/registerlock.h"

#include <unistd.h>

#include <map>
#include <random>
#include <thread>

#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::reg {
namespace {

// Locks this program holds, by file name: how often each is taken, and the
// token written into its file.
struct Held {
  int count = 0;
  std::string token;
};
std::map<std::wstring, Held>& held() {
  static std::map<std::wstring, Held> m;
  return m;
}

// Who holds the lock, for the one who waits: the computer and the process.
std::string holder_text() {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) host[0] = '\0';
  return std::string(host) + " " + std::to_string(::getpid()) + "\r\n";
}

// A token no other taking of the lock has: 128 random bits.
std::string new_token() { return random_hex(32); }

// The token in a lock file: its second line.
std::string token_of(const std::string& bytes) {
  const auto lines = split_lines(from_cp1251(bytes));
  return lines.size() > 1 ? to_utf8(trim(lines[1])) : std::string();
}

bool wait_for(const std::wstring& name, const std::string& holder) {
  static std::mt19937 gen(std::random_device{}());
  const auto deadline = std::chrono::steady_clock::now() + RegisterLockWait;
  for (;;) {
    if (sys::create_new(name, holder)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    // A few milliseconds, not the same for two waiting workstations.
    std::this_thread::sleep_for(std::chrono::milliseconds(2 + gen() % 6));
  }
}

}  // namespace

RegisterLock::RegisterLock(const std::wstring& prefix) : name_(file_name(prefix)) {
  Held& mine = held()[name_];
  if (mine.count++ > 0) return;
  mine.token = new_token();
  const std::string holder = holder_text() + mine.token + "\r\n";
  try {
    while (!wait_for(name_, holder)) {
      const auto lines = split_lines(from_cp1251(try_read_bytes(sys::resolve(name_)).value_or("")));
      const std::wstring who = lines.empty() ? std::wstring() : trim(lines.front());
      const auto answer = ui::msg_box(
          L"Перечень расчетов занят другим рабочим местом" + (who.empty() ? L"" : L" (" + who + L")") +
              L": файл " + name_ + L" существует.\r\nПовторить попытку?\r\n\r\nЕсли ни на одном рабочем месте "
              L"программа сейчас не сохраняет и не создает расчет, этот файл остался от прерванной работы: удалите "
              L"его и повторите попытку.",
          ui::MsgButtons::RetryCancel, ui::MsgIcon::Exclamation, L"Перечень расчетов");
      if (answer != ui::MsgResult::Retry) throw RegisterBusy();
    }
  } catch (...) {
    if (--held()[name_].count == 0) held().erase(name_);
    throw;
  }
}

RegisterLock::~RegisterLock() {
  Held& mine = held()[name_];
  if (--mine.count > 0) return;
  const std::string token = mine.token;
  held().erase(name_);
  const auto bytes = try_read_bytes(sys::resolve(name_));
  if (bytes && token_of(*bytes) == token) delete_quietly(name_);
}

}  // namespace dorv::reg
