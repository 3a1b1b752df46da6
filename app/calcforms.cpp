#include "app/calcforms.h"

#include "register/modul1.h"

namespace dorv::app {

CalcForms::CalcForms() {}

CalcForms::~CalcForms() {
  reg::Modul1::set_calc_form(reg::Modul1::CalcKind::Grid, nullptr);
  reg::Modul1::set_calc_form(reg::Modul1::CalcKind::Arbitrary, nullptr);
}

}  // namespace dorv::app
