#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "solvers/common/gridparams.h"
#include "solvers/gridio/gridio.h"
#include "solvers/gridscan/gridscan.h"
#include "tests/support/grid_files.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"

using namespace dorv;
using namespace dorv::solvers;
using dorv::testing::grid_parameter_text;
using dorv::testing::ProgramFolder;

namespace {

// Eight sprinklers a line, six lines, twelve open: a square of two lines of
// five and a partial line, so X = 4 positions along and Y = 4 across.
std::vector<double> grid(double feed_offset) {
  return {3, 3, 8, 6, 110, 572, 10, 0.47, 12, 0.0005, 572, feed_offset, 0, 572, 0, 0, 0};
}

void install_programs(const ProgramFolder& f) {
  f.install(GRIDSCAN_EXE, "gridscan");
  f.install(GRIDIO_EXE, "gridio");
  f.install(OPTIMER_EXE, "optimer");
}

struct Position {
  int x, y;
  double head;
};

std::vector<Position> scanned(const std::string& console) {
  std::vector<Position> out;
  const std::regex line("Сдвиг:  x=(\\d+), y=(\\d+)   напор:  ([0-9.]+)");
  for (std::sregex_iterator i(console.begin(), console.end(), line), end; i != end; ++i)
    out.push_back({std::stoi((*i)[1]), std::stoi((*i)[2]), std::stod((*i)[3])});
  return out;
}

std::vector<int> rows_of(const std::vector<Position>& ps) {
  std::vector<int> rows;
  for (const auto& p : ps)
    if (std::find(rows.begin(), rows.end(), p.y) == rows.end()) rows.push_back(p.y);
  return rows;
}

}  // namespace

TEST(GridScan, RowsEachModeScans) {
  struct Case {
    char mode;
    int Y;
    bool feed_on_main1;
    std::vector<int> rows;
  };
  const Case cases[] = {
      {'u', 4, true, {1}},        {'d', 4, false, {4}},     {'b', 4, false, {1, 4}}, {'b', 1, false, {1}},
      {'c', 4, false, {1}},       {'c', 4, true, {1, 4}},   {'c', 1, true, {1}},     {'a', 3, false, {1, 2, 3}},
      {'d', 1, false, {1}},
  };
  for (const auto& c : cases) EXPECT_EQ(scan_rows(c.mode, c.Y, c.feed_on_main1), c.rows) << c.mode << c.Y;
}

TEST(GridScan, ScansLeavesTheWorstReportAndCleansUp) {
  ProgramFolder f;
  install_programs(f);
  f.put("spr.in", grid_parameter_text(grid(-5)));  // feed on main 1: mode c scans rows 1 and Y
  std::string out;
  ASSERT_EQ(f.run("./gridscan", &out), 0) << out;
  const auto ps = scanned(out);
  ASSERT_EQ(ps.size(), 8u) << out;
  EXPECT_EQ(rows_of(ps), (std::vector<int>{1, 4}));
  const auto worst = *std::max_element(ps.begin(), ps.end(), [](auto& a, auto& b) { return a.head < b.head; });
  const std::wstring report = f.text("spr.out");
  EXPECT_NE(report.find(L"вправо  -  " + std::to_wstring(worst.x).insert(0, worst.x < 10 ? L" " : L"") +
                        L",        вниз  -  " + std::to_wstring(worst.y).insert(0, worst.y < 10 ? L" " : L"")),
            std::wstring::npos)
      << to_utf8(report);
  char head[32];
  std::snprintf(head, sizeof head, "%6.2f", worst.head);
  EXPECT_NE(report.find(L"Полный напор:   " + from_utf8(head)), std::wstring::npos) << to_utf8(report);
  EXPECT_EQ(f.files(), (std::vector<std::string>{"gridio", "gridscan", "optimer", "spr.in", "spr.out"}));

  // With t every position keeps its problem and answer; mode a scans all rows.
  ASSERT_EQ(f.run("./gridscan a t", &out), 0) << out;
  const auto all = scanned(out);
  EXPECT_EQ(all.size(), 16u);
  EXPECT_EQ(rows_of(all), (std::vector<int>{1, 2, 3, 4}));
  for (const auto& p : all) {
    const std::string stem = "spr" + std::to_string(p.x) + "_" + std::to_string(p.y);
    EXPECT_TRUE(f.has(stem + ".in") && f.has(stem + ".out")) << stem;
  }
}

TEST(GridScan, WhatTheProgramsPrintShowsInScanOrder) {
  // Stand-ins that say how they were started, then run the real programs:
  // however the positions overlap, the console reads one position after
  // another.
  ProgramFolder f;
  install_programs(f);
  for (const std::string name : {"gridio", "optimer"}) {
    std::filesystem::rename(f / name, f / (name + ".real"));
    f.put(name, "#!/bin/sh\necho \"" + name + " $*\"\nexec ./" + name + ".real \"$@\"\n");
    std::filesystem::permissions(f / name, std::filesystem::perms::owner_all);
  }
  f.put("spr.in", grid_parameter_text(grid(0)));
  std::string out;
  ASSERT_EQ(f.run("./gridscan u", &out), 0) << out;
  const auto ps = scanned(out);
  ASSERT_EQ(ps.size(), 4u) << out;
  std::string expected;
  double best = 0;
  for (const auto& p : ps) {
    const std::string x = std::to_string(p.x), y = std::to_string(p.y);
    expected += "gridio i " + x + " " + y + "\noptimer spr" + x + "_" + y + ".in\nshift " + x + " " + y + "\n";
    if (p.head > best) expected += "gridio o " + x + " " + y + "\n", best = p.head;
  }
  std::string seen;
  const std::regex line("(gridio .*|optimer .*)|Сдвиг:  x=(\\d+), y=(\\d+)");
  for (std::sregex_iterator i(out.begin(), out.end(), line), end; i != end; ++i)
    seen += (*i)[1].matched ? (*i)[1].str() + "\n" : "shift " + (*i)[2].str() + " " + (*i)[3].str() + "\n";
  EXPECT_EQ(seen, expected);
}

TEST(GridScan, ModesAndUsage) {
  ProgramFolder f;
  install_programs(f);
  f.put("spr.in", grid_parameter_text(grid(0)));  // feed on the cross-pipe: mode c scans row 1 only
  struct Case {
    std::string args;
    std::vector<int> rows;
  };
  const Case cases[] = {{"", {1}}, {"t", {1}}, {"u", {1}}, {"d", {4}}, {"b t", {1, 4}}, {"c t", {1}}};
  std::string out;
  for (const auto& c : cases) {
    ASSERT_EQ(f.run("./gridscan " + c.args, &out), 0) << c.args << out;
    EXPECT_EQ(rows_of(scanned(out)), c.rows) << c.args;
  }
  for (const char* bad : {"x", "uu", "u x", "u t t", "t u"}) {
    EXPECT_EQ(f.run(std::string("./gridscan ") + bad, &out), kExitUsage) << bad;
    EXPECT_NE(out.find("Неправильные параметры программы gridscan.exe!"), std::string::npos);
  }
}

TEST(GridScan, APositionWithoutAnAnswerStopsTheScanWithAnEmptyReport) {
  ProgramFolder f;
  install_programs(f);
  f.put("spr.in", grid_parameter_text(grid(0)));
  std::filesystem::remove(f / "optimer");
  f.put("spr1_1.out", "0 99 1\r\n");           // stale, and short: must not be read as this run's answer
  f.put("spr.out", "report of an earlier run");
  std::string out;
  EXPECT_EQ(f.run("./gridscan", &out), kExitNoAnswer);
  EXPECT_NE(out.find("x=1, y=1"), std::string::npos) << out;
  EXPECT_EQ(f.get("spr.out"), "");
  EXPECT_EQ(f.files(), (std::vector<std::string>{"gridio", "gridscan", "spr.in", "spr.out"}));
}

TEST(GridScan, CommandFileRemovesTheFlagOnEveryPath) {
  ProgramFolder f;
  install_programs(f);
  f.install(std::filesystem::path(BATCH_DIR) / "prom1.bat", "prom1.bat");
  f.put("spr.in", grid_parameter_text(grid(0)));
  f.put("prom.in", "");
  EXPECT_EQ(f.run("/bin/sh prom1.bat"), 0);
  EXPECT_FALSE(f.has("prom.in"));
  EXPECT_NE(f.text("spr.out").find(L"Полный напор"), std::wstring::npos);

  auto bad = grid(0);
  bad[0] = 0;  // no spacing: refused
  f.put("spr.in", grid_parameter_text(bad));
  f.put("prom.in", "");
  EXPECT_NE(f.run("/bin/sh prom1.bat"), 0);
  EXPECT_FALSE(f.has("prom.in"));
  EXPECT_EQ(f.get("spr.out"), "");
}

TEST(GridScan, CommandFilesStoppedHalfwayLeaveSprOutEmpty) {
  // The network solver behind a stand-in that takes its time and, for the
  // arbitrary network, has written part of its answer before it is stopped;
  // the scan has found a worst position (spr.out written) by then.
  struct Case {
    const char* script;
    const char* slow_solver;
  };
  const Case cases[] = {
      {"prom1.bat", "#!/bin/sh\nsleep 0.3\nexec ./optimer.real \"$@\"\n"},
      {"prom3.bat", "#!/bin/sh\nprintf 'part of an answer' > spr.out\nsleep 5\nexec ./optimer.real \"$@\"\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    ProgramFolder f;
    install_programs(f);
    std::filesystem::rename(f / "optimer", f / "optimer.real");
    f.put("optimer", c.slow_solver);
    std::filesystem::permissions(f / "optimer", std::filesystem::perms::owner_all);
    f.install(std::filesystem::path(BATCH_DIR) / c.script, c.script);
    f.put("spr.in", grid_parameter_text(grid(-5)));
    f.put("prom.in", "");
    ASSERT_TRUE(f.run_and_stop(c.script, std::chrono::milliseconds(700))) << "it ended before it could be stopped";
    EXPECT_FALSE(f.has("prom.in"));
    EXPECT_EQ(f.get("spr.out"), "");
  }
}

TEST(GridScan, AgreesWithTheRelaxationOnTheSameGrid) {
#ifndef GRIDSOLVE_EXE
  GTEST_SKIP() << "gridsolve is not built";
#else
  // One dead end beyond main 1, fed on the cross-pipe. The relaxation needs a
  // height difference, so it gets 1 cm of riser; the scan gets none.
  auto values = grid(6);
  values[16 - 1] = 1;
  const auto number_after = [](const std::wstring& text, const std::wstring& label) {
    const auto p = text.find(label);
    return p == std::wstring::npos ? -1.0 : std::stod(to_utf8(text.substr(p + label.size(), 12)));
  };
  ProgramFolder relax;
  relax.install(GRIDSOLVE_EXE, "gridsolve");
  values[13 - 1] = 0.01;
  relax.put("spr.in", grid_parameter_text(values));
  ASSERT_EQ(relax.run("./gridsolve"), 0);
  const std::wstring a = relax.text("spr.out");

  ProgramFolder scan;
  install_programs(scan);
  values[13 - 1] = 0;
  scan.put("spr.in", grid_parameter_text(values));
  ASSERT_EQ(scan.run("./gridscan u"), 0);
  const std::wstring b = scan.text("spr.out");

  EXPECT_EQ(number_after(a, L"Смещение вправо квадрата пожара:"), number_after(b, L"вправо  -"));
  EXPECT_NEAR(number_after(a, L"Полный напор:") - 0.01, number_after(b, L"Полный напор:"), 0.02);
  EXPECT_NEAR(number_after(a, L"Полный расход:"), number_after(b, L"Полный расход:"), 0.01);
#endif
}
