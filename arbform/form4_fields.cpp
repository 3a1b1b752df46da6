// Form4's field rules, run on the texts of the group whose field lost the
// focus.
#include "arbform/form4.h"

#include "arbmodel/field_rules.h"

namespace dorv::arb {

namespace {

// The group's texts through `rule`, back into the fields (a box whose text
// stays as it was is left alone).
template <typename Rule>
void run_rule(const std::array<ui::TextBox*, 4>& boxes, Rule rule) {
  std::array<std::wstring, 4> texts;
  for (std::size_t i = 0; i < 4; ++i) texts[i] = boxes[i]->text();
  rule(SprinklerTexts{&texts[0], &texts[1], &texts[2], &texts[3]});
  for (std::size_t i = 0; i < 4; ++i) boxes[i]->set_text(texts[i]);
}

}  // namespace

void Form4::Text1_LostFocus(int index) {
  run_rule(Text1, [&](const SprinklerTexts& t) { main_sprinkler_field_left(t, index, state.imported); });
}

void Form4::rack_field_left(int index) {
  run_rule({&Text16, &Text17, &Text18, &Text19},
           [&](const SprinklerTexts& t) { rack_sprinkler_field_left(t, index, state.imported); });
}

void Form4::Text16_LostFocus() { rack_field_left(0); }
void Form4::Text17_LostFocus() { rack_field_left(1); }
void Form4::Text18_LostFocus() { rack_field_left(2); }
void Form4::Text19_LostFocus() { rack_field_left(3); }

}  // namespace dorv::arb
