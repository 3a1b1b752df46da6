// Form4's field rules: a number typed with a comma takes the point, and the
// free head and the intensity of a sprinkler group follow each other through
// its area and K-factor.
#include "arbform/form4.h"

#include <cmath>

#include "arbform/head_lines.h"
#include "tables/k_factor.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

namespace {

void comma_to_point(ui::TextBox& t) { t.set_text(all_commas_to_point(t.text())); }

double k_used(double k) { return tables::sprinkler_k_factor(k, tables::KRounding::UndividedHalfEven8); }

// Free head from intensity, area and K-factor.
void head_rule(ui::TextBox& i, ui::TextBox& s, ui::TextBox& k, ui::TextBox& h, double* k_out) {
  if (i.text().empty() || s.text().empty() || k.text().empty()) return;
  const double kk = k_used(num_value(k.text()));
  if (k_out) *k_out = kk;
  if (kk == 0) return;
  const double root = num_value(i.text()) * num_value(s.text()) / kk;
  h.set_text(free_head_text(round_half_even(root * root, 2)));
}

// Intensity from free head, area and K-factor.
void intensity_rule(ui::TextBox& i, ui::TextBox& s, ui::TextBox& k, ui::TextBox& h) {
  if (s.text().empty() || k.text().empty() || h.text().empty()) return;
  const double area = num_value(s.text());
  if (area == 0) return;
  const double v = round_half_even(k_used(num_value(k.text())) * std::sqrt(num_value(h.text())) / area, 3);
  i.set_text(leading_zero_form(num_text(v)));
}

}  // namespace

void Form4::Text1_LostFocus(int index) {
  for (ui::TextBox* t : Text1) comma_to_point(*t);
  if (index == 3)
    intensity_rule(*Text1[0], *Text1[1], *Text1[2], *Text1[3]);
  else
    head_rule(*Text1[0], *Text1[1], *Text1[2], *Text1[3], &state.imported.MainSprinklerK);
}

void Form4::Text16_LostFocus() {
  comma_to_point(Text16);
  head_rule(Text16, Text17, Text18, Text19, nullptr);
}
void Form4::Text17_LostFocus() {
  comma_to_point(Text17);
  head_rule(Text16, Text17, Text18, Text19, nullptr);
}
void Form4::Text18_LostFocus() {
  comma_to_point(Text18);
  head_rule(Text16, Text17, Text18, Text19, nullptr);
}
void Form4::Text19_LostFocus() {
  comma_to_point(Text19);
  intensity_rule(Text16, Text17, Text18, Text19);
}

}  // namespace dorv::arb
