#include "text/fileerror.h"

#include <cerrno>

#include "text/codepage.h"

namespace dorv {
namespace {

const wchar_t* step_text(FileError::Step step) {
  switch (step) {
    case FileError::Step::Read: return L"Не удалось прочитать файл";
    case FileError::Step::Create: return L"Не удалось создать файл";
    case FileError::Step::Write: return L"Не удалось записать файл";
    case FileError::Step::Replace: return L"Не удалось заменить файл";
    case FileError::Step::Copy: return L"Не удалось скопировать файл";
    case FileError::Step::Rename: return L"Не удалось переименовать файл";
    case FileError::Step::Delete: return L"Не удалось удалить файл";
    case FileError::Step::CreateFolder: return L"Не удалось создать папку";
    case FileError::Step::Find: return L"Не найден файл";
  }
  return L"Не удалось обработать файл";
}

// Why, in the user's words; the common causes by name, any other by number.
std::wstring reason_text(int error_number) {
  switch (error_number) {
    case 0: return L"";
    case ENOSPC:
    case EDQUOT: return L"на диске нет места";
    case EROFS: return L"диск доступен только для чтения";
    case EACCES:
    case EPERM: return L"нет прав доступа";
    case ENOENT: return L"файл или папка не существует";
    case ENOTDIR: return L"папка в пути не существует";
    case EISDIR: return L"на этом месте находится папка";
    case EEXIST: return L"файл уже существует";
    case EBUSY:
    case ETXTBSY: return L"файл занят другой программой";
    case EIO: return L"ошибка чтения или записи на диске";
    case EFBIG: return L"файл слишком велик";
    case ENAMETOOLONG: return L"слишком длинное имя";
    case ELOOP: return L"ссылки в пути замкнуты в круг";
    case EMFILE:
    case ENFILE: return L"открыто слишком много файлов";
    default: return L"ошибка системы " + std::to_wstring(error_number);
  }
}

}  // namespace

std::wstring file_error_text(const std::wstring& name, FileError::Step step, int error_number) {
  std::wstring text = std::wstring(step_text(step)) + L" «" + name + L"»";
  const std::wstring reason = reason_text(error_number);
  if (!reason.empty()) text += L": " + reason;
  return text + L".";
}

FileError::FileError(const std::filesystem::path& path, Step step, int error_number)
    : FileError(from_utf8(path.string()), step, error_number) {
  path_ = path;
}

FileError::FileError(const std::wstring& name, Step step, int error_number)
    : std::runtime_error(to_utf8(file_error_text(name, step, error_number))),
      path_(to_utf8(name)),
      step_(step),
      error_number_(error_number),
      message_(file_error_text(name, step, error_number)) {}

}  // namespace dorv
