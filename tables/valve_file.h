// The valve file klap.inf: a name line per valve type, then its size lines,
// each the loss coefficient, "(", the valve's code, "-" and the nominal
// diameter, in increasing size. A valve's block ends at the first line whose
// size is not above 0: the next valve's name line or an end line.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorv::tables {

constexpr const wchar_t* kValveFile = L"klap.inf";

// The valve names the file lists, in file order: every line whose leading
// number is 0 or missing (the name lines, and an end line as it stands).
std::vector<std::wstring> valve_names(const std::vector<std::wstring>& lines);

// Whether a size line gives a loss coefficient, a positive leading number: a
// valve without one must never count as no loss.
bool has_valve_coefficient(std::wstring_view line);

// The size a line gives: the number after its first "-"; a line without "-"
// gives its own leading number. A name line or an end line gives 0.
double valve_line_size(std::wstring_view line);

// The size lines of the valve whose name line equals `name` (the whole line,
// case and blanks as they stand); nothing when no line equals it.
std::optional<std::vector<std::wstring>> valve_sizes(const std::vector<std::wstring>& lines,
                                                      const std::wstring& name);

// Whether the file lists the valve named `name` with size lines, each with
// its loss coefficient: a valve chosen by name is taken only then.
bool valve_has_coefficients(const std::vector<std::wstring>& lines, const std::wstring& name);

// The size line used for a pipe of nominal diameter dn: the equal size, else
// the next larger, else the largest. Nothing when there is no size line or
// the chosen one has no loss coefficient.
std::optional<std::wstring> choose_valve_size(const std::vector<std::wstring>& sizes, double dn);

}  // namespace dorv::tables
