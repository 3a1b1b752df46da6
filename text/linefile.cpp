#include "text/linefile.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

namespace dorv {
namespace fs = std::filesystem;

namespace {

// The whole file, or nothing with err set: ENOENT when it does not exist.
std::optional<std::string> read_file(const fs::path& path, int& err) {
  err = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    err = errno;
    return std::nullopt;
  }
  // One read of the size the file has; should it grow meanwhile, the rest
  // follows, and a file that tells no size (a device) is read in blocks.
  std::string data;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) err = EISDIR;
  std::size_t have = 0;
  data.resize(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 65536);
  while (!err) {
    if (have == data.size()) data.resize(data.size() * 2);
    const ssize_t n = ::read(fd, data.data() + have, data.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) err = errno;
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  data.resize(have);
  ::close(fd);
  if (err) return std::nullopt;
  return data;
}

}  // namespace

std::optional<FileBytes> try_read_file(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0 || !in.seekg(0)) return std::nullopt;
  FileBytes bytes;
  bytes.data = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size));
  in.read(bytes.data.get(), size);
  bytes.size = static_cast<std::size_t>(in.gcount());
  if (in.bad()) return std::nullopt;
  if (in) {
    // The file grew since its size was taken: the rest too.
    const std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    if (!rest.empty()) {
      auto whole = std::make_unique_for_overwrite<char[]>(bytes.size + rest.size());
      std::copy(bytes.data.get(), bytes.data.get() + bytes.size, whole.get());
      std::copy(rest.begin(), rest.end(), whole.get() + bytes.size);
      bytes.data = std::move(whole);
      bytes.size += rest.size();
    }
  }
  return bytes;
}

std::optional<std::string> try_read_bytes(const fs::path& path) {
  int err = 0;
  return read_file(path, err);
}

std::optional<std::string> read_bytes_if_exists(const fs::path& path) {
  int err = 0;
  auto data = read_file(path, err);
  if (!data && err != ENOENT) throw FileError(path, FileError::Step::Read, err);
  return data;
}

std::string read_bytes(const fs::path& path) {
  int err = 0;
  auto data = read_file(path, err);
  if (!data) throw FileError(path, err == ENOENT ? FileError::Step::Find : FileError::Step::Read, err == ENOENT ? 0 : err);
  return *data;
}

void write_bytes(const fs::path& path, std::string_view bytes) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw FileError(path, FileError::Step::Create, errno);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw FileError(path, FileError::Step::Write, errno);
}

std::vector<std::wstring> split_lines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c != L'\r' && c != L'\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

namespace {

void append_one_line(std::wstring& out, std::wstring_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c != L'\r' && c != L'\n') {
      out += c;
      continue;
    }
    out += L' ';
    if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
  }
}

}  // namespace

std::wstring one_line_text(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  append_one_line(out, text);
  return out;
}

std::wstring join_lines(const std::vector<std::wstring>& lines) {
  std::wstring out;
  for (const auto& l : lines) {
    if (l.find_first_of(L"\r\n") == std::wstring::npos)
      out += l;
    else
      append_one_line(out, l);
    out += L"\r\n";
  }
  return out;
}

std::optional<std::vector<std::wstring>> try_read_lines(const fs::path& path, CodePage cp) {
  auto data = try_read_bytes(path);
  if (!data) return std::nullopt;
  return split_lines(decode(*data, cp));
}

std::vector<std::wstring> read_lines(const fs::path& path, CodePage cp) {
  return split_lines(decode(read_bytes(path), cp));
}

void write_lines(const fs::path& path, const std::vector<std::wstring>& lines, CodePage cp) {
  write_bytes(path, encode(join_lines(lines), cp));
}

void write_lines_atomic(const fs::path& path, const std::vector<std::wstring>& lines, CodePage cp) {
  write_bytes_atomic(path, encode(join_lines(lines), cp));
}

LineReader::LineReader(const fs::path& path, CodePage cp) : lines_(read_lines(path, cp)) {}

bool LineReader::read(std::wstring& line) {
  if (eof()) {
    line.clear();
    return false;
  }
  line = lines_[next_++];
  return true;
}

std::wstring LineReader::next() {
  std::wstring line;
  read(line);
  return line;
}

LineWriter::LineWriter(const fs::path& path, CodePage cp, Mode mode) : path_(path), cp_(cp) {
  errno = 0;
  // Create (or truncate) the file at once, as opening a file for output does,
  // so that a file that cannot be written is reported here.
  std::ofstream out(path, std::ios::binary | (mode == Mode::Append ? std::ios::app : std::ios::trunc));
  if (!out) throw FileError(path, FileError::Step::Create, errno);
}

LineWriter::~LineWriter() {
  try {
    close();
  } catch (...) {
    // A destructor must not throw. A writer whose data must be known to be
    // written calls close() itself, which reports the failure.
  }
}

void LineWriter::write_line(std::wstring_view line) {
  write(line);
  pending_ += "\r\n";
}

void LineWriter::write(std::wstring_view text) { pending_ += encode(one_line_text(text), cp_); }

void LineWriter::close() {
  if (!open_) return;
  open_ = false;
  errno = 0;
  std::ofstream out(path_, std::ios::binary | std::ios::app);
  if (!out) throw FileError(path_, FileError::Step::Write, errno);
  out.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
  out.close();
  if (!out) throw FileError(path_, FileError::Step::Write, errno);
  pending_.clear();
}

}  // namespace dorv
