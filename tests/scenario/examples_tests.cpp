// The example pack through the whole program: a first start in an empty
// program folder unpacks and lists the example calculations, and each grid
// example, opened and computed again with the solvers, gives the results it
// was stored with and writes the report the pack holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "tests/scenario/scenario.h"

namespace {

using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

// The values the transcript shows for a control, in the order shown.
std::vector<std::string> shown(const std::string& out, const std::string& control) {
  std::istringstream in(out);
  std::vector<std::string> values;
  const std::string key = control + " = ";
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key, 0) == 0) values.push_back(line.substr(key.size()));
  return values;
}

TEST(ExampleScenario, GridExamplesRecalculateToTheirStoredResultsAndReports) {
  // The grid relaxation's random order as the pack was made with.
  ::setenv("GRIDSOLVE_SEED", "1", 1);
  ScenarioFolder folder;
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "examples.txt");
  ::unsetenv("GRIDSOLVE_SEED");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("Form2.")),
            "Form1.ListView1 =\n"
            "    1-R | 17/05-1 | Склад готовой продукции\n"
            "    2-T | 18/02 | Торговый центр «Северный»\n"
            "    3-R | 21/11 | Административное здание\n"
            "    4-R | 22/04 | Склад\n");
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    const std::string control = "Form2.Text5(" + std::to_string(k) + ")";
    const auto stored = shown(r.out, "Form2.Text6(" + std::to_string(k) + ")");
    const auto computed = shown(r.out, control);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(computed, stored);
    for (const auto& v : computed) EXPECT_NE(v, "");
  }
  for (const char* n : {"1", "3", "4"}) {
    SCOPED_TRACE(n);
    const std::string report = std::string(n) + "res.prr";
    EXPECT_EQ(dorv::read_bytes(folder.dir() / "perform" / report), dorv::read_bytes(fs::path(DORV_EXAMPLES_DIR) / report));
  }
}

}  // namespace
