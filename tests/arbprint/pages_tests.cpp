// The text pages of the arbitrary network's report on the recording printer:
// line classes, 60 lines a page under page headers, the keep-together rules,
// tables cut at a page's foot and continued under their captions, and inch
// sizes set as stacked fractions.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "arbprint/report_text.h"
#include "platform/headless.h"
#include "platform/printer.h"

namespace {

using namespace dorv;
using namespace dorv::arbprint;
using Class = ReportLineClass;

const std::wstring kVersionLine = L"          Программа ВИРН-Дорв 5.4.0";
const std::wstring kRule71 = std::wstring(7, L' ') + std::wstring(71, L'-');
const std::wstring kRule70 = std::wstring(7, L' ') + std::wstring(70, L'-');
const std::wstring kHeader2 = std::wstring(52, L' ') + L"Расчет № 4-T  Стр. 2";

// A report file: the version line, then the body lines as given.
std::vector<std::wstring> report(std::vector<std::wstring> body) {
  body.insert(body.begin(), kVersionLine);
  return body;
}
// Plain body lines " L<from>" .. " L<to>", each naming its body line number.
void plain(std::vector<std::wstring>& body, int from, int to) {
  for (int k = from; k <= to; ++k) body.push_back(L" L" + std::to_wstring(k));
}

struct Printed {
  std::wstring text;
  double size;
  bool bold;
  double x, y;
};
using Page = std::vector<Printed>;

class PagesTest : public ::testing::Test {
 protected:
  // Prints the file as the print command does and returns its pages.
  std::vector<Page> print(const std::vector<std::wstring>& lines, bool english = false, bool metric = false) {
    ui::Printer& p = host_.printers().printer();
    p.set_scale_mode(1);
    p.set_orientation(ui::kPortrait);
    p.current_x = 0;
    p.current_y = 500;
    p.text_font.size = 11;
    p.text_font.bold = true;
    next_page_ = print_report_text(p, prepass(lines), {L" 4-T", L"5.4.0", english, metric});
    EXPECT_TRUE(p.end_doc());
    const auto& docs = host_.listed_printers().recorder().documents();
    EXPECT_EQ(docs.size(), 1u);
    std::vector<Page> pages;
    for (const auto& page : docs.back().pages) {
      Page out;
      for (const auto& op : page.ops)
        if (op.kind == ui::DrawOp::Kind::Text) out.push_back({op.text, op.font.size, op.font.bold, op.x1, op.y1});
      pages.push_back(out);
    }
    return pages;
  }
  // Where each printed text stands: its page (from 1) and its line on the
  // page (page 1: 0 the title, then the page lines; later pages: 0 the
  // header, 1 the empty line, then the page lines).
  static std::map<std::wstring, std::pair<int, int>> places(const std::vector<Page>& pages) {
    std::map<std::wstring, std::pair<int, int>> at;
    for (std::size_t p = 0; p < pages.size(); ++p)
      for (std::size_t j = 0; j < pages[p].size(); ++j)
        at.emplace(pages[p][j].text, std::pair<int, int>(static_cast<int>(p) + 1, static_cast<int>(j)));
    return at;
  }
  static std::vector<std::wstring> texts(const Page& page) {
    std::vector<std::wstring> out;
    for (const auto& l : page) out.push_back(l.text);
    return out;
  }

  ui::HeadlessHost host_;
  int next_page_ = 0;
};

TEST_F(PagesTest, PrepassAndClassesFollowTheMarkersAndThePipeTableRange) {
  std::vector<std::wstring> body = {
      L"*heading",       // 1
      L"^-------",       // 2 sprinkler separator
      L"^",              // 3 a lone "^" before the pipe table: plain
      L"&  pipes",       // 4 pipe caption
      L" header",        // 5 rows of the pipe table from here ...
      L"^",              // 6 ... a lone "^" among them is a row too
      L"*inside",        // 7 a marker overrides the row class
      L" row",           // 8
      L" row",           // 9
      L" closing rule",  // 10 ... to body line D - 5 (D = 15)
      L" footnote",      // 11
      L"",               // 12
      L"$",              // 13
      L"$",              // 14: the last "$" line, file line 15
      L"*totals",        // 15
      L"%",              // 16: the last "%" line, file line 17
      L" end",           // 17
  };
  const ReportFile f = prepass(report(body));
  EXPECT_EQ(f.line_count, 18);
  EXPECT_EQ(f.last_dollar_line, 15);
  EXPECT_EQ(f.last_percent_line, 17);
  const auto rows = classify_lines(f);
  ASSERT_EQ(rows.size(), 19u);
  const std::vector<Class> want = {Class::Plain,   Class::Heading, Class::SprinklerSeparator,
                                   Class::Plain,   Class::PipeCaption,
                                   Class::PipeRow, Class::PipeRow, Class::Heading,
                                   Class::PipeRow, Class::PipeRow, Class::PipeRow,
                                   Class::Plain,   Class::Plain,   Class::Totals,
                                   Class::Totals,  Class::Heading, Class::Plain,
                                   Class::Plain,   Class::Plain};
  for (std::size_t k = 0; k < rows.size(); ++k) EXPECT_EQ(rows[k].line_class, want[k]) << "body line " << k;
  EXPECT_EQ(rows[1].text, L"heading");
  EXPECT_EQ(rows[3].text, L"");
  EXPECT_EQ(rows[12].text, L"");
  EXPECT_EQ(rows[18].text, L"");  // the closing empty line

  // Without a "$" line the pipe table has no rows, and no "%" line leaves 0.
  body.erase(body.begin() + 12, body.end());
  const ReportFile g = prepass(report(body));
  EXPECT_EQ(g.last_dollar_line, 0);
  EXPECT_EQ(g.last_percent_line, 0);
  for (const auto& row : classify_lines(g)) EXPECT_NE(row.line_class, Class::PipeRow);
}

TEST_F(PagesTest, SixtyLinesAPageUnderTheTitleAndThePageHeaders) {
  std::vector<std::wstring> body = {L"*first"};
  plain(body, 2, 130);
  body[4] = L"*bold five";
  const auto pages = print(report(body));
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(next_page_, 4);

  const Page& one = pages[0];
  ASSERT_EQ(one.size(), 61u);  // the title and 60 page lines
  EXPECT_EQ(one[0].text, L"          Программа ВИРН-Дорв 5.4.0");
  EXPECT_EQ(one[0].size, 11);
  EXPECT_TRUE(one[0].bold);
  EXPECT_EQ(one[0].y, 500);
  EXPECT_EQ(one[1].text, L"first");
  EXPECT_EQ(one[1].size, 14);
  EXPECT_TRUE(one[1].bold);
  EXPECT_EQ(one[2].size, 12);
  EXPECT_FALSE(one[2].bold);
  EXPECT_TRUE(one[5].bold);
  EXPECT_EQ(one[60].text, L"L60");
  EXPECT_EQ(one[1].x, 0);

  const Page& two = pages[1];
  ASSERT_EQ(two.size(), 61u);  // header, empty line, page lines 2 to 60
  EXPECT_EQ(two[0].text, kHeader2);
  EXPECT_TRUE(two[0].bold);
  EXPECT_EQ(two[0].y, 500);
  EXPECT_EQ(two[1].text, L"");
  EXPECT_EQ(two[2].text, L"L61");
  EXPECT_FALSE(two[2].bold);
  EXPECT_EQ(two[60].text, L"L119");

  const Page& three = pages[2];
  EXPECT_EQ(three[0].text, std::wstring(52, L' ') + L"Расчет № 4-T  Стр. 3");
  EXPECT_EQ(three[12].text, L"L130");
  ASSERT_EQ(three.size(), 14u);  // and the text's closing empty line
  EXPECT_EQ(three[13].text, L"");
}

TEST_F(PagesTest, LastLineOnPageLineSixtyLeavesAPageOfHeaderAndEmptyLine) {
  std::vector<std::wstring> body;
  plain(body, 1, 60);
  const auto pages = print(report(body));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(texts(pages[1]), (std::vector<std::wstring>{kHeader2, L"", L""}));
  EXPECT_EQ(next_page_, 3);
}

// A file of the version line alone, or one that lost even that between the
// check and the print, gives the title and one empty line, and the text ends.
TEST_F(PagesTest, AReportWithoutBodyLinesPrintsTheTitleAndOneEmptyLine) {
  for (const auto& lines : {std::vector<std::wstring>{kVersionLine}, std::vector<std::wstring>{}}) {
    SCOPED_TRACE(lines.size());
    host_.listed_printers().recorder().clear();
    const auto pages = print(lines);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(texts(pages[0]), (std::vector<std::wstring>{L"          Программа ВИРН-Дорв 5.4.0", L""}));
    EXPECT_EQ(pages[0][1].size, 14);
    EXPECT_TRUE(pages[0][1].bold);
    EXPECT_EQ(next_page_, 2);
  }
}

// One line at body line `at` among plain lines: where it lands (page, line
// on the page), or nowhere, and where the line after it lands.
TEST_F(PagesTest, LinesKeptOffAPagesFoot) {
  struct Case {
    const char* name;
    std::wstring line;
    int at;
    std::optional<std::pair<int, int>> lands;
    std::pair<int, int> next;
  };
  const std::vector<Case> cases = {
      {"pipe caption on line 53 stays", L"&caption", 53, {{1, 53}}, {1, 54}},
      {"pipe caption on line 54 moves", L"&caption", 54, {{2, 2}}, {2, 3}},
      {"totals on line 49 stay", L"$totals", 49, {{1, 49}}, {1, 50}},
      {"totals on line 50 move", L"$totals", 50, {{2, 2}}, {2, 3}},
      {"empty line on line 58 prints", L"", 58, std::nullopt, {1, 59}},
      {"empty line on line 59 is dropped", L"", 59, std::nullopt, {2, 2}},
      {"empty line on line 60 is dropped", L"", 60, std::nullopt, {2, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::wstring> body;
    plain(body, 1, c.at - 1);
    body.push_back(c.line);
    plain(body, c.at + 1, 80);
    host_.listed_printers().recorder().clear();
    const auto at = places(print(report(body)));
    if (c.lands) {
      EXPECT_EQ(at.at(c.line.substr(1)), *c.lands);
    }
    EXPECT_EQ(at.at(L"L" + std::to_wstring(c.at + 1)), c.next);
    EXPECT_EQ(at.at(L"L" + std::to_wstring(c.at - 1)), std::make_pair(1, c.at - 1));
  }
}

// The block from the line after the last "$" to the last "%" line and the
// closing block after it each stay on one page when they fit on one; a
// longer block prints across pages and the document ends.
TEST_F(PagesTest, TotalsAndClosingBlocksKeptTogether) {
  struct Case {
    const char* name;
    int dollar_at;      // body line of the "$" line
    int totals_length;  // body lines from the "$" line to the "%" line
    int closing_length; // body lines after the "%" line
    std::pair<int, int> totals_start, closing_start;
  };
  const std::vector<Case> cases = {
      {"both fit where they are", 20, 10, 10, {1, 21}, {1, 31}},
      // The line after the "$" line on page line 46 stays while 46 <= 60 - 14.
      {"totals block moves", 45, 16, 5, {2, 2}, {2, 18}},
      {"totals block just fits", 45, 14, 5, {1, 46}, {2, 2}},
      {"closing block moves", 20, 10, 31, {1, 21}, {2, 2}},
      {"totals block longer than a page", 30, 70, 3, {2, 2}, {3, 13}},
      {"closing block longer than a page", 3, 5, 90, {1, 4}, {2, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::wstring> body;
    plain(body, 1, c.dollar_at - 1);
    body.push_back(L"$");
    plain(body, c.dollar_at + 1, c.dollar_at + c.totals_length - 1);
    body.push_back(L"%");
    const int percent_at = c.dollar_at + c.totals_length;
    plain(body, percent_at + 1, percent_at + c.closing_length);
    host_.listed_printers().recorder().clear();
    const auto pages = print(report(body));
    const auto at = places(pages);
    EXPECT_EQ(at.at(L"L" + std::to_wstring(c.dollar_at + 1)), c.totals_start);
    EXPECT_EQ(at.at(L"L" + std::to_wstring(percent_at + 1)), c.closing_start);
    // Every line printed once, in order.
    std::vector<std::wstring> printed;
    for (const auto& page : pages)
      for (const auto& l : page)
        if (l.text.starts_with(L"L")) printed.push_back(l.text);
    ASSERT_EQ(printed.size(), static_cast<std::size_t>(percent_at + c.closing_length - 2));
    for (std::size_t k = 1; k < printed.size(); ++k)
      EXPECT_LT(std::stoi(printed[k - 1].substr(1)), std::stoi(printed[k].substr(1)));
  }
}

TEST_F(PagesTest, PipeTableCutAtAPagesFootContinuesUnderItsCaption) {
  struct Case {
    const char* name;
    bool english, metric;
    std::vector<std::wstring> continuation;
  };
  const std::wstring rule64 = std::wstring(7, L' ') + std::wstring(64, L'-');
  const std::vector<Case> cases = {
      {"russian", false, false,
       {L"            Напоры и расходы на участках трубопроводов (продолжение)", kRule71,
        L"        Участок  Длина, Усл.диа-  Перепад  Напор в   Напор в  Расход, Скорость",
        L"                   м    метр,мм   высот,м  начале,м  конце,м    л/с   воды,м/с", kRule71}},
      {"english, US units", true, false,
       {L"                Pressures and flows in pipes (continuation)", rule64,
        L"        Pipe      Pipe    Pipe  Elevation    Beginning  Ending    Flow,",
        L"        between  lenght,  size, difference,  pressure, pressure,  gpm ",
        L"        nodes      ft      in.      ft         psi       psi", rule64}},
      {"english, metric units", true, true,
       {L"                Pressures and flows in pipes (continuation)", rule64,
        L"        Pipe      Pipe    Pipe  Elevation    Beginning  Ending    Flow,",
        L"        between  lenght,  size, difference,  pressure, pressure,  L/min ",
        L"        nodes      m       mm       m          bar       bar", rule64}},
  };
  // The caption on line 40, rows to line 90, the totals marker after them.
  std::vector<std::wstring> body;
  plain(body, 1, 39);
  body.push_back(L"&   pipes");
  plain(body, 41, 90);
  body.push_back(L" closing rule");  // 91
  body.push_back(L" footnote");      // 92
  body.push_back(L"$");              // 93 (file line 94: rows to body line 89)
  plain(body, 94, 100);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host_.listed_printers().recorder().clear();
    const auto pages = print(report(body), c.english, c.metric);
    ASSERT_EQ(pages.size(), 2u);
    // Page line 58 holds the rule that closes the cut table; the row moves.
    ASSERT_EQ(pages[0].size(), 59u);
    EXPECT_EQ(pages[0][57].text, L"L57");
    EXPECT_EQ(pages[0][58].text, kRule70);
    const Page& two = pages[1];
    const std::size_t n = c.continuation.size();
    ASSERT_GT(two.size(), n + 3);
    const auto lines = texts(two);
    EXPECT_EQ(std::vector<std::wstring>(lines.begin() + 2, lines.begin() + 2 + static_cast<long>(n)), c.continuation);
    EXPECT_TRUE(two[2].bold);
    EXPECT_FALSE(two[3].bold);
    EXPECT_EQ(two[2 + n].text, L"L58");  // on page line 8
    EXPECT_FALSE(two[2 + n].bold);
  }
}

TEST_F(PagesTest, PipeRowsAfterAPlainLineOnLine58PrintWhereTheyAre) {
  // Line 58 is the plain closing rule, the rows of a second part follow on
  // 59 and 60: nothing is moved and no caption repeats.
  std::vector<std::wstring> body;
  plain(body, 1, 9);
  body.push_back(L"&   pipes");  // 10
  plain(body, 11, 57);
  body.push_back(L"*sub heading");  // 58
  plain(body, 59, 70);
  body.push_back(L" closing");
  body.push_back(L" footnote");
  body.push_back(L"$");
  const auto pages = print(report(body));
  ASSERT_EQ(pages[0].size(), 61u);
  EXPECT_EQ(pages[0][58].text, L"sub heading");
  EXPECT_EQ(pages[0][59].text, L"L59");
  EXPECT_EQ(pages[0][60].text, L"L60");
  // The page ended inside the table: the next one repeats its caption.
  EXPECT_EQ(pages[1][2].text, L"            Напоры и расходы на участках трубопроводов (продолжение)");
  EXPECT_EQ(pages[1][7].text, L"L61");
}

TEST_F(PagesTest, SprinklerTableCutAtASeparatorContinuesUnderItsCaption) {
  struct Case {
    const char* name;
    int at;
    bool english;
  };
  for (const Case& c : {Case{"separator on line 55 stays", 55, false}, Case{"separator on line 56 is replaced", 56, false},
                        Case{"english separator on line 58", 58, true}}) {
    SCOPED_TRACE(c.name);
    std::vector<std::wstring> body;
    plain(body, 1, c.at - 1);
    body.push_back(L"^       ---- separator");
    plain(body, c.at + 1, 70);
    host_.listed_printers().recorder().clear();
    const auto pages = print(report(body), c.english);
    const auto at = places(pages);
    if (c.at < 56) {
      EXPECT_EQ(at.at(L"       ---- separator"), std::make_pair(1, c.at));
      continue;
    }
    EXPECT_EQ(at.count(L"       ---- separator"), 0u);
    ASSERT_EQ(pages[0].size(), static_cast<std::size_t>(c.at + 1));
    EXPECT_EQ(pages[0].back().text, kRule70);
    EXPECT_TRUE(pages[0].back().bold);
    const Page& two = pages[1];
    EXPECT_EQ(two[2].text, c.english ? L"             Pressures and flows in sprinklers (continuation)"
                                     : L"            Напоры и расходы в расчетных оросителях (продолжение)");
    EXPECT_TRUE(two[2].bold);
    EXPECT_EQ(two[3].text, kRule71);
    EXPECT_FALSE(two[3].bold);
    EXPECT_EQ(at.at(L"L" + std::to_wstring(c.at + 1)), std::make_pair(2, 4));  // page line 5
  }
}

TEST_F(PagesTest, InchSizesAreTheOnlyFractions) {
  const std::vector<std::pair<std::wstring, std::size_t>> cases = {
      {L"   1-2     10.5   1 1/4      25.1", 22},
      {L"   1-2     10.5    1/2*      25.1", 21},
      {L"   1-2     10.5   2 1/2", 22},
      {L"          Water density for main sprinklers, gpm/ft2           -  0.2", 0},
      {L"          of Supervisory Device, psi/gpm^2                     -  0.0002", 0},
      {L"          of Supervisory Device, bar/(L/min)^2                 -  0.0002", 0},
      {L"   1-2     10.5   1 1/16", 0},  // no such size: one-digit numerator and denominator only
      {L"   1-2     10.5   12/3", 0},
      {L"1/2", 0},
  };
  for (std::size_t k = 0; k < cases.size(); ++k) EXPECT_EQ(inch_fraction_slash(cases[k].first), cases[k].second) << k;
}

TEST_F(PagesTest, StackedFractionsOnlyInTheUsUnitEnglishReportBeyondLine20) {
  const std::wstring size_row = L"   1-2     10.5   1 1/4      25.1";
  const std::wstring marked_row = L"   2-3      3.0    1/2*      25.1";
  std::vector<std::wstring> body;
  plain(body, 1, 9);
  body.push_back(L" " + size_row + L" early");  // 10: within the first 20 lines
  plain(body, 11, 21);
  body.push_back(L" " + size_row);    // 22
  body.push_back(L" " + marked_row);  // 23
  body.push_back(L"*          (with a reserve of 20% 1 1/2)");  // 24
  body.push_back(L"           Water density for main sprinklers, gpm/ft2           -  0.2");  // 25
  // 26: the control unit's section; its "**" is no second-standard mark.
  const std::wstring control_row = L"   1-2     14.8**  2 1/2       0**    25.1";
  body.push_back(L" " + control_row);
  plain(body, 27, 30);

  const auto us = print(report(body), true, false);
  const auto at = places(us);
  const Page& page = us[0];
  EXPECT_EQ(at.at(size_row + L" early").first, 1);
  EXPECT_EQ(at.count(L"          (with a reserve of 20% 1 1/2)"), 1u);
  EXPECT_EQ(at.count(L"          Water density for main sprinklers, gpm/ft2           -  0.2"), 1u);

  // Line 22: the blanked line, then numerator, slash and denominator.
  const auto row = at.at(L"   1-2     10.5   1" + std::wstring(10, L' ') + L"25.1");
  const Printed& line = page[static_cast<std::size_t>(row.second)];
  const double y0 = line.y;
  auto piece = [&](std::size_t k) { return page[static_cast<std::size_t>(row.second) + k]; };
  EXPECT_EQ(piece(1).text, L"1");
  EXPECT_EQ(piece(1).size, 10);
  EXPECT_EQ(piece(1).x, 3790);
  EXPECT_EQ(piece(1).y, y0 - 50);
  EXPECT_EQ(piece(2).text, L"/");
  EXPECT_EQ(piece(2).size, 12);
  EXPECT_EQ(piece(2).x, 3860);
  EXPECT_EQ(piece(2).y, y0);
  EXPECT_EQ(piece(3).text, L"4");
  EXPECT_EQ(piece(3).x, 3960);
  EXPECT_EQ(piece(3).y, y0 + 50);
  // Line 23: the size below an inch keeps its second-standard mark.
  EXPECT_EQ(piece(4).text, L"   2-3      3.0   " + std::wstring(11, L' ') + L"25.1");
  EXPECT_EQ(piece(8).text, L"*");
  EXPECT_EQ(piece(8).x, 4060);
  EXPECT_EQ(piece(8).y, piece(4).y - 50);
  const auto control = at.at(L"   1-2     14.8**  2" + std::wstring(11, L' ') + L"0**    25.1");
  EXPECT_EQ(page[static_cast<std::size_t>(control.second) + 3].text, L"2");
  EXPECT_EQ(page[static_cast<std::size_t>(control.second) + 4].text, L"L27");

  host_.listed_printers().recorder().clear();
  const auto metric = places(print(report(body), true, true));
  EXPECT_EQ(metric.count(size_row), 1u);
  EXPECT_EQ(metric.count(marked_row), 1u);
  EXPECT_EQ(metric.count(control_row), 1u);
}

}  // namespace
