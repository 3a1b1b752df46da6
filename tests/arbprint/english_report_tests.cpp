// The English report rezangl.txt of a computed arbitrary network: the whole
// file byte for byte in each unit system, the outlet flows of every outlet
// kind, signed values, the blocks of the outlet table, and what happens when
// the unit question is cancelled or the file cannot be written.
#include <cmath>
#include <cstdlib>

#include "arbprint/english_arbitrary_report.h"
#include "tests/arbcalc/fixture.h"
#include "text/numtext.h"

namespace {

using namespace arbtest;
using dorv::arb::Cell;
using dorv::arb::Form4State;
using dorv::arbprint::EnglishReportEnd;
using dorv::arbprint::Lines;
using dorv::arbprint::make_english_arbitrary_report;
using dorv::arbprint::ReportUnits;

std::string golden(const std::string& name) { return read_bytes(fs::path(ARBPRINT_DATA_DIR) / name); }

class EnglishArbitraryReportTest : public CalcTest {
 protected:
  // The example network computed with the prepared answer, as "Пуск" leaves
  // it for "Печать".
  Form4& computed() {
    prepared_answer(read_bytes(fs::path(ARBCALC_DATA_DIR) / "sklad.out"));
    Form4& f4 = open_new();
    f4.Command1.click();
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(f4.state.printout.ResultsValid, 1);
    forget_messages();
    return f4;
  }
  dorv::arbprint::EnglishReportResult make(Form4& f4, MsgResult units_answer, bool message_follows = false) {
    host_.answer_message(units_answer);
    if (message_follows) host_.answer_message(MsgResult::OK);
    return make_english_arbitrary_report(f4.run_texts(), f4.state, at(""), english_object_name);
  }
  std::wstring english_object_name = L"left from an earlier print";
};

TEST_F(EnglishArbitraryReportTest, WritesBothUnitSystemsByteForByte) {
  Form4& f4 = computed();
  struct Units {
    MsgResult answer;
    ReportUnits units;
    const char* golden;
    const char* english_name;  // nazangl.txt, none when empty
  };
  for (const Units u : {Units{MsgResult::Yes, ReportUnits::US, "sklad_us.txt", "Warehouse \"East\"\r\n"},
                        Units{MsgResult::No, ReportUnits::WestEuropean, "sklad_metric.txt", ""}}) {
    SCOPED_TRACE(u.golden);
    fs::remove(at("nazangl.txt"));
    if (*u.english_name) put_bytes("nazangl.txt", u.english_name);
    const auto result = make(f4, u.answer);
    EXPECT_EQ(result.end, EnglishReportEnd::Written);
    EXPECT_EQ(result.units, u.units);
    EXPECT_EQ(bytes("rezangl.txt"), golden(u.golden));
  }
  EXPECT_EQ(english_object_name, L"");
}

TEST_F(EnglishArbitraryReportTest, CancelTouchesNothingAndAFailedFileIsReported) {
  Form4& f4 = computed();
  put_bytes("rezangl.txt", "the report of an earlier print");
  put("nazangl.txt", L"Office block\r\n");
  EXPECT_EQ(make(f4, MsgResult::Cancel).end, EnglishReportEnd::Cancelled);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(host_.messages().back().request.title, L"Выбор версии печати");
  EXPECT_EQ(host_.messages().back().request.buttons, ui::MsgButtons::YesNoCancel);
  EXPECT_EQ(bytes("rezangl.txt"), "the report of an earlier print");
  EXPECT_EQ(english_object_name, L"left from an earlier print");

  // rezangl.txt that cannot be replaced: told, nothing to print.
  forget_messages();
  fs::remove(at("rezangl.txt"));
  fs::create_directory(at("rezangl.txt"));
  EXPECT_EQ(make(f4, MsgResult::Yes, true).end, EnglishReportEnd::Failed);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(host_.messages().back().request.title, L"Предупреждение");
  EXPECT_TRUE(contains(messages()[1], L"rezangl.txt")) << to_utf8(messages()[1]);
  EXPECT_EQ(english_object_name, L"Office block");
}

TEST_F(EnglishArbitraryReportTest, HeadFollowsTheFormsChoices) {
  Form4& f4 = computed();
  // A project name longer than a line wraps; a word longer than a line is cut.
  put("nazangl.txt", L"Distribution centre " + std::wstring(80, L'x') + L"\r\n");
  f4.state.imported.MainStandardPhrase = L" по ГОСТ СОВМ";
  f4.Text15.set_text(L"0.0019");
  f4.Label12.set_visible(false);
  f4.Label13.set_visible(false);
  ASSERT_EQ(make(f4, MsgResult::No).end, EnglishReportEnd::Written);
  const auto l = lines("rezangl.txt");
  const Lines head(l.begin() + 4, l.begin() + 22);
  EXPECT_EQ(head, (Lines{
                      L"          Project: Distribution centre ",
                      L"                   xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
                      L"                   xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
                      L"          Contract:  24/07",
                      L"",
                      L"*         THE INITIAL DATA:",
                      L"          Tubing in accordance with GOST 3262-75 (for d<=50 mm)",
                      L"          and GOST 10704-76 (for d>50 mm)",
                      L"          Loss-factor of the valve ",
                      L"          of Supervisory Device, bar/(L/min)^2                 - 0.0000000527778",
                      L"          Water density for main sprinklers, L/(min*m^2)        - 4.8",
                      L"          Average area of main sprinkler operation, m^2         - 12",
                      L"          Main sprinkler's K-factor                             -  89.3",
                      L"          Minimum operating pressure of main sprinkler, bar   - 0.4",
                      L"          Water density for in-rack sprinklers, L/(min*m^2)        - 6",
                      L"          Average area of in-rack sprinkler operation, m^2         - 9",
                      L"          In-rack sprinkler's K-factor                             -  95",
                      L"          Minimum operating pressure of in-rack sprinkler, bar   - 0.3",
                  }));
  EXPECT_EQ(l[22], L"");
  EXPECT_EQ(l[23], L"*         RESULTS OF CALCULATION:");
}

TEST(EnglishClosing, ControlUnitAtTheInletAndSprinklersOnly) {
  // The control unit at the inlet, a second standard, no deluge heads or
  // fire cocks: no flow split, the heads after and before the valve.
  dorv::arb::NetworkFormTexts form;
  Form4State s;
  s.imported.ControlUnitOnSection = 0;
  s.printout.SecondStandardNote = L" по ГОСТ 3262-75 (ВГП)";
  form.Text10 = L" ГОСТ 3262-75 (ВГП) ";
  form.Text5 = {L"12.4", L"25.5", L"29.43"};
  Lines out;
  dorv::arbprint::write_english_closing(out, form, s, ReportUnits::WestEuropean);
  EXPECT_EQ(out, (Lines{
                     L"          * Tubing in accordance with GOST 3262-75 ",
                     L"",
                     L"",
                     L"",
                     L"$          Full flow     -      744 L/min",
                     L"*          Pressure after valve of Supervisory Device  ",
                     L"*          (with a reserve of 20% on local losses)       -  2.55 bar",
                     L"*          Pressure before valve of Supervisory Device ",
                     L"*          (with a reserve of 20% on local losses)       -  2.943 bar",
                     L"",
                     L"",
                     L"           Prepared by:                              _________________",
                 }));
}

TEST(EnglishInitialData, ValuesBelowOneGetTheirZero) {
  struct Case {
    double v;
    const wchar_t* led;    // the form with one more blank before a value below 1
    const wchar_t* plain;  // the form without it
  };
  const Case cases[] = {
      {0.74, L" 0.74", L"0.74"}, {0, L" 0", L"0"}, {1, L"1", L"1"}, {12.5, L"12.5", L"12.5"}, {-0.5, L"-0.5", L"-0.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.v);
    EXPECT_EQ(dorv::arbprint::led_fraction_text(c.v), c.led);
    EXPECT_EQ(dorv::arbprint::fraction_text(c.v), c.plain);
  }
}

// One outlet at node 5 (elevation 2 m, `free_head` m above it in the answer)
// of the given entry, the coefficients of the four kinds distinct.
Form4State one_outlet(const std::wstring& entry, double free_head = 10) {
  Form4State s;
  s.imported.OutletTable = dorv::arb::make_table(1, 3);
  s.imported.OutletTable[1][1] = Cell::of_text(entry);
  s.imported.OutletListSize = 2;
  s.imported.NodeTable = dorv::arb::make_table(5, 7);
  s.imported.NodeTable[5][2] = Cell::number(1);
  s.imported.NodeTable[5][3] = Cell::number(2);
  s.run.AnswerRows = dorv::arb::make_table(1, 2);
  s.run.AnswerRows[1][2] = Cell::number(2 + free_head);
  s.imported.OutletDataInFile = {{{0.47, 0}, {0.5, 0}, {1.5, 0}, {2.6, 0}}};
  return s;
}

TEST(EnglishOutletTable, FlowsFollowTheUnitsAndTheKindsCoefficient) {
  struct Case {
    const wchar_t* entry;
    double free_head;
    ReportUnits units;
    const wchar_t* pressures;
    const wchar_t* flows;
  };
  // In US units the flow comes from the head in metres: 0.47 L/s per √m at
  // 10 m is 1.486 L/s or 23.55 gpm (at 14.51 psi). In West-European units it
  // comes from the bar as printed, with 189.5 for the coefficient per √m:
  // 4.56 m is 0.46 bar and 0.47·√0.46·189.5 = 60.41 L/min.
  const Case cases[] = {
      {L"5", 10, ReportUnits::US, L"         Pressure, psi|  14.51 ", L"         Flow, gpm    |  23.55 "},
      {L"5", 4.56, ReportUnits::US, L"         Pressure, psi|   6.62 ", L"         Flow, gpm    |  15.91 "},
      {L"5", 4.56, ReportUnits::WestEuropean, L"         Pressure, bar|   0.46 ", L"         Flow, L/min  |  60.41 "},
      {L"5с", 10, ReportUnits::US, L"         Pressure, psi|  14.51 ", L"         Flow, gpm    |  25.06 "},
      {L"5д", 10, ReportUnits::US, L"         Pressure, psi|  14.51 ", L"         Flow, gpm    |  75.17 "},
      {L"5п", 10, ReportUnits::WestEuropean, L"         Pressure, bar|   1.0  ", L"         Flow, L/min  | 492.7  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(to_utf8(c.entry) + " at " + std::to_string(c.free_head) + " m");
    Lines out;
    dorv::arbprint::write_english_outlet_table(out, one_outlet(c.entry, c.free_head), c.units);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[1], L"         N of node    |   " + std::wstring(c.entry) +
                          std::wstring(8 - std::wstring(c.entry).size(), L' '));
    EXPECT_EQ(out[3], c.pressures);
    EXPECT_EQ(out[4], c.flows);
  }
}

TEST(EnglishOutletTable, SevenOutletsToABlockAndTheTopRuleOnlyOnce) {
  for (const std::size_t outlets : {0u, 7u, 8u}) {
    SCOPED_TRACE(outlets);
    Form4State s = one_outlet(L"5");
    s.imported.OutletTable = dorv::arb::make_table(outlets, 3);
    for (std::size_t k = 1; k <= outlets; ++k) s.imported.OutletTable[k][1] = Cell::of_text(L"5");
    s.imported.OutletListSize = static_cast<double>(outlets + 1);
    Lines out;
    dorv::arbprint::write_english_outlet_table(out, s, ReportUnits::US);
    const std::wstring rule7 = L"        --------------" + std::wstring(56, L'-');
    if (outlets == 0) {
      EXPECT_TRUE(out.empty());
      continue;
    }
    ASSERT_EQ(out.size(), outlets == 7 ? 6u : 11u);
    EXPECT_EQ(out[0], rule7);
    EXPECT_EQ(out[5], L"^" + rule7.substr(1));
    if (outlets == 8) {
      EXPECT_EQ(out[6], L"         N of node    |   5       ");
      EXPECT_EQ(out[7], L"        ----------------------");
      EXPECT_EQ(out[10], L"^       ----------------------");
    }
  }
}

TEST(EnglishPipeTable, SignedValuesMarkersAndInchSizes) {
  Form4State s;
  s.imported.SectionTable = dorv::arb::make_table(3, 9);
  s.imported.SectionCount = 3;
  const auto row = [&](std::size_t r, const wchar_t* name, Cell length, Cell size, double dz, double h1, double h2,
                       double q) {
    s.imported.SectionTable[r][1] = Cell::of_text(name);
    s.imported.SectionTable[r][2] = length;
    s.imported.SectionTable[r][3] = size;
    s.imported.SectionTable[r][4] = Cell::number(dz);
    s.imported.SectionTable[r][5] = Cell::number(h1);
    s.imported.SectionTable[r][6] = Cell::number(h2);
    s.imported.SectionTable[r][7] = Cell::number(q);
  };
  // The control unit's section, a downhill section of the second standard, a
  // size the inch table does not know.
  row(1, L"1-2", Cell::of_text(L"4.5**"), Cell::number(32), 4, 29.43, 23.97, 12.4);
  row(2, L"12-3", Cell::number(0.5), Cell::of_text(L"25*"), -0.5, 5.2, 6.1, 0.5);
  row(3, L"3-4", Cell::number(3), Cell::number(70), -2, 6.1, 4, 1.25);
  struct Case {
    ReportUnits units;
    Lines rows;
  };
  const Case cases[] = {
      {ReportUnits::US,
       {L"         1-2     14.76**  1 1/4    13.12       42.7      34.8     196.5",
        L"        12-3      1.64    1*       -1.64        7.5       8.9       7.9",
        L"         3-4      9.84    70 mm     -6.56        8.9       5.8      19.8"}},
      {ReportUnits::WestEuropean,
       {L"         1-2        4.5**   32      4           2.94      2.4     744",
        L"        12-3        0.5    25*    -0.5         0.52      0.61     30",
        L"         3-4        3       70     -2           0.61      0.4      75"}},
  };
  for (const Case& c : cases) {
    Lines out;
    dorv::arbprint::write_english_pipe_table(out, s, c.units);
    ASSERT_EQ(out.size(), 9u);
    EXPECT_EQ(Lines(out.begin() + 5, out.begin() + 8), c.rows);
    EXPECT_EQ(out[8], out[0]);
  }
}

}  // namespace
