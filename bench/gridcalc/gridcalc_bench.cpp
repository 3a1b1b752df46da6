// A whole "Пуск" of the grid form, from the click to the four results, with
// the real command files and solvers in a program folder: prom1.bat (the
// position scan through the network solver) and prom2.bat (the grid
// relaxation), on grids of 10, 20 and 40 branch lines of 20 sprinklers.
// Reports the share of the time spent waiting for the solver.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "gridform/gridrun.h"
#include "gridform/pipetables.h"
#include "platform/headless.h"
#include "platform/host.h"
#include "support/program_folder.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace {

using namespace dorv;
using namespace dorv::grid;

void BM_GridRun(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const bool relaxation = state.range(1) == 1;  // prom2.bat, else prom1.bat
  testing::ProgramFolder folder;
  for (const auto& [from, name] : {std::pair{GRIDSCAN_EXE, "gridscan"}, {GRIDIO_EXE, "gridio"},
                                   {GRIDSOLVE_EXE, "gridsolve"}, {OPTIMER_EXE, "optimer"},
                                   {PROM1_BAT, "prom1.bat"}, {PROM2_BAT, "prom2.bat"}})
    folder.install(from, name);
  folder.install(std::filesystem::path(DORV_DATA_DIR) / "klap.inf", "klap.inf");
  const auto pipes = read_lines(std::filesystem::path(DORV_DATA_DIR) / "trub.inf");

  ui::HeadlessHost host;
  GridFormTexts base;
  base.Text1 = {L" 10", L" 0.47", L" 216", L" " + whole_text(rows), L" 20", L" нет", L" нет", L" 3", L" 3", L" нет",
                L"", L" 50", L" 100", L" 100", L" 100", L" 100", L" нет", L" нет", L" 0.1"};
  if (relaxation) {
    base.Text1[5] = L" 2";
    base.Text1[6] = L" 1";
    base.Text1[14] = L" нет";
    base.Text1[17] = L" 1.5";
  }
  base.Text2 = L" 1-R";
  base.Text3 = L" Склад";
  base.Text8 = L" 1";
  base.Combo1_0 = L"ГОСТ 10704-91";
  base.Combo1_1 = L"Узел управления спринклерный водозаполненный";
  base.Text4 = L"10d150";

  std::chrono::duration<double> waiting{};
  GridRunHooks hooks;
  hooks.load_pipe_tables = [&](GridFormTexts&, GridFormState& s) {
    s.MainPipeTable = *load_pipe_table(pipes, L"ГОСТ 10704-91");
    s.MainStandardPhrase = L" по ГОСТ 10704-91";
    return StageEnd::Continue;
  };
  hooks.start_command_file = [&](const std::wstring& name) { return ui::host().start_command_file(folder.dir(), name); };
  hooks.command_file_running = [] { return ui::host().command_file_running(); };
  // The form looks for the flag once a second; the benchmark looks far more
  // often, so that it times the run rather than the rounding to a second.
  constexpr std::chrono::milliseconds kLookPause{25};
  hooks.pause = [&] {
    const auto t0 = std::chrono::steady_clock::now();
    ui::host().do_events();
    std::this_thread::sleep_for(kLookPause);
    waiting += std::chrono::steady_clock::now() - t0;
  };
  std::chrono::duration<double> total{};
  for (auto _ : state) {
    GridFormTexts form = base;
    GridFormState s;
    host.clear_records();
    host.answer_message(ui::MsgResult::Yes);  // "Выполнить расчет?"
    const auto t0 = std::chrono::steady_clock::now();
    RunGridCalculation(form, s, hooks, folder.dir());
    total += std::chrono::steady_clock::now() - t0;
    if (s.ResultsValidFlag != 1) {
      state.SkipWithError("the run gave no results");
      break;
    }
  }
  state.counters["solver_share"] = total.count() > 0 ? waiting.count() / total.count() : 0;
}

}  // namespace

BENCHMARK(BM_GridRun)
    ->ArgsProduct({{10, 20, 40}, {0, 1}})
    ->ArgNames({"rows", "prom2"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
