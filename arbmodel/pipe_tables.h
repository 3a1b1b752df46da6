// The pipe tables of the network's standards, read from the pipe standard
// file: a standard is named by a part of its header, each row holds its own
// four numbers.
#pragma once
#include <string>

#include "arbmodel/form4_state.h"

namespace dorv::arb {

// The main pipe table of `standard` into MainPipeTable and MainPipeRows, and
// the phrase the report names it by. A standard the file lacks, or holds no
// rows of, leaves the table as it was and `standard` kNoStandard.
void load_main_pipe_table(ImportedValues& v, std::wstring& standard);
// The second pipe table likewise; a standard the file lacks leaves
// `standard` empty.
void load_second_pipe_table(ImportedValues& v, std::wstring& standard);

}  // namespace dorv::arb
