// The values of the network form's numeric fields: how a field's text is
// read, the range each kind of value must lie in, and the rule that ties a
// sprinkler group's intensity, area, K-factor and free head together.
#pragma once
#include <array>
#include <optional>
#include <string_view>

namespace dorv::arb {

// A field's value: its leading number, a typed decimal comma read as the
// point; no exponent is read ("1e30" is 1), as the grid form reads its fields.
double field_value(std::wstring_view text);

// Bounds far beyond any installation and well inside the arithmetic of the
// calculation and its solver: a value outside them is a slip of the keys,
// and what is computed from it would be no head or flow of a building.
struct ValueRange {
  double least, most;
};
inline constexpr ValueRange kIntensityRange{0.001, 10};   // L/(s·m²)
inline constexpr ValueRange kAreaRange{0.01, 1000};       // m² per sprinkler
// As typed: L/(s·m^0.5), or above 20 per L/(min·bar^0.5).
inline constexpr ValueRange kKFactorRange{0.001, 10000};
inline constexpr ValueRange kFreeHeadRange{0.01, 10000};  // m
inline constexpr ValueRange kFlowRange{0.001, 1000};      // L/s of one deluge head or fire cock

enum class RangeFault { None, TooSmall, TooLarge };
// An infinity (a number longer than any double holds) is too large.
RangeFault range_fault(double value, ValueRange range);
inline bool in_range(double value, ValueRange range) { return range_fault(value, range) == RangeFault::None; }

// The sprinkler rule of the field rules, from the values as typed (a
// K-factor above 20 is divided by 190). Nothing when a value it is computed
// from, or the result, lies outside its range.
// The free head (i·S/K)², rounded to 2 decimals.
std::optional<double> free_head_from(double intensity, double area, double k_typed);
// The intensity K·√H/S, rounded to 3 decimals.
std::optional<double> intensity_from(double free_head, double area, double k_typed);
// The same without the ranges, for telling why a value could not be
// computed (an infinity when the K-factor or the area is 0).
double unchecked_free_head(double intensity, double area, double k_typed);
double unchecked_intensity(double free_head, double area, double k_typed);

// The largest of the required free heads of main sprinklers, rack
// sprinklers, deluge heads and fire cocks: the larger of the main
// sprinklers' and the deluge heads' (the main one when equal), then the fire
// cocks' and the rack sprinklers' each when not smaller.
double highest_free_head(const std::array<double, 4>& heads_by_kind);

}  // namespace dorv::arb
