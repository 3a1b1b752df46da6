// How the head lines of the network data file become the form's fields (the
// number text of a field, the pipe and valve lines, the sprinkler rule), and
// the fields the head lines again.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorv::arb {

struct NetworkFormTexts;
struct ImportedValues;

// " " and the line without its outer blanks, every "," made a point.
std::wstring number_text(std::wstring_view line);
// A number text whose value lies below 1 written as " 0" and the digits of
// its shortest form from the point on (" .08" -> " 0.08"); others unchanged.
std::wstring leading_zero_form(std::wstring_view number_text);

// The main sprinklers' intensity line. After a calculation for a given inlet
// head it carries the intensity as loaded after a "," (" 0.1,0.1"); only the
// intensity before that comma is the field's: the second comma of the line,
// or its only comma when the line also holds a point. A single comma with no
// point anywhere is a decimal comma ("0,08").
std::wstring intensity_part(std::wstring_view line);

// Head line 6: the main pipe standard and, after a further comma, a given
// inlet head. A name with "SDR" holds one comma of its own.
struct PipeLine {
  std::wstring standard;
  std::optional<double> given_inlet_head;
};
PipeLine split_pipe_line(std::wstring_view line);

// Head line 7: a designation in doubled brackets shows with single ones.
struct ValveLine {
  std::wstring shown;   // Text15
  std::wstring loaded;  // LoadedValveLine: the line when it holds "((", else ""
};
ValveLine split_valve_line(std::wstring_view line);

// The sprinkler rule: the K-factor used (a K line above 20 is per
// L/(min*bar^0.5): divided by 190 and rounded to 8 decimals) and the free
// head (i*S/K)^2 rounded to 2 decimals; no head when K is 0.
struct SprinklerData {
  double k = 0;
  std::optional<double> free_head;
};
SprinklerData sprinkler_rule(double intensity, double area, double k_line);

// The 15 head lines of rezult1.txt as the fields hold them: a given inlet
// head goes after the pipe standard, the intensity as loaded after the main
// sprinklers' intensity.
std::vector<std::wstring> head_lines_of(const NetworkFormTexts& f, const ImportedValues& imported);

}  // namespace dorv::arb
