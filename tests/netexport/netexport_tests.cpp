#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "standins/netexport/description.h"
#include "standins/netexport/export.h"
#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/numtext.h"

using namespace dorv;
using Folder = dorv::testing::ProgramFolder;

namespace {

std::string run_netexport(const Folder& f, const std::string& args, int* rc) {
  std::string out;
  *rc = f.run(std::string(NETEXPORT_EXE) + " -t '" + TRUB_INF + "' " + args, &out);
  return out;
}

std::vector<std::wstring> lines_of(const Folder& f, const std::string& name) {
  return split_lines(from_cp1251(f.get(name)));
}

// The lines between two markers of the network data file.
std::vector<std::wstring> section(const std::vector<std::wstring>& lines, const std::wstring& from, const std::wstring& to) {
  std::vector<std::wstring> out;
  bool in = false;
  for (const auto& l : lines) {
    if (l == to && in) break;
    if (in) out.push_back(l);
    if (l == from) in = true;
  }
  return out;
}

}  // namespace

TEST(Netexport, ExampleNetworkGivesACompleteSolvableExport) {
  Folder f;
  int rc = 0;
  const std::string out = run_netexport(f, std::string("'") + NETEXPORT_EXAMPLE + "'", &rc);
  ASSERT_EQ(rc, 0) << out;
  const std::string bytes = f.get("rezult.ko2");
  EXPECT_NE(bytes.find("\r\n"), std::string::npos);
  EXPECT_NE(bytes.find(to_cp1251(L"Склад «Восток»")), std::string::npos);  // windows-1251, not UTF-8

  const auto ko2 = lines_of(f, "rezult.ko2");
  ASSERT_GE(ko2.size(), 19u);
  const std::vector<std::wstring> head(ko2.begin(), ko2.begin() + 19);
  const std::vector<std::wstring> expected_head = {
      L"#####", L"5.4.0", L"netexport", L"24/07", L"Склад «Восток»", L"0.08", L"12", L"0.47", L"ГОСТ 10704-91",
      L"0.0019 (УУСЗ-65)", L"", L"1.5", L"9", L"2.6", L"10", L"0.1", L"9", L"0.5", L"#####1"};
  EXPECT_EQ(head, expected_head);

  // Six outlets: fixed-head outlet nodes 1..6, sprinklers 7..12, junctions
  // 13..15 for the drawn nodes 2, 3, 4.
  const auto network = section(ko2, L"#####1", L"#####2");
  ASSERT_EQ(network.size(), 17u);
  EXPECT_EQ(network[0], L"0.0001 0.0005 200000");
  const std::wstring c12 = num_text_trim(round_half_even(std::sqrt(572 / (1.2 * 4.5)), 8));
  EXPECT_EQ(network[1], L"0 p 23.5 1 13 " + c12);  // 10 m above the deluge head's 4.5 + 9
  EXPECT_EQ(network[2], L"1 p 4 1 7 .47");
  EXPECT_EQ(network[6], L"5 p 3 1 11 " + num_text_trim(round_half_even(2.6 / std::sqrt(10.0), 8)));
  EXPECT_EQ(network[14].substr(0, 12), L"13 v 14 3 0 ");  // elevation 4 + the highest need, 10 m

  const auto lists = section(ko2, L"#####2", L"#####3");
  EXPECT_EQ(lists, (std::vector<std::wstring>{L"6 5 6 7 8 9 10", L"1 10", L"1 9", L"1 8"}));
  const auto nodes = section(ko2, L"#####3", L"#####4");
  ASSERT_EQ(nodes.size(), 10u);
  EXPECT_EQ(nodes[0], L"1 0 0 1 2 4.5 65 0 0 0 0 0 0 0 0 0 0");
  EXPECT_EQ(nodes[4], L"5 7 4 3 4 3 32 8 4 25 10 2 25 0 0 0 0");
  EXPECT_EQ(std::vector<std::wstring>(ko2.end() - 3, ko2.end()), (std::vector<std::wstring>{L"1", L"2", L"0"}));

  // The network section is a problem that the solver accepts and solves.
  std::string problem;
  for (const auto& l : network) problem += to_cp1251(l) + "\r\n";
  const optimer::Problem p = optimer::parse_problem(problem);
  const optimer::Solution s = optimer::solve_problem(p);
  EXPECT_GT(s.feed_flow, 0);

  // Scheme: header, then per pipe a line and its label, the control unit,
  // one symbol per outlet (operating symbols of each kind), the feed, the
  // node labels.
  const auto kms = lines_of(f, "rezult.kms");
  ASSERT_EQ(kms.size(), 1u + 2 * 9 + 1 + 6 + 1 + 10);
  EXPECT_EQ(kms[0], L"-40,20,154,90");  // room for labels on the right
  EXPECT_EQ(kms[1], L"2,0,100,0,60");
  std::wstring codes;
  for (std::size_t i = 19; i < 27; ++i) codes += kms[i].substr(0, kms[i].find(L',')) + L" ";
  EXPECT_EQ(codes, L"11 3 3 3 12 9 7 6 ");
  // Labels lie beside what they name: a node's to its right, an upright
  // pipe's beside it.
  EXPECT_EQ(kms.back(), L"5,95.6,27.2,\"10\",2.8");
  EXPECT_EQ(kms[2], L"5,5.6,82.8,\"65 L=4.5\",2.8");
}

TEST(Netexport, NamedExportWithItsDrawingTwin) {
  Folder f;
  int rc = 0;
  run_netexport(f, std::string("-n sklad -w -o . '") + NETEXPORT_EXAMPLE + "'", &rc);
  ASSERT_EQ(rc, 0);
  EXPECT_TRUE(f.has("sklad.ko2"));
  EXPECT_TRUE(f.has("sklad.kms"));
  EXPECT_TRUE(f.has("sklad.dwg"));
  EXPECT_FALSE(f.has("rezult.ko2"));
}

TEST(Netexport, MistakesInTheDescriptionAreNamedWithTheirLine) {
  const std::string base =
      "main 0.08 12 0.47\nstandard ГОСТ 10704-91\nnode 1 0 0 0\nnode 2 10 0 0\npipe 1 2 3 50\n";
  // The base of a working description with one text put in place of another.
  auto with = [&](const std::string& from, const std::string& to, std::string text = {}) {
    if (text.empty()) text = base + "outlet 2 main\nfeed 1\n";
    return text.replace(text.find(from), from.size(), to);
  };
  auto zeros = [](std::size_t n) { return std::string(n, '0'); };
  const std::string huge(400, '9');  // reads as an infinity
  struct Case {
    std::string text;
    int rc;
    std::string says;
  } cases[] = {
      {base + "outlet 2 main\n", 3, "не указан узел питания"},
      {base + "feed 1\n", 3, "нет ни одного оросителя"},
      {base + "outlet 2 main\nfeed 3\n", 3, "строка 7: узел 3 не описан"},
      {base + "outlet 2 spray\nfeed 1\n", 3, "строка 6: вид оросителя «spray»"},
      {base + "pipe 2 1 4 50\noutlet 2 main\nfeed 1\n", 3, "строка 6: узлы 2 и 1 уже соединены"},
      {base + "node 3 5 5 0\noutlet 2 main\nfeed 1\n", 3, "узел 3 не связан трубами"},
      {base + "pipe 2 3 1 45\nnode 3 1 1 1\noutlet 3 main\nfeed 1\n", 3, "диаметра 45 нет в сортаменте"},
      {"standard ГОСТ 999\nnode 1 0 0 0\nnode 2 1 1 1\npipe 1 2 1 50\noutlet 2 main\nfeed 1\nmain 1 1 1\n", 3,
       "Сортамента «ГОСТ 999» нет"},
      {base + "node 2 1 1 1\n", 3, "строка 6: узел 2 описан дважды"},
      {base + "outlet 2 main\nfeed 1\nflow 3\n", 3, "неизвестное слово «flow»"},
      // Numbers the files cannot hold: one beyond the range of a double in
      // each kind of field, named with its line, and finite ones whose
      // conductances, heads or scheme places leave the range or would be
      // written as 0, named by what they belong to.
      {with("node 2 10 0 0", "node 2 " + huge + " 0 0"), 3, "строка 4: «" + huge + "» — слишком большое число"},
      {with("node 2 10 0 0", "node 2 10 0 -" + huge), 3, "строка 4: «-" + huge + "» — слишком большое"},
      {with("node 2 10 0 0", "node " + huge + " 10 0 0"), 3, "строка 4: «" + huge},
      {with("pipe 1 2 3 50", "pipe 1 2 " + huge + " 50"), 3, "строка 5: «" + huge},
      {with("pipe 1 2 3 50", "pipe 1 2 3 " + huge), 3, "строка 5: «" + huge},
      {with("0.47", huge), 3, "строка 1: «" + huge},
      {base + "inlet-head " + huge + "\noutlet 2 main\nfeed 1\n", 3, "строка 6: «" + huge},
      {with("pipe 1 2 3 50", "pipe 1 2 0.000000004 50"), 3, "строка 5: длина «0.000000004»: меньше 0.00000001 м"},
      {with("pipe 1 2 3 50", "pipe 1 2 1" + zeros(300) + " 50"), 3, "проводимость трубы 1-2 длиной 1000"},
      {with("0.47", "0.0000000001"), 3, "проводимость выхода оросителей вида main: меньше 0.00000001"},
      {with("0.08 12", "1" + zeros(200) + " 1" + zeros(200)), 3,
       "свободный напор оросителей вида main: слишком большое число"},
      {base + "deluge 1" + zeros(308) + " 0.0000000001\noutlet 2 deluge\nfeed 1\n", 3,
       "проводимость выхода оросителей вида deluge: слишком большое число"},
      {with("0.08", "1" + zeros(152), with("node 2 10 0 0", "node 2 10 0 1797" + zeros(305))), 3,
       "напор в узле 2: слишком большое число"},
      {with("node 1 0 0 0", "node 1 -1" + zeros(308) + " 0 0", with("node 2 10 0 0", "node 2 1" + zeros(308) + " 0 0")),
       3, "координаты узла 1: слишком большие числа для файла схемы"},
  };
  for (const auto& c : cases) {
    Folder f;
    f.put("net.txt", c.text);
    int rc = 0;
    const std::string out = run_netexport(f, "net.txt", &rc);
    EXPECT_EQ(rc, c.rc) << c.text;
    EXPECT_NE(out.find(c.says), std::string::npos) << out;
    EXPECT_FALSE(f.has("rezult.ko2")) << c.text;
  }
  Folder f;
  int rc = 0;
  EXPECT_NE(run_netexport(f, "", &rc).find("Вызов: netexport"), std::string::npos);
  EXPECT_EQ(rc, 1);
  run_netexport(f, "missing.txt", &rc);
  EXPECT_EQ(rc, 2);
}
