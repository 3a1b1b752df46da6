// "Печать" of the grid form: the report of the open calculation, in Russian
// as the calculation wrote it or in English written anew, printed on the
// printer chosen in the print set-up dialog, page by page, with the
// calculation scheme at its end.
#pragma once

namespace dorv::grid {
class Form2;
}

namespace dorv::gridprint {

// Runs the whole command on the form: redraws its scheme, refuses when there
// is no computed result, asks for the set-up, prints. It works on copies of
// the form's values: printing never changes the calculation's state, and the
// scheme stays shown or hidden as it was.
void print_grid_report(grid::Form2& form);

}  // namespace dorv::gridprint
