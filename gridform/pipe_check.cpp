#include "gridform/pipe_check.h"

#include <cmath>

#include "gridform/prompts.h"
#include "platform/host.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

const std::wstring kSecondStandardHint = L"Если труба должна быть по второму ГОСТ, диаметр укажите со знаком *";

bool positive(const std::wstring& t) { return num(t) > 0; }

std::wstring not_in_standard_prompt(const std::wstring& t, const std::wstring& phrase, bool hint) {
  std::wstring p = L"Заданный диаметр трубы " + t + L" мм" + L"  не" + phrase + L". Укажите правильный диаметр.";
  if (hint) p += L"\r\n" + kSecondStandardHint;
  return p;
}

}  // namespace

double velocity(double q, double inner_mm) { return 1273.237 * q / (inner_mm * inner_mm); }

DiameterCheck CheckPipeDiameter(GridRun& run, int i, std::wstring t, bool field_pass) {
  auto& f = run.form;
  auto& s = run.state;
  const FieldClass cls = field_pass ? field_class(s.GridFieldValues, i) : FieldClass::Required;
  DiameterCheck out;
  for (;;) {
    out.row = 0;
    out.second = false;
    if (positive(t)) {
      if (contains(t, L"*")) {
        if (s.SecondPipeTable.empty()) {
          ui::msg_box(L"Второй ГОСТ на трубы не указан.\r\nУкажите второй ГОСТ в окне Трубы*",
                      ui::MsgButtons::CancelTryContinue, ui::MsgIcon::None, L"Не указан второй ГОСТ на трубы");
          out.end = StageEnd::ShortExit;
          return out;
        }
        out.row = s.SecondPipeTable.row_of(num(t));
        while (out.row == 0) {
          const std::wstring answer =
              placed_input(not_in_standard_prompt(t, s.SecondStandardPhrase, true), kWarningTitle);
          if (!positive(answer)) {
            if (field_pass) {
              t = answer;
              break;
            }
            // A feed section needs a listed pipe: ask again unless the user gives up.
            if (answer.empty() && gives_up_start()) {
              out.end = StageEnd::GiveUp;
              return out;
            }
            continue;
          }
          t = answer;
          out.row = s.SecondPipeTable.row_of(num(t));
        }
        out.second = out.row > 0;
      } else {
        out.row = s.MainPipeTable.row_of(num(t));
        if (out.row == 0) {
          const std::wstring answer = placed_input(not_in_standard_prompt(t, s.MainStandardPhrase, false), kWarningTitle);
          if (positive(answer)) {
            t = answer;
            continue;
          }
          if (!field_pass) {
            if (answer.empty() && gives_up_start()) {
              out.end = StageEnd::GiveUp;
              return out;
            }
            continue;
          }
          t = answer;
        }
      }
    }
    if (out.row > 0 || !field_pass) break;

    // The field pass asks for a diameter that is missing or not a number.
    const std::wstring& caption = f.Label1[i];
    if (cls == FieldClass::MayBeAbsent && t == kAbsent) break;
    std::wstring prompt;
    if (cls == FieldClass::Required) {
      prompt = L"Пожалуйста, введите: " + caption + L".\r\n" + (f.Combo2.empty() ? L"" : kSecondStandardHint);
    } else if (cls == FieldClass::MayBeAbsent) {
      prompt = L"Пожалуйста, введите: " + caption + L", или любую БУКВУ, если отсутствует.";
    } else {
      prompt = L"Пожалуйста, введите: " + caption +
               L", или любую БУКВУ для автоматического расчета диаметра патрубка.";
    }
    const std::wstring answer = placed_input(prompt, kFieldInputTitle);
    if (answer.empty()) {
      if (gives_up_start()) {
        out.end = StageEnd::GiveUp;
        return out;
      }
      continue;
    }
    if (positive(answer)) {
      t = answer;
      continue;
    }
    if (cls == FieldClass::Required) continue;  // a required pipe is asked for again
    break;  // a letter: absent, or the branch pipe chosen automatically
  }

  if (field_pass && cls == FieldClass::BranchPipe && !positive(t)) {
    const double q = s.EffectiveK * std::sqrt(num(s.GridFieldValues[0][1]));
    const AutoDiameter a = ChooseAutoDiameter(run, q, 1.0);
    if (a.row == 0) {
      refuse_no_fitting_pipe(run, q);
      out.end = StageEnd::CommonExit;
      return out;
    }
    const PipeTable& table = a.second ? s.SecondPipeTable : s.MainPipeTable;
    t = num_text_trim(table.row(a.row).nominal) + (a.second ? L"*" : L"");
    out.row = a.row;
    out.second = a.second;
  }
  out.text = positive(t) ? t : kAbsent;
  if (field_pass && s.GridSolutionValid == 0) s.GridFieldValues[i][1] = out.text;
  return out;
}

AutoDiameter ChooseAutoDiameter(const GridRun& run, double q, double allowance) {
  const auto& s = run.state;
  const double k_min = q * q / allowance;
  const double d_loss = std::pow(k_min, 1 / 5.42) / 0.0457;
  const double d_vel = std::sqrt(1273.237 * q / kVelocityLimit);
  const double d_min = std::max(d_loss, d_vel);
  AutoDiameter out;
  out.second = contains(run.form.Text1[11], L"*");
  const PipeTable& table = out.second ? s.SecondPipeTable : s.MainPipeTable;
  for (int k = 1; k <= table.row_count(); ++k) {
    const double inner = table.row(k).inner();
    if (inner <= 0 || inner < d_min) continue;
    int chosen = k;
    if (velocity(q, inner) > kVelocityLimit) ++chosen;
    // With no larger pipe in the table nothing fits.
    if (chosen > table.row_count()) return out;
    out.row = chosen;
    out.v = velocity(q, table.row(chosen).inner());
    return out;
  }
  return out;
}

void refuse_no_fitting_pipe(const GridRun& run, double q) {
  const auto& s = run.state;
  const std::wstring& phrase = contains(run.form.Text1[11], L"*") ? s.SecondStandardPhrase : s.MainStandardPhrase;
  refuse(L"Внимание! Среди труб" + phrase + L" нет трубы, пропускающей расход" + num_text(round_half_up(q, 2)) +
         L" л/с со скоростью не более 10 м/с. Нажмите ОК для возврата к началу расчета.");
}

namespace {
StageEnd ask_go_on(const std::wstring& text) {
  const auto answer = ui::msg_box(text, ui::MsgButtons::YesNo, ui::MsgIcon::Critical, kWarningTitle, 1);
  return answer == ui::MsgResult::Yes ? StageEnd::Continue : StageEnd::CommonExit;
}
}  // namespace

StageEnd warn_grid_velocity(const std::wstring& wording, double v, double diameter) {
  return ask_go_on(L"Недопустимая скорость движения воды " + wording + L" - " + num_text(cut2(v)) + L" м/с" +
                   L"\r\n(диаметр" + num_text(diameter) + L" мм).\r\nПродолжить расчет?");
}

StageEnd warn_feed_velocity(int section, double v) {
  return ask_go_on(L"Недопустимая скорость движения воды на участке N" + num_text(section) +
                   L" питающего трубопровода - " + num_text(round_half_even(v, 2)) +
                   L" м/с.\r\nПродолжить расчет?");
}

}  // namespace dorv::grid
