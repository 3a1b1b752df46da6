// "Пуск" of the grid form: the stages of a grid calculation one after the
// other, and the three ways a run ends. A refusal ends it through the common
// exit, which keeps everything the form shows; the short exit leaves even
// the run's flags alone; giving up stores the form's input as it stands.
#include "gridform/gridrun.h"

namespace dorv::grid {

std::optional<PipeRow> grid_pipe_row(const GridRun& run, int field) {
  const int main = run.local.MainRow[field - 10];
  const int second = run.local.SecondRow[field - 10];
  const auto& s = run.state;
  if (main > 0 && second == 0 && main <= s.MainPipeTable.row_count()) return s.MainPipeTable.row(main);
  if (main == 0 && second > 0 && second <= s.SecondPipeTable.row_count()) return s.SecondPipeTable.row(second);
  return std::nullopt;
}

std::vector<std::wstring> input_texts(const GridFormTexts& f) {
  std::vector<std::wstring> texts{f.Text2, f.Text3, f.Text8};
  texts.insert(texts.end(), f.Text1.begin(), f.Text1.end());
  texts.insert(texts.end(), {f.Combo1_0, f.Combo2, f.Combo1_1, f.Text4});
  return texts;
}

namespace {

StageEnd run_stages(GridRun& run) {
  auto& s = run.state;
  const auto& hooks = run.hooks;
  StageEnd end = run_entry(run);
  if (end != StageEnd::Continue) return end;
  if (hooks.load_pipe_tables) {
    end = hooks.load_pipe_tables(run.form, s);
    if (end != StageEnd::Continue) return end;
  }
  for (auto stage : {compare_with_record, ask_header_and_valve, take_grid_fields, AskFeedPipeline}) {
    end = stage(run);
    if (end != StageEnd::Continue) return end;
  }
  // An unchanged grid keeps the solution of the last completed run.
  if (s.GridSolutionValid != 1) {
    s.ResultsSolverChoice = s.SolverChoice;
    if (hooks.show_texts) hooks.show_texts();
    for (auto stage : {WriteGridParameterFile, RunGridSolver, ReadGridResult}) {
      end = stage(run);
      if (end != StageEnd::Continue) return end;
    }
  }
  for (auto stage : {CalculateFeedPipeline, show_results}) {
    end = stage(run);
    if (end != StageEnd::Continue) return end;
  }
  if (hooks.write_input_record) hooks.write_input_record(false);
  end = BuildGridReport(run);
  if (end != StageEnd::Continue) return end;
  // Only a run that got this far has results and a grid solution that a
  // later run may reuse.
  s.GridSolutionValid = 1;
  s.ResultsValidFlag = 1;
  // The scheme marks the operating sprinklers of the new report.
  if (hooks.draw_scheme) hooks.draw_scheme();
  if (hooks.hide_scheme) hooks.hide_scheme();
  s.ResultsInput = input_texts(run.form);
  return StageEnd::CommonExit;
}

}  // namespace

void RunGridCalculation(GridFormTexts& form, GridFormState& state, const GridRunHooks& hooks,
                        const std::filesystem::path& folder) {
  GridRun run{form, state, hooks, folder};
  const StageEnd end = run_stages(run);
  if (end == StageEnd::ShortExit) return;
  if (end == StageEnd::GiveUp) {
    state.TotalHeightDifference = 0;
    if (hooks.write_input_record) hooks.write_input_record(true);
  }
  state.EarlierRunFlag = 1;
  state.SolverChoice = 0;
}

}  // namespace dorv::grid
