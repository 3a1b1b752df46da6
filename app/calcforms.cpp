#include "app/calcforms.h"

#include "arbform/form4.h"
#include "arbprint/print_command.h"
#include "gridform/form2.h"
#include "gridprint/print_command.h"
#include "platform/form.h"
#include "register/modul1.h"

namespace dorv::app {
namespace Modul1 = reg::Modul1;

CalcForms::CalcForms() : form4_(std::make_unique<arb::Form4>()) {
  form4_->print_report = arbprint::print_arbitrary_report;
  Modul1::set_calc_form(Modul1::CalcKind::Arbitrary, [this] { form4_->show(); });
  Modul1::set_calc_form(Modul1::CalcKind::Grid, [this] {
    // The form before has closed: none of its procedures is running now.
    grid_ = std::make_unique<grid::Form2>();
    grid_->print_report = [](grid::Form2& form) { gridprint::print_grid_report(form); };
    grid_->show();
  });
}

CalcForms::~CalcForms() {
  Modul1::set_calc_form(Modul1::CalcKind::Grid, nullptr);
  Modul1::set_calc_form(Modul1::CalcKind::Arbitrary, nullptr);
  grid_.reset();
}

arb::Form4& CalcForms::form4() { return *form4_; }

}  // namespace dorv::app
