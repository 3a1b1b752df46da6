#include "text/strings.h"

#include <cstdint>
#include <random>

namespace dorv {

std::wstring ltrim(std::wstring_view t) {
  std::size_t b = 0;
  while (b < t.size() && t[b] == L' ') ++b;
  return std::wstring(t.substr(b));
}

std::wstring rtrim(std::wstring_view t) {
  std::size_t e = t.size();
  while (e > 0 && t[e - 1] == L' ') --e;
  return std::wstring(t.substr(0, e));
}

std::wstring trim(std::wstring_view t) { return ltrim(rtrim(t)); }

wchar_t lower(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<wchar_t>(c + 32);   // А..Я
  if (c >= 0x0400 && c <= 0x040F) return static_cast<wchar_t>(c + 80);   // Ѐ..Џ, Ё among them
  return c;
}

static wchar_t upper_char(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
  if (c >= 0x0430 && c <= 0x044F) return static_cast<wchar_t>(c - 32);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<wchar_t>(c - 80);
  return c;
}

std::wstring lower(std::wstring_view t) {
  std::wstring r(t);
  for (auto& c : r) c = lower(c);
  return r;
}

std::wstring upper(std::wstring_view t) {
  std::wstring r(t);
  for (auto& c : r) c = upper_char(c);
  return r;
}

bool equal_ignore_case(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool contains(std::wstring_view text, std::wstring_view part) { return text.find(part) != std::wstring_view::npos; }

bool contains_ignore_case(std::wstring_view text, std::wstring_view part) {
  return lower(text).find(lower(part)) != std::wstring::npos;
}

bool ends_with(std::wstring_view text, std::wstring_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool starts_with(std::wstring_view text, std::wstring_view head) {
  return text.size() >= head.size() && text.substr(0, head.size()) == head;
}

std::wstring right(std::wstring_view t, std::size_t n) { return std::wstring(n >= t.size() ? t : t.substr(t.size() - n)); }

std::wstring left(std::wstring_view t, std::size_t n) { return std::wstring(t.substr(0, n)); }

std::wstring whole_text(long long n) { return std::to_wstring(n); }

std::string random_hex(std::size_t digits) {
  static std::mt19937_64 gen(std::random_device{}());
  std::string hex;
  hex.reserve(digits);
  std::uint64_t bits = 0;
  for (std::size_t k = 0; k < digits; ++k, bits >>= 4) {
    if (k % 16 == 0) bits = gen();  // sixteen digits a draw
    hex += "0123456789abcdef"[bits & 15];
  }
  return hex;
}

std::vector<std::wstring> wrap_at_blank(std::wstring s, std::size_t limit, std::size_t indent) {
  std::vector<std::wstring> lines;
  if (s.size() <= limit) {
    lines.push_back(std::move(s));
    return lines;
  }
  bool continuation = false;
  do {
    // The last blank from column 2 up to the column before the limit.
    std::size_t cut = 0;
    for (std::size_t pos = 2; pos < limit && pos <= s.size(); ++pos)
      if (s[pos - 1] == L' ') cut = pos;
    // A continuation whose only blanks are its indent holds one word longer
    // than a line: cutting at the indent would give the same line again, so
    // the word is cut where the line must end.
    if (cut == 0 || (continuation && cut <= indent)) cut = limit - 1;
    lines.push_back(s.substr(0, cut));
    s = std::wstring(indent, L' ') + s.substr(cut);
    continuation = true;
  } while (s.size() >= limit);
  lines.push_back(std::move(s));
  return lines;
}

std::vector<std::wstring> wrap_object_line(std::wstring line) {
  constexpr std::size_t kObjectLineLimit = 70;  // lines stay shorter than this column
  constexpr std::size_t kContinuationIndent = 19;
  return wrap_at_blank(std::move(line), kObjectLineLimit, kContinuationIndent);
}

}  // namespace dorv
