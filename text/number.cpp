#include "text/number.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace dorv {
namespace {

template <class Char>
bool is_digit(Char c) {
  return c >= Char('0') && c <= Char('9');
}

// The span of a number at the start of the text, as scan_decimal reads it;
// 0 when there is none.
template <class Char>
std::size_t number_span(std::basic_string_view<Char> s, bool allow_exponent) {
  std::size_t p = 0;
  if (p < s.size() && (s[p] == Char('-') || s[p] == Char('+'))) ++p;
  bool digits = false;
  while (p < s.size() && is_digit(s[p])) ++p, digits = true;
  if (p < s.size() && s[p] == Char('.')) {
    ++p;
    while (p < s.size() && is_digit(s[p])) ++p, digits = true;
  }
  if (!digits) return 0;
  if (allow_exponent && p < s.size() && (s[p] == Char('e') || s[p] == Char('E'))) {
    std::size_t e = p + 1;
    if (e < s.size() && (s[e] == Char('-') || s[e] == Char('+'))) ++e;
    if (e < s.size() && is_digit(s[e])) {
      while (e < s.size() && is_digit(s[e])) ++e;
      p = e;
    }
  }
  return p;
}

// The power of ten of the first significant digit of a number text (digits,
// "." and an exponent): 3 for "123.4", -2 for "0.0012e0", shifted by the
// exponent. Only its sign is used, for numbers beyond the range of a double.
long long decimal_magnitude(std::string_view s) {
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
  std::size_t e = s.find_first_of("eE");
  long long exp10 = 0;
  if (e != std::string_view::npos) {
    std::string_view x = s.substr(e + 1);
    if (!x.empty() && x[0] == '+') x.remove_prefix(1);
    scan_whole(x, exp10);
    // An exponent too long for a whole number is clamped by the scan; keep
    // it far enough from the limits that adding a position cannot overflow.
    constexpr long long kExponentBound = 1LL << 40;
    exp10 = std::clamp(exp10, -kExponentBound, kExponentBound);
    s = s.substr(0, e);
  }
  const std::size_t point = std::min(s.find('.'), s.size());
  const std::size_t first = s.find_first_of("123456789");
  if (first == std::string_view::npos) return std::numeric_limits<long long>::min() / 2;
  const long long pos = first < point ? static_cast<long long>(point - first) : -static_cast<long long>(first - point - 1);
  return pos + exp10;
}

// Eight digits at p as one whole number, or -1 when the eight characters
// there are not all digits: the bytes taken as one 64-bit word, tested and
// combined pairwise in three multiplications instead of eight steps of a
// chain. Little-endian machines only.
[[gnu::always_inline]] inline std::int64_t eight_digits(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  // A byte below '0' borrows in v - '0...'; one above '9' carries into its
  // high bit in v + 0x46 (0x39 + 0x46 = 0x7f).
  if ((((v + 0x4646464646464646) | (v - 0x3030303030303030)) & 0x8080808080808080) != 0) return -1;
  v -= 0x3030303030303030;
  v = v * 10 + (v >> 8);  // each byte pair: 10 * first + second
  constexpr std::uint64_t kPairs = 0x000000FF000000FF;
  v = (((v & kPairs) * (100 + (1000000ULL << 32))) + (((v >> 16) & kPairs) * (1 + (10000ULL << 32)))) >> 32;
  return static_cast<std::int64_t>(v & 0xFFFFFFFF);
}

// Adds the run of digits from s[p] to the whole number digits (modulo
// 2^64, as digit by digit would), eight at a time where it can.
template <class Char>
[[gnu::always_inline]] inline void take_digits(std::basic_string_view<Char> s, std::size_t& p, std::uint64_t& digits) {
  if constexpr (sizeof(Char) == 1 && std::endian::native == std::endian::little) {
    while (p + 8 <= s.size()) {
      const std::int64_t eight = eight_digits(s.data() + p);
      if (eight < 0) break;
      digits = digits * 100000000 + static_cast<std::uint64_t>(eight);
      p += 8;
    }
  }
  while (p < s.size() && is_digit(s[p])) digits = digits * 10 + static_cast<unsigned>(s[p++] - Char('0'));
}

// A plain decimal (no exponent follows it) of at most 15 significant digits
// and 22 decimals, which most numbers in the files are, read in one pass:
// the digits as a whole number and the power of ten are both exact doubles,
// so one division rounds correctly, as from_chars would. Returns its length,
// or 0 when the text is not of that kind (or no number at all).
template <class Char>
std::size_t scan_short_decimal(std::basic_string_view<Char> s, double& value, bool allow_exponent) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const std::size_t n = s.size();
  std::size_t p = 0;
  const bool negative = n > 0 && s[0] == Char('-');
  if (n > 0 && (s[0] == Char('-') || s[0] == Char('+'))) ++p;
  std::uint64_t digits = 0;
  const std::size_t first = p;
  take_digits(s, p, digits);
  std::size_t count = p - first, decimals = 0;
  if (p < n && s[p] == Char('.')) {
    const std::size_t point = ++p;
    take_digits(s, p, digits);
    decimals = p - point;
    count += decimals;
  }
  // Up to 19 digits the whole number has not overflowed; below 10^15 it has
  // at most 15 significant digits.
  if (count == 0 || count > 19 || digits >= 1000000000000000ULL || decimals > 22) return 0;
  if (allow_exponent && p < n && (s[p] == Char('e') || s[p] == Char('E'))) return 0;
  const double x = static_cast<double>(digits) / kPowers[decimals];
  value = negative ? -x : x;
  return p;
}

template <class Char>
std::size_t scan_decimal_impl(std::basic_string_view<Char> s, double& value, bool allow_exponent) {
  if (const std::size_t short_length = scan_short_decimal(s, value, allow_exponent)) return short_length;
  const std::size_t n = number_span(s, allow_exponent);
  if (n == 0) return 0;
  // from_chars takes no "+" and only narrow characters: copy the span, which
  // is digits, signs, "." and "e" alone.
  char small[64];
  std::string large;
  char* buf = small;
  if (n >= sizeof small) {
    large.resize(n);
    buf = large.data();
  }
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i == 0 && s[i] == Char('+')) continue;
    buf[k++] = static_cast<char>(s[i]);
  }
  const bool negative = k > 0 && buf[0] == '-';
  double v = 0.0;
  const auto [end, ec] = std::from_chars(buf, buf + k, v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Beyond the range of a double: an infinity for a huge magnitude, 0 for
    // a tiny one, as strtod reads them.
    v = decimal_magnitude(std::string_view(buf, k)) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    if (negative && v != 0.0) v = -v;
  } else if (ec != std::errc()) {
    return 0;
  }
  (void)end;
  value = v;
  return n;
}

template <class Char>
std::size_t scan_whole_impl(std::basic_string_view<Char> s, long long& value, bool* fits) {
  std::size_t p = 0;
  const bool negative = !s.empty() && s[0] == Char('-');
  if (negative) ++p;
  const std::size_t first = p;
  unsigned long long acc = 0;
  bool overflow = false;
  const unsigned long long limit =
      negative ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1ULL
               : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
  // Below a tenth of the limit a further digit always fits; only near the
  // limit does the exact test need its division.
  const unsigned long long safe = limit / 10ULL;
  while (p < s.size() && is_digit(s[p])) {
    const unsigned d = static_cast<unsigned>(s[p] - Char('0'));
    if (acc < safe || (!overflow && acc <= (limit - d) / 10ULL))
      acc = acc * 10ULL + d;
    else
      overflow = true;
    ++p;
  }
  if (p == first) return 0;
  if (overflow) acc = limit;
  if (negative)
    value = acc == limit ? std::numeric_limits<long long>::min() : -static_cast<long long>(acc);
  else
    value = static_cast<long long>(acc);
  if (fits) *fits = !overflow;
  return p;
}

void append_chars(std::string& out, double x, std::chars_format fmt, int precision) {
  char buf[400];  // the longest %.Nf of a finite double with N <= 60 fits
  auto r = std::to_chars(buf, buf + sizeof buf, x, fmt, precision);
  if (r.ec == std::errc()) {
    out.append(buf, r.ptr);
    return;
  }
  std::string big(2048, '\0');
  r = std::to_chars(big.data(), big.data() + big.size(), x, fmt, precision);
  if (r.ec != std::errc()) throw std::invalid_argument("number too long to format");
  out.append(big.data(), r.ptr);
}

// v, below 10^count, as exactly count digits at `at`, two a step.
[[gnu::always_inline]] inline void put_digit_pairs(char* at, std::uint32_t v, int count) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  int i = count;
  for (; i >= 2; i -= 2) {
    const auto pair = static_cast<std::size_t>(v % 100) * 2;
    v /= 100;
    at[i - 2] = kPairs[pair];
    at[i - 1] = kPairs[pair + 1];
  }
  if (i == 1) at[0] = static_cast<char>('0' + v % 10);
}

// v, below 10^8, as eight digits.
[[gnu::always_inline]] inline void put_eight_digits(char* at, std::uint32_t v) {
  put_digit_pairs(at, v / 10000, 4);
  put_digit_pairs(at + 4, v % 10000, 4);
}

// printf's "%.<decimals>f" of a finite double below 2^53 in magnitude with 1
// to 17 decimals, the numbers the programs write by the million, in exact
// integer arithmetic: the whole part as it stands, the fraction (exact as
// the difference) times 10^decimals rounded half to even, a carry into the
// whole part when it rounds up to one. The same digits as the general road,
// at a fraction of its cost. Written at `at` (room for kFixedExactRoom
// characters); returns the end, or nullptr for what it does not cover.
char* put_fixed_exact(char* at, double x, int decimals) {
  if (decimals < 1 || decimals > 17) return nullptr;
  const double a = std::abs(x);
  if (!(a < 9007199254740992.0)) return nullptr;  // 2^53
  std::uint64_t whole = static_cast<std::uint64_t>(a);
  const double fraction = a - static_cast<double>(whole);
  constexpr auto powers = [](std::uint64_t base) {
    std::array<std::uint64_t, 18> p{};
    p[0] = 1;
    for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * base;
    return p;
  };
  static constexpr auto kPowers10 = powers(10), kPowers5 = powers(5);
  const std::uint64_t power10 = kPowers10[decimals], power5 = kPowers5[decimals];
  std::uint64_t scaled = 0;
  if (fraction != 0.0) {
    // fraction = m * 2^-t with t >= 1; times 10^d = m * 5^d * 2^(d - t),
    // so scaled = round(m * 5^d / 2^(t - d)) with m * 5^d below 2^93.
    const auto bits = std::bit_cast<std::uint64_t>(fraction);
    const int biased = static_cast<int>(bits >> 52);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int t = 1074;
    if (biased != 0) {
      m |= std::uint64_t{1} << 52;
      t = 1075 - biased;
    }
    t -= decimals;
    const unsigned __int128 n = static_cast<unsigned __int128>(m) * power5;
    if (t <= 0) {
      scaled = static_cast<std::uint64_t>(n << -t);
    } else if (t < 128) {
      unsigned __int128 q = n >> t;
      const unsigned __int128 rest = n - (q << t), half = static_cast<unsigned __int128>(1) << (t - 1);
      if (rest > half || (rest == half && (q & 1) != 0)) ++q;
      scaled = static_cast<std::uint64_t>(q);
    }
    if (scaled == power10) {
      ++whole;
      scaled = 0;
    }
  }
  char* end = at;
  if (std::signbit(x)) *end++ = '-';
  end = std::to_chars(end, at + 24, whole).ptr;
  *end++ = '.';
  char* digits = end;
  // The last eight decimals apart from the rest, and each eight as two
  // fours: short chains of divisions that run side by side.
  int rest = decimals;
  if (rest > 8) {
    put_eight_digits(digits + rest - 8, static_cast<std::uint32_t>(scaled % 100000000));
    scaled /= 100000000;
    rest -= 8;
  }
  if (rest > 4) {
    put_digit_pairs(digits + rest - 4, static_cast<std::uint32_t>(scaled % 10000), 4);
    scaled /= 10000;
    rest -= 4;
  }
  put_digit_pairs(digits, static_cast<std::uint32_t>(scaled), rest);
  return digits + decimals;
}

bool append_fixed_exact(std::string& out, double x, int decimals) {
  // The whole text in one buffer, appended at once.
  char text[kFixedExactRoom];
  const char* const end = put_fixed_exact(text, x, decimals);
  if (!end) return false;
  out.append(text, static_cast<std::size_t>(end - text));
  return true;
}

void append_non_finite(std::string& out, double x) {
  if (std::isnan(x))
    out += std::signbit(x) ? "-nan" : "nan";
  else
    out += x < 0 ? "-inf" : "inf";
}

struct FieldFormat {
  bool left = false, plus = false, space = false, zero = false;
  int width = 0;
  int precision = -1;
};

void pad_into(std::string& out, std::string body, const FieldFormat& field, bool numeric) {
  if (static_cast<int>(body.size()) >= field.width) {
    out += body;
    return;
  }
  const std::size_t fill = static_cast<std::size_t>(field.width) - body.size();
  if (field.left) {
    out += body;
    out.append(fill, ' ');
  } else if (field.zero && numeric) {
    std::size_t sign = (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) ? 1 : 0;
    out.append(body, 0, sign);
    out.append(fill, '0');
    out.append(body, sign);
  } else {
    out.append(fill, ' ');
    out += body;
  }
}

std::string signed_prefix(bool negative, const FieldFormat& field) {
  if (negative) return "-";
  if (field.plus) return "+";
  if (field.space) return " ";
  return {};
}

}  // namespace

std::size_t scan_decimal(std::string_view text, double& value, bool allow_exponent) {
  return scan_decimal_impl(text, value, allow_exponent);
}
std::size_t scan_decimal(std::wstring_view text, double& value, bool allow_exponent) {
  return scan_decimal_impl(text, value, allow_exponent);
}
std::size_t scan_whole(std::string_view text, long long& value, bool* fits) {
  return scan_whole_impl(text, value, fits);
}
std::size_t scan_whole(std::wstring_view text, long long& value, bool* fits) {
  return scan_whole_impl(text, value, fits);
}

char* put_fixed(char* at, double x, int decimals) {
  return std::isfinite(x) ? put_fixed_exact(at, x, decimals) : nullptr;
}

void append_fixed(std::string& out, double x, int decimals) {
  if (!std::isfinite(x)) return append_non_finite(out, x);
  if (append_fixed_exact(out, x, decimals)) return;
  append_chars(out, x, std::chars_format::fixed, decimals);
}

std::string format_fixed(double x, int decimals) {
  std::string s;
  append_fixed(s, x, decimals);
  return s;
}

std::string format_exponent(double x, int digits) {
  std::string s;
  if (!std::isfinite(x))
    append_non_finite(s, x);
  else
    append_chars(s, x, std::chars_format::scientific, digits);
  return s;
}

std::string cformat(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::string out;
  try {
    out = vcformat(format, args);
  } catch (...) {
    va_end(args);
    throw;
  }
  va_end(args);
  return out;
}

std::string vcformat(const char* format, std::va_list args) {
  std::string out;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    ++p;
    if (*p == '%') {
      out += '%';
      continue;
    }
    FieldFormat field;
    for (;; ++p) {
      if (*p == '-') field.left = true;
      else if (*p == '+') field.plus = true;
      else if (*p == ' ') field.space = true;
      else if (*p == '0') field.zero = true;
      else break;
    }
    if (*p == '*') {
      field.width = va_arg(args, int);
      if (field.width < 0) field.left = true, field.width = -field.width;
      ++p;
    } else {
      while (is_digit(*p)) field.width = field.width * 10 + (*p++ - '0');
    }
    if (*p == '.') {
      ++p;
      field.precision = 0;
      if (*p == '*') {
        field.precision = va_arg(args, int);
        ++p;
      } else {
        while (is_digit(*p)) field.precision = field.precision * 10 + (*p++ - '0');
      }
    }
    int longs = 0;
    while (*p == 'l') ++longs, ++p;
    const char conv = *p;
    switch (conv) {
      case 'd':
      case 'i': {
        const long long v = longs >= 2 ? va_arg(args, long long) : longs == 1 ? va_arg(args, long) : va_arg(args, int);
        const unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
        std::string body = signed_prefix(v < 0, field) + std::to_string(mag);
        pad_into(out, std::move(body), field, true);
        break;
      }
      case 'u': {
        const unsigned long long v = longs >= 2 ? va_arg(args, unsigned long long)
                                     : longs == 1 ? va_arg(args, unsigned long)
                                                  : va_arg(args, unsigned);
        pad_into(out, std::to_string(v), field, true);
        break;
      }
      case 'c': {
        pad_into(out, std::string(1, static_cast<char>(va_arg(args, int))), field, false);
        break;
      }
      case 's': {
        const char* s = va_arg(args, const char*);
        std::string body = s ? s : "(null)";
        if (field.precision >= 0 && static_cast<int>(body.size()) > field.precision) body.resize(static_cast<std::size_t>(field.precision));
        pad_into(out, std::move(body), field, false);
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G': {
        const double v = va_arg(args, double);
        const int precision = field.precision < 0 ? 6 : field.precision;
        std::string body = signed_prefix(std::signbit(v) && !std::isnan(v), field);
        const double mag = std::fabs(v);
        if (!std::isfinite(v)) {
          body += std::isnan(v) ? "nan" : "inf";
          if (std::isnan(v) && std::signbit(v)) body.insert(0, "-");
          FieldFormat plain = field;
          plain.zero = false;
          pad_into(out, std::move(body), plain, false);
          break;
        }
        const char lower_conv = static_cast<char>(conv | 0x20);
        const std::chars_format fmt = lower_conv == 'f'   ? std::chars_format::fixed
                                      : lower_conv == 'e' ? std::chars_format::scientific
                                                          : std::chars_format::general;
        std::string digits;
        append_chars(digits, mag, fmt, precision);
        if (conv == 'E' || conv == 'G')
          for (auto& c : digits) c = static_cast<char>(c == 'e' ? 'E' : c);
        body += digits;
        pad_into(out, std::move(body), field, true);
        break;
      }
      default:
        throw std::invalid_argument(std::string("cformat: unsupported conversion in ") + format);
    }
  }
  return out;
}

}  // namespace dorv
