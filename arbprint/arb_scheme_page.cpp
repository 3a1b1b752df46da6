#include "arbprint/arb_scheme_page.h"

namespace dorv::arbprint {

bool PrintArbitraryScheme(ui::Printer& printer, const ArbitrarySchemeInput& input) {
  (void)printer;
  (void)input;
  return false;
}

}  // namespace dorv::arbprint
