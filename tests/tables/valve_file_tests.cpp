// The valve file: a valve's size lines and the size chosen for a pipe.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "tables/valve_file.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace {

using namespace dorv::tables;

TEST(ValveFile, ChoosesTheSizeOfTheControlUnitPipe) {
  const auto lines = dorv::read_lines(std::filesystem::path(DORV_DATA_DIR) / "klap.inf");
  const std::wstring water = L"Узел управления спринклерный водозаполненный";
  const std::vector<std::tuple<std::wstring, double, std::wstring>> cases{
      {water, 65, L"0.0019 (УУСЗ-65)"},    // the equal size
      {water, 70, L"0.00081 (УУСЗ-80)"},   // the next larger
      {water, 40, L"0.0053 (УУСЗ-50)"},    // below the smallest
      {water, 250, L"0.000021 (УУСЗ-200)"},  // above the largest
      {L"Узел управления спринклерный воздушный", 50, L"0.0025 (УУСВ-65)"},
      {L"Узел управления дренчерный", 300, L"0.000023 (УУД-200)"},  // the last block of the file
  };
  for (const auto& [valve, dn, line] : cases) {
    const auto sizes = valve_sizes(lines, valve);
    ASSERT_TRUE(sizes) << dorv::to_utf8(valve);
    EXPECT_EQ(choose_valve_size(*sizes, dn), line) << dn;
  }
  EXPECT_EQ(valve_sizes(lines, L"Узел неизвестный"), std::nullopt);
  EXPECT_EQ(valve_sizes(lines, water.substr(1)), std::nullopt);  // the whole line only
}

// A valve's block ends at the first line whose size is not above 0, and a
// size without a coefficient is no size to take.
TEST(ValveFile, BlocksEndAtTheFirstLineWithoutASize) {
  const std::vector<std::wstring> lines = {
      L"Клапан А", L"0.005 (КА-50)", L"0.002 (КА-80)", L"0.001 (КА--100)",  // a size below 0 ends the block
      L"Клапан Б", L"Клапан В", L"(КВ-65)",                                 // no size; no coefficient
      L"Клапан Г"};
  const std::vector<std::tuple<std::wstring, double, std::optional<std::wstring>>> cases{
      {L"Клапан А", 80, L"0.002 (КА-80)"},
      {L"Клапан А", 100, L"0.002 (КА-80)"},
      {L"Клапан Б", 50, std::nullopt},
      {L"Клапан В", 65, std::nullopt},
      {L"Клапан Г", 50, std::nullopt},  // a name as the file's last line
  };
  for (const auto& [valve, dn, line] : cases) {
    const auto sizes = valve_sizes(lines, valve);
    ASSERT_TRUE(sizes) << dorv::to_utf8(valve);
    EXPECT_EQ(choose_valve_size(*sizes, dn), line) << dorv::to_utf8(valve) << " " << dn;
  }
  EXPECT_EQ(valve_sizes(lines, L"Клапан А")->size(), 2u);
}

// The form lists every line without a leading number, the closing "0" too;
// a valve chosen by name is taken only with sizes that all have a coefficient.
TEST(ValveFile, NamesAndValvesWithTheirCoefficients) {
  const auto shipped = dorv::read_lines(std::filesystem::path(DORV_DATA_DIR) / "klap.inf");
  EXPECT_EQ(valve_names(shipped), (std::vector<std::wstring>{L"Узел управления спринклерный водозаполненный",
                                                             L"Узел управления спринклерный воздушный",
                                                             L"Узел управления дренчерный", L"0"}));
  const std::vector<std::wstring> lines = {
      L"Клапан А", L"0.005 (КА-50)", L"0.002 (КА-80)",  //
      L"Клапан Б", L"0.004 (КБ-50)", L"0 (КБ-65)",      // a size without a coefficient
      L"Клапан В",                                      // no sizes
      L"Клапан Г", L"(КГ-65)", L"0"};
  EXPECT_EQ(valve_names(lines), (std::vector<std::wstring>{L"Клапан А", L"Клапан Б", L"0 (КБ-65)", L"Клапан В",
                                                           L"Клапан Г", L"(КГ-65)", L"0"}));
  const std::vector<std::pair<std::wstring, bool>> cases{
      {L"Клапан А", true}, {L"Клапан Б", false}, {L"Клапан В", false},
      {L"Клапан Г", false}, {L"Клапан Д", false}, {L"", false},
  };
  for (const auto& [valve, taken] : cases)
    EXPECT_EQ(valve_has_coefficients(lines, valve), taken) << dorv::to_utf8(valve);
}

}  // namespace
