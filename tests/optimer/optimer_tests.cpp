#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>

#include "standins/optimer/answer.h"
#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "standins/optimer/sparse_ldl.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace fs = std::filesystem;
using namespace dorv;
using namespace dorv::optimer;
using dorv::testing::fields_by_line;
using Temp = dorv::testing::ProgramFolder;

namespace {

std::string problem(std::initializer_list<const char*> lines) {
  std::string t = "0.000500000000000  0.000500000000000  200000\n";
  for (const char* l : lines) t += std::string(l) + "\n";
  return t;
}

// Two sprinklers in a row: feed -(2.0)- sprinkler 3 -(1.5)- sprinkler 4,
// outlets 1 and 2, K = 0.5.
std::string two_in_row(const char* required3, const char* required4) {
  const std::string s3 = std::string("3 o ") + required3 + " 3 1 0.5 0 2.0 4 1.5";
  const std::string s4 = std::string("4 o ") + required4 + " 2 2 0.5 3 1.5";
  return problem({"0 p 100 1 3 2.0", "1 p 0 1 3 0.5", "2 p 0 1 4 0.5", s3.c_str(), s4.c_str()});
}

}  // namespace

TEST(OptimerSolve, SprinklersInARowMatchTheClosedForm) {
  const double K = 0.5, k1 = 2.0, k2 = 1.5;
  {  // equal required heads: the far sprinkler dictates
    const auto s = solve_problem(parse_problem(two_in_row("10", "10")));
    const double q4 = K * std::sqrt(10.0), h3 = 10 + q4 * q4 / (k2 * k2), q3 = K * std::sqrt(h3);
    EXPECT_EQ(s.dictating, 4);
    EXPECT_NEAR(s.heads[4], 10.0, 1e-9);
    EXPECT_NEAR(s.heads[3], h3, 1e-9);
    EXPECT_NEAR(s.feed_head, h3 + (q3 + q4) * (q3 + q4) / (k1 * k1), 1e-9);
    EXPECT_NEAR(s.feed_flow, q3 + q4, 1e-9);
    EXPECT_EQ(s.solves, 1);  // outlets on one level: one solve, scaled
  }
  {  // the near sprinkler needs more and dictates; the far one gets more than it needs
    const auto s = solve_problem(parse_problem(two_in_row("13", "10")));
    const double h4 = k2 * k2 * 13 / (k2 * k2 + K * K), q4 = K * std::sqrt(h4), q3 = K * std::sqrt(13.0);
    EXPECT_EQ(s.dictating, 3);
    EXPECT_NEAR(s.heads[3], 13.0, 1e-9);
    EXPECT_NEAR(s.heads[4], h4, 1e-9);
    EXPECT_NEAR(s.feed_head, 13 + (q3 + q4) * (q3 + q4) / (k1 * k1), 1e-9);
  }
}

TEST(OptimerSolve, ParallelLinksAddTheirConductances) {
  // Two links feed -> junction 3 (1.0 and 2.0), then 3 -> sprinkler 2 (3.0).
  const auto s = solve_problem(parse_problem(problem(
      {"0 p 50 2 3 1.0 3 2.0", "1 p 0 1 2 0.5", "2 o 10 2 1 0.5 3 3.0", "3 v 10 3 0 1.0 0 2.0 2 3.0"})));
  const double q = 0.5 * std::sqrt(10.0);
  EXPECT_NEAR(s.heads[3], 10 + q * q / 9, 1e-9);
  EXPECT_NEAR(s.feed_head, 10 + 2 * q * q / 9, 1e-9);
  EXPECT_NEAR(s.feed_flow, q, 1e-9);
}

TEST(OptimerSolve, OutletsOnDifferentLevelsFindTheFeedHeadBySearch) {
  // Sprinkler 3 (outlet at 0) needs 10, sprinkler 4 (outlet at 5) needs 15,
  // each on its own link from the feed.
  const auto s = solve_problem(parse_problem(
      problem({"0 p 50 2 3 2.0 4 1.0", "1 p 0 1 3 0.5", "2 p 5 1 4 0.5", "3 o 10 2 1 0.5 0 2.0",
               "4 o 15 2 2 0.5 0 1.0"})));
  // Alone, 3 needs 10 + .25*10/4 = 10.625 and 4 needs 15 + .25*10/1 = 17.5.
  EXPECT_EQ(s.dictating, 4);
  EXPECT_NEAR(s.feed_head, 17.5, 1e-6);
  EXPECT_NEAR(s.heads[4], 15.0, 1e-6);
  EXPECT_NEAR(s.heads[3], 4 * 17.5 / 4.25, 1e-6);
  EXPECT_GT(s.solves, 1);
}

TEST(OptimerSolve, MeshedNetworkBalancesEveryNode) {
  // A 6 x 5 mesh of sprinklers with junction rows on both sides and cross
  // links of varied conductance: no closed form, so the answer is checked by
  // the laws it must meet.
  const int rows = 6, cols = 5, n_spr = rows * cols;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> cond(0.5, 3.0);
  // Nodes: 0 feed, 1..n outlets, n+1..2n sprinklers, then the two mains.
  const int main1 = 2 * n_spr + 1, main2 = main1 + rows, count = main2 + rows;
  std::vector<std::vector<std::pair<int, double>>> adj(count);
  auto link = [&](int a, int b, double k) {
    adj[a].emplace_back(b, k);
    adj[b].emplace_back(a, k);
  };
  auto spr = [&](int r, int c) { return n_spr + 1 + r * cols + c; };
  for (int s = 1; s <= n_spr; ++s) link(n_spr + s, s, 0.47);  // outlets first
  for (int r = 0; r < rows; ++r) {
    link(main1 + r, spr(r, 0), cond(rng));
    for (int c = 0; c + 1 < cols; ++c) link(spr(r, c), spr(r, c + 1), cond(rng));
    link(spr(r, cols - 1), main2 + r, cond(rng));
    if (r + 1 < rows) {
      link(main1 + r, main1 + r + 1, 4.0);
      link(main2 + r, main2 + r + 1, 4.0);
    }
  }
  link(0, main1, 5.0);
  link(0, main2, 2.0);
  std::ostringstream t;
  t << "0.0005 0.0005 200000\n";
  for (int i = 0; i < count; ++i) {
    const char kind = (i <= n_spr) ? 'p' : (i <= 2 * n_spr ? 'o' : 'v');
    t << i << ' ' << kind << ' ' << (kind == 'o' ? 12 : 0) << ' ' << adj[i].size();
    for (const auto& [nb, k] : adj[i]) t << ' ' << nb << ' ' << k;
    t << '\n';
  }
  const auto pr = parse_problem(t.str());
  const auto s = solve_problem(pr);
  const auto imbalance = node_imbalance(s);
  double least = 1e9, outflow = 0.0;
  for (int i = 1; i < count; ++i) {
    if (pr.nodes[i].kind == NodeKind::Fixed) {
      outflow -= imbalance[i];
      continue;
    }
    EXPECT_LT(std::abs(imbalance[i]), 1e-9) << i;
    if (pr.nodes[i].kind == NodeKind::Sprinkler) least = std::min(least, s.heads[i]);
  }
  EXPECT_NEAR(least, 12.0, 1e-9);
  EXPECT_NEAR(s.heads[s.dictating], 12.0, 1e-9);
  EXPECT_NEAR(outflow, s.feed_flow, 1e-9);
  EXPECT_LT(s.iterations, 30);
}

TEST(OptimerProblem, RefusalsNameTheNode) {
  struct Case {
    std::string text;
    int node;
    const wchar_t* words;
  };
  const Case cases[] = {
      {two_in_row("10", "10").replace(two_in_row("10", "10").find("4 1.5\n"), 6, "4 1.6\n"), 4,
       L"с узлом 3 не указана в строке узла 3 с той же проводимостью"},
      {problem({"0 p 100 1 2 2.0", "2 o 10 1 0 2.0"}), 2, L"на месте узла 1"},
      {problem({"0 p 100 1 2 2.0", "1 x 0 1 2 0.5", "2 o 10 2 1 0.5 0 2.0"}), 1, L"вид узла"},
      {problem({"0 p 100 1 2 2.0", "1 p 0 1 2 0.5", "2 o 10 2 1 0.5 0 0"}), 2, L"больше нуля"},
      {problem({"0 p 100 1 2 2.0", "1 p 0 1 2 0.5", "2 o 10 2 1 0.5 7 2.0"}), 2, L"нет узла 7"},
      {problem({"0 p 100 1 2 2.0", "1 p 0 1 2 0.5", "2 o 10 2 1 0.5 0 2.0 9"}), 2, L"лишние"},
      {problem({"0 p 100 1 2 2.0", "1 p 0 1 2 0.5", "2 o 10 2 0 2.0 1 0.5"}), 2, L"выходу"},
  };
  for (const auto& c : cases) {
    try {
      parse_problem(c.text);
      ADD_FAILURE() << c.text;
    } catch (const ProblemError& e) {
      EXPECT_EQ(e.node(), c.node) << c.text;
      EXPECT_NE(e.text().find(c.words), std::wstring::npos) << c.text;
      EXPECT_NE(e.text().find(std::to_wstring(c.node)), std::wstring::npos) << c.text;
    }
  }
}

TEST(OptimerProblem, WholeNumbersBeyondAnIntAreRefusedByName) {
  // A node number, link count or neighbour of ten digits or more: refused
  // with the number as written, never wrapped round to another (a build
  // with the undefined-behaviour checks stops on an overflow here). Nine
  // digits are the most the quick reading takes.
  struct Case {
    const char* line;
    const wchar_t* words;
  };
  const Case cases[] = {
      {"9999999999 p 100 1 1 2.0", L"узел 9999999999 стоит на месте узла 0"},
      {"0 p 100 9999999999 1 2.0", L"узел 0: не хватает данных о связях"},
      {"0 p 100 1 9999999999 2.0", L"нет узла 9999999999"},
      {"0 p 100 1 2147483648 2.0", L"нет узла 2147483648"},
      {"0 p 100 1 999999999 2.0", L"нет узла 999999999"},
  };
  for (const auto& c : cases) {
    const std::string text = problem({c.line, "1 p 0 1 2 0.5", "2 o 10 2 1 0.5 0 2.0"});
    try {
      parse_problem(text);
      ADD_FAILURE() << text;
    } catch (const ProblemError& e) {
      EXPECT_EQ(e.line(), 2) << text;
      EXPECT_NE(e.text().find(c.words), std::wstring::npos) << text << to_utf8(e.text());
    }
  }
}

TEST(OptimerSolve, NetworksWithoutASolutionSayWhy) {
  struct Case {
    std::string text;
    int node;
    const wchar_t* words;
  };
  const Case cases[] = {
      // A sprinkler fed only from its own outlet, a part with no node of given head.
      {problem({"0 p 100 1 3 2.0", "1 p 0 1 3 0.5", "2 p 0 1 4 0.5", "3 o 10 2 1 0.5 0 2.0", "4 o 10 1 2 0.5"}), 4,
       L"спринклер 4 не связан с питанием"},
      {problem({"0 p 100 1 4 2.0", "1 p 0 1 4 0.5", "2 v 0 1 3 1.0", "3 v 0 1 2 1.0", "4 o 10 2 1 0.5 0 2.0"}), 2,
       L"узел 2 не связан ни с одним узлом заданного напора"},
      // Heads no building has: asked for, or needed at the feed to give a
      // sprinkler its head through a hair-thin pipe.
      {problem({"0 p 0 1 2 100", "1 p 0 1 2 0.47", "2 o 1e200 2 1 0.47 0 100"}), 2,
       L"спринклер 2: требуемый напор больше 100000 м"},
      {problem({"0 p 50 1 2 0.001", "1 p 0 1 2 0.5", "2 o 10 2 1 0.5 0 0.001"}), 2,
       L"спринклер 2 не получает требуемого напора: нужный ему напор питания больше 100000 м"},
      {problem({"0 p 50 1 3 0.001", "1 p 0 1 3 0.5", "2 p 5 1 4 0.5", "3 o 10 3 1 0.5 0 0.001 4 1", "4 o 12 2 2 0.5 3 1"}),
       4, L"спринклер 4 не получает требуемого напора: нужный ему напор питания больше 100000 м"},
      {problem({"0 p 50 1 2 1", "1 p 10 1 2 0.5", "2 o 10 2 1 0.5 0 1"}), -1, L"ни у одного спринклера"},
  };
  for (const auto& c : cases) {
    try {
      solve_problem(parse_problem(c.text));
      ADD_FAILURE() << c.text;
    } catch (const ProblemError& e) {
      EXPECT_EQ(e.node(), c.node) << c.text;
      EXPECT_NE(e.text().find(c.words), std::wstring::npos) << c.text << to_utf8(e.text());
    }
  }
}

TEST(OptimerProblem, ReadsTheRewrittenNetworkFileWithItsBlankTail) {
  // Fields with a blank after each and empty fields as further blanks, the
  // file closed by lines of blanks, as the arbitrary network writes it.
  const std::string t = "header line of the network\r\n0 p 40 1 3 2 \r\n1 p 0 1 2 0.47   \r\n"
                        "2 o 10 2 1 0.47 3 1.5       \r\n3 v 10 2 0 2 2 1.5     \r\n            \r\n"
                        "            \r\n";
  const auto pr = parse_problem(t);
  ASSERT_EQ(pr.nodes.size(), 4u);
  const auto s = solve_problem(pr);
  EXPECT_NEAR(s.heads[2], 10.0, 1e-9);
}

TEST(OptimerProblem, EveryWayOfWritingANumberReadsAsTheWritersLayout) {
  // The writers' layout, and the same network with signs, exponents, tabs,
  // leading zeros, long fractions and each kind of line end: the same
  // problem, to the bit.
  const std::string plain = two_in_row("10", "10");
  const Problem expected = parse_problem(plain);
  auto with = [&](std::string from, std::string to, std::string t = {}) {
    if (t.empty()) t = plain;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  auto ends = [&](const char* end) {
    std::string t;
    for (char c : plain) t += c == '\n' ? std::string(end) : std::string(1, c);
    return t;
  };
  const std::string variants[] = {
      with("0 p 100 1 3 2.0", "0 p +100 1 3 +2.0"),
      with("0 p 100 1 3 2.0", "0\tp\t1e2\t01\t0000000003\t0.2E1\t"),
      with("3 o 10 3 1 0.5 0 2.0 4 1.5", "3 o 10.000000000000000000000001 3 1 .5 0 2.00000000000000000001 4 15e-1"),
      with("4 o 10 2 2 0.5 3 1.5", "4 o 0000010 2 2 0.50000000000000000000 3 1.5  \t "),
      ends("\r\n"), ends("\r"), plain.substr(0, plain.size() - 1) + "\n\n   \nnot a node\n",
  };
  for (const auto& text : variants) {
    const Problem pr = parse_problem(text);
    ASSERT_EQ(pr.nodes.size(), expected.nodes.size()) << text;
    ASSERT_EQ(pr.links.size(), expected.links.size()) << text;
    for (std::size_t i = 0; i < pr.nodes.size(); ++i) {
      EXPECT_EQ(pr.nodes[i].kind, expected.nodes[i].kind) << text;
      EXPECT_EQ(pr.nodes[i].head, expected.nodes[i].head) << text;
      EXPECT_EQ(pr.nodes[i].first_link, expected.nodes[i].first_link) << text;
      EXPECT_EQ(pr.nodes[i].link_count, expected.nodes[i].link_count) << text;
    }
    for (std::size_t j = 0; j < pr.links.size(); ++j) {
      EXPECT_EQ(pr.links[j].neighbour, expected.links[j].neighbour) << text;
      EXPECT_EQ(pr.links[j].conductance, expected.links[j].conductance) << text;
    }
  }
  // A refusal names the line it stands on, whatever the lines before it.
  const std::pair<std::string, int> refusals[] = {
      {with("4 o", "5 o", with("1 p 0", "1 p -0")), 6},
      {with("4 o 10", "4 o x1", ends("\r")), 6},
      {with("2 p 0 1 4 0.5", "2 p 0 1 4 0.5 7"), 4},
  };
  for (const auto& [text, line] : refusals) {
    try {
      parse_problem(text);
      ADD_FAILURE() << text;
    } catch (const ProblemError& e) {
      EXPECT_EQ(e.line(), line) << text << to_utf8(e.text());
    }
  }
}

TEST(OptimerAnswer, LayoutOfTheAnswerFile) {
  const auto pr = parse_problem(two_in_row("10", "10"));
  const auto text = format_answer(pr, solve_problem(pr));
  EXPECT_EQ(text.find('e'), std::string::npos);  // never an exponent
  const auto lines = fields_by_line(text);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0][0], "0");
  EXPECT_EQ(lines[0].size(), 3u);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(lines[i][0], std::to_string(i));
    EXPECT_EQ(lines[i].size(), i <= 2 ? 3u : 4u);  // outlets three numbers, the rest four
    if (i > 2) {
      EXPECT_GT(std::stod(lines[i][3]), 0.0);
    }
  }
  // Outlet flows add up to the feed's inflow; a sprinkler's third number is its discharge.
  EXPECT_NEAR(std::stod(lines[1][2]) + std::stod(lines[2][2]), std::stod(lines[0][2]), 1e-9);
  EXPECT_EQ(lines[3][2], lines[1][2]);
  EXPECT_EQ(lines[4][1], "10.0000000000");
}

TEST(OptimerAnswer, AnswersKeepEveryDigit) {
  // Answers as the solver gave them when these were recorded, to the last
  // digit of the error estimates, which follow the rounding of every step:
  // a 10x10 grid whose second Newton step is shortened by the line search,
  // and a grid of uneven outlet heads whose feed head takes a search of four
  // solves. A change to the rounding of the flows, heads or factor shows
  // here (one that only moves the line search's sums need not); one meant to
  // change the answers records them anew and says why.
  for (const char* name : {"grid10x10", "uneven11x10"}) {
    const std::string dir = OPTIMER_DATA_DIR;
    const auto pr = parse_problem(read_bytes(dir + "/" + name + ".in"));
    EXPECT_TRUE(format_answer(pr, solve_problem(pr)) == read_bytes(dir + "/" + name + ".out")) << name;
  }
}

TEST(OptimerAnswer, NumbersOfAnySizeAreWrittenWhole) {
  // Links of conductance 1e150 carry flows of 150 digits, more than a line
  // buffer of the answer once held.
  const auto pr = parse_problem(problem({"0 p 100 1 2 1e150", "1 p 0 1 2 1e150", "2 o 10 2 1 1e150 0 1e150"}));
  const auto text = format_answer(pr, solve_problem(pr));
  EXPECT_EQ(text.find_first_not_of("0123456789. -\r\n"), std::string::npos) << text;
  const auto lines = fields_by_line(text);
  ASSERT_EQ(lines.size(), 3u);
  const double flow = 1e150 * std::sqrt(10.0);
  EXPECT_NEAR(std::stod(lines[0][1]), 20.0, 1e-9);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(std::stod(lines[i][2]) / flow, 1.0, 1e-12) << i;
  EXPECT_EQ(lines[2][1], "10.0000000000");
}

TEST(OptimerProgram, SolvesOrLeavesAnEmptyAnswerWithItsOwnExitCode) {
  Temp t;
  const std::string exe = OPTIMER_EXE;
  std::string out;
  t.put("spr3_1.in", two_in_row("10", "10"));
  ASSERT_EQ(t.run("'" + exe + "' spr3_1.in", &out), 0) << out;
  EXPECT_EQ(fields_by_line(t.get("spr3_1.out")).size(), 5u);

  struct Case {
    std::string text;
    int code;
    const char* names;
  };
  const Case cases[] = {
      {two_in_row("10", "10").replace(two_in_row("10", "10").find("0 2.0 4"), 7, "0 2.5 4"), 5, "узла 3"},
      {problem({"0 p 100 1 3 2.0", "1 p 0 1 3 0.5", "2 p 0 1 4 0.5", "3 o 10 2 1 0.5 0 2.0", "4 o 10 1 2 0.5"}), 6,
       "спринклер 4 не связан"},
      // A head of 1e200 once ran the answer's number past its buffer; it is
      // no head of a building and gets no answer.
      {"0.0005 0.0005 200000\r\n0 p 0 1 2 100\r\n1 p 0 1 2 0.47\r\n2 o 1e200 2 1 0.47 0 100\r\n", 6,
       "больше 100000 м"},
  };
  for (const auto& c : cases) {
    t.put("spr3_1.out", "stale answer of an earlier run\n");
    t.put("spr3_1.in", c.text);
    EXPECT_EQ(t.run("'" + exe + "' spr3_1.in", &out), c.code);
    EXPECT_NE(out.find(c.names), std::string::npos) << out;
    EXPECT_EQ(t.get("spr3_1.out"), "");
  }
  t.put("gone.out", "stale");
  EXPECT_EQ(t.run("'" + exe + "' gone.in"), 2);
  EXPECT_EQ(t.get("gone.out"), "");
  EXPECT_EQ(t.run("'" + exe + "'"), 1);
}

TEST(OptimerCommandFile, RemovesTheFlagOnEveryPathAndEmptiesAFailedAnswer) {
  Temp t;
  t.install(OPTIMER_EXE, "optimer");
  t.install(fs::path(BATCH_DIR) / "prom3.bat", "prom3.bat");
  t.put("spr.in", two_in_row("10", "10"));
  t.put("prom.in", "");
  EXPECT_EQ(t.run("/bin/sh prom3.bat"), 0);
  EXPECT_FALSE(t.has("prom.in"));
  EXPECT_EQ(fields_by_line(t.get("spr.out")).size(), 5u);

  t.put("spr.in", problem({"0 p 100 1 3 2.0"}));  // names a node that is not there
  t.put("prom.in", "");
  EXPECT_NE(t.run("/bin/sh prom3.bat"), 0);
  EXPECT_FALSE(t.has("prom.in"));
  EXPECT_EQ(t.get("spr.out"), "");

  fs::remove(t / "optimer");  // no solver at all
  t.put("spr.out", "stale");
  t.put("prom.in", "");
  EXPECT_NE(t.run("/bin/sh prom3.bat"), 0);
  EXPECT_FALSE(t.has("prom.in"));
  EXPECT_EQ(t.get("spr.out"), "");
}

TEST(OptimerSparseLdl, SolvesAMeshSystemInAnyNumbering) {
  // A shifted 2-D mesh Laplacian with a random numbering of its unknowns.
  const int side = 15, n = side * side;
  std::mt19937 rng(3);
  std::vector<int> label(n);
  for (int i = 0; i < n; ++i) label[i] = i;
  std::shuffle(label.begin(), label.end(), rng);
  std::vector<std::pair<int, int>> pairs;
  std::vector<double> off, diag(n, 0.1);
  for (int r = 0; r < side; ++r)
    for (int c = 0; c < side; ++c) {
      const int v = r * side + c;
      for (const int w : {c + 1 < side ? v + 1 : -1, r + 1 < side ? v + side : -1}) {
        if (w < 0) continue;
        const double a = 1.0 + (v % 7) * 0.25;
        pairs.emplace_back(label[v], label[w]);
        off.push_back(-a);
        diag[label[v]] += a;
        diag[label[w]] += a;
      }
    }
  SparseLdl ldl;
  ldl.analyse(n, pairs);
  ASSERT_TRUE(ldl.factor(diag, off));
  std::vector<double> b(n);
  for (auto& x : b) x = std::uniform_real_distribution<double>(-1, 1)(rng);
  auto x = b;
  ldl.solve(x);
  std::vector<double> ax(n);
  for (int i = 0; i < n; ++i) ax[i] = diag[i] * x[i];
  for (std::size_t p = 0; p < pairs.size(); ++p) {
    ax[pairs[p].first] += off[p] * x[pairs[p].second];
    ax[pairs[p].second] += off[p] * x[pairs[p].first];
  }
  for (int i = 0; i < n; ++i) EXPECT_NEAR(ax[i], b[i], 1e-10);
  // A matrix that is not positive definite is refused, not solved.
  std::vector<double> bad = diag;
  bad[label[0]] = -1.0;
  EXPECT_FALSE(ldl.factor(bad, off));
  // and leaves nothing behind: the same matrix again gives the same bits.
  ASSERT_TRUE(ldl.factor(diag, off));
  auto again = b;
  ldl.solve(again);
  EXPECT_TRUE(again == x);
}

TEST(OptimerSparseLdl, OrderIsMinimumDegreeWithTiesToTheLowerNumber) {
  // The order against eliminating on the explicit graph, one clique after
  // another: random patterns from sparse to dense (degrees past 64 too),
  // with repeated and self pairs and unknowns linked to nothing, and a
  // ladder of the grids' kind.
  auto reference = [](int n, const std::vector<std::pair<int, int>>& pairs) {
    std::vector<std::set<int>> graph(n);
    for (const auto& [i, j] : pairs)
      if (i != j) graph[i].insert(j), graph[j].insert(i);
    std::vector<char> gone(n, 0);
    std::vector<int> order;
    for (int step = 0; step < n; ++step) {
      int v = -1;
      for (int i = 0; i < n; ++i)
        if (!gone[i] && (v < 0 || graph[i].size() < graph[v].size())) v = i;
      gone[v] = 1;
      order.push_back(v);
      for (int a : graph[v]) {
        graph[a].erase(v);
        for (int b : graph[v])
          if (b != a) graph[a].insert(b);
      }
      graph[v].clear();
    }
    return order;
  };
  struct Case {
    int n;
    double density;  // chance of each pair
    unsigned seed;
  };
  const Case cases[] = {{1, 0.0, 1}, {12, 0.0, 2}, {30, 0.08, 3}, {60, 0.05, 4}, {80, 0.15, 5},
                        {120, 0.03, 6}, {150, 0.6, 7}, {200, 0.02, 8}, {300, 0.01, 9}};
  for (const auto& c : cases) {
    std::mt19937 rng(c.seed);
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < c.n; ++i)
      for (int j = 0; j < c.n; ++j)
        if (std::uniform_real_distribution<double>(0, 1)(rng) < c.density / 2) pairs.emplace_back(i, j);
    if (c.n > 1) pairs.emplace_back(pairs.empty() ? std::pair{0, 1} : pairs.front());  // a repeat
    EXPECT_EQ(minimum_degree_order(c.n, pairs), reference(c.n, pairs)) << c.n << " " << c.density;
  }
  // A ladder: two mains with rungs, numbered rung by rung, and shuffled.
  const int rungs = 40, n = 2 * rungs;
  std::vector<std::pair<int, int>> ladder;
  for (int r = 0; r < rungs; ++r) {
    ladder.emplace_back(2 * r, 2 * r + 1);
    if (r + 1 < rungs) ladder.emplace_back(2 * r, 2 * r + 2), ladder.emplace_back(2 * r + 1, 2 * r + 3);
  }
  EXPECT_EQ(minimum_degree_order(n, ladder), reference(n, ladder));
  std::vector<int> label(n);
  for (int i = 0; i < n; ++i) label[i] = i;
  std::shuffle(label.begin(), label.end(), std::mt19937(11));
  for (auto& [a, b] : ladder) a = label[a], b = label[b];
  EXPECT_EQ(minimum_degree_order(n, ladder), reference(n, ladder));
}
