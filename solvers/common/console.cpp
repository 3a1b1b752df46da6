#include "solvers/common/console.h"

#include <cstdarg>
#include <cstdio>

#include "text/codepage.h"
#include "text/number.h"

namespace dorv::solvers {

void print_console(std::wstring_view text) {
  const std::string bytes = to_utf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

std::wstring c_format(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  // The list ends on every way out, a format outside the formatter's set too.
  struct End {
    std::va_list& list;
    ~End() { va_end(list); }
  } end{args};
  return from_utf8(vcformat(format, args));
}

}  // namespace dorv::solvers
