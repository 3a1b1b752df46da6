// The sprinkler rule that ties four grid fields together: the design
// intensity i over the area a·b of one sprinkler needs the flow q = i·a·b, and
// a sprinkler of K-factor K gives q at the free head H = (q / K)². Leaving one
// of the fields recomputes the free head from the intensity, or the intensity
// from the free head.
#pragma once
#include <array>
#include <string>

namespace dorv::grid {

double head_from_intensity(double intensity, double a, double b, double k);
double intensity_from_head(double head, double a, double b, double k);

// Field indices of the grid form that the rule reads and writes.
enum GridField { kFreeHead = 0, kKFactor = 1, kSprinklerSpacing = 7, kRowSpacing = 8, kIntensity = 18 };

// The rule run when field `index` of Text1 loses the focus. Changes the texts
// of fields 0, 1, 7, 8 and 18 and effective_k as the rule says; returns true
// when it changed anything. A value that makes a formula undefined (a K-factor
// or a spacing of 0, a negative head) leaves the computed field as it was.
bool apply_field_rule(int index, std::array<std::wstring, 19>& fields, double& effective_k_value);

}  // namespace dorv::grid
