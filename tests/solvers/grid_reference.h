// An exact solution of a grid with its fire square at one shift, written
// from the pipes themselves (lengths, specific characteristics, resistances
// adding in series) and solved by Newton's method, for checking what the
// relaxation reports.
#pragma once
#include <optional>
#include <vector>

#include "solvers/common/gridparams.h"

namespace dorv::testing {

struct ReferenceRow {  // one branch line, as the report's end table has it
  double head1, end1, flow1, flow2, head2, end2;
};

struct ReferenceSolution {
  bool converged = false;
  double measure = 0;  // feed head per unit of the dictating head
  // Scaled so that the weakest sprinkler of the far-end line has the
  // required head; printed heads carry the riser height as the report does.
  std::vector<std::vector<double>> square_rows;  // far-end line first
  std::vector<double> partial_row;               // SquareWidth cells, 0 where closed
  double weakest_open = 0;                       // the lowest head of all open sprinklers
  double total_head = 0, total_flow = 0;
  std::vector<ReferenceRow> rows;               // far-end line first
  std::optional<std::vector<double>> ring;      // head at main 1's end, flow, head at main 2's end
  std::optional<std::vector<double>> cross;     // head at main 1's end, flow to main 1, to main 2, head at main 2's end
};

ReferenceSolution solve_grid_exactly(const solvers::ParameterRecord& sized, int shift);

}  // namespace dorv::testing
