#include "register/fileops.h"

#include "platform/files.h"
#include "text/linefile.h"

namespace dorv::reg {

void copy_quietly(const std::wstring& from, const std::wstring& to) {
  try {
    sys::copy_file(from, to);
  } catch (const std::exception&) {
  }
}

void create_quietly(const std::wstring& name) {
  try {
    sys::create_empty(name);
  } catch (const std::exception&) {
  }
}

void delete_quietly(const std::wstring& name) {
  try {
    sys::delete_if_exists(name);
  } catch (const std::exception&) {
  }
}

bool nonempty_file(std::wstring_view name) {
  try {
    return sys::file_exists(name) && sys::file_len(name) > 0;
  } catch (const std::exception&) {
    return false;
  }
}

std::wstring first_line(std::wstring_view name) {
  auto lines = try_read_lines(sys::resolve(name));
  return lines && !lines->empty() ? lines->front() : std::wstring();
}

}  // namespace dorv::reg
