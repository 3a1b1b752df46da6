// A fresh program folder per test, with its own all-users folder, the
// headless host and helpers that write and read files in windows-1251.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/headless.h"
#include "register/form1.h"
#include "register/form5.h"
#include "register/modul1.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace regtest {

namespace fs = std::filesystem;
using namespace dorv;
using namespace dorv::reg;
using ui::MsgResult;

// The windows-1251 bytes of a text.
inline std::string cp(std::wstring_view text) { return to_cp1251(text); }

class RegisterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    root_ = fs::temp_directory_path() / ("dorv_reg_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "prog");
    fs::create_directories(root_ / "users");
    ::setenv("ALLUSERSPROFILE", (root_ / "users").c_str(), 1);
    Modul1::reset();
    Modul1::ProgramFolder = root_ / "prog";
    fs::current_path(root_ / "prog");
    host_.set_second(std::chrono::milliseconds(0));
  }
  void TearDown() override {
    form_.reset();
    fs::current_path(old_);
    fs::remove_all(root_);
  }

  // Files relative to the program folder ("/" or "\" between folders),
  // matched without regard to case as the program matches them.
  fs::path at(const std::string& name) const { return root_ / "prog" / sys::resolve(from_utf8(name)); }
  void put(const std::string& name, std::wstring_view text) { put_bytes(name, cp(text)); }
  void put_bytes(const std::string& name, const std::string& bytes) {
    fs::create_directories(at(name).parent_path());
    write_bytes(at(name), bytes);
  }
  std::string bytes(const std::string& name) const { return try_read_bytes(at(name)).value_or("<missing>"); }
  bool exists(const std::string& name) const { return fs::exists(at(name)); }

  fs::path mirror() const { return root_ / "users" / "VIRN-Dorv" / "Perform"; }

  // A stored grid calculation: its input record begins with the identifier
  // and the object; its report holds the contract line.
  void grid(int n, const std::wstring& contract, const std::wstring& object) {
    const std::string s = std::to_string(n);
    put("perform/" + s + "in.prr", L" " + std::to_wstring(n) + L"-R\r\n" + object + L"\r\n.47\r\n");
    put("perform/" + s + "res.prr", L"          Программа ВИРН-Дорв 5.4.0\r\n\r\n          Объект: " + object +
                                        L"\r\n          Договор: " + contract + L"\r\n");
  }
  // A stored arbitrary calculation: contract and object head its data.
  void network(int n, const std::wstring& contract, const std::wstring& object) {
    const std::string s = std::to_string(n);
    put("perform/" + s + "in.prr", contract + L"\r\n" + object + L"\r\n#####1\r\n");
    put("perform/" + s + "res.prr", L"          Программа ВИРН-Дорв 5.4.0\r\n");
  }

  // Starts the register in the program folder (sign.txt present unless the
  // test says otherwise).
  Form1& start(bool with_sign = true) {
    if (with_sign && !exists("sign.txt")) put("sign.txt", L"Иванов И.И.\r\n");
    form_ = std::make_unique<Form1>();
    form_->show();
    return *form_;
  }
  Form1& f() { return *form_; }

  std::vector<std::wstring> listed() const {
    std::vector<std::wstring> out;
    for (const auto& item : form_->ListView1.items())
      out.push_back(item.text + L"|" + item.sub_item(2) + L"|" + item.sub_item(3));
    return out;
  }
  void select(const std::wstring& id) {
    const int i = form_->ListView1.find_item(id);
    ASSERT_GE(i, 0);
    form_->ListView1.click_item(i);
  }
  const ui::MsgBoxRequest& last_message() const { return host_.messages().back().request; }

  ui::HeadlessHost host_;
  std::unique_ptr<Form1> form_;
  fs::path root_, old_;
};

}  // namespace regtest
