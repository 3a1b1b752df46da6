#include "gridform/fieldrules.h"

#include <cmath>

#include "tables/k_factor.h"
#include "text/numtext.h"

namespace dorv::grid {

double head_from_intensity(double intensity, double a, double b, double k) {
  const double q = intensity * a * b;
  return (q / k) * (q / k);
}

double intensity_from_head(double head, double a, double b, double k) { return k * std::sqrt(head) / (a * b); }

namespace {

std::wstring commas_to_points(std::wstring text) {
  for (auto& ch : text)
    if (ch == L',') ch = L'.';
  return text;
}

}  // namespace

bool apply_field_rule(int index, std::array<std::wstring, 19>& fields, double& k_eff) {
  const auto filled = [&](std::initializer_list<int> list) {
    for (int i : list)
      if (fields[static_cast<std::size_t>(i)].empty()) return false;
    return true;
  };
  const auto value = [&](int i) { return num_value(fields[static_cast<std::size_t>(i)]); };
  const auto normalise = [&](std::initializer_list<int> list) {
    bool changed = false;
    for (int i : list) {
      auto& f = fields[static_cast<std::size_t>(i)];
      std::wstring t = commas_to_points(f);
      changed |= t != f;
      f = std::move(t);
    }
    return changed;
  };
  const auto put = [&](int i, std::wstring text) {
    auto& f = fields[static_cast<std::size_t>(i)];
    const bool changed = f != text;
    f = std::move(text);
    return changed;
  };

  const bool from_intensity = index == kKFactor || index == kSprinklerSpacing || index == kRowSpacing || index == kIntensity;
  if (from_intensity && filled({kIntensity, kKFactor, kSprinklerSpacing, kRowSpacing})) {
    bool changed = normalise({kIntensity, kKFactor, kSprinklerSpacing, kRowSpacing});
    k_eff = tables::sprinkler_k_factor(value(kKFactor), tables::KRounding::None);
    if (k_eff == 0) return changed;
    const double h = head_from_intensity(value(kIntensity), value(kSprinklerSpacing), value(kRowSpacing), k_eff);
    if (!std::isfinite(h)) return changed;
    return put(kFreeHead, field_number_text(round_half_up(h, 2))) || changed;
  }
  if (index == kFreeHead && filled({kFreeHead, kKFactor, kSprinklerSpacing, kRowSpacing})) {
    bool changed = normalise({kFreeHead, kKFactor, kSprinklerSpacing, kRowSpacing});
    k_eff = tables::sprinkler_k_factor(value(kKFactor), tables::KRounding::None);
    const double head = value(kFreeHead), area = value(kSprinklerSpacing) * value(kRowSpacing);
    if (head < 0 || area == 0) return changed;
    const double i = intensity_from_head(head, value(kSprinklerSpacing), value(kRowSpacing), k_eff);
    if (!std::isfinite(i)) return changed;
    return put(kIntensity, field_number_text(round_half_up(i, 3))) || changed;
  }
  return false;
}

}  // namespace dorv::grid
