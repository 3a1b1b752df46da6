// The control unit and the four results: the section flow, the head at the
// grid inlet, the head above and the head before the control unit. Reported
// heads carry a 20 % reserve on the friction loss for local losses; the
// valve's loss is its coefficient from the valve file (or the one typed in)
// times the flow squared.
#include <algorithm>

#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "platform/host.h"
#include "tables/valve_file.h"
#include "text/linefile.h"
#include "text/numtext.h"

namespace dorv::grid {

StageEnd show_results(GridRun& run) {
  auto& f = run.form;
  auto& s = run.state;
  const auto& sections = s.FeedSectionResults.sections;
  if (sections.empty()) return StageEnd::CommonExit;
  const FeedSection& last = sections.back();
  const double h0 = num(s.GridFieldValues[0][1]);
  const double dz = s.RowPipeHeight;
  const double z = run.local.FeedHeight;
  const double q = s.TotalFlow;

  // The valve's coefficient, found before anything is shown.
  double xi = 0;
  std::wstring chosen_line;
  if (s.ValveSelection.empty() || s.ValveSelection == L"0") {
    xi = num(f.Combo1_1);
  } else {
    const auto lines = try_read_lines(run.file(tables::kValveFile));
    const PipeTable& table = last.second_table ? s.SecondPipeTable : s.MainPipeTable;
    const double dn = last.row > 0 ? table.row(last.row).nominal : 0;
    const auto sizes = lines ? tables::valve_sizes(*lines, s.ValveSelection) : std::nullopt;
    const auto line = sizes ? tables::choose_valve_size(*sizes, dn) : std::nullopt;
    if (!line) {
      ui::msg_box(kValveMissingMessage, ui::MsgButtons::OK, ui::MsgIcon::None, kWarningTitle);
      return StageEnd::CommonExit;
    }
    chosen_line = *line;
    xi = num(chosen_line);
  }

  const double above = z + h0 + 1.2 * (last.head_end - z - h0);
  run.local.ValveLoss = xi * q * q;
  // Heights that fall more than the pump lifts leave no head at the control
  // unit: no result to show.
  if (above < 0 || above + run.local.ValveLoss < 0) {
    refuse(L"Внимание! Напор у узла управления получается меньше нуля (" +
           num_text(round_half_up(std::min(above, above + run.local.ValveLoss), 2)) +
           L" м в.ст.): проверьте перепады высот питающего трубопровода. Нажмите ОК для возврата к началу расчета.");
    return StageEnd::CommonExit;
  }
  f.Text5[0] = num_text(last.flow);
  f.Text5[1] = num_text(cut2(dz + h0 + 1.2 * (s.TotalHead - h0 - dz)));
  f.Text5[2] = num_text(cut2(above));
  f.Text5[3] = num_text(round_half_up(above + run.local.ValveLoss, 2));
  if (!chosen_line.empty()) f.Combo1_1 = chosen_line;
  if (!f.Text4.empty()) {
    std::wstring text;
    for (std::size_t k = 0; k < sections.size(); ++k) text += (k ? L"," : L"") + sections[k].text;
    f.Text4 = text;
  }
  s.TotalHeightDifference = z;
  return StageEnd::Continue;
}

}  // namespace dorv::grid
