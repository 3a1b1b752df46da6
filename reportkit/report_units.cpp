#include "reportkit/report_units.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::report {

namespace {

bool us(ReportUnits units) { return units == ReportUnits::US; }

// The K-factor typed above this value is already per L/(min·bar^0.5).
constexpr double kKFactorBoundary = 20;

}  // namespace

double head_in_units(double metres, ReportUnits units) { return us(units) ? metres / 0.689 : metres / 10; }

double flow_in_units(double litres_per_second, ReportUnits units) {
  return us(units) ? litres_per_second / 0.0631 : litres_per_second * 60;
}

double length_in_units(double metres, ReportUnits units) { return us(units) ? metres / 0.3048 : metres; }

double area_in_units(double square_metres, ReportUnits units) {
  return us(units) ? square_metres / 0.0929 : square_metres;
}

double intensity_in_units(double litres_per_second_m2, ReportUnits units) {
  return us(units) ? litres_per_second_m2 * 1.4722 : litres_per_second_m2 * 60;
}

double k_factor_in_units(double typed_k, ReportUnits units) {
  if (typed_k > kKFactorBoundary) return us(units) ? round_half_even(typed_k / 14.4, 1) : typed_k;
  return round_half_even(us(units) ? typed_k * 13.3 : typed_k * 190, 1);
}

double valve_coefficient_in_units(double coefficient, ReportUnits units) {
  // A loss of h m at Q L/s is h/10 bar at 60·Q L/min, so the factor of Q²
  // becomes coefficient / (10 · 60²) in bar per (L/min)².
  return us(units) ? coefficient * 0.0058 : coefficient / (10 * 3600);
}

std::wstring valve_coefficient_text(double coefficient, ReportUnits units) {
  double value = valve_coefficient_in_units(coefficient, units);
  // In bar/(L/min)² the factor is some 1e-8: written out with every digit it
  // runs past the right edge of the printed page. Six significant digits
  // are more than the valve's own figure carries.
  if (units == ReportUnits::WestEuropean && value != 0) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific, 5).ptr;
    std::from_chars(digits, end, value);
  }
  return L"0" + num_text_trim(value);
}

std::wstring PlainNumberText(double x) { return num_text(x); }

std::wstring NumberText(double x) {
  std::wstring text;
  if (x > 0)
    text = x < 1 ? L"0" + num_text_trim(x) : num_text_trim(x);
  else
    text = x > -1 ? L"-0" + num_text_trim(std::fabs(x)) : num_text_trim(x);
  if (text.find(L'.') == std::wstring::npos) text = num_text_trim(x) + L".0";
  return text;
}

std::size_t point_position(std::wstring_view text) { return static_cast<std::size_t>(chars_before_point(text)) + 1; }

std::size_t digits_after_point(std::wstring_view text) {
  const long long from_point = chars_from_point(text);
  return from_point > 0 ? static_cast<std::size_t>(from_point) - 1 : 0;
}

std::wstring blank_run(long long count, long long least) {
  return std::wstring(static_cast<std::size_t>(count < least ? least : count), L' ');
}

long long column_for_point(double value, long long point_column) {
  return point_column - static_cast<long long>(PlainNumberText(round_half_even(value, 0)).size());
}

std::wstring latin_standard_name(std::wstring_view name) {
  std::wstring text(name.substr(0, name.find(L'(')));
  for (std::size_t at = text.find(L"ГОСТ"); at != std::wstring::npos; at = text.find(L"ГОСТ", at + 4))
    text.replace(at, 4, L"GOST");
  return text;
}

std::wstring InchSizeTable(double size_mm) {
  static const std::array<std::pair<double, const wchar_t*>, 20> kInchSizes{{
      {15, L" 1/2"}, {20, L" 3/4"}, {25, L"1"},     {32, L"1 1/4"}, {40, L"1 1/2"},
      {50, L"2"},    {63, L"2 1/2"}, {65, L"2 1/2"}, {75, L"3"},     {80, L"3"},
      {90, L"3 1/2"}, {100, L"4"},   {110, L"4 1/4"}, {125, L"5"},   {150, L"6"},
      {160, L"6"},   {200, L"8"},    {250, L"10"},   {300, L"12"},   {350, L"14"},
  }};
  for (const auto& [mm, inches] : kInchSizes)
    if (size_mm == mm) return inches;
  return num_text_trim(size_mm) + L" mm";
}

}  // namespace dorv::report
