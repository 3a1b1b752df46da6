// The captions repeated at the top of a page when a page break has cut the
// pipe table or the sprinkler table of the arbitrary network's report.
#pragma once
#include "platform/printer.h"

namespace dorv::arbprint {

// The rule that closes a table cut at a page's foot: 7 blanks, 70 dashes.
inline const std::wstring kCutTableRule = std::wstring(7, L' ') + std::wstring(70, L'-');

// Each prints its caption (bold) and column header at the current position
// and returns the page line the next body line takes.
int PipeTableContinuation(ui::Printer& printer, bool english, bool metric);
int SprinklerTableContinuation(ui::Printer& printer, bool english);

}  // namespace dorv::arbprint
