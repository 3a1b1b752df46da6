// The choice of a new calculation's kind, and the creation of the new
// calculation's working files.
#pragma once
#include <string>

#include "platform/form.h"

namespace dorv::reg {

class Form5 : public ui::Form {
 public:
  Form5();

  ui::OptionButton& Option3 = add<ui::OptionButton>(L"Option3", {360, 240, 5400, 375});
  ui::OptionButton& Option1 = add<ui::OptionButton>(L"Option1", {360, 720, 5400, 540});
  ui::OptionButton& Option2 = add<ui::OptionButton>(L"Option2", {360, 1380, 5400, 540});
  ui::CommandButton& Command1 = add<ui::CommandButton>(L"Command1", {2520, 2160, 1335, 420});
  ui::CommandButton& Command2 = add<ui::CommandButton>(L"Command2", {4065, 2160, 1335, 420});

  // True from loading until a calculation has been created.
  bool ChoicePending = false;

  void Command1_Click();
  void Command2_Click();

 protected:
  void form_load() override;
  void form_unload() override;
};

// Creates a new calculation of a kind ("R", "TN", "TI"): prepares its working
// files, imports a network prepared elsewhere for "TI", sets NewCalcId and
// shows its form. 0 when the calculation was created, -1 when nothing was.
int CreateCalculation(const std::wstring& kind);

}  // namespace dorv::reg
