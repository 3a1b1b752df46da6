#include "solvers/common/resultfile.h"

#include <cmath>

#include "solvers/common/console.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/number.h"

namespace dorv::solvers {

std::wstring head_cell(double head) { return c_format("%6.2lf   ", head); }

std::wstring square_head_rows(const ParameterRecord& r, const std::function<double(int node)>& head,
                            bool zero_row_without_partial) {
  const int q = r.LineCount;
  std::wstring out;
  for (int line = r.SquareLines - 1; line >= 0; --line) {
    for (int j = 0; j < r.SquareWidth; ++j) out += head_cell(head(2 * q + 1 + r.SquareLines * j + line));
    out += L"\n";
  }
  if (r.PartialCount == 0) {
    if (zero_row_without_partial)
      for (int j = 0; j < r.SquareWidth; ++j) out += head_cell(0.0);
    return out;
  }
  const int first = 2 * q + r.SquareLines * r.SquareWidth + 1;
  for (int j = 0; j < r.PartialOffset; ++j) out += head_cell(0.0);
  for (int j = 0; j < r.PartialCount; ++j) out += head_cell(head(first + j));
  for (int j = r.PartialOffset + r.PartialCount; j < r.SquareWidth; ++j) out += head_cell(0.0);
  return out;
}

std::wstring without_negative_zeros(std::wstring text) {
  for (std::size_t minus = text.find(L'-'); minus != std::wstring::npos; minus = text.find(L'-', minus + 1)) {
    std::size_t end = minus + 1;
    bool digit = false, nonzero = false;
    for (; end < text.size() && ((text[end] >= L'0' && text[end] <= L'9') || text[end] == L'.'); ++end) {
      digit = digit || text[end] != L'.';
      nonzero = nonzero || (text[end] != L'.' && text[end] != L'0');
    }
    if (digit && !nonzero) text[minus] = L' ';
  }
  return text;
}

bool numbers_sensible(std::wstring_view text, double bound) {
  if (text.find(L"nan") != std::wstring_view::npos || text.find(L"inf") != std::wstring_view::npos) return false;
  if (bound <= 0) return true;
  for (std::size_t i = 0; i < text.size();) {
    double x = 0;
    const std::size_t n = (text[i] >= L'0' && text[i] <= L'9') ? scan_decimal(text.substr(i), x) : 0;
    if (n == 0) {
      ++i;
      continue;
    }
    if (!(std::fabs(x) < bound)) return false;
    i += n;
  }
  return true;
}

bool write_result_file(const std::filesystem::path& path, std::wstring_view text) {
  std::wstring crlf;
  crlf.reserve(text.size() + text.size() / 16);
  for (wchar_t c : text) {
    if (c == L'\n') crlf += L'\r';
    crlf += c;
  }
  try {
    replace_bytes(path, to_cp866(crlf));
    return true;
  } catch (const FileError&) {
    return false;
  }
}

bool empty_result_file(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return !ec;
  try {
    write_bytes(path, "");
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace dorv::solvers
