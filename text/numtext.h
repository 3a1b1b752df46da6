// Numbers as the program writes and reads them in files, fields and messages.
#pragma once
#include <string>
#include <string_view>

namespace dorv {

// The one number-to-text form: a leading blank for zero or more, "-" for a
// negative value, the shortest decimal form of at most 15 significant digits,
// "." as the point, no trailing zeros, no "0" before the point of a magnitude
// below 1 and never an exponent: 0.45 -> " .45", -0.5 -> "-.5", 0 -> " 0".
std::wstring num_text(double x);
// The same without the leading blank of a value that is not negative.
std::wstring num_text_trim(double x);
// Puts a "0" before a text that begins with the point: " .45" -> " 0.45",
// "-.5" -> "-0.5", ".3" -> "0.3". Other texts are returned unchanged.
std::wstring zero_before_point(std::wstring_view text);
// A value as a form's numeric field shows it: the number text, with a "0"
// before the point of a value strictly between 0 and 1 (" 0.45"). Both
// calculation forms show in their fields the value they computed with.
std::wstring field_number_text(double value);
// What lines a number's text up on its decimal point in a table column: the
// characters before the "." (every character of a text without one), and
// the characters from the "." to the end, the point included (0 for a text
// without one).
long long chars_before_point(std::wstring_view text);
long long chars_from_point(std::wstring_view text);

// The number at the start of a text: leading blanks are skipped, then an
// optional sign, digits and one "." are read up to the first character that
// cannot continue the number. No exponent is read. A text without a leading
// number (empty, " нет", a letter) gives 0.
double num_value(std::wstring_view text);
// True when the text (after leading blanks) starts with a number.
bool starts_with_number(std::wstring_view text);

// A typed decimal comma: the first "," becomes "." (first_comma_to_point), or
// every "," does (all_commas_to_point).
std::wstring first_comma_to_point(std::wstring_view text);
std::wstring all_commas_to_point(std::wstring_view text);

// Int(x): the largest whole number not above x.
double int_floor(double x);
// The rounding and cutting of the decimal value that x stands for: a value
// within a few units in its last place of a boundary (a half for rounding, a
// whole number of 10^-n for cutting) counts as standing on it, so that
// 1.235, stored as 1.2350000000000001, rounds like the decimal 1.235, and
// 33.069999999999993 left by a computation of 33.07 cuts to 33.07.
//
// Int(x * 10^n + 0.5) / 10^n: half up, as the grid form rounds
// (1.235 -> 1.24, -1.235 -> -1.23).
double round_half_up(double x, int decimals);
// Int(x * 100) / 100: the cut to two decimals (0.129 -> 0.12, -0.121 -> -0.13).
double cut2(double x);
// Nearest value with n decimals, an exact half to the even last digit
// (round_half_even(2.5, 0) == 2, round_half_even(1.015, 2) == 1.02).
double round_half_even(double x, int decimals);
// Conversion to a whole number that truncates toward zero, as the console
// programs convert.
long long trunc_whole(double x);

}  // namespace dorv
