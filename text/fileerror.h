// A file operation that failed, told the way the user reads it: one short
// Russian sentence that names the file and says what could not be done and
// why ("Не удалось записать файл «sign.txt»: на диске нет места."). what()
// carries the same sentence in UTF-8, so a log or a test sees what the user
// sees; the library's own English text never reaches the screen.
#pragma once
#include <filesystem>
#include <stdexcept>
#include <string>

namespace dorv {

class FileError : public std::runtime_error {
 public:
  // What was being done when the file system refused.
  enum class Step { Read, Create, Write, Replace, Copy, Rename, Delete, CreateFolder, Find };

  // error_number is the system's errno for the failure (0 when there is none).
  FileError(const std::filesystem::path& path, Step step, int error_number);
  FileError(const std::wstring& name, Step step, int error_number);

  const std::filesystem::path& path() const { return path_; }
  Step step() const { return step_; }
  int error_number() const { return error_number_; }
  // The sentence shown to the user.
  const std::wstring& message() const { return message_; }

 private:
  std::filesystem::path path_;
  Step step_;
  int error_number_;
  std::wstring message_;
};

// The sentence of a failed step on a named file.
std::wstring file_error_text(const std::wstring& name, FileError::Step step, int error_number);

}  // namespace dorv
