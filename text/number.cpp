#include "text/number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
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
    s = s.substr(0, e);
  }
  const std::size_t point = std::min(s.find('.'), s.size());
  const std::size_t first = s.find_first_of("123456789");
  if (first == std::string_view::npos) return std::numeric_limits<long long>::min() / 2;
  const long long pos = first < point ? static_cast<long long>(point - first) : -static_cast<long long>(first - point - 1);
  return pos + exp10;
}

template <class Char>
std::size_t scan_decimal_impl(std::basic_string_view<Char> s, double& value, bool allow_exponent) {
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
  while (p < s.size() && is_digit(s[p])) {
    const unsigned d = static_cast<unsigned>(s[p] - Char('0'));
    if (!overflow && acc <= (limit - d) / 10ULL)
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

void append_non_finite(std::string& out, double x) {
  if (std::isnan(x))
    out += std::signbit(x) ? "-nan" : "nan";
  else
    out += x < 0 ? "-inf" : "inf";
}

struct Spec {
  bool left = false, plus = false, space = false, zero = false;
  int width = 0;
  int precision = -1;
};

void pad_into(std::string& out, std::string body, const Spec& spec, bool numeric) {
  if (static_cast<int>(body.size()) >= spec.width) {
    out += body;
    return;
  }
  const std::size_t fill = static_cast<std::size_t>(spec.width) - body.size();
  if (spec.left) {
    out += body;
    out.append(fill, ' ');
  } else if (spec.zero && numeric) {
    std::size_t sign = (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) ? 1 : 0;
    out.append(body, 0, sign);
    out.append(fill, '0');
    out.append(body, sign);
  } else {
    out.append(fill, ' ');
    out += body;
  }
}

std::string signed_prefix(bool negative, const Spec& spec) {
  if (negative) return "-";
  if (spec.plus) return "+";
  if (spec.space) return " ";
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

void append_fixed(std::string& out, double x, int decimals) {
  if (!std::isfinite(x)) return append_non_finite(out, x);
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
    Spec spec;
    for (;; ++p) {
      if (*p == '-') spec.left = true;
      else if (*p == '+') spec.plus = true;
      else if (*p == ' ') spec.space = true;
      else if (*p == '0') spec.zero = true;
      else break;
    }
    if (*p == '*') {
      spec.width = va_arg(args, int);
      if (spec.width < 0) spec.left = true, spec.width = -spec.width;
      ++p;
    } else {
      while (is_digit(*p)) spec.width = spec.width * 10 + (*p++ - '0');
    }
    if (*p == '.') {
      ++p;
      spec.precision = 0;
      if (*p == '*') {
        spec.precision = va_arg(args, int);
        ++p;
      } else {
        while (is_digit(*p)) spec.precision = spec.precision * 10 + (*p++ - '0');
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
        std::string body = signed_prefix(v < 0, spec) + std::to_string(mag);
        pad_into(out, std::move(body), spec, true);
        break;
      }
      case 'u': {
        const unsigned long long v = longs >= 2 ? va_arg(args, unsigned long long)
                                     : longs == 1 ? va_arg(args, unsigned long)
                                                  : va_arg(args, unsigned);
        pad_into(out, std::to_string(v), spec, true);
        break;
      }
      case 'c': {
        pad_into(out, std::string(1, static_cast<char>(va_arg(args, int))), spec, false);
        break;
      }
      case 's': {
        const char* s = va_arg(args, const char*);
        std::string body = s ? s : "(null)";
        if (spec.precision >= 0 && static_cast<int>(body.size()) > spec.precision) body.resize(static_cast<std::size_t>(spec.precision));
        pad_into(out, std::move(body), spec, false);
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G': {
        const double v = va_arg(args, double);
        const int precision = spec.precision < 0 ? 6 : spec.precision;
        std::string body = signed_prefix(std::signbit(v) && !std::isnan(v), spec);
        const double mag = std::fabs(v);
        if (!std::isfinite(v)) {
          body += std::isnan(v) ? "nan" : "inf";
          if (std::isnan(v) && std::signbit(v)) body.insert(0, "-");
          Spec plain = spec;
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
        pad_into(out, std::move(body), spec, true);
        break;
      }
      default:
        throw std::invalid_argument(std::string("cformat: unsupported conversion in ") + format);
    }
  }
  return out;
}

}  // namespace dorv
