#include "register/fileops.h"

#include "platform/files.h"
#include "text/linefile.h"

namespace dorv::reg {

// The callers use these only for files that no stored calculation depends
// on (working files and their twins, the search result, copies kept for the
// user, the mirror's copy): a step that fails leaves the file as it was, and
// whoever needs the file next finds it missing or stale and makes it again
// or says so. A file error is therefore all that is caught, and dropped.
void copy_quietly(const std::wstring& from, const std::wstring& to) {
  try {
    sys::copy_file(from, to);
  } catch (const FileError&) {
    // Dropped: see above.
  }
}

void create_quietly(const std::wstring& name) {
  try {
    sys::create_empty(name);
  } catch (const FileError&) {
    // Dropped: see above.
  }
}

void delete_quietly(const std::wstring& name) {
  try {
    sys::delete_if_exists(name);
  } catch (const FileError&) {
    // Dropped: see above.
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
