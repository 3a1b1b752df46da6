// The pipe diameter check, the automatic choice of the smallest fitting pipe
// and the velocity warning, which several stages of the run share.
#pragma once
#include <string>

#include "gridform/gridrun.h"

namespace dorv::grid {

inline constexpr double kVelocityLimit = 10.0;  // m/s

// Velocity in m/s of a flow in l/s through an inner diameter in mm.
double velocity(double q, double inner_mm);

struct DiameterCheck {
  StageEnd end = StageEnd::Continue;
  int row = 0;          // row found (from 1), 0 when none
  bool second = false;  // the row is one of the second standard
  std::wstring text;    // the diameter as finally given, " нет" when absent
};

// Checks a nominal diameter against the pipe tables and asks for a correction.
// In the field pass `i` is the field's index and the field's class decides
// the questions; otherwise `i` is a feed section's number and a listed
// diameter is asked for until one is given.
DiameterCheck CheckPipeDiameter(GridRun& run, int i, std::wstring t, bool field_pass);

struct AutoDiameter {
  int row = 0;  // 0 when no pipe of the table fits
  bool second = false;
  double v = 0;
};
// The first pipe of the table that the branch line's diameter designates
// whose loss per metre stays within the allowance (m per m) and whose
// velocity stays within the limit.
AutoDiameter ChooseAutoDiameter(const GridRun& run, double q, double allowance);
// The refusal when no pipe fits; the run then ends.
void refuse_no_fitting_pipe(const GridRun& run, double q);

// Asks whether to go on at a velocity above the limit: Continue, or the
// common exit. Kind 1, a grid pipe: its wording, velocity and diameter shown.
StageEnd warn_grid_velocity(const std::wstring& wording, double v, double diameter);
// Kind 2, feed section i.
StageEnd warn_feed_velocity(int section, double v);

}  // namespace dorv::grid
