// Form4's field rules: a number typed with a comma takes the point, and the
// free head and the intensity of a sprinkler group follow each other through
// its area and K-factor.
#include "arbform/form4.h"

#include "arbform/field_values.h"
#include "tables/k_factor.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

namespace {

void comma_to_point(ui::TextBox& t) { t.set_text(all_commas_to_point(t.text())); }

// The four fields of a sprinkler group, in the order of the form.
struct SprinklerFields {
  ui::TextBox &intensity, &area, &k, &head;
  ui::TextBox& field(ComputedField c) { return c == ComputedField::FreeHead ? head : intensity; }
};

// The rule of field `left` (0 intensity, 1 area, 2 K-factor, 3 free head),
// which lost the focus: leaving the free head computes the intensity from
// free head, area and K-factor; leaving any other field computes the free
// head from intensity, area and K-factor. When the rule cannot compute (a
// value it needs empty or outside its range, or a result outside its range)
// the field computed last goes, for a value it was computed from changed.
void sprinkler_rule(SprinklerFields g, int left, ComputedField& computed, double* main_k) {
  // The field left, once computed, is the user's own now.
  const bool head_left = left == 3;
  if ((head_left && computed == ComputedField::FreeHead) || (left == 0 && computed == ComputedField::Intensity))
    computed = ComputedField::None;
  const double area = field_value(g.area.text()), k = field_value(g.k.text());
  std::optional<double> result;
  if (head_left) {
    if (!g.area.text().empty() && !g.k.text().empty() && !g.head.text().empty())
      result = intensity_from(field_value(g.head.text()), area, k);
  } else if (!g.intensity.text().empty() && !g.area.text().empty() && !g.k.text().empty()) {
    if (main_k) *main_k = tables::sprinkler_k_factor(k, tables::KRounding::UndividedHalfEven8);
    result = free_head_from(field_value(g.intensity.text()), area, k);
  }
  const ComputedField target = head_left ? ComputedField::Intensity : ComputedField::FreeHead;
  if (result) {
    g.field(target).set_text(field_number_text(*result));
    computed = target;
  } else if (computed != ComputedField::None) {
    g.field(computed).set_text(L"");
    computed = ComputedField::None;
  }
}

}  // namespace

void Form4::Text1_LostFocus(int index) {
  for (ui::TextBox* t : Text1) comma_to_point(*t);
  sprinkler_rule({*Text1[0], *Text1[1], *Text1[2], *Text1[3]}, index,
                 state.imported.SprinklerComputedField[kMainKind], &state.imported.MainSprinklerK);
}

void Form4::Text16_LostFocus() {
  comma_to_point(Text16);
  sprinkler_rule({Text16, Text17, Text18, Text19}, 0, state.imported.SprinklerComputedField[kRackKind], nullptr);
}
void Form4::Text17_LostFocus() {
  comma_to_point(Text17);
  sprinkler_rule({Text16, Text17, Text18, Text19}, 1, state.imported.SprinklerComputedField[kRackKind], nullptr);
}
void Form4::Text18_LostFocus() {
  comma_to_point(Text18);
  sprinkler_rule({Text16, Text17, Text18, Text19}, 2, state.imported.SprinklerComputedField[kRackKind], nullptr);
}
void Form4::Text19_LostFocus() {
  comma_to_point(Text19);
  sprinkler_rule({Text16, Text17, Text18, Text19}, 3, state.imported.SprinklerComputedField[kRackKind], nullptr);
}

}  // namespace dorv::arb
