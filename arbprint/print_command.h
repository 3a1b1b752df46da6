// "Печать" of the arbitrary-network form: the report of the form's current
// calculation printed as one document on the printer the user chooses.
#pragma once
#include "arbmodel/form4_state.h"
#include "arbmodel/form_texts.h"

namespace dorv::arbprint {

// Refuses, with a warning, a report that is missing, empty, of another
// program version, or not the result of the form's last completed run; else
// shows the print set-up and prints the chosen report. A report file that
// cannot be read, or a printer that refuses the job, is told in one message
// and nothing counts as printed. The scheme is printed as the form's box of
// `scheme_width` by `scheme_height` twips shows it.
void print_arbitrary_report(const arb::NetworkFormTexts& form, const arb::Form4State& s, int scheme_width,
                            int scheme_height);

}  // namespace dorv::arbprint
