// A grid calculation run without its form: the form's texts and values, the
// pipe table of one standard, a program folder with the valve file, and a
// stand-in for the command file that leaves a prepared spr.out.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gridform/gridrun.h"
#include "platform/headless.h"
#include "support/program_folder.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/number.h"

namespace dorv::testing {

using namespace dorv::grid;

struct EndRow {
  int number;
  double left, right;
};

// spr.out as gridio (layout 0) or gridsolve (layout 1) writes it, with an
// optional ring line, the branch-line rows and an optional parallel line.
inline std::wstring result_file(int layout, double head, double flow, std::optional<double> ring,
                         const std::vector<EndRow>& rows, std::optional<std::pair<double, double>> parallel) {
  std::string t = "Давления во вскрывшихся спринклерах:\n  5.00     5.10   \n";
  if (layout == 0) {
    t += "\nСмещение квадрата пожара:\n вправо  -   1,        вниз  -   1\n";
    t += cformat("\nПолный напор:   %6.2lf\nПолный расход: %7.3lf\nПогрешность:    %10.8lf\n", head, flow, 1e-6);
    t += "\nПараметры концов рядков:\n        Напор     Расход     Расход      Напор\n        слева     слева      "
         "справа      справа";
    if (ring) t += cformat("\nмаг  %8.2lf   %8.3lf   %8.3lf   %8.2lf", 19.0, *ring, -*ring, 19.5);
    for (const auto& r : rows)
      t += cformat("\n%2d   %8.2lf   %8.3lf   %8.3lf   %8.2lf", r.number, 19.0, r.left, r.right, 19.5);
    if (parallel)
      t += cformat("\nмаг  %8.2lf   %8.3lf   %8.3lf   %8.2lf", 20.0, parallel->first, parallel->second, 20.0);
    t += "\n";
  } else {
    t += "\n\nСмещение вправо квадрата пожара:  1\n";
    t += cformat("\nПолный напор:   %6.2lf\nПолный расход: %7.3lf\n", head, flow);
    t += "\nПараметры концов рядков:\n           Напоры         Расход     Расход        Напоры\n           слева  "
         "        слева      справа        справа";
    if (ring) t += cformat("\nмаг  %8.2lf          %8.3lf              %8.2lf", 19.0, *ring, 19.5);
    for (const auto& r : rows)
      t += cformat("\n%2d   %8.2lf%8.2lf  %8.3lf   %8.3lf   %8.2lf%8.2lf", r.number, 19.0, 18.0, r.left, r.right,
                   19.5, 18.5);
    if (parallel)
      t += cformat("\nмаг  %8.2lf           %8.3lf   %8.3lf  %8.2lf", 20.0, parallel->first, parallel->second, 20.0);
  }
  std::wstring w = from_utf8(t);
  std::wstring crlf;
  for (wchar_t c : w) {
    if (c == L'\n') crlf += L'\r';
    crlf += c;
  }
  return crlf;
}

// Welded pipes: DN, outer diameter, wall, K_T.
inline PipeTable pipe_table(const std::vector<std::array<double, 4>>& rows) {
  PipeTable t;
  for (const auto& r : rows) t.rows.push_back({r[0], r[1], r[2], r[3]});
  return t;
}
inline PipeTable welded_pipes() {
  return pipe_table({{15, 18, 2.0, 0.0755}, {20, 25, 2.0, 0.75},   {25, 32, 2.2, 3.44},   {32, 40, 2.2, 13.97},
                     {40, 45, 2.2, 28.7},   {50, 57, 2.5, 110},    {65, 76, 2.8, 572},    {80, 89, 2.8, 1429},
                     {100, 108, 2.8, 4322}, {125, 133, 3.2, 13530}, {150, 159, 3.2, 36920}});
}

class GridRunTest : public ::testing::Test {
 protected:
  GridRunTest() {
    folder.install(std::filesystem::path(DORV_DATA_DIR) / "klap.inf", "klap.inf");
    std::ranges::copy(kGridFieldCaptions, form.Label1.begin());
    // A grid of 4 branch lines of 6 sprinklers, 3 m by 4 m, fed at main 1.
    form.Text1 = {L" 5",   L" 0.47", L" 120", L" 4",   L" 6",   L" нет", L" нет", L" 3",   L" 4",  L" нет",
                  L"",     L" 25",   L" 40",  L" 40",  L" нет", L" нет", L" нет", L" нет", L" 0.08"};
    form.Text2 = L" 7-R";
    form.Text3 = L" Склад";
    form.Text8 = L" 12";
    form.Combo1_0 = L"ГОСТ 10704-91";
    form.Combo1_1 = L"Узел управления спринклерный водозаполненный";
    form.Text4 = L"10d50";
    hooks.selected_contract = L" 12";
    hooks.load_pipe_tables = [this](GridFormTexts&, GridFormState& s) {
      s.MainPipeTable = welded_pipes();
      s.MainStandardPhrase = L" по ГОСТ 10704-91";
      if (!second_table.empty()) {
        s.SecondPipeTable = second_table;
        s.SecondStandardPhrase = L" по ГОСТ 3262-75";
      }
      return StageEnd::Continue;
    };
    hooks.draw_scheme = [this] { ++schemes_drawn; };
    hooks.write_input_record = [this](bool given_up) { records.push_back(given_up); };
    hooks.start_command_file = [this](const std::wstring& name) {
      started.push_back(name);
      if (!command_file_starts) return false;
      if (solver_output) folder.put("spr.out", to_cp866(*solver_output));
      if (solver_removes_flag) std::filesystem::remove(folder / "prom.in");
      return true;
    };
    hooks.command_file_running = [] { return false; };
    hooks.pause = [this] { ++waits; };
  }

  void run() { RunGridCalculation(form, state, hooks, folder.dir()); }
  // spr.out of an earlier run whose grid solution a run reuses.
  void reuse_solution() {
    folder.put("spr.out", to_cp866(result_file(0, 20.5, 5.125, std::nullopt, {{1, 1.0, 0.5}}, std::nullopt)));
  }
  bool has(const char* name) const { return std::filesystem::exists(folder / name); }
  std::vector<std::wstring> message_texts() const {
    std::vector<std::wstring> t;
    for (const auto& m : host.messages()) t.push_back(m.request.text);
    return t;
  }

  ui::HeadlessHost host;
  ProgramFolder folder;
  GridFormTexts form;
  GridFormState state;
  GridRunHooks hooks;
  PipeTable second_table;
  std::optional<std::wstring> solver_output;  // spr.out the command file leaves, CR LF line ends
  bool command_file_starts = true;
  bool solver_removes_flag = true;
  std::vector<std::wstring> started;
  std::vector<bool> records;
  int schemes_drawn = 0;
  int waits = 0;
};

}  // namespace dorv::testing
