// The safe save of kept files (and its unflushed form for working files): a
// save that fails for real leaves the old file as it was, no temporary file,
// and one Russian sentence naming the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
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

}  // namespace
