// The safe save of kept files (and its unflushed form for working files): a
// save that fails for real leaves the old file as it was, no temporary file,
// and one Russian sentence naming the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/failing_writes.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace fs = std::filesystem;
using namespace dorv;

namespace {

// The unflushed save with its contents handed over in parts.
void replace_in_parts(const fs::path& path, std::string_view bytes) {
  replace_bytes_in_parts(path, [&](const ByteSink& put) {
    for (std::size_t i = 0; i < bytes.size(); i += 3000) put(bytes.substr(i, 3000));
  });
}

class SafeSave : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("dorv_save_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

  // Saves over an existing file where every write fails with `error`.
  void expect_failed_save(int error, const std::wstring& reason, const std::vector<std::string>& left,
                          void (*save)(const fs::path&, std::string_view) = &write_bytes_atomic) {
    const fs::path target = dir_ / "prr.kat";
    try {
      save(target, std::string(10000, 'n'));
      ADD_FAILURE() << "the save did not fail";
    } catch (const FileError& e) {
      EXPECT_EQ(e.error_number(), error);
      EXPECT_EQ(e.message(), L"Не удалось записать файл «" + from_utf8(target.string()) + L"»: " + reason + L".");
      EXPECT_EQ(e.what(), to_utf8(e.message()));
    }
    EXPECT_EQ(try_read_bytes(target).value_or("<missing>"), "old");
    EXPECT_EQ(names(), left);
  }

  fs::path dir_;
};

TEST_F(SafeSave, AFileSizeLimitFailsTheSaveAndLosesNothing) {
  write_bytes(dir_ / "prr.kat", "old");
  dorv::testing::FileSizeLimit limit(4);
  expect_failed_save(EFBIG, L"файл слишком велик", {"prr.kat"});
  expect_failed_save(EFBIG, L"файл слишком велик", {"prr.kat"}, &replace_bytes);
  expect_failed_save(EFBIG, L"файл слишком велик", {"prr.kat"}, &replace_in_parts);
}

TEST_F(SafeSave, ASaveInPartsWritesThemInOrderAndAFailedProducerLosesNothing) {
  const fs::path target = dir_ / "spr1_1.out";
  std::string whole;
  for (int i = 0; i < 5000; ++i) whole += std::to_string(i) + "\r\n";
  replace_in_parts(target, whole);
  EXPECT_EQ(read_bytes(target), whole);
  EXPECT_THROW(replace_bytes_in_parts(target,
                                      [](const ByteSink& put) {
                                        put("part");
                                        throw std::runtime_error("no more");
                                      }),
               std::runtime_error);
  EXPECT_EQ(read_bytes(target), whole);
  EXPECT_EQ(names(), std::vector<std::string>{"spr1_1.out"});
}

TEST_F(SafeSave, AFullOrReadOnlyFileSystemFailsTheSaveAndLosesNothing) {
  {
    dorv::testing::SmallVolume probe(dir_);
    if (!probe.mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  }
  struct Case {
    const char* name;
    bool read_only;
    int error;
    const wchar_t* reason;
    std::vector<std::string> left;
  };
  for (const Case& c : {Case{"full", false, ENOSPC, L"на диске нет места", {".filler", "prr.kat"}},
                        Case{"read-only", true, EROFS, L"диск доступен только для чтения", {"prr.kat"}}}) {
    SCOPED_TRACE(c.name);
    dorv::testing::SmallVolume volume(dir_, "64k");
    ASSERT_TRUE(volume.mounted());
    write_bytes(dir_ / "prr.kat", "old");
    if (c.read_only)
      ASSERT_TRUE(volume.make_read_only());
    else
      volume.fill();
    expect_failed_save(c.error, c.reason, c.left);
  }
}

TEST_F(SafeSave, TheSavedFileKeepsItsPermissionsAndALinkStaysALink) {
  const fs::path file = dir_ / "sign.txt";
  write_bytes(file, "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  write_bytes_atomic(file, "new");
  EXPECT_EQ(read_bytes(file), "new");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  fs::create_directory(dir_ / "shared");
  write_bytes(dir_ / "shared" / "prr.kat", "old");
  fs::create_symlink("shared/prr.kat", dir_ / "prr.kat");
  write_bytes_atomic(dir_ / "prr.kat", "new");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "prr.kat")));
  EXPECT_EQ(read_bytes(dir_ / "shared" / "prr.kat"), "new");
  EXPECT_EQ(names(), (std::vector<std::string>{"prr.kat", "shared", "sign.txt"}));

  // A folder in the target's place is refused, not replaced.
  fs::create_directory(dir_ / "karman1");
  EXPECT_THROW(write_bytes_atomic(dir_ / "karman1", "x"), FileError);
  EXPECT_TRUE(fs::is_directory(dir_ / "karman1"));
}

// A set of files saved as one into a folder and its mirror: the input and
// the report replaced, the English name deleted.
class SaveSetTest : public SafeSave {
 protected:
  void SetUp() override {
    SafeSave::SetUp();
    for (const fs::path& f : {perform(), mirror()}) {
      fs::create_directories(f);
      write_bytes(f / "1in.prr", "old input");
      write_bytes(f / "1res.prr", "old report");
      write_bytes(f / "1angl.txt", "old name");
    }
  }
  fs::path perform() const { return dir_ / "perform"; }
  fs::path mirror() const { return dir_ / "mirror"; }

  void stage_all(SaveSet& set) const {
    for (const char* name : {"1in.prr", "1res.prr"})
      for (const fs::path& f : {perform(), mirror()})
        set.stage(f / name, std::string(name) == "1in.prr" ? "new input" : "new report");
    set.stage_removal(perform() / "1angl.txt");
    set.stage_removal(mirror() / "1angl.txt");
  }

  // "old", "new", or what else the folder holds, with any hidden file.
  static std::string state(const fs::path& folder) {
    std::string files;
    for (const char* name : {"1in.prr", "1res.prr", "1angl.txt"})
      files += try_read_bytes(folder / name).value_or("-") + "|";
    std::string state = files == "old input|old report|old name|" ? "old"
                        : files == "new input|new report|-|"      ? "new"
                                                                  : files;
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path().filename().string()[0] == '.') state += " " + e.path().filename().string();
    return state;
  }

  // Saves the set in a child process that stops dead after step `stop` (0:
  // never). The set's `then` and the recovery's note both mark the record
  // as entered. True when the child stopped.
  bool save_stopped_after(int stop) const {
    const pid_t child = ::fork();
    if (child == 0) {
      int steps = 0;
      SaveSet::after_step = [&] {
        if (++steps == stop) ::_exit(9);
      };
      SaveSet set;
      stage_all(set);
      set.commit("record", [this] { write_bytes(dir_ / "entered", "record"); });
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 9;
  }
  std::function<void(std::string_view)> enter() const {
    return [this](std::string_view note) { write_bytes(dir_ / "entered", std::string(note)); };
  }
};

TEST_F(SaveSetTest, StoppedAfterAnyStepTheRecoveryLeavesEachFolderWhollyOldOrWhollyNew) {
  // Recovered by the program that saved, or first the deciding folder by
  // another workstation that shares it and only then the mirror by the
  // program that saved: each folder is whole, and the record is entered
  // exactly when the deciding folder is new.
  for (const bool shared : {false, true}) {
    int steps = 0;
    for (int stop = 1; stop < 100; ++stop) {
      SCOPED_TRACE(std::string(shared ? "shared" : "own") + ", stopped after step " + std::to_string(stop));
      fs::remove_all(dir_);
      SetUp();
      if (!save_stopped_after(stop)) break;
      steps = stop;
      if (shared) {
        recover_saves({perform()}, enter());
        recover_saves({mirror()});
      } else {
        recover_saves({perform(), mirror()}, enter());
      }
      const std::string here = state(perform()), there = state(mirror());
      EXPECT_TRUE(here == "old" || here == "new") << here;
      EXPECT_TRUE(there == "old" || there == "new") << there;
      if (!shared) {
        EXPECT_EQ(here, there);
      }
      EXPECT_EQ(fs::exists(dir_ / "entered"), here == "new");
      EXPECT_FALSE(unfinished_saves({perform(), mirror()}));
    }
    // Four files written, two journals, six files renamed or deleted, two
    // journals removed.
    EXPECT_EQ(steps, 14);
  }
}

TEST_F(SaveSetTest, AFailedRenameUndoesTheSetUntilOneFileIsInPlaceAndThenLeavesItToTheRecovery) {
  // The first target turned into a folder: nothing was moved, so the set
  // is undone at once.
  {
    SaveSet set;
    stage_all(set);
    fs::remove(perform() / "1in.prr");
    fs::create_directories(perform() / "1in.prr" / "x");
    EXPECT_THROW(set.commit("record"), FileError);
    EXPECT_FALSE(set.pending());
  }
  fs::remove_all(perform() / "1in.prr");
  write_bytes(perform() / "1in.prr", "old input");
  EXPECT_EQ(state(perform()), "old");
  EXPECT_EQ(state(mirror()), "old");

  // A later target a folder: the set was under way, its files wait, and the
  // recovery finishes it once the folder is gone.
  {
    SaveSet set;
    stage_all(set);
    fs::remove(perform() / "1res.prr");
    fs::create_directories(perform() / "1res.prr" / "x");
    bool entered = false;
    EXPECT_THROW(set.commit("record", [&] { entered = true; }), FileError);
    EXPECT_TRUE(set.pending());
    EXPECT_FALSE(entered);
  }
  fs::remove_all(perform() / "1res.prr");
  EXPECT_TRUE(unfinished_saves({perform()}));
  const auto recovery = recover_saves({perform(), mirror()}, enter());
  EXPECT_EQ(recovery.finished, 2);
  EXPECT_EQ(state(perform()), "new");
  EXPECT_EQ(state(mirror()), "new");
  EXPECT_EQ(read_bytes(dir_ / "entered"), "record");
}

TEST_F(SaveSetTest, AJournalNamingAFileOutsideItsFolderIsDroppedAndTouchesNothing) {
  // As another user of a shared folder could write it.
  write_bytes(dir_ / "prr.kat", "catalog");
  write_bytes(perform() / ".1in.prr.tmp123", "planted");
  for (const std::string& target : {std::string("9:../prr.kat"), std::to_string((dir_ / "prr.kat").string().size()) +
                                                                     ":" + (dir_ / "prr.kat").string()}) {
    write_bytes(perform() / ".dorv-save-0000000000000001.jrn",
                "VIRN-Dorv save journal\ndecides\nnote 0:\nreplace 15:.1in.prr.tmp123 " + target + "\nend\n");
    const auto recovery = recover_saves({perform()});
    EXPECT_EQ(recovery.dropped, 1);
    EXPECT_EQ(read_bytes(dir_ / "prr.kat"), "catalog");
    EXPECT_EQ(state(perform()), "old");
    write_bytes(perform() / ".1in.prr.tmp123", "planted");
  }
}

}  // namespace
