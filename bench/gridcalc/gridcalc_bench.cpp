// A whole "Пуск" of the grid form, from the click to the four results, with
// the real command files and solvers in a program folder: prom1.bat (the
// position scan through the network solver) and prom2.bat (the grid
// relaxation), on grids of 10, 20 and 40 branch lines of 20 sprinklers.
// Reports the share of the time spent waiting for the solver.
//
// BM_GridRunRealWait times the run as a user sees it: prom1.bat on grids of
// 10 lines of 8 and 40 lines of 20 sprinklers, with the host's real
// one-second pause. after_end is how long after the command file removed
// prom.in the results were there (target: within 0.3 s on the 10x8 grid).
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "gridform/gridrun.h"
#include "tables/pipe_standard.h"
#include "platform/headless.h"
#include "platform/host.h"
#include "support/program_folder.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace {

using namespace dorv;
using namespace dorv::grid;

void install_programs(const testing::ProgramFolder& folder) {
  for (const auto& [from, name] : {std::pair{GRIDSCAN_EXE, "gridscan"}, {GRIDIO_EXE, "gridio"},
                                   {GRIDSOLVE_EXE, "gridsolve"}, {OPTIMER_EXE, "optimer"},
                                   {PROM1_BAT, "prom1.bat"}, {PROM2_BAT, "prom2.bat"}})
    folder.install(from, name);
  folder.install(std::filesystem::path(DORV_DATA_DIR) / "klap.inf", "klap.inf");
}

// The form's input of a grid of `rows` branch lines of `per_line` sprinklers.
GridFormTexts grid_input(int rows, int per_line) {
  GridFormTexts base;
  base.Text1 = {L" 10", L" 0.47", L" 216", L" " + whole_text(rows), L" " + whole_text(per_line), L" нет", L" нет",
                L" 3", L" 3", L" нет", L"", L" 50", L" 100", L" 100", L" 100", L" 100", L" нет", L" нет", L" 0.1"};
  base.Text2 = L" 1-R";
  base.Text3 = L" Склад";
  base.Text8 = L" 1";
  base.Combo1_0 = L"ГОСТ 10704-91";
  base.Combo1_1 = L"Узел управления спринклерный водозаполненный";
  base.Text4 = L"10d150";
  return base;
}

std::function<StageEnd(GridFormTexts&, GridFormState&)> pipe_table_loader() {
  auto pipes = read_lines(std::filesystem::path(DORV_DATA_DIR) / "trub.inf");
  return [pipes](GridFormTexts&, GridFormState& s) {
    s.MainPipeTable =
        *tables::load_pipe_table(pipes, L"ГОСТ 10704-91", tables::StandardName::Whole, tables::RowNumbers::Stream);
    s.MainStandardPhrase = L" по ГОСТ 10704-91";
    return StageEnd::Continue;
  };
}

void BM_GridRun(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const bool relaxation = state.range(1) == 1;  // prom2.bat, else prom1.bat
  testing::ProgramFolder folder;
  install_programs(folder);

  ui::HeadlessHost host;
  GridFormTexts base = grid_input(rows, 20);
  if (relaxation) {
    base.Text1[5] = L" 2";
    base.Text1[6] = L" 1";
    base.Text1[14] = L" нет";
    base.Text1[17] = L" 1.5";
  }

  std::chrono::duration<double> waiting{};
  GridRunHooks hooks;
  hooks.load_pipe_tables = pipe_table_loader();
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

void BM_GridRunRealWait(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  testing::ProgramFolder folder;
  install_programs(folder);
  ui::HeadlessHost host;  // its pause is the real second
  const GridFormTexts base = grid_input(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  GridRunHooks hooks;
  hooks.load_pipe_tables = pipe_table_loader();
  // A watcher, not the form, notes when the command file removes prom.in.
  std::thread watcher;
  Clock::time_point flag_gone;
  hooks.start_command_file = [&](const std::wstring& name) {
    if (!ui::host().start_command_file(folder.dir(), name)) return false;
    watcher = std::thread([&] {
      while (folder.has("prom.in")) std::this_thread::sleep_for(std::chrono::microseconds(200));
      flag_gone = Clock::now();
    });
    return true;
  };
  hooks.command_file_running = [] { return ui::host().command_file_running(); };
  hooks.pause = [] { ui::host().wait_one_second(); };
  std::chrono::duration<double> after_end{}, worst_after_end{}, solver{};
  for (auto _ : state) {
    GridFormTexts form = base;
    GridFormState s;
    host.clear_records();
    host.answer_message(ui::MsgResult::Yes);  // "Выполнить расчет?"
    const auto t0 = Clock::now();
    RunGridCalculation(form, s, hooks, folder.dir());
    const auto shown = Clock::now();
    if (watcher.joinable()) watcher.join();
    if (s.ResultsValidFlag != 1) {
      state.SkipWithError("the run gave no results");
      break;
    }
    after_end += shown - flag_gone;
    worst_after_end = std::max(worst_after_end, std::chrono::duration<double>(shown - flag_gone));
    solver += flag_gone - t0;
  }
  if (watcher.joinable()) watcher.join();
  const double runs = static_cast<double>(state.iterations());
  state.counters["after_end_s"] = runs > 0 ? after_end.count() / runs : 0;
  state.counters["worst_after_end_s"] = worst_after_end.count();
  state.counters["to_end_s"] = runs > 0 ? solver.count() / runs : 0;
}

}  // namespace

BENCHMARK(BM_GridRunRealWait)
    ->Args({10, 8})
    ->Args({40, 20})
    ->ArgNames({"rows", "per_line"})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_GridRun)
    ->ArgsProduct({{10, 20, 40}, {0, 1}})
    ->ArgNames({"rows", "prom2"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
