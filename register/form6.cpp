#include "register/form6.h"

#include "platform/files.h"
#include "platform/host.h"
#include "platform/printer.h"
#include "register/fileops.h"
#include "register/modul1.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::reg {

Form6::Form6() : Form(L"Form6") {
  move({0, 0, 6015, 4665});
  set_caption(L"Настройка печати");
  Label1.set_caption(L"Имя принтера:");
  Combo1.set_text(L"Принтер");
  Label2.set_caption(L"Выбор версии печати");
  Option1.set_caption(L"Русскоязычная");
  Option2.set_caption(L"Англоязычная");
  Label3.set_caption(L"Английское название объекта");
  Label5.set_caption(L"(если не указано, то используется русское название)");
  Label4.set_caption(L"Число копий:");
  Text2.set_text(L"1");
  Command1.set_caption(L"Печать");
  Command2.set_caption(L"Отмена");
  set_default_button(&Command1);
  set_cancel_button(&Command2);
  Option1.on_click = [this] { Option1_Click(); };
  Option2.on_click = [this] { Option2_Click(); };
  Command1.on_click = [this] { Command1_Click(); };
  Command2.on_click = [this] { Command2_Click(); };
}

void Form6::form_load() {
  Modul1::Register.PrintLanguage.clear();
  const ui::Printers& printers = ui::host().printers();
  const auto names = printers.device_names();
  if (names.empty() || printers.current() < 0) {
    // Nothing to print on: say so and print nothing.
    ui::msg_box(L"На компьютере не установлен ни один принтер. Печать невозможна.", ui::MsgButtons::OK,
                ui::MsgIcon::Exclamation, L"Настройка печати");
    unload();
    return;
  }
  Combo1.clear();
  for (const auto& name : names) Combo1.add_item(name);
  Combo1.set_text(printers.current_device_name());
  // Only the open calculation's own English name is offered: an empty name
  // file is a calculation without one, whatever an earlier printout of
  // another calculation read.
  Text1.set_text(sys::file_exists(L"nazangl.txt") && sys::file_len(L"nazangl.txt") > 0 ? first_line(L"nazangl.txt")
                                                                                       : L"");
  Option1.set_value(true);  // runs Option1_Click, which hides the English name
}

void Form6::Option1_Click() {
  Label3.set_visible(false);
  Label5.set_visible(false);
  Text1.set_visible(false);
}

void Form6::Option2_Click() {
  Label3.set_visible(true);
  Label5.set_visible(true);
  Text1.set_visible(true);
  Text1.set_focus();
  Text1.select(0, 1000);
}

void Form6::Command1_Click() {
  // What cannot be used is said before anything is changed; the dialog stays.
  const std::wstring copies = trim(Text2.text());
  bool whole = !copies.empty() && copies.size() <= 4;
  for (wchar_t c : copies) whole = whole && c >= L'0' && c <= L'9';
  const int count = whole ? std::stoi(copies) : 0;
  if (count < 1) {
    ui::msg_box(L"Число копий должно быть целым числом от 1 до 9999.", ui::MsgButtons::OK, ui::MsgIcon::Exclamation,
                L"Настройка печати");
    Text2.set_focus();
    Text2.select(0, 1000);
    return;
  }
  if (Option2.value()) {
    if (const std::wstring missing = characters_not_in(Text1.text(), CodePage::Cp1251); !missing.empty()) {
      ui::msg_box(L"Английское название объекта содержит знаки, которые не могут быть сохранены: " + missing +
                      L". Исправьте название.",
                  ui::MsgButtons::OK, ui::MsgIcon::Exclamation, L"Настройка печати");
      Text1.set_focus();
      return;
    }
  }
  if (Option1.value()) {
    Modul1::Register.PrintLanguage = L"1";
  } else {
    Modul1::Register.PrintLanguage = L"2";
    if (!Text1.text().empty())
      write_lines_atomic(sys::resolve(L"nazangl.txt"), {Text1.text()});
    else
      sys::delete_if_exists(L"nazangl.txt");
  }
  ui::Printers& printers = ui::host().printers();
  const auto names = printers.device_names();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == Combo1.text()) {
      printers.set_current(static_cast<int>(i));
      break;
    }
  // The printer may allow fewer copies than the dialog does.
  if (!printers.set_copies(count))
    ui::msg_box(L"Принтер не принял число копий " + copies + L"; печатается " + std::to_wstring(printers.copies()) +
                    L" экз.",
                ui::MsgButtons::OK, ui::MsgIcon::Exclamation, L"Настройка печати");
  unload();
}

void Form6::Command2_Click() { unload(); }

std::wstring ask_print_language() {
  {
    Form6 setup;
    setup.show(ui::ShowMode::Modal);
  }
  return Modul1::Register.PrintLanguage;
}

}  // namespace dorv::reg
