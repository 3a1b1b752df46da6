#include "solvers/common/console.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "text/codepage.h"

namespace dorv::solvers {

void PrintConsole(std::wstring_view text) {
  const std::string bytes = to_utf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::wstring CFormat(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int size = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out;
  if (size > 0) {
    std::vector<char> buf(static_cast<std::size_t>(size) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, again);
    out.assign(buf.data(), static_cast<std::size_t>(size));
  }
  va_end(again);
  return from_utf8(out);
}

}  // namespace dorv::solvers
