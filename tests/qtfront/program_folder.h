// A program folder for a window test of the whole program: the example pack,
// the data tables, an executor and the all-users mirror off, made the
// register's folder for the test's run.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "register/modul1.h"
#include "support.h"
#include "text/codepage.h"

namespace dorv::test {

class ProgramFolderTest : public ::testing::Test {
 protected:
  explicit ProgramFolderTest(const std::string& name)
      : dir_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
    namespace fs = std::filesystem;
    app();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const char* f : {"demo.ini", "demo", "trub.inf", "klap.inf"}) fs::copy_file(fs::path(DORV_DATA_DIR) / f, dir_ / f);
    std::ofstream(dir_ / "sign.txt", std::ios::binary) << to_cp1251(L"Иванов И.И.\r\n");
    std::ofstream(dir_ / "nozapas.txt", std::ios::binary);
    previous_folder_ = fs::current_path();
    reg::Modul1::reset();
    reg::Modul1::ProgramFolder = dir_;
  }
  ~ProgramFolderTest() override {
    settle();
    reg::Modul1::reset();
    std::filesystem::current_path(previous_folder_);
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_;
  std::filesystem::path previous_folder_;
};

}  // namespace dorv::test
