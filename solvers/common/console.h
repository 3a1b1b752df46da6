// Console text of the grid solver programs. Messages are held as program text
// (std::wstring) and go to the terminal as UTF-8.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace dorv::solvers {

// Writes the text to standard output as UTF-8 and flushes it, so that the
// progress of a long run shows at once.
void print_console(std::wstring_view text);

// Where a program sends its console text; tests and benchmarks pass their own.
using ConsoleOut = std::function<void(std::wstring_view)>;
inline const ConsoleOut& stdout_console() {
  static const ConsoleOut out = [](std::wstring_view t) { print_console(t); };
  return out;
}

// printf-style formatting of a UTF-8 format (the programs' fixed line and
// cell formats, "%6.2lf   " and the like) into program text. Numbers use the
// decimal point whatever the locale.
std::wstring c_format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace dorv::solvers
