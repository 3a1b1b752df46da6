// The one way the programs save a file they keep. The new contents go to a
// temporary file in the target's own folder (so that the final rename stays
// on one file system), are flushed to the disk, and the temporary file is
// renamed over the target; then the folder itself is flushed so that the
// rename survives a power cut. At every moment the target is either the old
// or the complete new file, and a failed save leaves nothing behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <random>

#include "text/linefile.h"

namespace dorv {
namespace fs = std::filesystem;

namespace {

// A file reached through a symbolic link (a catalog kept in a shared folder)
// stays a link: the file it names is the one replaced.
fs::path final_target(const fs::path& path) {
  fs::path p = path;
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
    const fs::path next = fs::read_symlink(p, ec);
    if (ec) break;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return p;
}

fs::path folder_of(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// Creates a new temporary file beside the target; its descriptor, or -1 with errno set.
int create_temporary(const fs::path& target, fs::path& temporary) {
  static std::mt19937 gen(std::random_device{}());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder_of(target) / ("." + target.filename().string() + ".tmp" + std::to_string(gen() % 1000000));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Flushes a folder's entries. File systems that cannot flush a folder say
// so with EINVAL; that is no failure of the save.
int sync_folder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int result = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return result;
}

// The temporary file of a new content, written, flushed and closed; its
// target is where the rename will put it. write puts the contents into the
// temporary file's descriptor and returns false with errno set when it
// could not.
void write_temporary(const fs::path& path, const std::function<bool(int fd)>& write, bool flush, fs::path& target,
                     fs::path& temporary) {
  target = final_target(path);
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) throw FileError(path, FileError::Step::Write, EISDIR);

  const int fd = create_temporary(target, temporary);
  if (fd < 0) throw FileError(path, FileError::Step::Write, errno);
  int failure = 0;
  if (replacing) {
    // The saved file keeps the old one's permissions and owner.
    if (::fchmod(fd, old.st_mode & 07777) != 0) failure = errno;
    if (!failure && ::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) failure = errno;
  }
  if (!failure) {
    try {
      if (!write(fd)) failure = errno;
    } catch (...) {
      ::close(fd);
      ::unlink(temporary.c_str());
      throw;
    }
  }
  if (!failure && flush && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && !failure) failure = errno;
  if (failure) {
    ::unlink(temporary.c_str());
    throw FileError(path, FileError::Step::Write, failure);
  }
}

// The replacement itself; flush says whether the file and the folder are
// flushed to the disk on the way.
void replace_whole(const fs::path& path, const std::function<bool(int fd)>& write, bool flush) {
  fs::path target, temporary;
  write_temporary(path, write, flush, target, temporary);
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int failure = errno;
    ::unlink(temporary.c_str());
    throw FileError(path, FileError::Step::Replace, failure);
  }
  if (!flush) return;
  if (const int err = sync_folder(folder_of(target))) throw FileError(path, FileError::Step::Write, err);
}

}  // namespace

void write_bytes_atomic(const fs::path& path, std::string_view bytes) {
  replace_whole(path, [&](int fd) { return write_all(fd, bytes); }, true);
}

void replace_bytes(const fs::path& path, std::string_view bytes) {
  replace_whole(path, [&](int fd) { return write_all(fd, bytes); }, false);
}

void replace_bytes_in_parts(const fs::path& path, const std::function<void(const ByteSink& put)>& produce) {
  replace_whole(
      path,
      [&](int fd) {
        bool written = true;
        int error = 0;
        produce([&](std::string_view part) {
          if (written && !write_all(fd, part)) {
            written = false;
            error = errno;
          }
        });
        errno = error;
        return written;
      },
      false);
}

void copy_file_atomic(const fs::path& from, const fs::path& to) { write_bytes_atomic(to, read_bytes(from)); }

SaveSet::~SaveSet() {
  for (const auto& s : staged_) ::unlink(s.temporary.c_str());
}

void SaveSet::stage(const fs::path& path, std::string_view bytes) {
  Staged s{path, {}, {}};
  write_temporary(path, [&](int fd) { return write_all(fd, bytes); }, true, s.target, s.temporary);
  staged_.push_back(std::move(s));
}

void SaveSet::commit() {
  while (!staged_.empty()) {
    const Staged s = staged_.front();
    if (::rename(s.temporary.c_str(), s.target.c_str()) != 0) throw FileError(s.path, FileError::Step::Replace, errno);
    staged_.erase(staged_.begin());
    if (const int err = sync_folder(folder_of(s.target))) throw FileError(s.path, FileError::Step::Write, err);
  }
}

}  // namespace dorv
