#include "arbmodel/field_rules.h"

#include <optional>

#include "arbmodel/field_values.h"
#include "tables/k_factor.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

namespace {

void comma_to_point(std::wstring& t) { t = all_commas_to_point(t); }

// The rule of field `left` (0 intensity, 1 area, 2 K-factor, 3 free head),
// which lost the focus: leaving the free head computes the intensity from
// free head, area and K-factor; leaving any other field computes the free
// head from intensity, area and K-factor. When the rule cannot compute (a
// value it needs empty or outside its range, or a result outside its range)
// the field computed last goes, for a value it was computed from changed.
void sprinkler_rule(const SprinklerTexts& g, int left, ComputedField& computed, double* main_k) {
  std::wstring &intensity = *g[0], &area = *g[1], &k = *g[2], &head = *g[3];
  auto field = [&](ComputedField c) -> std::wstring& { return c == ComputedField::FreeHead ? head : intensity; };
  // The field left, once computed, is the user's own now.
  const bool head_left = left == 3;
  if ((head_left && computed == ComputedField::FreeHead) || (left == 0 && computed == ComputedField::Intensity))
    computed = ComputedField::None;
  const double area_value = field_value(area), k_value = field_value(k);
  std::optional<double> result;
  if (head_left) {
    if (!area.empty() && !k.empty() && !head.empty()) result = intensity_from(field_value(head), area_value, k_value);
  } else if (!intensity.empty() && !area.empty() && !k.empty()) {
    if (main_k) *main_k = tables::sprinkler_k_factor(k_value, tables::KRounding::UndividedHalfEven8);
    result = free_head_from(field_value(intensity), area_value, k_value);
  }
  const ComputedField target = head_left ? ComputedField::Intensity : ComputedField::FreeHead;
  if (result) {
    field(target) = field_number_text(*result);
    computed = target;
  } else if (computed != ComputedField::None) {
    field(computed) = L"";
    computed = ComputedField::None;
  }
}

}  // namespace

void main_sprinkler_field_left(const SprinklerTexts& fields, int left, ImportedValues& v) {
  for (std::wstring* t : fields) comma_to_point(*t);
  sprinkler_rule(fields, left, v.SprinklerComputedField[kMainKind], &v.MainSprinklerK);
}

void rack_sprinkler_field_left(const SprinklerTexts& fields, int left, ImportedValues& v) {
  comma_to_point(*fields[static_cast<std::size_t>(left)]);
  sprinkler_rule(fields, left, v.SprinklerComputedField[kRackKind], nullptr);
}

}  // namespace dorv::arb
