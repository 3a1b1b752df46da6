// One solve of the network: the result fields made ready (the shown results
// become the previous ones after a finished run), the control unit's valve
// type cut out of Text15, prom3.bat run with the prom.in handshake, and the
// answer read: its lines kept for the answer rows, its head line taken.
#include <algorithm>
#include <cmath>

#include "arbcalc/arbrun.h"
#include "arbmodel/form4_files.h"
#include "platform/files.h"
#include "platform/host.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace {

StageEnd solver_error(ArbRun& run) {
  run.s.run.CalculationEndedFlag = 1;
  return refuse(L"Работа программы прервана. Нажмите ОК для возврата к началу расчета.",
                L"Остановка расчета из-за ошибки");
}

}  // namespace

std::wstring valve_text(const std::wstring& t) {
  const std::size_t a = t.find(L'('), b = t.find(L'-');
  if (a != std::wstring::npos && b != std::wstring::npos) return b > a ? t.substr(a + 1, b - a - 1) : std::wstring();
  if (b != std::wstring::npos) return t.substr(0, b);
  if (a == std::wstring::npos) return t;
  return L"";
}

StageEnd solve_network(ArbRun& run) {
  NetworkFormTexts& f = run.f;
  Form4State& s = run.s;
  f.SchemeShown = false;
  if (s.run.CalculationEndedFlag == 1)
    for (int i = 0; i < 3; ++i)
      if (!trim(f.Text5[i]).empty()) {
        f.Text6[i] = f.Text5[i];
        f.Text5[i] = L"";
      }
  // The user sees the results panel while the solver runs.
  if (run.hooks.show_texts) run.hooks.show_texts(f);
  s.run.CalculationStarted = 1;

  const std::wstring valve = f.Text15;
  if (valve.empty() || valve == L" Коэфф. потерь клап. ") {
    // The network data stay as they are: the user's import must survive a
    // missing valve, and closing may still store it.
    s.run.CalculationEndedFlag = 1;
    return refuse(L"В загруженных данных отсутствует тип клапана узла управления. Произведите обработку расчетной "
                  L"схемы в Автокаде с указанием данных клапана узла управления и загрузите данные",
                  L"Клапан узла управления");
  }
  const double coefficient = num_value(valve);
  if (coefficient == 0)
    s.run.ValveTypeName = valve_text(valve);
  else if (coefficient > 0 && !contains(valve, L"("))
    s.run.ValveTypeName = L"";

  try {
    write_bytes(sys::resolve(L"spr.out"), "");
    write_bytes(sys::resolve(L"prom.in"), "");
  } catch (const FileError&) {
    s.run.CalculationEndedFlag = 1;
    return refuse(L"Не удалось подготовить файлы расчета spr.out и prom.in. Нажмите ОК для возврата к началу расчета.",
                  L"Остановка расчета из-за ошибки");
  }
  const ui::CommandWaitEnd end =
      ui::run_command_file_until_flag_removed(sys::current_folder(), L"prom3.bat", sys::resolve(L"prom.in"), run.hooks.calls);
  if (end != ui::CommandWaitEnd::FlagRemoved) {
    sys::delete_if_exists(L"prom.in");
    if (end == ui::CommandWaitEnd::NotStarted) {
      s.run.CalculationEndedFlag = 1;
      return refuse(L"Не удается запустить командный файл prom3.bat. Расчет не выполнен.",
                    L"Остановка расчета из-за ошибки");
    }
    return solver_error(run);
  }

  run.AnswerLines = read_file_lines(L"spr.out").value_or(std::vector<std::wstring>{});
  const std::vector<std::wstring>& answer = run.AnswerLines;
  if (answer.empty()) return solver_error(run);
  run.AnswerLineCount = static_cast<int>(answer.size());
  s.run.AnswerRows = make_table(static_cast<std::size_t>(run.AnswerLineCount), 4);
  // The first three numbers, separated by blanks or commas, running on to
  // the next line when the first holds fewer.
  double values[3] = {0, 0, 0};
  std::size_t taken = 0;
  for (const auto& l : answer) {
    std::wstring line = l;
    std::replace(line.begin(), line.end(), L',', L' ');
    for (const auto& field : blank_fields(line))
      if (taken < 3) values[taken++] = num_value(field);
    if (taken == 3) break;
  }
  if (!std::isfinite(values[1]) || !std::isfinite(values[2])) {
    run.s.run.CalculationEndedFlag = 1;
    return refuse_too_large(std::isfinite(values[1]) ? L"Расход на входе в систему в ответе программы расчета сети"
                                                     : L"Напор на входе в систему в ответе программы расчета сети");
  }
  run.InletHead = values[1];
  run.InletFlow = values[2];
  if (run.NeededInletHead == 0) run.NeededInletHead = run.InletHead;
  return StageEnd::Continue;
}

}  // namespace dorv::arb
