// The field stage: the grid fields completed and converted one by one, the
// sprinklers of the design area counted, the solver chosen, and input that
// the solvers cannot compute refused before anything is written.
#include <cmath>

#include "gridform/gridrun.h"
#include "gridform/pipe_check.h"
#include "gridform/prompts.h"
#include "platform/host.h"
#include "solvers/common/gridparams.h"
#include "tables/k_factor.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

std::wstring absent_prompt(int i, const std::wstring& caption) {
  switch (i) {
    case 5:
      return L"Пожалуйста, введите количество оросителей на тупике за основной трубой решетки (из общего "
             L"количества оросителей в рядке) или введите любую букву, если отсутствуют";
    case 6:
      return L"Пожалуйста, введите количество оросителей на тупике за дополнительной трубой решетки (из общего "
             L"количества оросителей в рядке) или введите любую букву, если отсутствуют";
    case 16:
      return L"    Пожалуйста, введите расстояние в метрах:\r\n"
             L"     в случае ввода воды в решетку со стороны параллельной трубы - от основной трубы решетки до места "
             L"ввода,\r\n"
             L"    в случае ввода воды в решетку со стороны основной трубы - от параллельной трубы решетки до места "
             L"ввода со знаком МИНУС,\r\n"
             L"    в случае ввода воды непосредственно в основную трубу решетки введите любую букву.";
    default:
      return L"Пожалуйста, введите: " + caption + L", или любую БУКВУ, если отсутствует.";
  }
}

// Completes a field that is not a diameter into its value text; GiveUp
// when the user gives the run up, the common exit for a value too large.
StageEnd complete_field(GridRun& run, int i) {
  auto& f = run.form;
  auto& row = run.state.GridFieldValues[i];
  const bool required = field_class(run.state.GridFieldValues, i) == FieldClass::Required;
  std::wstring w = first_comma_to_point(f.Text1[i]);
  if (required) {
    while (num(w) == 0) {
      w = first_comma_to_point(placed_input(L"Пожалуйста, введите: " + f.Label1[i], kFieldInputTitle));
      if (num(w) == 0 && gives_up_start()) return StageEnd::GiveUp;
    }
  } else {
    const bool present = w == kAbsent || num(w) != 0;
    if (!present) {
      for (;;) {
        w = first_comma_to_point(placed_input(absent_prompt(i, f.Label1[i]), kFieldInputTitle));
        if (!w.empty()) break;
        if (gives_up_start()) return StageEnd::GiveUp;
      }
    }
    if (num(w) == 0) row[1] = kAbsent;
  }
  const double v = num(w);
  if (refuses_too_large(v, f.Label1[i])) return StageEnd::CommonExit;
  if (v != 0) row[1] = field_number_text(v);
  return StageEnd::Continue;
}

double value_of(const GridRun& run, int i) { return num(run.state.GridFieldValues[i][1]); }

void set_effective_k(GridRun& run) {
  auto& s = run.state;
  const double k = num(run.form.Text1[1]);
  s.EffectiveK = tables::sprinkler_k_factor(k, tables::KRounding::DividedCut2);
  run.local.KFactorText = field_number_text(s.EffectiveK);
}

const std::wstring kBackToStart = L" Нажмите ОК для возврата к началу расчета.";

// The values the run divides by, checked once they are known (after the
// spacings): refused before anything is computed from them.
bool refuses_unworkable_values(GridRun& run) {
  if (value_of(run, 7) <= 0 || value_of(run, 8) <= 0) {
    refuse(L"Внимание! Расстояния между оросителями в рядке и между рядками должны быть больше нуля." +
           kBackToStart);
    return true;
  }
  if (!(run.state.EffectiveK > 0)) {
    refuse(L"Внимание! Коэффициент К-фактор оросителя должен быть больше нуля." + kBackToStart);
    return true;
  }
  if (!(value_of(run, 0) > 0)) {
    refuse(L"Внимание! Свободный напор перед оросителем должен быть больше нуля: проверьте интенсивность "
           L"орошения." +
           kBackToStart);
    return true;
  }
  return false;
}

// Counts that the solvers and the scheme cannot hold.
bool refuses_unworkable_counts(GridRun& run) {
  auto& f = run.form;
  const double rows = num(f.Text1[3]);
  const double per_row = num(f.Text1[4]);
  if (rows < 2 || per_row < 1 || rows * per_row > static_cast<double>(solvers::kMaxSprinklerPositions)) {
    refuse(L"Внимание! Количество рядков в решетке должно быть не меньше 2, количество оросителей в рядке - не "
           L"меньше 1, а всего оросителей в решетке - не больше " +
           whole_text(solvers::kMaxSprinklerPositions) + L"." + kBackToStart);
    return true;
  }
  if (num(f.Text1[5]) < 0 || num(f.Text1[6]) < 0) {
    refuse(L"Внимание! Количество оросителей на тупике не может быть отрицательным." + kBackToStart);
    return true;
  }
  const long long n = run.local.SprinklersInFireSquare;
  if (n < 1 || static_cast<double>(n) > rows * per_row) {
    refuse(L"Внимание! Количество оросителей в расчетной площади орошения (" + whole_text(n) +
           L") должно быть не меньше 1 и не больше количества оросителей в решетке." + kBackToStart);
    return true;
  }
  return false;
}

}  // namespace

StageEnd take_grid_fields(GridRun& run) {
  auto& f = run.form;
  auto& s = run.state;
  for (int i = 1; i <= 18; ++i) {
    auto& row = s.GridFieldValues[i];
    const std::wstring w = f.Text1[i];
    // A required field holding " нет" is asked for like an empty one: only
    // the optional fields and the intensity may be absent.
    const bool may_be_absent = i == 18 || field_class(s.GridFieldValues, i) != FieldClass::Required;
    if (i != 10 && w == kAbsent && may_be_absent) {
      row[1] = kAbsent;
    } else if (i == 10 && value_of(run, 9) == 0) {
      // No height between sprinkler and branch line: no branch pipe.
      row[1] = kAbsent;
      f.Text1[10] = kAbsent;
      continue;
    } else if (!is_diameter_field(s.GridFieldValues, i)) {
      if (const StageEnd end = complete_field(run, i); end != StageEnd::Continue) return end;
      f.Text1[i] = L" " + trim(row[1]);
    } else {
      const DiameterCheck d = CheckPipeDiameter(run, i, w, true);
      if (d.end != StageEnd::Continue) return d.end;
      f.Text1[i] = L" " + trim(d.text);
      const bool second = contains(f.Text1[i], L"*");
      (second ? run.local.SecondRow : run.local.MainRow)[i - 10] = d.row;
      (second ? run.local.MainRow : run.local.SecondRow)[i - 10] = 0;
    }
    if (i == 1) set_effective_k(run);
    if (i == 8) {
      if (value_of(run, 7) * value_of(run, 8) > 12) {
        const auto answer = ui::msg_box(
            L"Внимание! Защищаемая одним оросителем площадь превышает 12 кв. метров. Нажмите ДА для продолжения "
            L"расчета или НЕТ для возврата к началу.",
            ui::MsgButtons::YesNo, ui::MsgIcon::Critical, kWarningTitle, 1);
        if (answer != ui::MsgResult::Yes) return StageEnd::CommonExit;
      }
      // No positive free head given: it follows from the intensity.
      if (num(first_comma_to_point(f.Text1[0])) <= 0 && s.EffectiveK != 0) {
        const double q = num(first_comma_to_point(f.Text1[18])) * value_of(run, 7) * value_of(run, 8);
        const double head = cut2((q / s.EffectiveK) * (q / s.EffectiveK));
        s.GridFieldValues[0][1] = field_number_text(head);
        f.Text1[0] = num_text(head);
      }
      if (refuses_unworkable_values(run)) return StageEnd::CommonExit;
    }
    if (i == 17) s.RowPipeHeight = num(f.Text1[17]);
  }

  // Sprinklers in the design area; a fraction up to 0.1 is dropped.
  const double spacing = value_of(run, 7) * value_of(run, 8);
  double n = spacing > 0 ? value_of(run, 2) / spacing : 0;
  n = n - std::floor(n) > 0.1 ? std::floor(n) + 1 : std::floor(n);
  run.local.SprinklersInFireSquare = static_cast<long long>(std::clamp(n, -1e15, 1e15));
  f.Text1[2] = f.Text1[2] + L" (" + num_text_trim(n) + L" оросит.)";

  s.SolverChoice = f.Text1[17] != kAbsent && (f.Text1[5] != kAbsent || f.Text1[6] != kAbsent) ? 1 : 0;

  if (f.Text1[14] == kAbsent && num(f.Text1[16]) > 0) {
    refuse(L"Внимание! Неправильно указано положительное расстояние до места ввода в решетку при отсутствии "
           L"параллельной трубы." + kBackToStart);
    return StageEnd::CommonExit;
  }
  if (num(f.Text1[16]) < 0 && s.SolverChoice == 1) {
    refuse(L"Внимание! Неправильно указано отрицательное расстояние до места ввода в решетку (боковой ввод) при "
           L"наличии оросителей на тупиках и перепада высот между рядками и трубами." + kBackToStart);
    return StageEnd::CommonExit;
  }
  if (num(f.Text1[17]) < 0 && s.SolverChoice == 1) {
    refuse(L"Внимание! Программой не предусматривается выполнение расчета при отрицательном перепаде высот между "
           L"рядками и трубами при наличии оросителей на тупиках за основной или дополнительной трубами решетки." +
           kBackToStart);
    return StageEnd::CommonExit;
  }
  if (num(f.Text1[5]) + num(f.Text1[6]) >= num(f.Text1[4])) {
    refuse(L"Внимание! Суммарное количество оросителей на тупиках за основной и дополнительной трубами решетки "
           L"равно или превышает количество оросителей в рядке, что недопустимо." + kBackToStart);
    return StageEnd::CommonExit;
  }
  if (refuses_unworkable_counts(run)) return StageEnd::CommonExit;
  return StageEnd::Continue;
}

}  // namespace dorv::grid
