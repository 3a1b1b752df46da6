// What the register and its forms do when stored files are damaged or the
// disk refuses a write: each is told to the user, and nothing stored is lost
// or left half-written.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>

#include "register/catalog.h"
#include "tests/scenario/runner.h"
#include "tests/scenario/scenario.h"

namespace {

using dorv::scenario_test::quick_folder;
using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

bool has_line(const std::string& out, const std::string& line) { return out.find(line + "\n") != std::string::npos; }

TEST(StorageFaults, ADamagedCatalogIsKeptAsideAndMadeAnewFromTheStoredCalculations) {
  struct Case {
    const char* what;
    std::size_t keep;      // bytes of the example catalog kept, 0: the whole
    const char* removed;   // a record taken out of the whole catalog
    std::string reason;
  };
  const Case cases[] = {
      {"cut inside its second record", 60, "", "файл оборван внутри записи"},
      {"without stored calculations 3 and 4", 0, "3-R", "в нем нет сохраненных расчетов с номерами 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScenarioFolder folder;
    ASSERT_EQ(folder.run("show Form1.ListView1\n").exit_code, 0);
    std::string catalog = dorv::read_bytes(folder.dir() / "prr.kat");
    if (c.keep) catalog.resize(c.keep);
    if (*c.removed) {
      const std::size_t at = catalog.find(c.removed);
      const std::size_t start = catalog.rfind("\r\n", at) + 2;
      std::size_t end = start;
      for (int i = 0; i < 3; ++i) end = catalog.find("\r\n", end) + 2;
      catalog.erase(start, end - start);
    }
    dorv::write_bytes(folder.dir() / "prr.kat", catalog);
    const auto r = folder.run("answer OK\nshow Form1.ListView1\n");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, "MSGBOX Сообщение | Перечень расчетов prr.kat поврежден (" + c.reason +
                         ") и составлен заново по сохраненным расчетам. Поврежденный перечень сохранен в файле "
                         "prr-damaged.kat. | OK -> OK\n"
                         "Form1.ListView1 =\n"
                         "    1-R | 17/05-1 | Склад готовой продукции\n"
                         "    2-T | 18/02 | Торговый центр «Северный»\n"
                         "    3-R | 21/11 | Административное здание\n"
                         "    4-R | 22/04 | Склад\n"
                         "END\n");
    EXPECT_EQ(dorv::read_bytes(folder.dir() / "prr-damaged.kat"), catalog);
    // The start's copy of the catalog is of the whole one, not the damage.
    EXPECT_EQ(folder.get("prr2.kat").substr(0, 5), L" 1-R\r");
  }
}

TEST(StorageFaults, AFullDiskIsToldAtTheImportAndAtTheSaveAndStoresNothingHalf) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  // The limit holds for the transcript too: it stays short while the limit
  // is in force. The export and the network data file are about 1100 bytes.
  const auto r = folder.run(
      // No room for the export's copy: told, the kind dialog stays.
      "file-size-limit 1000\nclick Form1.Command2\nclick Form5.Option2\nopenfile export/sklad.ko2\nanswer OK\n"
      "click Form5.Command1\n"
      // Room again: imported; no room for the stored files on saving.
      "file-size-limit off\nopenfile export/sklad.ko2\nclick Form5.Command1\n"
      "file-size-limit 1000\nanswer Yes\nanswer OK\nclick Form4.Command3\nfile-size-limit off\nshow Form1.ListView1\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(has_line(r.out,
                       "MSGBOX Сообщение | Данные не загружены. Не удалось записать файл «rezult.ko2»: файл слишком "
                       "велик. | OK -> OK"))
      << r.out;
  EXPECT_TRUE(has_line(r.out,
                       "MSGBOX Сообщение | Не удалось сохранить расчет 5-T. Не удалось записать файл "
                       "«perform\\5in.prr»: файл слишком велик. Сохраненные ранее файлы расчета и перечень расчетов "
                       "не изменены. | OK -> OK"))
      << r.out;
  // Nothing of calculation 5 is stored or listed, no copy is left half-made,
  // and its number is free again.
  for (const auto& e : fs::directory_iterator(folder.dir() / "perform")) {
    const std::string name = e.path().filename().string();
    EXPECT_TRUE(name[0] != '5' && name[0] != '.') << name;
  }
  EXPECT_EQ(folder.get("prr.kat").find(L"5-T"), std::wstring::npos);
  EXPECT_EQ(r.out.substr(r.out.rfind("Form1.ListView1 =")).find("5-T"), std::string::npos);
}

// What a restart shows of one calculation: its stored files in perform and
// in the mirror, its catalog record, and any hidden file a save left there.
struct StoredState {
  std::map<std::string, std::string> perform, mirror;
  std::wstring record;
  std::vector<std::string> hidden;
  bool operator==(const StoredState&) const = default;
};

StoredState stored_state(const ScenarioFolder& folder, int n) {
  StoredState state;
  const std::string number = std::to_string(n);
  for (const char* suffix : {"in.prr", "res.prr", ".kms", ".dwg", "angl.txt"}) {
    if (auto bytes = dorv::try_read_bytes(folder.dir() / "perform" / (number + suffix))) state.perform[suffix] = *bytes;
    if (auto bytes = dorv::try_read_bytes(folder.mirror() / (number + suffix))) state.mirror[suffix] = *bytes;
  }
  for (const auto& r : dorv::reg::read_catalog(dorv::from_utf8((folder.dir() / "prr.kat").string())))
    if (dorv::reg::calc_number(r.id) == n) state.record += r.id + L"|" + r.contract + L"|" + r.object;
  for (const fs::path& place : {folder.dir(), folder.dir() / "perform", folder.mirror()})
    for (const auto& e : fs::directory_iterator(place))
      if (e.path().filename().string()[0] == '.') state.hidden.push_back(e.path().string());
  return state;
}

TEST(StorageFaults, ASaveStoppedAfterAnyOfItsStepsLeavesTheCalculationWhollyOldOrWhollyNewAfterARestart) {
  struct Case {
    const char* what;
    std::string before;  // the script up to the save
    std::string save;    // the action that saves
    int n;
    int steps;  // each file written, each journal, each rename, each journal removed
  };
  const Case cases[] = {
      // Input record, report and English name; the grid form stores them in
      // perform alone.
      {"an opened grid calculation", "select Form1.ListView1 1-R\nclick Form1.Command1\ntype Form2.Text3 Склад сырья\n",
       "answer Yes\nclick Form2.Command3\n", 1, 3 + 1 + 3 + 1},
      // A new network holds its number by its empty input file until it is
      // stored; its five files go to perform and to the mirror.
      {"a new network",
       "click Form1.Command2\nclick Form5.Option2\nopenfile export/sklad.ko2\nclick Form5.Command1\n"
       "type Form4.Text3 Новый склад\n",
       "answer Yes\nclick Form4.Command3\n", 5, 5 * 2 + 2 + 5 * 2 + 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // The examples unpacked and mirrored, and a network export.
    ScenarioFolder started(true, quick_folder());
    started.use_mirror();
    ASSERT_TRUE(started.export_example());
    ASSERT_EQ(started.run("show Form1.ListView1\n").exit_code, 0);
    // The calculation saved to its end, and stopped at its first step: what
    // a restart must find after any other stop.
    const auto after = [&](int stop) {
      auto folder = std::make_unique<ScenarioFolder>(false, quick_folder());
      folder->copy_from(started);
      const auto r =
          folder->run(c.before + (stop ? "stop-after-save-step " + std::to_string(stop) + "\n" : "") + c.save);
      // The crash left the register's lock file; the user deletes it, as
      // the box of the next save would ask.
      fs::remove(folder->dir() / "prr.lck");
      const auto restart = folder->run("show Form1.ListView1\n");
      EXPECT_EQ(restart.exit_code, 0) << restart.err;
      EXPECT_EQ(restart.out.find("MSGBOX"), std::string::npos) << restart.out;
      return std::pair{r.exit_code, stored_state(*folder, c.n)};
    };
    const auto [saved, whole_new] = after(0);
    const auto [stopped, whole_old] = after(1);
    ASSERT_EQ(saved, 0);
    ASSERT_EQ(stopped, dorv::scenario::kStoppedInSave);
    EXPECT_NE(whole_new.perform, whole_old.perform);
    if (c.n == 5) {
      EXPECT_EQ(whole_new.perform, whole_new.mirror);
    }
    EXPECT_TRUE(whole_old.hidden.empty() && whole_new.hidden.empty());
    int steps = 1;
    for (int stop = 2;; ++stop) {
      SCOPED_TRACE("stopped after step " + std::to_string(stop));
      const auto [exit_code, state] = after(stop);
      if (exit_code == 0) break;
      ASSERT_EQ(exit_code, dorv::scenario::kStoppedInSave);
      steps = stop;
      EXPECT_TRUE(state == whole_old || state == whole_new) << state.hidden.size();
    }
    EXPECT_EQ(steps, c.steps);
  }
}

TEST(StorageFaults, ACutNetworkRecordIsToldAsDamagedNamingItsFile) {
  ScenarioFolder folder;
  folder.put("dorv54.lsp", L"(load)\r\n");
  ASSERT_EQ(folder.run("show Form1.ListView1\n").exit_code, 0);
  std::string record = dorv::read_bytes(folder.dir() / "perform/2in.prr");
  record.resize(record.size() / 2 + 3);
  dorv::write_bytes(folder.dir() / "perform/2in.prr", record);
  const auto r = folder.run("select Form1.ListView1 2-T\nanswer OK\nclick Form1.Command1\nclick Form4.Command3\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "MSGBOX Сообщение | Файл исходных данных расчета perform\\2in.prr поврежден: файл оборван. Данные расчета "
            "не загружены; сохраненные файлы расчета не изменены. | OK -> OK\nEND\n");
  EXPECT_EQ(dorv::read_bytes(folder.dir() / "perform/2in.prr"), record);
}

TEST(StorageFaults, CharactersTheFilesCannotHoldAreToldByField) {
  ScenarioFolder folder;
  const auto r = folder.run(
      "select Form1.ListView1 1-R\nclick Form1.Command1\ntype Form2.Text3 Склад ≥ 5 т\ntype Form2.Text8 17/05 ✓\n"
      "answer Yes\nanswer OK\nclick Form2.Command3\nshow Form1.ListView1\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(has_line(r.out,
                       "MSGBOX Сообщение | Эти знаки не могут быть сохранены в файлах расчета 1-R и сохраняются как "
                       "«?»:\\nполе «Договор №»: ✓\\nполе «Объект»: ≥ | OK -> OK"))
      << r.out;
}

TEST(StorageFaults, TheGridFormNamesACommandFileThatCannotBeStarted) {
  ScenarioFolder folder(false);
  fs::remove(folder.dir() / "prom1.bat");
  // The new grid calculation of the prom1.bat run, up to its "Пуск".
  std::ifstream in(fs::path(DORV_SCRIPTS_DIR) / "grid_run_prom1.txt");
  std::string script;
  for (std::string line; std::getline(in, line);) {
    script += line + "\n";
    if (line == "answer Yes") script += "answer OK\n";
    if (line == "click Form2.Command1") break;
  }
  const auto r = folder.run(script);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_TRUE(has_line(r.out,
                       "MSGBOX Остановка расчета из-за ошибки | Не удается запустить командный файл prom1.bat. "
                       "Расчет не выполнен. | OK -> OK"))
      << r.out;
}

}  // namespace
