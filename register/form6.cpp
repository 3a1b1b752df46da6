#include "register/form6.h"

#include "platform/files.h"
#include "platform/host.h"
#include "platform/printer.h"
#include "register/fileops.h"
#include "register/modul1.h"
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
  Modul1::PrintLanguage.clear();
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
  if (Option1.value()) {
    Modul1::PrintLanguage = L"1";
  } else {
    Modul1::PrintLanguage = L"2";
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
  // A number of copies that is no whole number, or that the printer refuses,
  // leaves the number as it was.
  const std::wstring copies = trim(Text2.text());
  bool whole = !copies.empty() && copies.size() <= 6;
  for (std::size_t i = 0; whole && i < copies.size(); ++i)
    whole = (copies[i] >= L'0' && copies[i] <= L'9') || (i == 0 && (copies[i] == L'-' || copies[i] == L'+'));
  if (whole) {
    try {
      const int n = std::stoi(copies);
      if (n >= -32768 && n <= 32767) printers.set_copies(n);
    } catch (const std::exception&) {
    }
  }
  unload();
}

void Form6::Command2_Click() { unload(); }

}  // namespace dorv::reg
