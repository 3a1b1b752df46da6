// The grid scheme drawn on the printed page.
#include "gridprint/grid_scheme_page.h"

namespace dorv::gridprint {

void DrawSchemeOnPage(ui::Printer&, const GridSchemePageInput&, const SchemePlacement&) {}

}  // namespace dorv::gridprint
