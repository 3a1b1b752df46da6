// "Печать" of the arbitrary-network form: the report of the form's current
// calculation printed as one document on the printer the user chooses.
#pragma once

namespace dorv::arb {
class Form4;
}

namespace dorv::arbprint {

// Refuses, with a warning, a report that is missing, empty, of another
// program version, or not the result of the form's last completed run; else
// shows the print set-up and prints the chosen report. A report file that
// cannot be read, or a printer that refuses the job, is told in one message
// and nothing counts as printed.
void print_arbitrary_report(arb::Form4& form);

}  // namespace dorv::arbprint
