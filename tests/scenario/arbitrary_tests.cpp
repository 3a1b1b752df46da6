// A new arbitrary-configuration calculation through the whole program: the
// export comes from netexport, the register imports it, Form4 loads it and
// the calculation is stored.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/scenario/scenario.h"

namespace {

using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

// Acts out scripts/NAME.txt and compares what it shows with NAME.out.
void expect_transcript(const ScenarioFolder& folder, const std::string& name) {
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / (name + ".txt"));
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / (name + ".out")));
  EXPECT_EQ(r.err, "");
}

// Acts out a script that shows Form4's layout more than once, and expects
// every layout it shows to be the first one; returns that one.
std::string expect_repeated_layout(const ScenarioFolder& folder, const std::string& name) {
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / (name + ".txt"));
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / (name + ".out")));
  const std::string first = r.out.substr(0, r.out.find("Form4 layout =", 1));
  EXPECT_EQ(r.out.substr(first.size()), first + "END\n");
  return first;
}

}  // namespace

TEST(ArbitraryScenario, NewCalculationFromANetexportExportIsImportedAndStored) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "arbitrary.txt");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / "arbitrary.out"));
  EXPECT_EQ(r.err, "");
  // Stored as calculation 5: the network data file is the export's body.
  const std::wstring exported = folder.get("export/sklad.ko2");
  const std::wstring body = exported.substr(exported.find(L"24/07"));
  EXPECT_EQ(folder.get("perform/5in.prr"), body);
  EXPECT_EQ(folder.get("perform/5.kms"), folder.get("export/sklad.kms"));
  EXPECT_NE(folder.get("prr.kat").find(L"5-T\r\n24/07\r\nСклад «Восток»\r\n"), std::wstring::npos);
  EXPECT_FALSE(folder.has("rezult.ko2"));
}

TEST(ArbitraryScenario, NewCalculationIsComputedStoredAndReopenedWithItsResults) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "arbitrary_run.txt");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / "arbitrary_run.out"));
  EXPECT_EQ(r.err, "");
  // The stored calculation carries the run: its record ends with the
  // results, its report is the run's.
  const std::wstring record = folder.get("perform/5in.prr");
  EXPECT_NE(record.find(L"#####4\r\n 12.42\r\n 29.43\r\n 29.43\r\n1\r\n2\r\n"), std::wstring::npos);
  const std::wstring report = folder.get("perform/5res.prr");
  EXPECT_EQ(report.substr(0, report.find(L"\r\n")), L"          Программа ВИРН-Дорв 5.4.0");
  EXPECT_NE(report.find(L"*          Расход секции                         -  12.42 л/с"), std::wstring::npos);
}

TEST(ArbitraryScenario, AKFactorLongerThanAnyNumberIsRefusedAsTooLarge) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  expect_transcript(folder, "arbitrary_too_large");
  EXPECT_FALSE(folder.has("perform/5in.prr"));
}

TEST(ArbitraryScenario, AValveTypeNameOnASectionTakesTheSectionsSize) {
  ScenarioFolder folder;
  std::string description = dorv::read_bytes(NETEXPORT_EXAMPLE);
  const std::string valve = "0.0019 (УУСЗ-65)";
  description.replace(description.find(valve), valve.size(), "Узел управления спринклерный водозаполненный");
  ASSERT_TRUE(folder.export_example(description));
  expect_transcript(folder, "arbitrary_valve_name");
}

TEST(ArbitraryScenario, RunAsksForTheValuesItNeeds) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  expect_transcript(folder, "arbitrary_missing_values");
}

// Opened three times, the form shows the same layout: the group moves of one
// opening never add up with the next one's.
TEST(ArbitraryScenario, EveryOpeningLaysTheFormOutFromItsDesign) {
  ScenarioFolder folder;
  folder.put_graphics_link();  // 2-T keeps its drawing
  expect_repeated_layout(folder, "form4_layout");
}

TEST(ArbitraryScenario, ANewCalculationAfterAnOpenedOneStartsFromAnEmptyForm) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  expect_transcript(folder, "arbitrary_new_after_open");
}

TEST(ArbitraryScenario, EditedInputIsOfferedForStoringWithoutARun) {
  ScenarioFolder folder;
  folder.put_graphics_link();
  expect_transcript(folder, "arbitrary_edit_close");
  // The edit reaches the record's head line; the last run's report stays.
  EXPECT_EQ(dorv::split_lines(folder.get("perform/2in.prr"))[3], L"10");
  EXPECT_EQ(folder.get("perform/2res.prr"),
            dorv::from_cp1251(dorv::read_bytes(fs::path(DORV_EXAMPLES_DIR) / "2res.prr")));
}

// Values asked for at "Пуск" are the form's from then on: calculation 5,
// whose export lacks the main sprinklers' values, is shown, computed,
// reported and stored as calculation 6, the same network exported with them.
TEST(ArbitraryScenario, ValuesAskedForAtTheRunAreTheFormsValues) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example(
      "contract 34/2\nobject Одна секция\nmain 0.08 12 0.47\nstandard ГОСТ 10704-91\nvalve 0.0019 (УУСЗ-65)\n"
      "node 1 0 100 0\nnode 2 0 60 4\nnode 3 30 60 4\npipe 1 2 4.5 65\npipe 2 3 3 50\noutlet 3 main\nfeed 1\n"
      "control 1 2\n"));
  const fs::path exports = folder.dir() / "export";
  for (const std::string ext : {".ko2", ".kms", ".dwg"}) fs::copy_file(exports / ("sklad" + ext), exports / ("given" + ext));
  std::vector<std::wstring> exported = dorv::split_lines(folder.get("export/sklad.ko2"));
  ASSERT_EQ(exported[5], L"0.08");  // head line 3, after the export's three header lines
  for (std::size_t line = 5; line <= 7; ++line) exported[line].clear();
  folder.put("export/sklad.ko2", dorv::join_lines(exported));
  expect_transcript(folder, "arbitrary_asked_values");

  const auto asked = dorv::split_lines(folder.get("perform/5res.prr"));
  auto given = dorv::split_lines(folder.get("perform/6res.prr"));
  ASSERT_EQ(asked.size(), 60u);
  EXPECT_NE(std::find(asked.begin(), asked.end(), L"          Основные спринклеры"), asked.end());
  ASSERT_EQ(given.size(), asked.size());
  given[2] = asked[2];  // the calculation's number
  EXPECT_EQ(asked, given);
  const auto record = dorv::split_lines(folder.get("perform/5in.prr"));
  EXPECT_EQ(std::vector<std::wstring>(record.begin() + 2, record.begin() + 5),
            (std::vector<std::wstring>{L" 0.08", L" 12", L" 0.6"}));
  EXPECT_EQ(record, dorv::split_lines(folder.get("perform/6in.prr")));
}

TEST(ArbitraryScenario, FieldValuesAreReadAsTheGridFormReadsThemAndShownAsComputed) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  expect_transcript(folder, "arbitrary_field_values");
}

// A new calculation shows every outlet group at its design row, whatever
// the network opened before it held.
TEST(ArbitraryScenario, ANewCalculationShowsAllFourGroupsAtTheirDesignRows) {
  ScenarioFolder folder;
  folder.put_graphics_link();  // 2-T keeps its drawing
  const std::string first = expect_repeated_layout(folder, "form4_new_after_network");
  for (const char* row : {"Label11 480 2040", "Label14 480 3360", "Label12 480 4680", "Label13 480 5520"})
    EXPECT_NE(first.find(row), std::string::npos) << row;
}
