// The scenario runner on the register: a script with its expected transcript,
// the runner's exit codes for a box with no answer and a script error, and a
// file error inside a procedure told in one box while the run goes on.
#include <gtest/gtest.h>

#include <functional>

#include "tests/scenario/scenario.h"

namespace {

using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

std::string expected(const std::string& name) {
  return dorv::read_bytes(fs::path(DORV_SCRIPTS_DIR) / name);
}

TEST(ScenarioRunner, ActsOutTheRegisterScript) {
  ScenarioFolder folder;
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "register.txt");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, expected("register.out"));
  EXPECT_EQ(r.err, "");
  // What the script did is in the files too.
  EXPECT_FALSE(folder.has("perform/1in.prr"));
  EXPECT_EQ(folder.get("sign.txt"), L"Петров П.П.\r\n");
  EXPECT_EQ(folder.get("prr.kat"), L"2-T\r\n18/02\r\nТорговый центр «Северный»\r\n 3-R\r\n21/11\r\nАдминистративное здание\r\n"
                                   L" 4-R\r\n22/04\r\nСклад\r\n");
}

TEST(ScenarioRunner, OpensAStoredGridCalculationTypesAFieldAndSavesIt) {
  ScenarioFolder folder;
  const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / "grid_open_save.txt");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, expected("grid_open_save.out"));
  // The input record as the form stored it: the typed intensity with its
  // comma turned into a point, the free head computed from it, the fields
  // that the refused run had completed as it left them, no results.
  EXPECT_EQ(folder.get("perform/1in.prr"),
            L" 1-R\r\nСклад готовой продукции\r\n3.67\r\n0.47\r\n36 (4 оросит.)\r\n3\r\n4\r\nнет\r\nнет\r\n3\r\n"
            L"3\r\nнет\r\nнет\r\n25\r\n40\r\n40\r\nнет\r\nнет\r\n6\r\nнет\r\n0.1\r\nГОСТ 10704-91\r\n0.0019 (УУСЗ-65)\r\n"
            L"Узел управления спринклерный водозаполненный\r\n10d50,25d65\r\n 12.24\r\n 4.38\r\n 0\r\n\r\n\r\n\r\n"
            L"\r\n");
  EXPECT_EQ(folder.get("prr.kat"), L"2-T\r\n18/02\r\nТорговый центр «Северный»\r\n 3-R\r\n21/11\r\nАдминистративное "
                                   L"здание\r\n 4-R\r\n22/04\r\nСклад\r\n 1-R\r\n17/05-1\r\nСклад готовой продукции\r\n");
  // The working files are gone once the register is back.
  EXPECT_FALSE(folder.has("rezult2.txt"));
  EXPECT_FALSE(folder.has("rezres.txt"));
}

TEST(ScenarioRunner, ClosingAGridWithoutARunKeepsWhatIsStoredUnderItsOwnNumber) {
  struct Case {
    const char* script;
    std::function<void(const ScenarioFolder&)> before;
  };
  const Case cases[] = {
      // Reopened and saved unchanged under another number typed in the
      // number field.
      {"grid_close_unrun", [](const ScenarioFolder&) {}},
      // A new grid whose record cannot be written.
      {"grid_close_unwritable",
       [](const ScenarioFolder& folder) { fs::create_directory(folder.dir() / "rezult2.txt"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    ScenarioFolder folder;
    ASSERT_EQ(folder.run("show Form1\n").exit_code, 0);  // the example pack unpacked
    const std::wstring catalog = folder.get("prr.kat");
    const std::wstring computed = folder.get("perform/3in.prr");
    c.before(folder);
    const auto r = folder.run_file(fs::path(DORV_SCRIPTS_DIR) / (std::string(c.script) + ".txt"));
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, expected(std::string(c.script) + ".out"));
    // The stored record keeps its own number and its results, the other
    // calculation's catalog entry is untouched; the saved one moved to the end.
    EXPECT_EQ(folder.get("perform/3in.prr"), computed);
    const std::wstring own = L" 3-R\r\n21/11\r\nАдминистративное здание\r\n";
    EXPECT_EQ(folder.get("prr.kat"),
              c.script == std::string("grid_close_unrun") ? catalog.substr(0, catalog.find(own)) +
                                                              catalog.substr(catalog.find(own) + own.size()) + own
                                                        : catalog);
    EXPECT_FALSE(folder.has("perform/5in.prr"));
  }
}

TEST(ScenarioRunner, ExitCodes) {
  struct Case {
    const char* what;
    std::string script;
    int exit_code;
    std::string out;
    std::string err_part;
  };
  const Case cases[] = {
      {"a box with no answer queued", "select Form1.ListView1 3-R\nclick Form1.Command5\n", 3,
       "MSGBOX Удаление расчета | Вы действительно хотите удалить из списка расчет N 3-R со всеми его данными? | "
       "Yes/No -> ?\n",
       "line 2: no answer is queued"},
      {"an answer that is no button of the box", "answer OK\nselect Form1.ListView1 3-R\nclick Form1.Command5\n", 3,
       "MSGBOX Удаление расчета | Вы действительно хотите удалить из списка расчет N 3-R со всеми его данными? | "
       "Yes/No -> ?\n",
       "not a button"},
      {"an unknown action", "# nothing yet\npress Form1.Command1\n", 4, "", "line 2: unknown action \"press\""},
      {"an unknown form", "click Form9.Command1\n", 4, "", "no open form is named Form9"},
      {"an unknown control", "click Form1.Command9\n", 4, "", "form Form1 has no control Command9"},
      {"an unknown item", "select Form1.ListView1 77-R\n", 4, "", "no item \"77-R\""},
      {"a control that cannot be used now", "click Form1.Command2\nclick Form1.Command1\n", 4, "",
       "Form1.Command1 cannot be used now"},
      {"an action after the program ended", "click Form1.Command3\nshow Form1.ListView1\n", 4, "",
       "the program has ended"},
      {"an unknown answer", "answer Maybe\n", 4, "", "unknown answer \"Maybe\""},
      {"a click on a window that is not shown", "select Form1.ListView1 3-R\nclick Form1.Command1\nclick Form1.Command3\n",
       4, "", "line 3: Form1.Command3 cannot be used now: form Form1 is not shown"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScenarioFolder folder;
    const auto r = folder.run(c.script);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_NE(r.err.find(c.err_part), std::string::npos) << r.err;
  }
}

TEST(ScenarioRunner, AFormsNameAloneShowsWhetherItIsOnTheScreen) {
  ScenarioFolder folder;
  const auto r = folder.run(
      "show Form1\nselect Form1.ListView1 3-R\nclick Form1.Command1\nshow Form1\nshow Form2\nshow Form9\n"
      "answer No\nclick Form2.Command3\nshow Form2\nshow Form1\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "Form1 = shown\nForm1 = hidden\nForm2 = shown\nForm9 = not loaded\n"
            "MSGBOX Сохранение исходных данных | Расчет не выполнялся. Сохранить исходные данные? | Yes/No -> No\n"
            "Form2 = not loaded\nForm1 = shown\nEND\n");
}

TEST(ScenarioRunner, AFileErrorInAProcedureIsOneRussianBoxAndTheRunGoesOn) {
  // The executor's name cannot be written where a folder takes its name.
  ScenarioFolder folder;
  fs::remove(folder.dir() / "sign.txt");
  fs::create_directory(folder.dir() / "sign.txt");
  const auto r = folder.run("input Иванов И.И.\nanswer OK\nshow Form1.ListView1\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  // The start-up goes on: the examples are unpacked and listed.
  EXPECT_EQ(r.out,
            "INPUTBOX Исполнитель | Укажите инициалы и фамилию исполнителя расчетов на Вашем компьютере -> Иванов "
            "И.И.\nMSGBOX Сообщение | Не удалось записать файл «sign.txt»: на этом месте находится папка. | OK -> OK\n"
            "Form1.ListView1 =\n"
            "    1-R | 17/05-1 | Склад готовой продукции\n"
            "    2-T | 18/02 | Торговый центр «Северный»\n"
            "    3-R | 21/11 | Административное здание\n"
            "    4-R | 22/04 | Склад\n"
            "END\n");
  EXPECT_TRUE(fs::is_directory(folder.dir() / "sign.txt"));
}

TEST(ScenarioRunner, StartUpBoxesTakeTheAnswersQueuedBeforeTheFirstAction) {
  ScenarioFolder folder;
  fs::remove(folder.dir() / "sign.txt");
  const auto r = folder.run("input Сидоров С.С.\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "INPUTBOX Исполнитель | Укажите инициалы и фамилию исполнителя расчетов на Вашем компьютере -> Сидоров "
            "С.С.\nEND\n");
  EXPECT_EQ(folder.get("sign.txt"), L"Сидоров С.С.\r\n");
}

#ifdef DORV_SCENARIO_PDF
// "pdf PATH" waits for the next print job; a run that prints none says so.
TEST(ScenarioRunner, PdfThatNoPrintJobWrote) {
  ScenarioFolder folder;
  const auto r = folder.run("pdf report.pdf\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "END\n");
  EXPECT_NE(r.err.find("a PDF that no print job wrote"), std::string::npos) << r.err;
  EXPECT_FALSE(folder.has("report.pdf"));
}
#endif

}  // namespace
