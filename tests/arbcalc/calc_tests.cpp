// "Пуск" of Form4 on a netexport network: the report and the result fields
// of a prepared answer, the real solver against an independent solve, the
// given inlet head mode, and the stops that must leave every file as it was.
#include <cmath>
#include <map>

#include "tests/arbcalc/fixture.h"
#include "text/numtext.h"

namespace {

using namespace arbtest;

std::string data_file(const std::string& name) { return read_bytes(fs::path(ARBCALC_DATA_DIR) / name); }

// ---- an independent solve of the problem file the solver received ----

struct Net {
  struct Node {
    char kind = 'v';
    double head = 0;  // fixed nodes: their head; sprinklers: the head they need
    std::vector<std::pair<int, double>> links;
  };
  std::vector<Node> nodes;
};

Net parse_problem(const std::vector<std::wstring>& lines) {
  Net net;
  for (std::size_t i = 1; i < lines.size() && !trim(lines[i]).empty(); ++i) {
    const auto f = dorv::arb::blank_fields(lines[i]);
    Net::Node n;
    n.kind = static_cast<char>(f[1][0]);
    n.head = num_value(f[2]);
    for (std::size_t k = 4; k + 1 < f.size(); k += 2)
      n.links.push_back({static_cast<int>(num_value(f[k])), num_value(f[k + 1])});
    net.nodes.push_back(n);
  }
  return net;
}

// Heads of the free nodes for a feed head: node by node, each head is the one
// at which the flows of its links balance (found by bisection, since the net
// inflow falls as the head rises), swept until nothing moves.
void relax(const Net& net, double feed, std::vector<double>& h) {
  h[0] = feed;
  for (int sweep = 0; sweep < 200000; ++sweep) {
    double moved = 0;
    for (std::size_t i = 1; i < net.nodes.size(); ++i) {
      if (net.nodes[i].kind == 'p') continue;
      auto inflow = [&](double x) {
        double q = 0;
        for (const auto& [j, k] : net.nodes[i].links) {
          const double d = h[static_cast<std::size_t>(j)] - x;
          q += k * (d > 0 ? std::sqrt(d) : -std::sqrt(-d));
        }
        return q;
      };
      double lo = 1e9, hi = -1e9;
      for (const auto& [j, k] : net.nodes[i].links) {
        lo = std::min(lo, h[static_cast<std::size_t>(j)]);
        hi = std::max(hi, h[static_cast<std::size_t>(j)]);
      }
      for (int b = 0; b < 200 && hi - lo > 1e-13; ++b) (inflow((lo + hi) / 2) > 0 ? lo : hi) = (lo + hi) / 2;
      moved = std::max(moved, std::fabs(h[i] - (lo + hi) / 2));
      h[i] = (lo + hi) / 2;
    }
    if (moved < 1e-11) return;
  }
}

// The feed head at which the least-served sprinkler has exactly its head.
std::vector<double> independent_solve(const Net& net) {
  std::vector<double> h(net.nodes.size());
  for (std::size_t i = 0; i < h.size(); ++i) h[i] = net.nodes[i].head;
  auto margin = [&](double feed) {
    relax(net, feed, h);
    double least = 1e9;
    for (std::size_t i = 0; i < h.size(); ++i)
      if (net.nodes[i].kind == 'o') least = std::min(least, h[i] - net.nodes[i].head);
    return least;
  };
  double lo = 0, hi = 1000;
  for (int b = 0; b < 60; ++b) (margin((lo + hi) / 2) < 0 ? lo : hi) = (lo + hi) / 2;
  margin(hi);
  return h;
}

// Heads by node of an answer file (row 0 the feed).
std::map<int, double> answer_heads(const std::vector<std::wstring>& lines) {
  std::map<int, double> heads;
  for (std::size_t r = 0; r < lines.size(); ++r) {
    const auto f = dorv::arb::blank_fields(lines[r]);
    if (f.size() >= 2) heads[static_cast<int>(num_value(f[0]))] = num_value(f[1]);
  }
  return heads;
}

// ---- the tests ----

TEST_F(CalcTest, PreparedAnswerGivesTheKnownReportAndResults) {
  prepared_answer(data_file("sklad.out"));
  Form4& f4 = open_new();
  f4.Command1.click();
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(lines("rezres.txt"), split_lines(from_cp1251(data_file("sklad_rezres.txt"))));
  EXPECT_EQ(f4.Text5[0]->text(), L" 12.42");
  EXPECT_EQ(f4.Text5[1]->text(), L" 29.43");
  EXPECT_EQ(f4.Text5[2]->text(), L" 29.43");
  const std::pair<ui::TextBox*, std::wstring> fields[] = {
      {&f4.Text20, L" 0.13"}, {&f4.Text21, L" 11.07"}, {&f4.Text22, L" 0.173"}, {&f4.Text23, L" 9.69"},
      {&f4.Text24, L" 1.5"},  {&f4.Text25, L" 9"},     {&f4.Text26, L" 4.03"},  {&f4.Text27, L" 24.08"}};
  for (const auto& [field, text] : fields) EXPECT_EQ(field->text(), text) << to_utf8(field->name());
  EXPECT_EQ(f4.state.printout.ResultsValid, 1);
  EXPECT_EQ(f4.state.run.CalculationEndedFlag, 1);
  // The record keeps the fields and ends with the marker and five result lines.
  const auto record = lines("rezult1.txt");
  ASSERT_GE(record.size(), 6u);
  EXPECT_EQ(std::vector<std::wstring>(record.end() - 6, record.end()),
            (std::vector<std::wstring>{L"#####4", L" 12.42", L" 29.43", L" 29.43", L"1", L"2"}));
  EXPECT_EQ(record[5], L"ГОСТ 10704-91");

  // A second run: the results move to the previous run's fields, and the
  // control unit's length is marked once only.
  f4.Command1.click();
  EXPECT_EQ(f4.Text6[0]->text(), L" 12.42");
  EXPECT_EQ(lines("rezres.txt"), split_lines(from_cp1251(data_file("sklad_rezres.txt"))));
}

// The object line breaks as the grid report's does: after the blank behind
// "Объект:" when the name's first word does not fit, the word then cut where
// a continuation line must end.
TEST_F(CalcTest, ObjectLineOfTheReportWrapsAfterTheLastBlankBeforeColumn70) {
  const std::wstring head = L"          Объект: ", indent(19, L' ');
  const std::wstring word50(50, L'ж'), word60(60, L'ж');
  struct Case {
    const char* name;
    std::wstring object;
    std::vector<std::wstring> lines;
  };
  const std::vector<Case> cases{
      {"71 characters wrapped", std::wstring(47, L'а') + L" " + std::wstring(5, L'б'),
       {head + std::wstring(47, L'а') + L" ", indent + std::wstring(5, L'б')}},
      {"a first word of 60 characters", word60 + L" склад",
       {head, indent + word50, indent + std::wstring(10, L'ж') + L" склад"}},
      {"a first word of 52 characters after a short one", L"Склад " + std::wstring(52, L'ж'),
       {head + L"Склад ", indent + std::wstring(50, L'ж'), indent + L"жж"}},
  };
  prepared_answer(data_file("sklad.out"));
  Form4& f4 = open_new();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    f4.Text3.set_text(c.object);
    f4.Command1.click();
    const auto report = lines("rezres.txt");
    ASSERT_GT(report.size(), 5 + c.lines.size());
    EXPECT_EQ(std::vector<std::wstring>(report.begin() + 5, report.begin() + 5 + static_cast<long>(c.lines.size())),
              c.lines);
    EXPECT_EQ(report[5 + c.lines.size()].rfind(L"          Договор:", 0), 0u);
  }
}

TEST_F(CalcTest, RealSolverHeadsMatchAnIndependentSolve) {
  Form4& f4 = open_new();
  f4.Command1.click();
  ASSERT_TRUE(messages().empty()) << to_utf8(messages()[0]);
  const Net net = parse_problem(lines("spr.in"));
  const std::vector<double> expected = independent_solve(net);
  const auto heads = answer_heads(lines("spr.out"));
  ASSERT_EQ(heads.size(), net.nodes.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(heads.at(static_cast<int>(i)), expected[i], 0.001) << "node " << i;
  EXPECT_NEAR(num_value(f4.Text5[2]->text()), expected[0], 0.005);
}

TEST_F(CalcTest, GivenInletHeadIsReachedByScalingTheSprinklerHeads) {
  counting_solver();
  Form4& f4 = open_new();
  f4.Command1.click();  // the ordinary run gives the needed head
  const double needed = answer_heads(lines("spr.out")).at(0);
  fs::remove(at("calls"));

  f4.Command6.click();
  host_.answer_input(L"40,5");
  f4.Command1.click();
  ASSERT_TRUE(messages().empty()) << to_utf8(messages()[0]);
  ASSERT_GE(solver_calls(), 2);
  // Every further call had its sprinkler heads scaled up from the call before.
  for (int n = 2; n <= solver_calls(); ++n) {
    const Net before = parse_problem(lines("spr_" + std::to_string(n - 1) + ".in"));
    const Net after = parse_problem(lines("spr_" + std::to_string(n) + ".in"));
    for (std::size_t i = 0; i < after.nodes.size(); ++i) {
      if (after.nodes[i].kind == 'o') {
        EXPECT_GT(after.nodes[i].head, before.nodes[i].head) << n << " " << i;
      }
    }
  }
  const double inlet = answer_heads(lines("spr.out")).at(0);
  EXPECT_LE(std::fabs(inlet - 40.5), 1.0);
  EXPECT_GT(inlet, needed + 5);
  const auto report = lines("rezres.txt");
  EXPECT_NE(std::find(report.begin(), report.end(), L"*          Заданный напор на входе в систему 40.5 м в.ст."),
            report.end());
  EXPECT_EQ(lines("rezult1.txt")[5], L"ГОСТ 10704-91,40.5");
  EXPECT_EQ(lines("rezult1.txt")[2], L" 0.08,0.08");

  // The margin: just below 1.05 times the need is refused with the least
  // head rounded up; that head, and exactly 1.05 times the need, pass.
  const std::wstring least = num_text(std::ceil(1.05 * needed * 100) / 100);
  struct Case {
    double given;
    bool refused;
  };
  for (const Case c : {Case{1.05 * needed - 0.01, true}, Case{1.05 * needed, false}, Case{num_value(least), false}}) {
    forget_messages();
    host_.answer_message(MsgResult::OK);  // the box that names the stored given head
    if (c.refused) host_.answer_message(MsgResult::OK);
    host_.answer_input(num_text(c.given));
    f4.Command1.click();
    const auto m = messages();
    ASSERT_EQ(m.size(), c.refused ? 2u : 1u) << c.given;
    if (c.refused) {
      EXPECT_EQ(m[1], L"Заданный напор на входе в систему (" + num_text(c.given) +
                          L" м в.ст.) недостаточен для расчета. Заданный напор должен быть как минимум на 5 "
                          L"процентов больше необходимого для обеспечения заданной интенсивности орошения напора " +
                          num_text(round_half_even(needed, 2)) + L" м в.ст., т.е. не менее " + least + L" м в.ст.");
      EXPECT_EQ(f4.state.imported.GivenInletHead, 0);
      f4.state.imported.GivenInletHead = 40;  // the next case is asked again
    }
  }
}

TEST_F(CalcTest, ScaledHeadsDoNotReachTheNextRun) {
  counting_solver();
  Form4& f4 = open_new();
  f4.Command1.click();
  const std::string ordinary = bytes("spr_1.in");
  f4.Command6.click();
  host_.answer_input(L"45");
  f4.Command1.click();
  ASSERT_GE(solver_calls(), 3);
  host_.answer_message(MsgResult::Cancel);  // an ordinary run after all
  f4.Command1.click();
  EXPECT_EQ(bytes("spr_" + std::to_string(solver_calls()) + ".in"), ordinary);
}

TEST_F(CalcTest, EmptyAnswerStopsAndLeavesEveryFileAsItWas) {
  prepared_answer(data_file("sklad.out"));
  open_new();
  form4_->Command1.click();
  host_.answer_message(MsgResult::Yes);
  form4_->unload();
  select(L"    4-T");
  f().Command1.click();
  ASSERT_EQ(form4_->state.printout.ResultsValid, 1);
  const char* names[] = {"rezult1.txt", "rezres.txt", "perform/4in.prr", "perform/4res.prr", "prr.kat"};
  std::vector<std::string> before;
  for (const char* n : names) before.push_back(bytes(n));

  prepared_answer("");
  forget_messages();
  host_.answer_message(MsgResult::OK);
  form4_->Command1.click();
  ASSERT_EQ(messages(), std::vector<std::wstring>{L"Работа программы прервана. Нажмите ОК для возврата к началу расчета."});
  EXPECT_EQ(last_message().title, L"Остановка расчета из-за ошибки");
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(bytes(names[i]), before[i]) << names[i];
  EXPECT_EQ(form4_->state.run.CalculationEndedFlag, 1);
  // The tables are half made: nothing may print them (the print command's
  // tests show the refusal).
  EXPECT_EQ(form4_->state.printout.ResultsValid, 0);
}

TEST_F(CalcTest, HighVelocityInADn15PipeIsQuestioned) {
  // The feed section carries the whole inflow, 12.42 L/s, through a bore of 14 mm.
  prepared_answer(data_file("sklad.out"));
  Form4& f4 = open_new(example_with("pipe 1 2 4.5 65", "pipe 1 2 4.5 15"));
  host_.answer_message(MsgResult::No);
  f4.Command1.click();
  EXPECT_EQ(messages(), std::vector<std::wstring>{
                            L"Недопустимая скорость движения воды на участке (1-2) - 80.7 м/с. Продолжить расчет?"});
  EXPECT_EQ(last_message().title, L"Предупреждение об ошибке");
  EXPECT_EQ(last_message().buttons, ui::MsgButtons::YesNo);
  EXPECT_EQ(last_message().icon, ui::MsgIcon::Critical);
  EXPECT_EQ(last_message().default_button, 1);
  EXPECT_EQ(bytes("rezres.txt"), "");
  EXPECT_EQ(f4.state.run.CalculationEndedFlag, 1);
  EXPECT_EQ(f4.state.printout.ResultsValid, 0);
  // Going on reports the velocity.
  host_.answer_message(MsgResult::Yes);
  f4.Command1.click();
  EXPECT_NE(from_cp1251(bytes("rezres.txt")).find(L"1-2      4.5**   15        4      29.43     23.97    12.4     80.7"),
            std::wstring::npos);
}

// Heads above 100 m are reported as they are, not cut at 100.
TEST_F(CalcTest, SmallestFreeHeadAbove100IsReported) {
  std::wstring answer;
  for (const auto& l : split_lines(from_cp1251(data_file("sklad.out")))) {
    auto f = dorv::arb::blank_fields(l);
    f[1] = num_text_trim(num_value(f[1]) + 100);
    std::wstring line;
    for (const auto& x : f) line += (line.empty() ? L"" : L" ") + x;
    answer += line + L"\r\n";
  }
  prepared_answer(cp(answer));
  Form4& f4 = open_new();
  f4.Command1.click();
  EXPECT_EQ(f4.Text21.text(), L" 111.07");
  EXPECT_EQ(f4.Text25.text(), L" 109");
}

}  // namespace
