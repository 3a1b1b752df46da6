#include "arbmodel/head_lines.h"

#include <algorithm>
#include <cmath>

#include "arbmodel/form4_state.h"
#include "arbmodel/form_texts.h"
#include "tables/k_factor.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

std::wstring number_text(std::wstring_view line) { return L" " + all_commas_to_point(trim(line)); }

std::wstring leading_zero_form(std::wstring_view text) {
  const double v = num_value(text);
  if (v >= 1 || v < 0 || !starts_with_number(text)) return std::wstring(text);
  const std::wstring shortest = num_text_trim(v);
  const std::size_t point = shortest.find(L'.');
  return L" 0" + (point == std::wstring::npos ? std::wstring() : shortest.substr(point));
}

std::wstring intensity_part(std::wstring_view line) {
  const std::size_t commas = static_cast<std::size_t>(std::count(line.begin(), line.end(), L','));
  const bool point = line.find(L'.') != std::wstring_view::npos;
  if (commas == 0 || (commas == 1 && !point)) return std::wstring(line);
  // Two commas: a decimal comma and the separator; one comma with a point:
  // the separator.
  const std::size_t cut = commas >= 2 ? line.find(L',', line.find(L',') + 1) : line.find(L',');
  return std::wstring(line.substr(0, cut));
}

PipeLine split_pipe_line(std::wstring_view line) {
  const std::size_t commas = static_cast<std::size_t>(std::count(line.begin(), line.end(), L','));
  PipeLine p;
  std::size_t cut = std::wstring_view::npos;
  if (commas >= 2)
    cut = line.find(L',', line.find(L',') + 1);
  else if (commas == 1 && !contains(line, L"SDR"))
    cut = line.find(L',');
  if (cut == std::wstring_view::npos) {
    p.standard = line;
  } else {
    p.standard = line.substr(0, cut);
    p.given_inlet_head = num_value(line.substr(cut + 1));
  }
  return p;
}

ValveLine split_valve_line(std::wstring_view line) {
  ValveLine v;
  v.shown = line;
  const std::size_t open = line.find(L"((");
  if (open == std::wstring_view::npos) return v;
  v.loaded = line;
  v.shown.erase(open, 1);
  const std::size_t close = v.shown.find(L')', open);
  if (close != std::wstring::npos) v.shown.erase(close, 1);
  return v;
}

SprinklerData sprinkler_rule(double intensity, double area, double k_line) {
  SprinklerData s;
  s.k = tables::sprinkler_k_factor(k_line, tables::KRounding::DividedHalfEven8);
  if (s.k != 0) {
    const double root = intensity * area / s.k;
    s.free_head = round_half_even(root * root, 2);
  }
  return s;
}

std::vector<std::wstring> head_lines_of(const NetworkFormTexts& f, const ImportedValues& imported) {
  // The contract without the blank the field shows in front: the catalog
  // holds it so, and a catalog rebuilt from the stored records must agree.
  std::vector<std::wstring> out = {
      ltrim(f.Text8), f.Text3,  f.Text1[0], f.Text1[1], f.Text1[2],
      f.Text9,        imported.LoadedValveLine.empty() ? trim(f.Text15) : imported.LoadedValveLine,
      f.Text10,       f.Text11, f.Text12,   f.Text13,   f.Text14,
      f.Text16,       f.Text17, f.Text18};
  if (imported.GivenInletHead > 0) {
    out[2] += L"," + zero_before_point(num_text_trim(round_half_even(imported.LoadedMainIntensity, 3)));
    out[5] += L"," + num_text_trim(imported.GivenInletHead);
  }
  return out;
}

}  // namespace dorv::arb
