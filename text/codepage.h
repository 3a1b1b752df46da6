// Conversions between the program's text (std::wstring, one element per
// character) and the byte encodings of its files and terminals.
#pragma once
#include <string>
#include <string_view>

namespace dorv {

enum class CodePage { Cp1251, Cp866, Utf8 };

// A character that the code page cannot hold becomes "?"; nothing is dropped.
std::string encode(std::wstring_view text, CodePage cp);
// Every byte of the single-byte code pages maps to a character. Invalid UTF-8
// becomes U+FFFD: a byte that starts no character, a sequence cut short, a
// longer form than a character's shortest, a surrogate, a value past U+10FFFF.
std::wstring decode(std::string_view bytes, CodePage cp);

// The characters of a text that the code page cannot hold, each once, in
// the order of their first appearance; empty when the text encodes whole.
std::wstring characters_not_in(std::wstring_view text, CodePage cp);

inline std::string to_cp1251(std::wstring_view t) { return encode(t, CodePage::Cp1251); }
inline std::wstring from_cp1251(std::string_view b) { return decode(b, CodePage::Cp1251); }
inline std::string to_cp866(std::wstring_view t) { return encode(t, CodePage::Cp866); }
inline std::wstring from_cp866(std::string_view b) { return decode(b, CodePage::Cp866); }
inline std::string to_utf8(std::wstring_view t) { return encode(t, CodePage::Utf8); }
inline std::wstring from_utf8(std::string_view b) { return decode(b, CodePage::Utf8); }

}  // namespace dorv
