// The print set-up dialog: language version of the report, printer, number
// of copies and, for the English version, the object's English name. The
// print commands ask it through ask_print_language.
#pragma once
#include <string>

#include "platform/form.h"

namespace dorv::reg {

class Form6 : public ui::Form {
 public:
  Form6();

  ui::Label& Label1 = add<ui::Label>(L"Label1", {240, 180, 2400, 255});
  ui::ComboBox& Combo1 = add<ui::ComboBox>(L"Combo1", {240, 450, 5415, 315});
  ui::Label& Label2 = add<ui::Label>(L"Label2", {240, 930, 3000, 255});
  ui::OptionButton& Option1 = add<ui::OptionButton>(L"Option1", {480, 1215, 2800, 285});
  ui::OptionButton& Option2 = add<ui::OptionButton>(L"Option2", {480, 1530, 2800, 285});
  ui::Label& Label3 = add<ui::Label>(L"Label3", {240, 1950, 5415, 255});
  ui::TextBox& Text1 = add<ui::TextBox>(L"Text1", {240, 2220, 5415, 315});
  ui::Label& Label5 = add<ui::Label>(L"Label5", {240, 2565, 5415, 255});
  ui::Label& Label4 = add<ui::Label>(L"Label4", {240, 3045, 1440, 255});
  ui::TextBox& Text2 = add<ui::TextBox>(L"Text2", {1740, 3000, 735, 315});
  ui::CommandButton& Command1 = add<ui::CommandButton>(L"Command1", {2760, 3600, 1335, 420});
  ui::CommandButton& Command2 = add<ui::CommandButton>(L"Command2", {4320, 3600, 1335, 420});

  void Option1_Click();
  void Option2_Click();
  void Command1_Click();  // "Печать"
  void Command2_Click();  // "Отмена"

 protected:
  void form_load() override;
};

// Shows the print set-up dialog modally; the language chosen ("2" English,
// else Russian), empty when the user cancelled.
std::wstring ask_print_language();

}  // namespace dorv::reg
