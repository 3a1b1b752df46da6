// The feed pipeline from the grid inlet to the control unit: section by
// section the friction loss and the height are added to the head, the
// diameter is chosen when none is given, and velocities above the limit are
// put to the user.
#include <cmath>

#include "gridform/feedpipe.h"
#include "gridform/gridrun.h"
#include "gridform/pipe_check.h"
#include "gridform/prompts.h"
#include "text/numtext.h"

namespace dorv::grid {

StageEnd CalculateFeedPipeline(GridRun& run) {
  auto& s = run.state;
  FeedSectionTable& table = s.FeedSectionResults;
  table = {};
  table.total_head = s.TotalHead;
  table.total_flow = s.TotalFlow;
  const double q = s.TotalFlow;  // the feed pipeline has no branches
  double head = s.TotalHead;
  double height = s.RowPipeHeight;
  double previous_end = s.TotalHead;

  const auto texts = split_feed_sections(run.form.Text4);
  for (std::size_t k = 0; k < texts.size(); ++k) {
    const int number = static_cast<int>(k) + 1;
    const FeedSectionText parsed = parse_feed_section(texts[k]);
    FeedSection section;
    section.number = number;
    section.text = texts[k];
    section.length = parsed.length;

    std::wstring diameter = parsed.diameter;
    if (!(num(diameter) > 0)) {
      // No diameter given: the smallest pipe within 0.4 m loss per metre.
      const AutoDiameter a = ChooseAutoDiameter(run, q, 0.4);
      if (a.row == 0) {
        refuse_no_fitting_pipe(run, q);
        return StageEnd::CommonExit;
      }
      const PipeTable& t = a.second ? s.SecondPipeTable : s.MainPipeTable;
      diameter = num_text_trim(t.row(a.row).nominal) + (a.second ? L"*" : L"");
    }
    const DiameterCheck d = CheckPipeDiameter(run, number, diameter, false);
    if (d.end != StageEnd::Continue) return d.end;
    const PipeRow pipe = (d.second ? s.SecondPipeTable : s.MainPipeTable).row(d.row);
    if (!(pipe.kt > 0) || !(pipe.inner() > 0)) {
      refuse(L"Внимание! Для трубы диаметром " + d.text + L" мм участка N" + num_text(number) +
             L" питающего трубопровода в базе данных программы нет размеров или характеристики. Нажмите ОК для "
             L"возврата к началу расчета.");
      return StageEnd::CommonExit;
    }
    const double v = velocity(q, pipe.inner());
    const double h = num(parsed.height);
    head += parsed.length * q * q / pipe.kt + h;
    // A head that no pump gives (a damaged result or an absurd section)
    // is refused before it reaches the results and the report.
    if (!(std::fabs(head) <= kFeedHeadLimit)) {
      refuse(L"Внимание! Напор в начале участка N" + num_text(number) +
             L" питающего трубопровода получается больше " + num_text_trim(kFeedHeadLimit) +
             L" м в.ст. по абсолютной величине. Нажмите ОК для возврата к началу расчета.");
      return StageEnd::CommonExit;
    }
    if (v > kVelocityLimit && warn_feed_velocity(number, v) != StageEnd::Continue) return StageEnd::CommonExit;
    height += h;

    section.head_end = round_half_up(head, 2);
    section.head_start = previous_end;
    section.flow = round_half_up(q, 2);
    section.height = h;
    // The diameter computed, also when it was chosen automatically, so that
    // the report and the pipe totals show the pipe of the calculation.
    section.diameter = d.text;
    section.second_table = d.second;
    section.row = d.row;
    previous_end = section.head_end;
    table.sections.push_back(section);
  }
  run.local.FeedHead = head;
  run.local.FeedHeight = height;
  return StageEnd::Continue;
}

}  // namespace dorv::grid
