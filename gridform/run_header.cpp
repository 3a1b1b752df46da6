// The header data a run cannot go without: contract and object asked for
// when empty, the control unit's valve, and the free head at the sprinkler
// or, in its place, the intensity from which the field stage computes it.
#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "platform/host.h"
#include "tables/valve_file.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

bool gives_up_calculation() {
  return ui::msg_box(L"Отказ от выполнения расчета?", ui::MsgButtons::YesNo, ui::MsgIcon::Question, L"Отказ") ==
         ui::MsgResult::Yes;
}

// Asks until the box gets an answer; false when the user gives up.
bool ask_header(std::wstring& field, std::wstring& last_answer, const wchar_t* prompt, const wchar_t* title,
                const wchar_t* added_before) {
  while (ltrim(field).empty()) {
    const std::wstring answer = ui::input_box(prompt, title, last_answer);
    last_answer = answer;
    field = added_before + answer;
    if (!answer.empty()) break;
    if (gives_up_calculation()) return false;
  }
  return true;
}

// A valve chosen by name must be one that the valve file lists with its
// sizes: a coefficient it does not hold is never taken as no loss at all.
bool valve_in_file(const GridRun& run) {
  const auto lines = try_read_lines(run.file(tables::kValveFile));
  return lines && tables::valve_has_coefficients(*lines, run.state.ValveSelection);
}

}  // namespace

StageEnd ask_header_and_valve(GridRun& run) {
  auto& f = run.form;
  auto& s = run.state;
  if (!ask_header(f.Text8, s.LastContractAnswer, L"Номер договора", L"Договор", L"  ")) return StageEnd::GiveUp;
  if (!ask_header(f.Text3, s.LastObjectAnswer, L"Наименование объекта", L"Объект", L"")) return StageEnd::GiveUp;

  if (f.Combo1_1.empty()) {
    ui::msg_box(L"Выберите тип клапана узла управления или укажите значение коэффициента потерь клапана",
                ui::MsgButtons::OK, ui::MsgIcon::None, L"Отсутствие данных клапана");
    return StageEnd::CommonExit;
  }
  // A coefficient typed with a decimal comma is read, and kept, with the point.
  // (A size line of the valve file carries its code in parentheses and a
  // valve name begins with no number: neither is touched.)
  const bool has_parenthesis = f.Combo1_1.find(L'(') != std::wstring::npos;
  if (!has_parenthesis && num(first_comma_to_point(f.Combo1_1)) > 0) f.Combo1_1 = first_comma_to_point(f.Combo1_1);
  const double leading = num(f.Combo1_1);
  if (refuses_too_large(leading, L"Клапан")) return StageEnd::CommonExit;
  if (leading == 0)
    s.ValveSelection = f.Combo1_1;  // a valve name from the list
  else if (!has_parenthesis)
    s.ValveSelection.clear();  // a typed loss coefficient
  // else a size line chosen by an earlier run: its valve stays selected
  if (!s.ValveSelection.empty() && s.ValveSelection != L"0" && !valve_in_file(run)) {
    ui::msg_box(kValveMissingMessage, ui::MsgButtons::OK, ui::MsgIcon::None, kWarningTitle);
    return StageEnd::CommonExit;
  }

  // A comma typed as the point is read as the point, so that the head is
  // read whole and written to the solvers as one number.
  const double free_head = num(first_comma_to_point(f.Text1[0]));
  if (refuses_too_large(free_head, f.Label1[0])) return StageEnd::CommonExit;
  if (free_head > 0) {
    s.GridFieldValues[0][1] = field_number_text(free_head);
  } else {
    while (num(first_comma_to_point(f.Text1[18])) == 0) {
      const std::wstring answer =
          first_comma_to_point(placed_input(L"Пожалуйста, введите интенсивность орошения.", L"Интенсивность орошения"));
      if (num(answer) != 0) {
        f.Text1[18] = answer;
        break;
      }
      if (gives_up_start()) return StageEnd::GiveUp;
    }
    if (refuses_too_large(num(first_comma_to_point(f.Text1[18])), f.Label1[18])) return StageEnd::CommonExit;
  }
  return StageEnd::Continue;
}

}  // namespace dorv::grid
