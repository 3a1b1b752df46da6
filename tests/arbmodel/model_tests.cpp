#include <gtest/gtest.h>

#include "arbmodel/field_values.h"
#include "arbmodel/head_lines.h"
#include "arbmodel/network_file.h"
#include "arbmodel/network_tables.h"
#include "arbmodel/problem_file.h"
#include "text/codepage.h"
#include "text/numtext.h"

using namespace dorv;
using namespace dorv::arb;
using Lines = std::vector<std::wstring>;

namespace {

// A network data file: feed row 1 (network 0) - junction row 2 (network 5)
// - sprinklers rows 3 and 4 (network 3, 4) with their outlets 1 and 2.
Lines known_file() {
  Lines l = {L"18/02", L"Торговый центр", L".08", L"12", L".47", L"ГОСТ 3262-75", L"0.0019 (УУСЗ-65)"};
  l.resize(15);
  for (const wchar_t* s :
       {L"#####1", L"0.0001 0.0005 200000", L"0 p 10 1 5 3.317", L"1 p 0 1 3 .47", L"2 p 0 1 4 .47",
        L"3 o 0 2 1 .47 5 1.071", L"4 o 0 2 2 .47 5 1.071", L"5 v 0 3 0 3.317 3 1.071 4 1.071", L"#####2", L"2 3 4",
        L"0", L"0", L"0", L"#####3", L"1 0 0 1 2 10 50 0 0 0 0 0 0 0 0 0 0", L"2 5 3 3 1 10 50 3 3 25 4 .5 25* 0 0 0 0",
        L"3 3 3.2 1 2 3 25 0 0 0 0 0 0 0 0 0 0", L"4 4 2 1 2 .5 25* 0 0 0 0 0 0 0 0 0 0", L"#####4", L"nil", L"nil", L"0"})
    l.push_back(s);
  return l;
}

}  // namespace

TEST(NetworkFile, ExportHeaderGivesTheDataVersionAndIsDropped) {
  Lines e = known_file();
  e.insert(e.begin(), {L"#####", L"5.4.0", L"любая строка"});
  const auto c = convert_export(e);
  EXPECT_EQ(c.body, known_file());
  EXPECT_EQ(c.data_version, 540);
  const auto plain = convert_export(known_file());
  EXPECT_EQ(plain.body, known_file());
  EXPECT_FALSE(plain.data_version);
  EXPECT_EQ(check_network_data(known_file()), L"");
}

TEST(NetworkFile, DamagedFilesAreNamedNotImported) {
  struct Case {
    std::function<void(Lines&)> damage;
    std::wstring says;
  } cases[] = {
      {[](Lines& l) { l.clear(); }, L"файл пуст"},
      {[](Lines& l) { l.erase(l.begin()); }, L"нет 15 строк"},
      {[](Lines& l) { l.resize(20); }, L"нет строки #####2"},
      {[](Lines& l) { l[19] = L"3 o 0 2 1 .47 5"; }, L"у узла 3 расчетной сети не хватает связей"},
      {[](Lines& l) { l.erase(l.begin() + 26); }, L"нет четырех перечней"},
      {[](Lines& l) { l[30] = L"2 5"; }, L"неполная строка узла схемы (строка 31)"},
      {[](Lines& l) { l[29] = L"1 0 0 1 9 10 50"; }, L"ведет к несуществующему узлу"},
      {[](Lines& l) { l[24] = L"2 3 7"; }, L"ороситель 7 не является узлом схемы"},
      {[](Lines& l) { l.resize(33); }, L"нет строки #####4"},
  };
  for (auto& c : cases) {
    Lines l = known_file();
    c.damage(l);
    EXPECT_NE(check_network_data(l).find(c.says), std::wstring::npos) << check_network_data(l);
  }
}

TEST(NetworkFile, ResultsBlocksOfTheExportAndOfACalculation) {
  Lines l = known_file();
  EXPECT_FALSE(read_export_results(l).on_section());
  l[l.size() - 3] = L"2";
  l[l.size() - 2] = L"3";
  EXPECT_EQ(read_export_results(l).start, L"2");
  EXPECT_TRUE(read_export_results(l).on_section());
  // Stored without a calculation: three lines, the export's block.
  auto stored = read_stored_results(l);
  ASSERT_TRUE(stored);
  EXPECT_TRUE(stored->is_export_block());
  l.insert(l.end(), {L" 2.3", L" 15"});
  EXPECT_FALSE(read_stored_results(l)->is_export_block());
  EXPECT_FALSE(read_stored_results(Lines{L"a", L"#####3"}));
}

TEST(NetworkFile, PreviousLayoutGainsTheRackLinesAndList) {
  Lines old = known_file();
  old.erase(old.begin() + 12, old.begin() + 15);  // 12 head lines
  old[5] = L"ГОСТ 10704-76";
  old.erase(old.begin() + 22);  // three lists
  const Lines up = upgrade_layout(old);
  EXPECT_EQ(up[15], L"#####1");
  EXPECT_EQ(up[5], L"ГОСТ 10704-91");
  Lines expected = known_file();
  expected[5] = L"ГОСТ 10704-91";
  expected[27] = L"";
  EXPECT_EQ(up, expected);
  EXPECT_EQ(upgrade_layout(expected), expected);
}

TEST(HeadLines, FieldRules) {
  EXPECT_EQ(leading_zero_form(number_text(L"0,08")), L" 0.08");
  EXPECT_EQ(leading_zero_form(number_text(L" .08 ")), L" 0.08");
  EXPECT_EQ(leading_zero_form(number_text(L"5.28")), L" 5.28");
  EXPECT_EQ(field_number_text(0), L" 0");
  EXPECT_EQ(field_number_text(0.45), L" 0.45");
  EXPECT_EQ(field_number_text(11.7), L" 11.7");
  // The intensity line never grows: the loaded intensity after a comma is not the field's.
  struct {
    const wchar_t* line;
    const wchar_t* part;
  } cut[] = {{L" 0.1,0.1", L" 0.1"}, {L"0,08", L"0,08"}, {L"0,1,0.1", L"0,1"}, {L".12", L".12"}, {L"1,.5", L"1"}};
  for (const auto& c : cut) EXPECT_EQ(intensity_part(c.line), c.part) << c.line;

  struct {
    const wchar_t* line;
    const wchar_t* name;
    std::optional<double> head;
  } pipes[] = {{L"ГОСТ 3262-75", L"ГОСТ 3262-75", {}},
               {L"ГОСТ 3262-75,45.5", L"ГОСТ 3262-75", 45.5},
               {L"PE SDR 17,6", L"PE SDR 17,6", {}},
               {L"PE SDR 17,6,40", L"PE SDR 17,6", 40}};
  for (const auto& c : pipes) {
    const auto p = split_pipe_line(c.line);
    EXPECT_EQ(p.standard, c.name);
    EXPECT_EQ(p.given_inlet_head, c.head);
  }
  const auto v = split_valve_line(L"0.0053 ((УУСЗ-50))");
  EXPECT_EQ(v.shown, L"0.0053 (УУСЗ-50)");
  EXPECT_EQ(v.loaded, L"0.0053 ((УУСЗ-50))");
  EXPECT_EQ(split_valve_line(L"Клапан 1").loaded, L"");

  const auto s = sprinkler_rule(0.12, 12, 80);
  EXPECT_DOUBLE_EQ(s.k, 0.42105263);
  EXPECT_EQ(s.free_head, 11.7);
  EXPECT_EQ(sprinkler_rule(0.1, 12, 20).k, 20);
  EXPECT_FALSE(sprinkler_rule(0.1, 12, 0).free_head);
}

// A field is read as the grid form reads its fields: the leading number,
// a comma as the point, no exponent; a value outside its range computes
// nothing.
TEST(FieldValues, ReadingRangesAndTheSprinklerRule) {
  struct {
    const wchar_t* text;
    double value;
  } read[] = {{L"1e30", 1}, {L" 1e-300", 1}, {L"12e308", 12}, {L"0,47", 0.47}, {L" .08 м", 0.08}, {L"нет", 0}};
  for (const auto& c : read) EXPECT_EQ(field_value(c.text), c.value) << to_utf8(c.text);

  EXPECT_EQ(range_fault(0.08, kIntensityRange), RangeFault::None);
  EXPECT_EQ(range_fault(10, kIntensityRange), RangeFault::None);
  EXPECT_EQ(range_fault(99999999, kIntensityRange), RangeFault::TooLarge);
  EXPECT_EQ(range_fault(field_value(std::wstring(400, L'9')), kAreaRange), RangeFault::TooLarge);
  EXPECT_EQ(range_fault(0.0000001, kKFactorRange), RangeFault::TooSmall);
  EXPECT_EQ(range_fault(0, kFreeHeadRange), RangeFault::TooSmall);
  EXPECT_EQ(range_fault(-5, kFlowRange), RangeFault::TooSmall);

  EXPECT_EQ(free_head_from(0.08, 12, 0.47), 4.17);
  EXPECT_EQ(free_head_from(0.1, 12, 95), 5.76);  // K above 20 per L/(min·bar^0.5)
  EXPECT_EQ(intensity_from(5.76, 12, 0.5), 0.1);
  EXPECT_FALSE(free_head_from(99999999, 12, 0.47));  // an input out of its range
  EXPECT_FALSE(free_head_from(10, 1000, 0.001));     // a head out of its range
  EXPECT_FALSE(intensity_from(4.17, 12, 0));
  EXPECT_FALSE(intensity_from(10000, 0.01, 10000));  // an intensity out of its range
  EXPECT_GT(unchecked_free_head(10, 1000, 0.001), kFreeHeadRange.most);

  EXPECT_EQ(highest_free_head({10, 0, 20, 15}), 20);
  EXPECT_EQ(highest_free_head({10, 15, 5, 15}), 15);
}

TEST(ProblemFile, NetworkSectionIsCopiedUntilTheSecondMarker) {
  const auto p = network_section(known_file());
  ASSERT_EQ(p.lines.size(), 7u);
  EXPECT_EQ(p.lines.front(), L"0.0001 0.0005 200000");
  EXPECT_EQ(p.lines.back(), L"5 v 0 3 0 3.317 3 1.071 4 1.071");
  EXPECT_TRUE(p.has_junction);
  EXPECT_EQ(p.last_node, 5);
  EXPECT_FALSE(p.refused_node);
  const auto map = node_number_map(known_file());
  ASSERT_EQ(map.size(), 4u);
  EXPECT_EQ(map[1].drawn, 2);
  EXPECT_EQ(map[1].network, 5);
}

TEST(ProblemFile, EveryNodeWithMoreThanFourLinksStopsTheImport) {
  struct {
    const wchar_t* line;
    bool refused;
  } cases[] = {{L"5 v 0 4 0 1 3 1 4 1 2 1", false},
               {L"5 v 0 5 0 1 3 1 4 1 2 1 1 1", true},
               {L"5 v 0 7 0 1 3 1 4 1 2 1 1 1 6 1 7 1", true}};
  for (const auto& c : cases) {
    Lines l = known_file();
    l[22] = c.line;  // the last network line
    const auto p = network_section(l);
    EXPECT_EQ(p.refused_node.has_value(), c.refused) << c.line;
    EXPECT_EQ(p.lines.back(), c.line);  // written before the warning
  }
  const auto map = node_number_map(known_file());
  EXPECT_EQ(node_check_messages(map, 5),
            Lines{L"К узлу номер 2 подходит более 4-х труб, что недопустимо!"});
  EXPECT_EQ(node_check_messages(map, 9),
            Lines{L"К узлу расчетной сети номер 9 подходит более 4-х труб, что недопустимо!"});
}

TEST(ProblemFile, FeedNodeAddedWithTheLinksItNeeds) {
  // Feed with two links to sprinklers; no junction. The sprinkler heads hold " 0".
  const Lines problem = {L"0.0001 0.0005 200000", L"0 p 10 2 3 2.5 4 2.0", L"1 p 0 1 3 .5",   L"2 p 0 1 4 .5",
                         L"3 o 0 2 1 .5 0 2.5",   L"4 o 10 2 2 .5 0 2.0"};
  const Lines out = add_feed_node(problem, 4);
  const Lines expected = {L"0.0001 0.0005 200000", L"0 p 10 1 5 100", L"1 p 0 1 3 .5",      L"2 p 0 1 4 .5",
                          L"3 o 0 2 1 .5 5 2.5",   L"4 o 10 2 2 .5 5 2.0", L"5 v 10 3 0 100 3 2.5 4 2.0"};
  EXPECT_EQ(out, expected);
}

TEST(NetworkTables, OutletKindsAndGroups) {
  const auto o = read_outlet_lists({L"4 3 4 7 9", L"2 4 7", L"1 7", L"0"});
  EXPECT_EQ(o.list_size, 5);
  EXPECT_EQ(o.table[1][1].text, L"3");
  EXPECT_EQ(o.table[2][1].text, L"4д");
  EXPECT_EQ(o.table[3][1].text, L"7дп");
  EXPECT_TRUE(o.groups.main);
  EXPECT_TRUE(o.groups.deluge);
  EXPECT_TRUE(o.groups.fire_cock);
  EXPECT_FALSE(o.groups.rack);
  const auto only_deluge = read_outlet_lists({L"1 3", L"1 3", L"0", L""});
  EXPECT_FALSE(only_deluge.groups.main);
}

TEST(NetworkTables, SectionsAndTheirTable) {
  const Table nodes = read_node_table(known_file());
  ASSERT_EQ(nodes.size(), 5u);
  EXPECT_TRUE(nodes[4][7].is_text);
  const auto s = build_sections(nodes);
  ASSERT_EQ(s.table.size(), 4u);
  EXPECT_EQ(s.table[1][1].text, L" 1-2");
  EXPECT_EQ(s.table[2][1].text, L" 2-3");  // equal... 3 at 3.2 is higher
  EXPECT_EQ(s.table[3][1].text, L" 4-2");  // row 4 lies lower
  EXPECT_DOUBLE_EQ(s.table[3][4].value, 1);
  EXPECT_TRUE(s.table[3][3].is_text);
  Lines expected = kText4Header;
  // "-" in column 7, the length's point in 17, the diameter's end in 26,
  // the height's point in 36.
  expected.push_back(L"     1-2      10        50        3");
  expected.push_back(L"     2-3       3        25        0.2");
  expected.push_back(L"     4-2       0.5     25*        1");
  EXPECT_EQ(s.text4, expected);

  Lines five = known_file();
  five[32] = L"4 4 2 5 2 .5 25 1 1 1 1 1 1 1 1 1 1 1 1";  // the last row, five pipes
  const auto refused = build_sections(read_node_table(five));
  EXPECT_EQ(refused.refused_node, 4);
  EXPECT_EQ(refused.text4, kText4Header);
}
