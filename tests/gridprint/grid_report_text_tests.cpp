// The text pages of the printed grid report on the recording printer: title,
// bold classes, 58 slots a page, page headers, captions kept off a page's
// foot, tables continued under their captions, stacked inch fractions, and
// the values read back for the scheme page.
#include <gtest/gtest.h>

#include <filesystem>

#include "gridprint/grid_report_text.h"
#include "platform/headless.h"
#include "text/linefile.h"

namespace dorv::testing {
namespace {

using namespace dorv::ui;
using namespace dorv::gridprint;
namespace fs = std::filesystem;

// A report file: line 1 the header line, then one line a row, so that row r
// is element r.
struct ReportFile {
  std::vector<std::wstring> lines{L"          Программа ВИРН-Дорв 5.4.0"};
  int add(const std::wstring& line) {
    lines.push_back(line);
    return static_cast<int>(lines.size()) - 1;
  }
  // Plain rows " row k" up to and including row `last`.
  void plain_to(int last) {
    while (static_cast<int>(lines.size()) <= last) add(L" row " + std::to_wstring(lines.size()));
  }
};

const std::wstring kRussianTitle = L"          Программа ВИРН-Дорв 5.4.0";

class GridReportTextTest : public ::testing::Test {
 protected:
  HeadlessHost host;
  // The pages printed, each a list of the text operations drawn on it.
  std::vector<std::vector<DrawOp>> print(const ReportFile& file, GridTextStyle style = {}) {
    Printer& p = host.printers().printer();
    p.set_scale_mode(0);
    p.set_orientation(kPortrait);
    p.current_y = 500;
    p.current_x = 0;
    p.text_font.size = 11;
    p.text_font.bold = true;
    style.program_version = L"5.4.0";
    report::PageBreak page_break(p, L" 7-R", style.english);
    print_grid_report_text(p, ingest_grid_report(file.lines), style, page_break);
    EXPECT_TRUE(p.end_doc());
    std::vector<std::vector<DrawOp>> pages;
    for (const auto& page : host.listed_printers().recorder().documents().at(0).pages) pages.push_back(page.ops);
    return pages;
  }
  static std::vector<std::wstring> texts(const std::vector<DrawOp>& ops, std::size_t from = 0) {
    std::vector<std::wstring> t;
    for (std::size_t i = from; i < ops.size(); ++i) t.push_back(ops[i].text);
    return t;
  }
  static std::wstring header(int page) {
    return std::wstring(52, L' ') + L"Расчет № 7-R  Стр. " + std::to_wstring(page);
  }
};

TEST_F(GridReportTextTest, ScanCountsTheHeaderLineAndKeepsTheLastOfEachMarker) {
  ReportFile f;
  f.add(L"&a");
  f.add(L"$b");
  f.add(L"&c");
  f.add(L" d");
  const ReportScan s = scan_report(f.lines);
  EXPECT_EQ(s.ReportLineCount, 5);
  EXPECT_EQ(s.LastAmpLine, 4);
  EXPECT_EQ(s.LastDollarLine, 3);
  EXPECT_EQ(s.LastPercentLine, 0);
}

TEST_F(GridReportTextTest, ShortReportPrintsTitleRowsInTheirWeightAndAFinalEmptyLineOnOnePage) {
  ReportFile f;
  struct Row {
    std::wstring line;
    std::wstring text;
    bool bold;
  };
  const Row rows[] = {{L"*Исходные данные", L"Исходные данные", true},  // row 1: 14 points
                      {L"#plain", L"plain", false},
                      {L"*heading", L"heading", true},
                      {L"1caption", L"caption", true},
                      {L"@nodes", L"nodes", true},
                      {L"&feed", L"feed", true},
                      {L"$totals", L"totals", true},
                      {L"%", L"", false},
                      {L"^-----", L"-----", false},
                      {L"", L"", false}};
  for (const auto& r : rows) f.add(r.line);
  const auto pages = print(f);
  ASSERT_EQ(pages.size(), 1u);
  const auto& ops = pages[0];
  ASSERT_EQ(ops.size(), 2 + std::size(rows) + 1);
  EXPECT_EQ(ops[0].text, L"");
  EXPECT_EQ(ops[1].text, kRussianTitle);
  for (int i : {0, 1}) {
    EXPECT_EQ(ops[i].font.size, 11);
    EXPECT_TRUE(ops[i].font.bold);
    EXPECT_EQ(ops[i].font.name, L"Courier New");
    EXPECT_EQ(ops[i].font.charset, 204);
    EXPECT_EQ(ops[i].y1 >= 500, true);
  }
  EXPECT_EQ(ops[0].y1, 500);
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ops[i + 2].text, rows[i].text);
    EXPECT_EQ(ops[i + 2].font.bold, rows[i].bold);
    EXPECT_EQ(ops[i + 2].font.size, i == 0 ? 14 : 12);
  }
  EXPECT_EQ(ops.back().text, L"");
}

TEST_F(GridReportTextTest, FiftyEightSlotsAPageAndEveryLaterPageUnderItsHeader) {
  struct Case {
    int lines;                           // of the file, the header line included
    std::vector<std::size_t> page_ops;   // text operations on each page
  };
  const Case cases[] = {
      {58, {60}},         // 57 rows and the final empty line fill page 1's 58 slots
      {59, {60, 3}},      // the last row on slot 58: the empty line alone on page 2
      {61, {60, 5}},      // two rows and the empty line on page 2
      {120, {60, 59, 7}},  // page 2 holds slots 2 to 58
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    host.listed_printers().recorder().clear();
    ReportFile f;
    f.plain_to(c.lines - 1);
    const auto pages = print(f);
    ASSERT_EQ(pages.size(), c.page_ops.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
      EXPECT_EQ(pages[p].size(), c.page_ops[p]);
      if (p == 0) continue;
      EXPECT_EQ(pages[p][0].text, header(static_cast<int>(p) + 1));
      EXPECT_TRUE(pages[p][0].font.bold);
      EXPECT_EQ(pages[p][0].y1, 500);
      EXPECT_EQ(pages[p][1].text, L"");
      EXPECT_FALSE(pages[p][2].font.bold);
    }
    // Every row once, in order, then the empty line.
    std::vector<std::wstring> printed = texts(pages[0], 2);
    for (std::size_t p = 1; p < pages.size(); ++p) {
      const auto more = texts(pages[p], 2);
      printed.insert(printed.end(), more.begin(), more.end());
    }
    ASSERT_EQ(printed.size(), static_cast<std::size_t>(c.lines));  // rows 1 to lines - 1, the empty line
    EXPECT_EQ(printed.front(), L"row 1");
    EXPECT_EQ(printed[printed.size() - 2], L"row " + std::to_wstring(c.lines - 1));
    EXPECT_EQ(printed.back(), L"");
  }
  // Page 1's slots run down in 12-point lines below the title.
  ReportFile f;
  f.plain_to(10);
  const auto ops = print(f).at(0);
  EXPECT_GT(ops[3].y1, ops[2].y1);
  EXPECT_DOUBLE_EQ(ops[5].y1 - ops[4].y1, ops[4].y1 - ops[3].y1);
}

TEST_F(GridReportTextTest, CaptionsAndClosingBlocksGoToTheNextPageWhenTheyWouldNotFit) {
  struct Case {
    const wchar_t* marker;
    int slot;
    int rows_to_percent;  // for "$": rows from it to the "%" line; for "%": file lines after it
    bool moves;
  };
  const Case cases[] = {
      {L"@", 49, 0, false}, {L"@", 50, 0, true},  {L"&", 51, 0, false}, {L"&", 52, 0, true},
      {L"$", 53, 5, false}, {L"$", 54, 5, true},  {L"%", 55, 3, false}, {L"%", 56, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.marker) + L" at " + std::to_wstring(c.slot));
    host.listed_printers().recorder().clear();
    ReportFile f;
    f.plain_to(c.slot - 1);
    const int row = f.add(std::wstring(c.marker) + L"marked");
    if (std::wstring(c.marker) == L"$") {
      f.plain_to(row + c.rows_to_percent - 1);
      f.add(L"%");
      f.plain_to(row + c.rows_to_percent + 2);
    } else if (std::wstring(c.marker) == L"%") {
      f.plain_to(row + c.rows_to_percent);
    } else {
      f.plain_to(row + 3);
    }
    const auto pages = print(f);
    if (c.moves) {
      ASSERT_GE(pages.size(), 2u);
      EXPECT_EQ(pages[0].size(), static_cast<std::size_t>(c.slot - 1 + 2));
      EXPECT_EQ(pages[1][2].text, L"marked");
    } else {
      EXPECT_EQ(pages[0][static_cast<std::size_t>(c.slot + 1)].text, L"marked");
    }
  }
}

TEST_F(GridReportTextTest, KeptTogetherBlocksLongerThanAPagePrintAcrossPages) {
  for (const wchar_t* marker : {L"$", L"%"}) {
    SCOPED_TRACE(marker);
    host.listed_printers().recorder().clear();
    ReportFile f;
    f.plain_to(9);
    f.add(std::wstring(marker) + L"block");
    f.plain_to(90);
    if (std::wstring(marker) == L"$") {
      f.add(L"%");
      f.plain_to(95);
    }
    const auto pages = print(f);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].size(), 9u + 2);  // the block starts page 2
    EXPECT_EQ(pages[1][2].text, L"block");
    std::size_t rows = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) rows += pages[p].size() - 2;
    EXPECT_EQ(rows, f.lines.size());  // every row and the final empty line
  }
}

TEST_F(GridReportTextTest, ACutSprinklerTableContinuesUnderItsCaptionAndColumnHeader) {
  struct Case {
    bool english;
    std::vector<std::wstring> captions;
    int first_slot;  // of the rows under the repeated header
  };
  const Case cases[] = {
      {false,
       {L"                Напоры и расходы в оросителях, входящих в наиболее",
        L"       неблагоприятно расположенный квадрат пожара решетки (продолжение)"},
       10},
      {true,
       {L"                Pressures and flows in sprinklers (sprinkler's tubes)",
        L"                which form most adversely located square of a fire",
        L"                                 (continuation)"},
       11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.english);
    host.listed_printers().recorder().clear();
    ReportFile f;
    f.plain_to(48);
    f.add(L"1        caption line 2");
    for (const wchar_t* h : {L" -----rule-----", L" head 1", L" head 2", L" head 3", L" -----rule-----"}) f.add(h);
    f.add(L"^ separator");  // row 55, slot 55
    f.add(L" next group");
    f.plain_to(150);
    GridTextStyle style;
    style.english = c.english;
    const auto pages = print(f, style);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].back().text, L"-----rule-----");  // the separator is replaced, not printed
    EXPECT_EQ(pages[0].size(), 55u + 2);
    const auto& p2 = pages[1];
    std::vector<std::wstring> expected = {report::page_header_text(c.english, L" 7-R", 2), L""};
    expected.insert(expected.end(), c.captions.begin(), c.captions.end());
    for (const wchar_t* h : {L"-----rule-----", L"head 1", L"head 2", L"head 3", L"-----rule-----", L"next group"})
      expected.push_back(h);
    const auto got = texts(p2);
    ASSERT_GE(got.size(), expected.size());
    EXPECT_EQ(std::vector<std::wstring>(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(expected.size())),
              expected);
    for (std::size_t i = 2; i < 2 + c.captions.size(); ++i) EXPECT_TRUE(p2[i].font.bold);
    EXPECT_FALSE(p2[2 + c.captions.size()].font.bold);
    // The rows fill the slots from the first one after the header to 58.
    const std::size_t header_lines = 2 + c.captions.size() + 5;
    EXPECT_EQ(got.size(), header_lines + static_cast<std::size_t>(58 - c.first_slot + 1));
  }
}

TEST_F(GridReportTextTest, ACutNodeOrFeedTableCarriesItsRowUnderTheRepeatedHeader) {
  struct Case {
    const char* name;
    wchar_t caption;
    wchar_t closing;  // the marker of the line that closes the table's range
    std::wstring rule_at_foot;
    std::vector<std::wstring> continuation;
    bool header_bold;
    std::wstring row_58 = L" row 58";  // the file line of the row at the foot
    std::wstring carried = L"row 58";  // the first row under the repeated header
  };
  const std::wstring node_rule = std::wstring(9, L' ') + std::wstring(51, L'-');
  const std::vector<std::wstring> node_header = {
      L"                Напоры и расходы в узлах основной и",
      L"             дополнительной труб решетки (продолжение)", node_rule,
      L"          Номер |    Узлы осн. трубы  |   Узлы доп. трубы ",
      L"          рядка |-------------------------------------------",
      L"                |  Напор   |  Расход  |  Расход   |  Напор",
      L"                |  м.в.ст. |   л/с    |   л/с     |  м.в.ст.", node_rule};
  const Case cases[] = {
      {"node", L'@', L'&', node_rule, node_header, false},
      // The empty separator before the parallel pipe's row: replaced by the
      // rule and printed nowhere.
      {"node separator", L'@', L'&', node_rule, node_header, false, L"^", L"row 59"},
      {"feed", L'&', L'$', L"row 41",
       {L"          Напоры и расходы участков питающего трубопровода (продолжение)", L"row 41", L"row 42",
        L"row 43", L"row 44", L"row 45", L"row 46"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.listed_printers().recorder().clear();
    ReportFile f;
    f.plain_to(39);
    f.add(std::wstring(1, c.caption) + L"caption");  // row 40
    f.plain_to(57);
    f.add(c.row_58);
    f.plain_to(69);
    f.add(std::wstring(1, c.closing) + L"closing");  // row 70: the table's rows end well below 58
    f.plain_to(72);
    const auto pages = print(f);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].size(), 58u + 2);
    EXPECT_EQ(pages[0].back().text, c.rule_at_foot);
    const auto got = texts(pages[1]);
    ASSERT_GT(got.size(), c.continuation.size() + 2);
    EXPECT_EQ(std::vector<std::wstring>(got.begin() + 2, got.begin() + 2 + c.continuation.size()), c.continuation);
    EXPECT_EQ(got[2 + c.continuation.size()], c.carried);
    EXPECT_EQ(pages[1].back().font.bold, false);
    EXPECT_TRUE(pages[1][2].font.bold);
    EXPECT_TRUE(pages[1][3].font.bold);
    EXPECT_EQ(pages[1][4].font.bold, c.header_bold);
  }
}

TEST_F(GridReportTextTest, EnglishPagesHaveEnglishTitleHeaderAndNodeHeaderInTheirUnits) {
  for (const bool metric : {false, true}) {
    SCOPED_TRACE(metric);
    host.listed_printers().recorder().clear();
    ReportFile f;
    f.plain_to(39);
    f.add(L"@caption");
    f.plain_to(69);
    f.add(L"&feed");
    f.plain_to(72);
    GridTextStyle style;
    style.english = true;
    style.metric_units = metric;
    const auto pages = print(f, style);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0][1].text, L"          Calculationprogram ВИРН-Дорв 5.4.0");
    const auto got = texts(pages[1]);
    EXPECT_EQ(got[0], std::wstring(47, L' ') + L"Calculation N 7-R  Page 2");
    EXPECT_EQ(got[2], L"                 Pressures and flows in nodes of left ");
    EXPECT_EQ(got[9], metric ? L"                    |    bar    |  L/min  |  L/min   |    bar"
                             : L"                    |    psi    |   gpm   |   gpm    |    psi");
    EXPECT_EQ(got[11], L"row 58");
  }
}

TEST_F(GridReportTextTest, InchSizesRightOfColumn53AreStackedExceptInSdrAndFullRows) {
  const std::wstring pad(59, L' ');  // the whole inch at column 60 of the text
  struct Case {
    std::wstring text;
    bool feed_row;
    std::wstring printed;  // the line itself; empty text: printed plainly
  };
  const Case cases[] = {
      {pad + L"1 1/2   2.5", false, pad + L"1  "},
      {pad + L"1 1/2   2.5", true, pad + L"1  "},
      {pad + L"1 3/4 * 2.5", false, pad + L"1  * 2.5"},
      {std::wstring(30, L' ') + L"1 1/2" + pad, false, L""},
      {pad + L"1 1/2  SDR 11", false, L""},
      {pad + L"1 1/2  Full", true, L""},
      // The first column where a "/" is stacked is column 53 of the text.
      {std::wstring(49, L' ') + L"1 1/2", false, std::wstring(49, L' ') + L"1  "},
      {std::wstring(48, L' ') + L"1 1/2", false, L""},
  };
  ReportFile f;
  f.plain_to(2);
  for (const Case& c : cases)
    if (!c.feed_row) f.add(L" " + c.text);
  f.add(L"&feed");
  for (const Case& c : cases)
    if (c.feed_row) f.add(L" " + c.text);
  const auto ops = print(f).at(0);
  std::size_t i = 4;  // after the title and rows 1, 2
  std::vector<Case> in_order;
  for (const bool feed : {false, true})
    for (const Case& c : cases)
      if (c.feed_row == feed) in_order.push_back(c);
  for (const Case& c : in_order) {
    if (c.feed_row && ops[i].text == L"feed") ++i;
    SCOPED_TRACE(c.text);
    if (c.printed.empty()) {
      EXPECT_EQ(ops[i].text, c.text);
      ++i;
      continue;
    }
    ASSERT_LT(i + 3, ops.size());
    EXPECT_EQ(ops[i].text, c.printed);
    const double y0 = ops[i].y1;
    const double x0 = c.feed_row ? 9830 : 8960;
    const std::size_t slash = c.text.find(L'/');
    const std::wstring numerator(1, c.text[slash - 1]);
    const std::wstring denominator(1, c.text[slash + 1]);
    EXPECT_EQ(ops[i + 1].text, numerator);
    EXPECT_EQ(ops[i + 1].x1, x0);
    EXPECT_EQ(ops[i + 1].y1, y0 - 50);
    EXPECT_EQ(ops[i + 1].font.size, 10);
    EXPECT_EQ(ops[i + 2].text, L"/");
    EXPECT_EQ(ops[i + 2].x1, x0 + 70);
    EXPECT_EQ(ops[i + 2].y1, y0);
    EXPECT_EQ(ops[i + 2].font.size, 12);
    EXPECT_EQ(ops[i + 3].text, denominator);
    EXPECT_EQ(ops[i + 3].x1, x0 + 170);
    EXPECT_EQ(ops[i + 3].y1, y0 + 50);
    i += 4;
  }
}

TEST_F(GridReportTextTest, SchemeValuesReadBackFromTheComputedReport) {
  const auto ring = read_lines(fs::path(DORV_REPORT_DATA_DIR) / "ring" / "rezres.txt");
  const auto values = read_report_scheme_values(ring);
  ASSERT_TRUE(values);
  EXPECT_EQ(values->ParallelPipeText, L"    нет");
  EXPECT_EQ(values->RingPipeText, L"     32");
  EXPECT_EQ(values->FeedSectionCount, 3);
  // A report cut short before the feed table's closing rule gives nothing.
  const std::vector<std::wstring> cut(ring.begin(), ring.begin() + 76);
  EXPECT_FALSE(read_report_scheme_values(cut));
  EXPECT_FALSE(read_report_scheme_values({L"no input data"}));
}

}  // namespace
}  // namespace dorv::testing
