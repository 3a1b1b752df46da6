// First stage of "Пуск": the flags of a new run, the results of the last run
// moved to the "previous" column, and the main pipe standard chosen.
#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "platform/host.h"
#include "text/strings.h"

namespace dorv::grid {

StageEnd run_entry(GridRun& run) {
  auto& f = run.form;
  auto& s = run.state;
  s.ResultsValidFlag = 0;
  s.BranchRowWritten = 0;
  // The first run after loading keeps the stored previous results; later
  // runs move their own results over.
  if (!f.Text5[0].empty() && s.EarlierRunFlag == 1) {
    for (int i = 0; i < 4; ++i) {
      f.Text6[i] = f.Text5[i];
      f.Text5[i].clear();
    }
  }
  if (trim(f.Combo1_0) == tables::kNoStandard) {
    ui::msg_box(L"Укажите основной ГОСТ на трубы в окне выбора " + kQuote + L"Трубы" + kQuote + L".",
                ui::MsgButtons::OK, ui::MsgIcon::None, L"Основной ГОСТ на трубы");
    return StageEnd::ShortExit;
  }
  return StageEnd::Continue;
}

}  // namespace dorv::grid
