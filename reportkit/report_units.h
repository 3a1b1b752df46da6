// The units, number texts and inch sizes of the English reports. A user
// abroad reads the report either in US units (psi, gpm, ft, inch pipe sizes)
// or in West-European ones (bar, L/min, m, mm); the calculation itself knows
// only metres of head, L/s, metres and millimetres. Both English reports, of
// a grid and of an arbitrary network, convert, round and write their numbers
// through this one module, so that the same value reads the same in both.
#pragma once
#include <string>
#include <string_view>

namespace dorv::report {

enum class ReportUnits { US, WestEuropean };

// ---- conversions from the calculation's own units ----
// A head in metres of water column to psi or bar.
double head_in_units(double metres, ReportUnits units);
// A flow in L/s to gpm or L/min.
double flow_in_units(double litres_per_second, ReportUnits units);
// A length, distance or height difference in m to ft, or m unchanged.
double length_in_units(double metres, ReportUnits units);
// An area in m² to ft², or m² unchanged.
double area_in_units(double square_metres, ReportUnits units);
// A water density (intensity) in L/(s·m²) to gpm/ft² or L/(min·m²).
double intensity_in_units(double litres_per_second_m2, ReportUnits units);
// The sprinkler K-factor as typed, as the report prints it: a K of 20 or less
// is per L/(s·m^0.5), one above 20 per L/(min·bar^0.5). The result is in
// gpm/psi^0.5 or L/(min·bar^0.5), rounded to one decimal, except a K above 20
// in West-European units, which is already in them and printed as typed.
double k_factor_in_units(double typed_k, ReportUnits units);
// A valve's loss coefficient (loss in m per (L/s)²) to psi/gpm² or
// bar/(L/min)².
double valve_coefficient_in_units(double coefficient, ReportUnits units);
// The coefficient's text as the report prints it: unrounded, a "0" written
// before the number's text ("0.0000058"; "00" for a valve without a number).
std::wstring valve_coefficient_text(double coefficient, ReportUnits units);

// ---- number texts ----
// The plain text every report value is built from: "." as point, no digit
// grouping, no trailing zeros, no point for a whole number, no "0" before the
// point below 1, a leading blank for zero and positive numbers, "-" for
// negative ones (12.5 -> " 12.5", 0.5 -> " .5", -0.25 -> "-.25").
std::wstring PlainNumberText(double x);
// A table value already rounded to two decimals, with a "0" before the point
// below 1 in magnitude and ".0" behind a whole number: 0 -> "0.0",
// -0.25 -> "-0.25", 5 -> "5.0", 12.25 -> "12.25".
std::wstring NumberText(double x);

// ---- decimal-point alignment ----
// Position of the "." in a value's text, counted from 1; a text without a
// point is anchored just behind its last character.
std::size_t point_position(std::wstring_view text);
// Characters behind the point (0 for a text without one).
std::size_t digits_after_point(std::wstring_view text);
// A run of blanks; a count below zero, where a value is too wide for the
// room its column leaves, gives the least run given.
std::wstring blank_run(long long count, long long least = 0);
// The column at which a tabulated value's text starts so that its point
// stands in `point_column` (counted from 1): the column less the length of
// the value's plain text rounded to a whole number. One column further left
// for a value below 1 in magnitude, or when the rounding adds a digit (9.5).
long long column_for_point(double value, long long point_column);
// ---- pipe standards ----
// A pipe standard's name as the English reports print it: cut before its
// remark in brackets (the blank before the bracket kept), every "ГОСТ"
// written "GOST".
std::wstring latin_standard_name(std::wstring_view name);

// ---- inch sizes ----
// The inch designation of a nominal size in mm (" 1/2", "1 1/4", "6"). The
// sizes below one inch keep their leading blank. A size the table does not
// know is written in millimetres ("70 mm") rather than borrowing another
// pipe's designation.
std::wstring InchSizeTable(double size_mm);

}  // namespace dorv::report
