#include "text/codepage.h"

#include <array>
#include <unordered_map>

namespace dorv {
namespace {

// Bytes 0x80..0xFF of cp1251.
// The byte(s) 0x98 have no character in the code page; they are kept as the C1 control of the same number so that every byte survives a round trip.
constexpr char16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
// Bytes 0x80..0xFF of cp866.
constexpr char16_t kCp866[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

struct ReverseTable {
  std::unordered_map<wchar_t, unsigned char> map;
  explicit ReverseTable(const char16_t (&upper)[128]) {
    for (int i = 0; i < 128; ++i) map.emplace(static_cast<wchar_t>(upper[i]), static_cast<unsigned char>(128 + i));
  }
};

const char16_t (&upper_half(CodePage cp))[128] { return cp == CodePage::Cp866 ? kCp866 : kCp1251; }

const ReverseTable& reverse_table(CodePage cp) {
  static const ReverseTable r1251(kCp1251);
  static const ReverseTable r866(kCp866);
  return cp == CodePage::Cp866 ? r866 : r1251;
}

void append_utf8(std::string& out, char32_t c) {
  if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
    out += '?';  // no character: UTF-8 cannot hold it either
  } else if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Only the shortest form of a character is text: a longer one (C0 AE for
// ".") would let bytes that no check of the text sees as "." or "/" become
// those characters. Surrogates and values past U+10FFFF are no characters.
std::wstring decode_utf8(std::string_view b) {
  std::wstring out;
  out.reserve(b.size());
  std::size_t i = 0;
  while (i < b.size()) {
    const auto c0 = static_cast<unsigned char>(b[i]);
    int len = c0 < 0x80 ? 1 : (c0 >> 5) == 6 ? 2 : (c0 >> 4) == 14 ? 3 : (c0 >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > b.size()) {
      out += L'\uFFFD';
      ++i;
      continue;
    }
    char32_t c = len == 1 ? c0 : len == 2 ? (c0 & 0x1F) : len == 3 ? (c0 & 0x0F) : (c0 & 0x07);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const auto ck = static_cast<unsigned char>(b[i + k]);
      if ((ck >> 6) != 2) { ok = false; break; }
      c = (c << 6) | (ck & 0x3F);
    }
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (ok && (c < kShortest[len] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) ok = false;
    if (!ok) {
      out += L'\uFFFD';
      ++i;
      continue;
    }
    out += static_cast<wchar_t>(c);
    i += len;
  }
  return out;
}

}  // namespace

std::string encode(std::wstring_view text, CodePage cp) {
  std::string out;
  out.reserve(text.size());
  if (cp == CodePage::Utf8) {
    for (wchar_t c : text) append_utf8(out, static_cast<char32_t>(c));
    return out;
  }
  const auto& rev = reverse_table(cp).map;
  for (wchar_t c : text) {
    if (c >= 0 && c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    auto it = rev.find(c);
    out += it == rev.end() ? '?' : static_cast<char>(it->second);
  }
  return out;
}

std::wstring characters_not_in(std::wstring_view text, CodePage cp) {
  std::wstring missing;
  if (cp == CodePage::Utf8) return missing;
  const auto& rev = reverse_table(cp).map;
  for (wchar_t c : text)
    if (!(c >= 0 && c < 0x80) && !rev.contains(c) && missing.find(c) == std::wstring::npos) missing += c;
  return missing;
}

std::wstring decode(std::string_view bytes, CodePage cp) {
  if (cp == CodePage::Utf8) return decode_utf8(bytes);
  const auto& upper = upper_half(cp);
  std::wstring out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    out += b < 0x80 ? static_cast<wchar_t>(b) : static_cast<wchar_t>(upper[b - 128]);
  }
  return out;
}

}  // namespace dorv
