// Two workstations on one shared register folder (ined1), each a run of
// dorv-scenario in its own program folder, doing the same thing at the same
// moment round after round: new calculations stored, and stored ones renamed.
// Nothing one of them stores may be lost or overwritten by the other. The
// folders lie in memory (quick_folder), as quick as a shared folder on the
// network.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <map>
#include <set>

#include "register/catalog.h"
#include "tests/scenario/scenario.h"

namespace {

using dorv::scenario_test::quick_folder;
using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

class SharedRegister : public ::testing::Test {
 protected:
  void SetUp() override {
    shared_ = a_.dir().parent_path() / "shared";
    sync_ = a_.dir().parent_path() / "sync";
    fs::create_directories(shared_ / "perform");
    fs::create_directories(sync_);
    for (const ScenarioFolder* w : {&a_, &b_}) w->put("ined1", dorv::from_utf8(shared_.string()) + L"/\r\n");
  }
  void TearDown() override { fs::remove_all(shared_); }

  void put_shared(const std::string& name, std::wstring_view text) const {
    dorv::write_bytes(shared_ / name, dorv::to_cp1251(text));
  }
  std::vector<dorv::reg::CatalogRecord> catalog() const {
    return dorv::reg::parse_catalog(
        dorv::split_lines(dorv::from_cp1251(dorv::try_read_bytes(shared_ / "prr.kat").value_or(""))));
  }

  // Both workstations act out their scripts at once; a round's steps wait
  // for the other workstation at the points named "meet NAME".
  void run_both(const std::string& a_script, const std::string& b_script) {
    const auto script_of = [this](const std::string& text, const char* me, const char* other) {
      std::string out;
      std::istringstream in(text);
      for (std::string line; std::getline(in, line);) {
        if (line.rfind("meet ", 0) == 0) {
          const std::string name = line.substr(5);
          out += "touch " + (sync_ / (std::string(me) + name)).string() + "\n";
          out += "await " + (sync_ / (std::string(other) + name)).string() + "\n";
        } else {
          out += line + "\n";
        }
      }
      return out;
    };
    auto first = std::async(std::launch::async, [&] { return a_.run(script_of(a_script, "a-", "b-")); });
    auto second = std::async(std::launch::async, [&] { return b_.run(script_of(b_script, "b-", "a-")); });
    const auto ra = first.get(), rb = second.get();
    EXPECT_EQ(ra.exit_code, 0) << ra.err << ra.out.substr(ra.out.size() > 2000 ? ra.out.size() - 2000 : 0);
    EXPECT_EQ(rb.exit_code, 0) << rb.err << rb.out.substr(rb.out.size() > 2000 ? rb.out.size() - 2000 : 0);
    EXPECT_EQ(ra.err + rb.err, "");
  }

  ScenarioFolder a_{false, quick_folder()}, b_{false, quick_folder()};
  fs::path shared_, sync_;
};

TEST_F(SharedRegister, NewCalculationsStoredAtTheSameMomentAllKeepTheirNumbersAndFiles) {
  constexpr int kRounds = 50;
  put_shared("prr.kat", L"");
  ASSERT_TRUE(a_.export_example());
  ASSERT_TRUE(b_.export_example());
  const auto script = [](const std::string& me) {
    std::string s;
    for (int k = 1; k <= kRounds; ++k) {
      const std::string round = std::to_string(k);
      s += "meet new" + round + "\nclick Form1.Command2\nclick Form5.Option2\nopenfile export/sklad.ko2\n"
           "click Form5.Command1\ntype Form4.Text3 " + me + round + "\nanswer Yes\n"
           "meet save" + round + "\nclick Form4.Command3\n";
    }
    return s;
  };
  run_both(script("a"), script("b"));

  // Every save kept: one record per calculation, each under its own number,
  // and that number's stored data file is the one its record names.
  const auto records = catalog();
  std::set<std::wstring> objects;
  std::set<long long> numbers;
  for (const auto& r : records) {
    objects.insert(r.object);
    numbers.insert(dorv::reg::calc_number(r.id));
    EXPECT_TRUE(fs::file_size(shared_ / "perform" / (std::to_string(dorv::reg::calc_number(r.id)) + "in.prr")) > 0)
        << dorv::to_utf8(r.id);
  }
  const std::size_t kept = std::min(objects.size(), numbers.size());
  RecordProperty("saves_lost", static_cast<int>(2 * kRounds - kept));
  EXPECT_EQ(records.size(), 2u * kRounds);
  EXPECT_EQ(objects.size(), 2u * kRounds);
  EXPECT_EQ(numbers.size(), 2u * kRounds);
  EXPECT_EQ(dorv::from_cp1251(dorv::try_read_bytes(shared_ / "ined").value_or("")),
            L" " + std::to_wstring(2 * kRounds) + L"\r\n");
  EXPECT_FALSE(fs::exists(shared_ / "prr.lck"));
}

TEST_F(SharedRegister, CalculationsRenamedAtTheSameMomentAllKeepTheirNewNames) {
  constexpr int kRounds = 40;
  // Grid calculations 1 to 80: the first workstation renames the odd ones,
  // the second the even ones, one each per round.
  const std::wstring input = dorv::from_cp1251(dorv::read_bytes(fs::path(DORV_EXAMPLES_DIR) / "1in.prr"));
  const std::string report = dorv::read_bytes(fs::path(DORV_EXAMPLES_DIR) / "1res.prr");
  std::wstring kat;
  for (int n = 1; n <= 2 * kRounds; ++n) {
    const std::wstring id = L" " + std::to_wstring(n) + L"-R";
    put_shared("perform/" + std::to_string(n) + "in.prr", id + input.substr(input.find(L"\r\n")));
    dorv::write_bytes(shared_ / "perform" / (std::to_string(n) + "res.prr"), report);
    kat += id + L"\r\n17/05-1\r\nСклад готовой продукции\r\n";
  }
  put_shared("prr.kat", kat);
  put_shared("ined", L" 80\r\n");
  const auto script = [](int parity, const std::string& me) {
    std::string s;
    for (int k = 1; k <= kRounds; ++k) {
      const std::string round = std::to_string(k);
      s += "select Form1.ListView1 " + std::to_string(2 * k - 1 + parity) + "-R\nclick Form1.Command1\n"
           "type Form2.Text3 " + me + round + "\nanswer Yes\nmeet rename" + round + "\nclick Form2.Command3\n";
    }
    return s;
  };
  run_both(script(0, "a"), script(1, "b"));

  const auto records = catalog();
  std::map<long long, std::wstring> names;
  for (const auto& r : records) names[dorv::reg::calc_number(r.id)] = r.object;
  int lost = 0;
  for (int n = 1; n <= 2 * kRounds; ++n) {
    const std::wstring expected = (n % 2 ? L"a" : L"b") + std::to_wstring((n + 1) / 2);
    if (names[n] != expected) ++lost;
    EXPECT_EQ(names[n], expected) << n;
  }
  RecordProperty("renames_lost", lost);
  EXPECT_EQ(records.size(), 2u * kRounds);
}

}  // namespace
