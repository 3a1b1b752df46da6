#include "text/numtext.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "text/number.h"

namespace dorv {
namespace {

double pow10(int n) {
  double p = 1.0;
  for (int i = 0; i < (n < 0 ? -n : n); ++i) p *= 10.0;
  return n < 0 ? 1.0 / p : p;
}

bool is_blank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring num_text_trim(double x) {
  if (std::isnan(x)) return L"NaN";
  if (std::isinf(x)) return x < 0 ? L"-Inf" : L"Inf";
  if (x == 0.0) return L"0";  // also -0
  // [-]d.dddddddddddddde[+-]XX
  std::string s = format_exponent(x, 14);
  const bool negative = s[0] == '-';
  if (negative) s.erase(0, 1);
  const auto epos = s.find('e');
  long long exponent = 0;
  scan_whole(std::string_view(s).substr(epos + 1 + (s[epos + 1] == '+' ? 1 : 0)), exponent);
  std::string digits = s.substr(0, 1) + s.substr(2, epos - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // value = 0.d1d2d3... * 10^(exponent+1)
  const int point = static_cast<int>(exponent) + 1;  // digits before the point
  std::string out;
  if (point <= 0) {
    out = "." + std::string(static_cast<std::size_t>(-point), '0') + digits;
  } else if (point >= static_cast<int>(digits.size())) {
    out = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
  } else {
    out = digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
  }
  if (negative) out.insert(0, "-");
  return std::wstring(out.begin(), out.end());
}

std::wstring num_text(double x) {
  std::wstring t = num_text_trim(x);
  if (t[0] != L'-') t.insert(0, L" ");
  return t;
}

std::wstring zero_before_point(std::wstring_view text) {
  std::wstring t(text);
  std::size_t i = 0;
  while (i < t.size() && t[i] == L' ') ++i;
  if (i < t.size() && (t[i] == L'-' || t[i] == L'+')) ++i;
  if (i < t.size() && t[i] == L'.') t.insert(i, L"0");
  return t;
}

std::wstring field_number_text(double value) {
  const std::wstring text = num_text(value);
  if (value > 0 && value < 1) return L" 0" + text.substr(1);
  return text;
}

long long chars_before_point(std::wstring_view text) {
  return static_cast<long long>(std::min(text.find(L'.'), text.size()));
}

long long chars_from_point(std::wstring_view text) {
  return static_cast<long long>(text.size()) - chars_before_point(text);
}

namespace {
// Returns the length of the number text read from the start (blanks skipped),
// and its value; 0 and length 0 when no number starts there.
std::size_t scan_number(std::wstring_view text, double& value) {
  std::size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  value = 0.0;
  const std::size_t n = scan_decimal(text.substr(i), value, /*allow_exponent=*/false);
  if (n == 0) return 0;
  if (value == 0.0) value = 0.0;  // no negative zero
  return i + n;
}
}  // namespace

double num_value(std::wstring_view text) {
  double v = 0.0;
  scan_number(text, v);
  return v;
}

bool starts_with_number(std::wstring_view text) {
  double v = 0.0;
  return scan_number(text, v) > 0;
}

std::wstring first_comma_to_point(std::wstring_view text) {
  std::wstring t(text);
  if (auto p = t.find(L','); p != std::wstring::npos) t[p] = L'.';
  return t;
}

std::wstring all_commas_to_point(std::wstring_view text) {
  std::wstring t(text);
  for (auto& c : t)
    if (c == L',') c = L'.';
  return t;
}

double int_floor(double x) { return std::floor(x); }

namespace {

// How near, in units in the last place, a scaled value must lie to a whole
// number or a half to be taken as standing on it. A value the program
// computes stands for a decimal one: 33.07 may arrive as 33.069999999999993,
// 1.235 is stored as 1.2350000000000001. A few units cover the error of the
// binary form and of a short computation; a value a digit further off
// (2.2349999) is not on the boundary.
constexpr double kBoundaryUlps = 8;

// x * 10^decimals when the scaled value can still fall between whole
// numbers; nothing for a value already whole at that scale, infinite or not
// a number, which rounds and cuts to itself.
std::optional<double> scaled(double x, int decimals) {
  const double y = x * pow10(decimals);
  if (!(std::fabs(y) < 0x1p52)) return std::nullopt;
  return y;
}

bool on_boundary(double y, double boundary) {
  const double size = std::fabs(boundary);
  return std::fabs(y - boundary) <= kBoundaryUlps * (std::nextafter(size, HUGE_VAL) - size);
}

}  // namespace

double round_half_up(double x, int decimals) {
  const auto y = scaled(x, decimals);
  if (!y) return x;
  const double f = std::floor(*y);
  const double r = on_boundary(*y, f + 0.5) ? f + 1.0 : std::floor(*y + 0.5);
  return r / pow10(decimals);
}

double cut2(double x) {
  const auto y = scaled(x, 2);
  if (!y) return x;
  const double whole = std::nearbyint(*y);
  return (on_boundary(*y, whole) ? whole : std::floor(*y)) / 100.0 + 0.0;  // no "-0"
}

double round_half_even(double x, int decimals) {
  const auto y = scaled(x, decimals);
  if (!y) return x;
  const double f = std::floor(*y);
  double r;
  if (on_boundary(*y, f + 0.5))
    r = std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
  else
    r = *y - f > 0.5 ? f + 1.0 : f;
  return r / pow10(decimals);
}

long long trunc_whole(double x) { return static_cast<long long>(std::trunc(x)); }

}  // namespace dorv
