// Decimal numbers read and written with "." as the point whatever the C
// library's locale: the desktop program runs under the user's locale, and a
// Russian one would otherwise turn "3.5" into 3 and 1.5 into "1,50". Every
// number the programs read or write goes through these functions.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

namespace dorv {

// Reads a decimal number at the very start of the text (no blanks skipped):
// an optional "-" or "+" sign, digits with at most one ".", and, where
// allow_exponent is set, an exponent ("e" or "E", an optional sign, digits)
// that is read only when its digits follow. Returns the number of characters
// read, or 0 (value untouched) when no digit stands before the end of the
// number. A magnitude beyond the range of a double reads as an infinity of
// its sign, a magnitude below the smallest one as 0.
std::size_t scan_decimal(std::string_view text, double& value, bool allow_exponent = true);
std::size_t scan_decimal(std::wstring_view text, double& value, bool allow_exponent = true);

// A whole number in decimal digits with an optional "-" at the start of the
// text; the count of characters read, 0 when none (value untouched), and
// false in `fits` (value clamped to the range of long long) when it is
// longer than the type holds.
std::size_t scan_whole(std::string_view text, long long& value, bool* fits = nullptr);
std::size_t scan_whole(std::wstring_view text, long long& value, bool* fits = nullptr);

// printf's "%.<decimals>f", appended to out: fixed notation, correctly
// rounded, "-" for a negative value. A value that is not finite is written as
// printf writes it ("nan", "-nan", "inf", "-inf").
void append_fixed(std::string& out, double x, int decimals);
std::string format_fixed(double x, int decimals);
// The same written straight at `at`, which has room for kFixedExactRoom
// characters, for the writers of large files: returns the end of the text,
// or nullptr (nothing written) for a value it leaves to append_fixed: not
// finite, 2^53 or more in magnitude, or decimals outside 1 to 17.
inline constexpr std::size_t kFixedExactRoom = 48;
char* put_fixed(char* at, double x, int decimals);
// printf's "%.<digits>e": one digit before the point, an exponent of at least
// two digits with its sign.
std::string format_exponent(double x, int digits);

// A small printf for the fixed line and cell formats of the programs
// ("%6.2lf   ", "%-10s", "%5d"): flags "-", "+", " ", "0", a width and a
// precision given as digits or "*", the conversions d i u ld lld c s f lf e g
// and "%%". Numbers use "." whatever the locale. A conversion outside that
// set is a programming error and throws std::invalid_argument.
std::string cformat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same with the arguments of a variadic caller.
std::string vcformat(const char* format, std::va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace dorv
