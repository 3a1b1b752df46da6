#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/command_wait.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "text/linefile.h"

namespace fs = std::filesystem;
using namespace dorv::sys;

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("dorv_files_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  static void touch(const fs::path& p, const std::string& data = "") { dorv::write_bytes(p, data); }
  fs::path dir_, old_;
};

}  // namespace

TEST_F(FilesTest, NamesMatchWithoutRegardToCaseAndBackslashSeparates) {
  fs::create_directory("Perform");
  touch("Perform/12IN.prr", "abc");
  EXPECT_TRUE(folder_exists(L"perform"));
  EXPECT_TRUE(file_exists(L"perform\\12in.prr"));
  EXPECT_EQ(file_len(L"PERFORM\\12in.PRR"), 3);
  EXPECT_FALSE(file_exists(L"perform\\13in.prr"));
  EXPECT_THROW(file_len(L"perform\\13in.prr"), FsError);
  // A new file in an existing folder lands in that folder, whatever the case.
  dorv::write_lines(resolve(L"PERFORM\\new.txt"), {L"x"});
  EXPECT_TRUE(fs::exists("Perform/new.txt"));
}

TEST_F(FilesTest, DirectoryLookUpWithWildcards) {
  fs::create_directory("perform");
  for (auto n : {"1in.prr", "1res.prr", "11in.prr", "2IN.PRR", "x.dwg", "noext"}) touch(fs::path("perform") / n);
  fs::create_directory("perform/sub");
  EXPECT_EQ(dir(L"perform\\*in.prr"), (std::vector<std::wstring>{L"11in.prr", L"1in.prr", L"2IN.PRR"}));
  EXPECT_EQ(dir(L"perform\\*.*").size(), 6u);  // files only, names without a point too
  EXPECT_EQ(dir(L"perform\\?in.prr").size(), 2u);
  EXPECT_TRUE(dir(L"nofolder\\*.*").empty());
  delete_files(L"perform\\*.prr");
  EXPECT_EQ(dir(L"perform\\*.*"), (std::vector<std::wstring>{L"noext", L"x.dwg"}));
  EXPECT_THROW(delete_files(L"perform\\*.prr"), FsError);
}

// A file whose name holds "\\", or bytes that decode to "../" only in a form
// longer than the shortest, is no file of the folder listed: taken as one,
// the closing's clean-up of versii\*.dwg would delete a stored drawing.
TEST_F(FilesTest, ANameThatIsNoSingleFileNameIsListedApartAndNeverUsed) {
  fs::create_directories("perform");
  touch("perform/5.dwg", "stored");
  touch("x.dwg", "program folder");
  fs::create_directory("versii");
  for (const char* n : {"5-1.dwg", "..\\perform\\5.dwg", "\xc0\xae\xc0\xae\xc0\xafx.dwg", "caf\xe9.dwg"})
    touch(fs::path("versii") / n);
  const Listing listing = list_files(L"versii\\*.dwg");
  EXPECT_EQ(listing.names, std::vector<std::wstring>{L"5-1.dwg"});
  EXPECT_EQ(listing.refused, (std::vector<std::wstring>{L"..\\perform\\5.dwg", L"caf\uFFFD.dwg",
                                                        L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDx.dwg"}));
  delete_files(L"versii\\*.dwg");
  EXPECT_EQ(dorv::read_bytes("perform/5.dwg"), "stored");
  EXPECT_EQ(dorv::read_bytes("x.dwg"), "program folder");
  EXPECT_FALSE(fs::exists("versii/5-1.dwg"));
}

TEST_F(FilesTest, CopyRenameReplaceDelete) {
  touch("a", "one");
  copy_file(L"a", L"b");
  EXPECT_EQ(dorv::read_bytes("b"), "one");
  EXPECT_THROW(rename_file(L"a", L"b"), FsError);  // target exists
  rename_file(L"a", L"c");
  EXPECT_FALSE(fs::exists("a"));
  touch("d", "two");
  replace_file(L"d", L"c");
  EXPECT_EQ(dorv::read_bytes("c"), "two");
  EXPECT_THROW(delete_file(L"a"), FsError);
  EXPECT_FALSE(delete_if_exists(L"a"));
  EXPECT_TRUE(delete_if_exists(L"c"));
  make_folder(L"versii");
  EXPECT_THROW(make_folder(L"Versii"), FsError);
  EXPECT_THROW(copy_file(L"missing", L"x"), FsError);
}

TEST_F(FilesTest, RenameAndReplaceAcrossFileSystems) {
  // /dev/shm is a memory file system on Linux, distinct from the temp folder.
  const fs::path other = "/dev/shm";
  if (!fs::is_directory(other) || fs::status(other).permissions() == fs::perms::none) GTEST_SKIP();
  const fs::path target = other / ("dorv_xfs_" + std::to_string(::getpid()));
  touch("ined", " 101\r\n");
  rename_file(L"ined", name_of(target));
  EXPECT_FALSE(fs::exists("ined"));
  EXPECT_EQ(dorv::read_bytes(target), " 101\r\n");
  touch("new", "cat");
  replace_file(L"new", name_of(target));
  EXPECT_EQ(dorv::read_bytes(target), "cat");
  fs::remove(target);
}

TEST_F(FilesTest, AllUsersFolderFollowsTheEnvironment) {
  setenv("ALLUSERSPROFILE", "/srv/all", 1);
  EXPECT_EQ(all_users_folder(), L"/srv/all");
  unsetenv("ALLUSERSPROFILE");
  setenv("XDG_DATA_HOME", "/srv/xdg", 1);
  EXPECT_EQ(all_users_folder(), L"/srv/xdg");
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(all_users_folder(), L"/home/u/.local/share");
}

TEST_F(FilesTest, CommandFileRunsInItsFolderWithoutWaiting) {
  dorv::ui::HeadlessHost host;
  host.set_second(std::chrono::milliseconds(10));
  touch("prom.in");
  touch("prom1.bat", "sleep 0.2\necho done > out.txt\nrm -f prom.in\n");
  EXPECT_TRUE(host.start_command_file(dir_, L"prom1.bat"));
  EXPECT_TRUE(fs::exists("prom.in"));  // it did not wait
  for (int i = 0; i < 500 && fs::exists("prom.in"); ++i) host.wait_one_second();
  EXPECT_FALSE(fs::exists("prom.in"));
  EXPECT_EQ(dorv::read_bytes("out.txt"), "done\n");
  EXPECT_FALSE(host.start_command_file(dir_, L"missing.bat"));
}

// The wait of a calculation ends when a command file ends without removing
// its flag: the host tells whether the last command file still runs.
TEST_F(FilesTest, TellsWhenTheLastCommandFileHasEnded) {
  dorv::ui::HeadlessHost host;
  host.set_second(std::chrono::milliseconds(20));
  dorv::write_bytes("slow.bat", "sleep 0.3\n");
  ASSERT_TRUE(host.start_command_file(dir_, L"slow.bat"));
  EXPECT_TRUE(host.command_file_running());
  for (int i = 0; i < 500 && host.command_file_running(); ++i) host.wait_one_second();
  EXPECT_FALSE(host.command_file_running());
}

// During the wait for a command file the one-second pause ends with the
// command file or its flag, so that a quick solver's results are not held
// back for the rest of a second; outside that wait the pause lasts its second
// even while a command file runs.
TEST_F(FilesTest, PauseOfACommandFileWaitEndsWithTheCommandFile) {
  using dorv::ui::CommandWaitEnd;
  using Clock = std::chrono::steady_clock;
  struct Case {
    const char* script;
    CommandWaitEnd end;
  };
  const Case cases[] = {
      {"sleep 0.1\nrm -f prom.in\n", CommandWaitEnd::FlagRemoved},
      {"sleep 0.1\n", CommandWaitEnd::EndedWithFlag},
      {"sleep 0.1\nrm -f prom.in\nsleep 1\n", CommandWaitEnd::FlagRemoved},  // the flag goes first
  };
  dorv::ui::HeadlessHost host;
  // A "second" no test would sit out: a pause that ran its length shows.
  host.set_second(std::chrono::seconds(30));
  for (const auto& c : cases) {
    touch("prom.in");
    touch("solver.bat", c.script);
    host.clear_records();
    const auto start = Clock::now();
    EXPECT_EQ(dorv::ui::run_command_file_until_flag_removed(dir_, L"solver.bat", dir_ / "prom.in"), c.end)
        << c.script;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(20)) << c.script;
    EXPECT_EQ(host.waits(), 1) << c.script;
  }
  EXPECT_FALSE(dorv::ui::command_wait_may_end());

  host.set_second(std::chrono::milliseconds(50));
  touch("slow.bat", "sleep 0.5\n");
  ASSERT_TRUE(host.start_command_file(dir_, L"slow.bat"));
  const auto start = Clock::now();
  host.wait_one_second();
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(50));
}
