#include "text/linefile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

namespace dorv {
namespace fs = std::filesystem;

FileError::FileError(const fs::path& path, const std::string& action)
    : std::runtime_error("cannot " + action + " " + path.string() + (errno ? std::string(": ") + std::strerror(errno) : "")),
      path_(path) {}

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
  auto bytes = try_read_file(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->view());
}

std::string read_bytes(const fs::path& path) {
  errno = 0;
  auto data = try_read_bytes(path);
  if (!data) throw FileError(path, "read");
  return *data;
}

void write_bytes(const fs::path& path, std::string_view bytes) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw FileError(path, "create");
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw FileError(path, "write");
}

void write_bytes_atomic(const fs::path& path, std::string_view bytes) {
  static std::mt19937 gen(std::random_device{}());
  fs::path tmp = path;
  tmp += ".tmp" + std::to_string(gen() % 1000000);
  write_bytes(tmp, bytes);
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) {
    fs::remove(tmp, ec);
    errno = 0;
    throw FileError(path, "replace");
  }
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

std::wstring join_lines(const std::vector<std::wstring>& lines) {
  std::wstring out;
  for (const auto& l : lines) {
    out += l;
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
  if (!out) throw FileError(path, "create");
}

LineWriter::~LineWriter() {
  try {
    close();
  } catch (...) {
  }
}

void LineWriter::write_line(std::wstring_view line) {
  write(line);
  pending_ += "\r\n";
}

void LineWriter::write(std::wstring_view text) { pending_ += encode(text, cp_); }

void LineWriter::close() {
  if (!open_) return;
  open_ = false;
  errno = 0;
  std::ofstream out(path_, std::ios::binary | std::ios::app);
  if (!out) throw FileError(path_, "write");
  out.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
  out.close();
  if (!out) throw FileError(path_, "write");
  pending_.clear();
}

}  // namespace dorv
