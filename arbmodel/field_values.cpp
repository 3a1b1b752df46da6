#include "arbmodel/field_values.h"

#include <algorithm>
#include <cmath>

#include "tables/k_factor.h"
#include "text/numtext.h"

namespace dorv::arb {

double field_value(std::wstring_view text) { return num_value(all_commas_to_point(text)); }

RangeFault range_fault(double value, ValueRange range) {
  if (value < range.least) return RangeFault::TooSmall;
  if (!(value <= range.most)) return RangeFault::TooLarge;
  return RangeFault::None;
}

namespace {

double k_used(double k_typed) { return tables::sprinkler_k_factor(k_typed, tables::KRounding::UndividedHalfEven8); }

}  // namespace

double unchecked_free_head(double intensity, double area, double k_typed) {
  const double root = intensity * area / k_used(k_typed);
  return round_half_even(root * root, 2);
}

double unchecked_intensity(double free_head, double area, double k_typed) {
  return round_half_even(k_used(k_typed) * std::sqrt(free_head) / area, 3);
}

namespace {

// The value when it lies in its range.
std::optional<double> within(double value, ValueRange range) {
  return in_range(value, range) ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

std::optional<double> free_head_from(double intensity, double area, double k_typed) {
  if (!in_range(intensity, kIntensityRange) || !in_range(area, kAreaRange) || !in_range(k_typed, kKFactorRange))
    return std::nullopt;
  return within(unchecked_free_head(intensity, area, k_typed), kFreeHeadRange);
}

std::optional<double> intensity_from(double free_head, double area, double k_typed) {
  if (!in_range(free_head, kFreeHeadRange) || !in_range(area, kAreaRange) || !in_range(k_typed, kKFactorRange))
    return std::nullopt;
  return within(unchecked_intensity(free_head, area, k_typed), kIntensityRange);
}

double highest_free_head(const std::array<double, 4>& h) {
  double highest = std::max(h[0], h[2]);
  if (h[3] >= highest) highest = h[3];
  if (h[1] >= highest) highest = h[1];
  return highest;
}

}  // namespace dorv::arb
