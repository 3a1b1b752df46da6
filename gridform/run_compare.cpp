// The field classes of the run, and the comparison of the form with the
// stored input record: when only the valve or the feed pipeline changed, the
// grid's solution of the last run still holds and the solver need not run.
#include <optional>

#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "platform/host.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

void set_field_classes(GridFormState& s) {
  for (int i = 0; i <= 17; ++i) {
    auto& row = s.GridFieldValues[i];
    switch (i) {
      case 5: case 6: case 9: case 14: case 15: case 16: case 17:
        row[2] = L"1";
        break;
      case 10:
        row[2] = L"2";
        break;
      default:
        row[2].clear();
    }
    row[3] = i >= 10 && i <= 15 ? L"1" : L"";
  }
}

}  // namespace

StageEnd compare_with_record(GridRun& run) {
  auto& f = run.form;
  auto& s = run.state;
  set_field_classes(s);

  const auto path = run.file("rezult2.txt");
  // A missing record is an empty one: nothing to compare with.
  std::vector<std::wstring> lines = try_read_lines(path).value_or(std::vector<std::wstring>{});
  if (lines.empty()) return StageEnd::Continue;
  std::size_t next = 1;  // line 1, the calculation number, is not compared
  auto line = [&]() -> std::wstring { return next < lines.size() ? lines[next++] : std::wstring(); };
  auto grid_changed = [&] {
    s.GridSolutionValid = 0;
    return StageEnd::Continue;
  };

  if (line() != f.Text3) return grid_changed();
  if (ltrim(f.Text8) != ltrim(run.hooks.selected_contract)) return grid_changed();
  for (int i = 0; i <= 18; ++i) {
    const std::wstring stored = line();
    s.GridFieldValues[i][1] = stored;
    // The area field may carry the sprinkler-count note: its number decides.
    const bool same = i == 2 ? num(stored) == num(f.Text1[i]) : stored == ltrim(f.Text1[i]);
    if (!same) return grid_changed();
  }
  if (line() != f.Combo1_0) return grid_changed();
  // The valve and the feed pipeline do not touch the grid's solution.
  if (line() != f.Combo1_1) return StageEnd::Continue;
  line();
  if (line() != f.Text4) return StageEnd::Continue;
  if (num(f.Text4) == 0) return StageEnd::Continue;

  const auto answer = ui::msg_box(
      L"Исходные данные не изменены. Действительны результаты предыдущего расчета. Нажмите кнопку Cancel для "
      L"отказа от расчета или кнопку ОК для выполнения расчета.",
      ui::MsgButtons::OKCancel, ui::MsgIcon::Question, L"Сообщение");
  if (answer != ui::MsgResult::OK) return StageEnd::CommonExit;
  s.GridSolutionValid = 0;
  s.ResultsValidFlag = 0;
  if (run.hooks.draw_scheme) run.hooks.draw_scheme();
  return StageEnd::Continue;
}

}  // namespace dorv::grid
