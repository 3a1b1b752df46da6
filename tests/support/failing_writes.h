// Ways to make a save fail for real, also for root (the tests run as root,
// for whom a folder without write permission is no obstacle):
// - a file size limit (RLIMIT_FSIZE): every write past the limit fails with
//   EFBIG, whoever the user is; always available;
// - a small memory file system mounted on a folder, filled up (ENOSPC) or
//   remounted read-only (EROFS); only where mounting is permitted.
#pragma once
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>

namespace dorv::testing {

// While it lives, no file of the process can grow past `bytes`.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*old_handler_)(int) = SIG_DFL;
};

// A small memory file system on an existing (empty) folder.
class SmallVolume {
 public:
  explicit SmallVolume(std::filesystem::path folder, const std::string& size = "256k") : folder_(std::move(folder)) {
    const std::string options = "size=" + size;
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallVolume() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallVolume(const SmallVolume&) = delete;
  SmallVolume& operator=(const SmallVolume&) = delete;

  // False where the test may not mount (no privilege in a container).
  bool mounted() const { return mounted_; }
  // Takes every free byte with a filler file.
  void fill() {
    const int fd = ::open((folder_ / ".filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    const std::string block(512, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    ::close(fd);
  }
  bool make_read_only() {
    return ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
};

}  // namespace dorv::testing
