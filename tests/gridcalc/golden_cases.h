// Two grids whose stored spr.out (under data/, one per solver layout) the
// report tests compute again: their form texts and the run that reads them.
#pragma once
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "gridcalc/fixture.h"

namespace dorv::testing {

struct GoldenCase {
  const char* name;  // folder of spr.out and rezres.txt under data/
  std::array<std::wstring, 19> fields;
  std::wstring object;
  std::wstring feed;
  bool second_standard;
  const wchar_t* command;
};

// Steel water-and-gas pipes: DN, outer diameter, wall, K_T.
inline PipeTable gas_pipes() {
  return pipe_table({{15, 21.3, 2.5, 0.18}, {20, 26.8, 2.5, 0.926}, {25, 33.5, 2.8, 3.65}, {32, 42.3, 2.8, 16.5},
                     {40, 48, 3.0, 34.5},    {50, 60, 3.0, 135},     {65, 75.5, 3.2, 517},  {80, 88.5, 3.5, 1262}});
}

inline const std::vector<GoldenCase>& golden_cases() {
  static const std::vector<GoldenCase> cases{
      // Three branch lines of four sprinklers with a ring pipe; K-factor 80
      // per l/(min·bar^0.5); the feed pipeline of three sections, the first
      // with its diameter chosen, the last 2 m down. Solved by the position scan.
      {"ring",
       {L" 5", L" 80", L" 36", L" 3", L" 4", L" нет", L" нет", L" 3", L" 3", L" нет", L"", L" 25", L" 40", L" 40",
        L" нет", L" 32", L" нет", L" нет", L" 0.1"},
       L" Административно-бытовой корпус с подземной автостоянкой, корпус 2",
       L"20,10d50,30d65h-2",
       false,
       L"prom1.bat"},
      // Four branch lines of five sprinklers, one on a dead end beyond the
      // main pipe, the lines 1 m above the pipes; a parallel pipe of the
      // second standard fed 2 m from the main pipe. Solved by the relaxation.
      {"dead_end",
       {L" 10", L" 0.47", L" 60", L" 4", L" 5", L" 1", L" нет", L" 3", L" 4", L" нет", L"", L" 25", L" 50", L" 40",
        L" 50*", L" нет", L" 2", L" 1", L" 0.08"},
       L" Склад",
       L"15d65h3,5d80*",
       true,
       L"prom2.bat"},
  };
  return cases;
}

class GridReportTest : public GridRunTest {
 protected:
  void set_case(const GoldenCase& c) {
    form = {};
    std::ranges::copy(kGridFieldCaptions, form.Label1.begin());
    form.Text2 = L" 7-R";
    form.Text8 = L" 12";
    form.Combo1_0 = L"ГОСТ 10704-91";
    form.Combo1_1 = L"Узел управления спринклерный водозаполненный";
    second_table = {};
    form.Text1 = c.fields;
    form.Text3 = c.object;
    form.Text4 = c.feed;
    if (c.second_standard) {
      form.Combo2 = L"ГОСТ 3262-75";
      second_table = gas_pipes();
    }
    hooks.program_version = L"5.4.0";
    hooks.executor_name = L" Иванов И.И. ";
  }
};

}  // namespace dorv::testing
