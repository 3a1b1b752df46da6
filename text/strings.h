// Small text helpers with the meaning the forms give them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace dorv {

// Blanks (spaces) removed at the start, the end, or both; tabs stay.
std::wstring ltrim(std::wstring_view t);
std::wstring rtrim(std::wstring_view t);
std::wstring trim(std::wstring_view t);
// Letter case of Latin and Cyrillic letters (Ё/ё included).
std::wstring lower(std::wstring_view t);
std::wstring upper(std::wstring_view t);
wchar_t lower(wchar_t c);
bool equal_ignore_case(std::wstring_view a, std::wstring_view b);
bool contains(std::wstring_view text, std::wstring_view part);
bool contains_ignore_case(std::wstring_view text, std::wstring_view part);
bool ends_with(std::wstring_view text, std::wstring_view tail);
bool starts_with(std::wstring_view text, std::wstring_view head);
// The last n characters (all of them when there are fewer).
std::wstring right(std::wstring_view t, std::size_t n);
std::wstring left(std::wstring_view t, std::size_t n);
// A number written as a whole number: digits only, "-" for a negative value.
std::wstring whole_text(long long n);
// `digits` random hexadecimal digits (0-9, a-f), for names and tokens that
// no other save or lock may happen to have; not for secrets.
std::string random_hex(std::size_t digits);
// A line longer than `limit` characters broken after its last blank before
// column `limit` (the first column does not count), each continuation led by
// `indent` blanks, until the rest is shorter than `limit`. A word too long
// for a line is cut where the line must end, so the breaking always ends.
std::vector<std::wstring> wrap_at_blank(std::wstring line, std::size_t limit, std::size_t indent);
// The object (or project) line of a report, its heading included: kept whole
// up to 70 characters, else wrapped after the last blank before column 70
// with continuation lines indented by 19 blanks (wrap_at_blank). Every
// report, Russian or English, of a grid or of a network, wraps it so.
std::vector<std::wstring> wrap_object_line(std::wstring line);

}  // namespace dorv
