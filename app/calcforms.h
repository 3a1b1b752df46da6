// The calculation forms of the desktop program. The register shows them
// through its hooks (Modul1::set_calc_form); this object fills the hooks for
// as long as it lives and owns the forms it has made. The program (and the
// scenario runner) makes one right after the register window.
#pragma once
#include <memory>

namespace dorv::arb {
class Form4;
}
namespace dorv::grid {
class Form2;
}

namespace dorv::app {

class CalcForms {
 public:
  CalcForms();
  ~CalcForms();
  CalcForms(const CalcForms&) = delete;
  CalcForms& operator=(const CalcForms&) = delete;

  arb::Form4& form4();
  // The grid form of the open (or last) grid calculation; null before the first.
  grid::Form2* grid_form() const { return grid_.get(); }

 private:
  std::unique_ptr<arb::Form4> form4_;
  // Each grid calculation opens a new instance; the one before is released.
  std::unique_ptr<grid::Form2> grid_;
};

}  // namespace dorv::app
