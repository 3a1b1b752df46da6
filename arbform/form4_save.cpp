// Form4's closing: the fields into the head lines of the network data file,
// and the calculation offered for storing in the register.
#include "arbform/form4.h"

#include <algorithm>

#include "arbmodel/form4_files.h"
#include "arbmodel/head_lines.h"
#include "arbmodel/network_file.h"
#include "platform/host.h"
#include "register/modul1.h"
#include "text/strings.h"

namespace dorv::arb {
namespace Modul1 = reg::Modul1;
using ui::MsgButtons;
using ui::MsgIcon;

std::vector<std::wstring> Form4::input_texts() const {
  std::vector<std::wstring> out;
  for (const ui::TextBox* t : {&Text8, &Text3, Text1[0], Text1[1], Text1[2], Text1[3], &Text9, &Text10, &Text11,
                               &Text12, &Text13, &Text14, &Text15, &Text16, &Text17, &Text18, &Text19})
    out.push_back(t->text());
  return out;
}

// The edited fields into the head lines of rezult1.txt; the network and the
// last run's results after them stay as they are.
bool Form4::store_input_data() {
  auto lines = read_file_lines(L"rezult1.txt");
  if (lines && lines->size() >= static_cast<std::size_t>(kHeadLines)) {
    const auto head = head_lines_of(run_texts(), state.imported);
    std::copy(head.begin(), head.end(), lines->begin());
    if (write_file_lines(L"rezult1.txt", *lines)) return true;
  }
  ui::msg_box(L"Исходные данные расчета не сохранены: файл исходных данных расчета (rezult1.txt) не удается "
              L"прочитать или записать.",
              MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
  return false;
}

bool Form4::store_calculation() {
  const Modul1::RegisterState& f1 = Modul1::Register;
  // The identifier comes from the register, never from the editable field.
  const std::wstring id = f1.OpenedFromRegister ? Modul1::Register.CurrentCalcId : Modul1::Register.NewCalcId;
  // A network data file without its results block could never be opened
  // again: it must not replace the stored calculation.
  const auto data = read_file_lines(L"rezult1.txt");
  if (!data || std::none_of(data->begin(), data->end(), [](const std::wstring& l) { return contains(l, L"#####4"); })) {
    ui::msg_box(L"Расчет " + trim(id) + L" не сохранен: файл исходных данных расчета (rezult1.txt) пуст или неполон. "
                L"Сохраненный ранее расчет не изменен.",
                MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
    return false;
  }
  return f1.store_calculation({L" " + trim(id), ltrim(Text8.text()), ltrim(Text3.text())}, {});
}

void Form4::form_unload() {
  // Input edited with no run since the import: the edits are offered for
  // storing as the grid form offers its input.
  if (state.run.CalculationStarted != 1 && state.imported.NetworkLoaded == 1 && input_texts() != state.imported.LoadedInputTexts) {
    if (ui::msg_box(L"Расчет не выполнялся. Сохранить исходные данные?", MsgButtons::YesNo, MsgIcon::Question,
                    L"Сохранение исходных данных") == ui::MsgResult::Yes &&
        store_input_data())
      store_calculation();
    state.imported.GivenInletHead = 0;
    Modul1::Register.calculation_closed();
    return;
  }
  state.imported.GivenInletHead = 0;
  // A calculation is offered for storing once it has been run, or when this
  // opening imported an export, which exists nowhere else.
  if (state.run.CalculationStarted == 1 || (state.imported.ExportImported && state.imported.NetworkLoaded == 1)) {
    if (ui::msg_box(L"Сохранить расчет?", MsgButtons::YesNo, MsgIcon::Question, L"Сохранение расчета") ==
        ui::MsgResult::Yes)
      store_calculation();
  }
  Modul1::Register.calculation_closed();
}

}  // namespace dorv::arb
