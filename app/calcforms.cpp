#include "app/calcforms.h"

#include "arbform/form4.h"
#include "register/modul1.h"

namespace dorv::app {

CalcForms::CalcForms() : form4_(std::make_unique<arb::Form4>()) {
  reg::Modul1::set_calc_form(reg::Modul1::CalcKind::Arbitrary, [this] { form4_->show(); });
}

CalcForms::~CalcForms() {
  reg::Modul1::set_calc_form(reg::Modul1::CalcKind::Grid, nullptr);
  reg::Modul1::set_calc_form(reg::Modul1::CalcKind::Arbitrary, nullptr);
}

arb::Form4& CalcForms::form4() { return *form4_; }

}  // namespace dorv::app
