#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "text/codepage.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::sys {
namespace fs = std::filesystem;

FsError::FsError(Code code, const std::wstring& name, Step step, int error_number)
    : FileError(name, step, error_number), code_(code), name_(name) {}

namespace {

std::vector<std::wstring> split_parts(std::wstring_view name) {
  std::vector<std::wstring> parts;
  std::wstring cur;
  for (wchar_t c : name) {
    if (c == L'\\' || c == L'/') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

fs::path native(std::wstring_view part) { return fs::path(to_utf8(part)); }

// The entry of a folder whose name equals part without regard to case.
fs::path match_entry(const fs::path& folder, std::wstring_view part) {
  std::error_code ec;
  fs::path exact = folder / native(part);
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (equal_ignore_case(from_utf8(it->path().filename().string()), part)) return folder / it->path().filename();
  }
  return exact;
}

bool wildcard_match(std::wstring_view pattern, std::wstring_view name) {
  // Classic backtracking match of "*" and "?", without regard to case.
  std::size_t p = 0, n = 0, star = std::wstring_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || lower(pattern[p]) == lower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      mark = n;
    } else if (star != std::wstring_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

// A "*.*" pattern matches names without a point too.
std::wstring normalise_pattern(std::wstring_view pattern) {
  std::wstring p(pattern);
  if (ends_with(p, L"*.*")) p.resize(p.size() - 2);
  return p;
}

void split_folder(std::wstring_view name, std::wstring& folder, std::wstring& last) {
  const auto pos = name.find_last_of(L"\\/");
  if (pos == std::wstring_view::npos) {
    folder.clear();
    last = std::wstring(name);
  } else {
    folder = std::wstring(name.substr(0, pos + 1));
    last = std::wstring(name.substr(pos + 1));
  }
}

fs::path folder_of(const std::wstring& folder) {
  if (folder.empty()) return fs::path(".");
  return resolve(folder);
}

[[noreturn]] void fail(FsError::Code code, std::wstring_view name, FileError::Step step, int error_number = 0) {
  throw FsError(code, std::wstring(name), step, error_number);
}

// A failure of the safe save (or of reading its source), told with the
// program's own name of the file that failed.
[[noreturn]] void fail_save(const FileError& e, std::wstring_view from, std::wstring_view to) {
  const bool reading = e.step() == FileError::Step::Read || e.step() == FileError::Step::Find;
  fail(FsError::PathFileAccess, reading ? from : to, e.step(), e.error_number());
}

}  // namespace

fs::path resolve(std::wstring_view name) {
  const auto parts = split_parts(name);
  fs::path p;
  std::size_t i = 0;
  if (!parts.empty() && parts[0].empty() && parts.size() > 1) {  // "/..." or "\..."
    p = "/";
    i = 1;
  }
  for (; i < parts.size(); ++i) {
    const auto& part = parts[i];
    if (part.empty() || part == L".") {
      if (p.empty() && part == L".") p = ".";
      continue;
    }
    if (part == L"..") {
      p /= "..";
      continue;
    }
    p = match_entry(p, part);
  }
  return p.empty() ? fs::path(".") : p;
}

std::wstring name_of(const fs::path& path) { return from_utf8(path.string()); }

bool file_exists(std::wstring_view name) {
  std::error_code ec;
  return fs::is_regular_file(resolve(name), ec);
}

bool folder_exists(std::wstring_view name) {
  std::error_code ec;
  return fs::is_directory(resolve(name), ec);
}

Listing list_files(std::wstring_view pattern) {
  std::wstring folder, last;
  split_folder(pattern, folder, last);
  last = normalise_pattern(last);
  Listing listing;
  std::error_code ec;
  const fs::path f = folder_of(folder);
  for (fs::directory_iterator it(f, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ec2;
    if (!it->is_regular_file(ec2)) continue;
    const std::string bytes = it->path().filename().string();
    const std::wstring n = from_utf8(bytes);
    if (!wildcard_match(last, n)) continue;
    const bool one_name = n.find_first_of(L"\\/") == std::wstring::npos && to_utf8(n) == bytes;
    (one_name ? listing.names : listing.refused).push_back(n);
  }
  std::sort(listing.names.begin(), listing.names.end());
  std::sort(listing.refused.begin(), listing.refused.end());
  return listing;
}

std::vector<std::wstring> dir(std::wstring_view pattern) { return list_files(pattern).names; }

std::int64_t file_len(std::wstring_view name) {
  std::error_code ec;
  const auto size = fs::file_size(resolve(name), ec);
  if (ec) fail(FsError::FileNotFound, name, FileError::Step::Find);
  return static_cast<std::int64_t>(size);
}

void copy_file(std::wstring_view from, std::wstring_view to) {
  const fs::path src = resolve(from);
  std::error_code ec;
  if (!fs::is_regular_file(src, ec)) fail(FsError::FileNotFound, from, FileError::Step::Find);
  try {
    copy_file_atomic(src, resolve(to));
  } catch (const FileError& e) {
    fail_save(e, from, to);
  }
}

namespace {

// Moves src to dst, over dst when it exists. Across file systems the data
// goes through the safe save beside the target, so the target is never seen
// half-written; the source goes last.
void move_path(const fs::path& src, const fs::path& dst, std::wstring_view from, std::wstring_view to) {
  if (::rename(src.c_str(), dst.c_str()) == 0) return;
  if (errno != EXDEV) fail(FsError::PathFileAccess, to, FileError::Step::Rename, errno);
  try {
    copy_file_atomic(src, dst);
  } catch (const FileError& e) {
    fail_save(e, from, to);
  }
  if (::unlink(src.c_str()) != 0) fail(FsError::PathFileAccess, from, FileError::Step::Delete, errno);
}

}  // namespace

void rename_file(std::wstring_view from, std::wstring_view to) {
  const fs::path src = resolve(from);
  const fs::path dst = resolve(to);
  std::error_code ec;
  if (!fs::exists(src, ec)) fail(FsError::FileNotFound, from, FileError::Step::Find);
  if (fs::exists(dst, ec)) fail(FsError::FileExists, to, FileError::Step::Rename, EEXIST);
  move_path(src, dst, from, to);
}

void replace_file(std::wstring_view from, std::wstring_view to) {
  const fs::path src = resolve(from);
  std::error_code ec;
  if (!fs::is_regular_file(src, ec)) fail(FsError::FileNotFound, from, FileError::Step::Find);
  move_path(src, resolve(to), from, to);
}

void delete_file(std::wstring_view name) {
  const fs::path p = resolve(name);
  std::error_code ec;
  if (!fs::is_regular_file(fs::symlink_status(p, ec)) && !fs::is_symlink(fs::symlink_status(p, ec)))
    fail(FsError::FileNotFound, name, FileError::Step::Find);
  if (::unlink(p.c_str()) != 0) fail(FsError::PathFileAccess, name, FileError::Step::Delete, errno);
}

bool delete_if_exists(std::wstring_view name) {
  if (!file_exists(name)) return false;
  delete_file(name);
  return true;
}

void delete_files(std::wstring_view pattern) {
  std::wstring folder, last;
  split_folder(pattern, folder, last);
  const auto names = dir(pattern);
  if (names.empty()) fail(FsError::FileNotFound, pattern, FileError::Step::Find);
  for (const auto& n : names) delete_file(folder + n);
}

void make_folder(std::wstring_view name) {
  const fs::path p = resolve(name);
  std::error_code ec;
  if (fs::exists(p, ec)) fail(FsError::PathFileAccess, name, FileError::Step::CreateFolder, EEXIST);
  if (::mkdir(p.c_str(), 0777) != 0) fail(FsError::PathFileAccess, name, FileError::Step::CreateFolder, errno);
}

void create_empty(std::wstring_view name) {
  const int fd = ::open(resolve(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) fail(FsError::PathFileAccess, name, FileError::Step::Create, errno);
  ::close(fd);
}

bool create_new(std::wstring_view name, std::string_view bytes) {
  const fs::path p = resolve(name);
  const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    fail(FsError::PathFileAccess, name, FileError::Step::Create, errno);
  }
  int err = 0;
  while (!bytes.empty() && !err) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) err = n < 0 ? errno : EIO;
    else bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  if (::close(fd) != 0 && !err) err = errno;
  if (err) {
    ::unlink(p.c_str());
    fail(FsError::PathFileAccess, name, FileError::Step::Write, err);
  }
  return true;
}

fs::path current_folder() { return fs::current_path(); }

void set_current_folder(const fs::path& folder) { fs::current_path(folder); }

fs::path executable_folder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : exe.parent_path();
}

std::wstring environment(std::string_view variable) {
  const char* v = std::getenv(std::string(variable).c_str());
  return v ? from_utf8(v) : std::wstring();
}

std::wstring all_users_folder() {
  std::wstring v = environment("ALLUSERSPROFILE");
  if (!v.empty()) return v;
  v = environment("XDG_DATA_HOME");
  if (!v.empty()) return v;
  const std::wstring home = environment("HOME");
  return (home.empty() ? std::wstring(L".") : home) + L"/.local/share";
}

}  // namespace dorv::sys
