// Input that would reach the stored files or the program folder where it
// does not belong: a line break typed into a field, a record of the other
// kind, a file name from a shared folder, a counter at its limit. Each is
// taken so that nothing stored is lost and nothing lands outside its folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/scenario/scenario.h"

namespace {

using dorv::scenario_test::ScenarioFolder;
namespace fs = std::filesystem;

bool has_line(const std::string& out, const std::string& line) { return out.find(line + "\n") != std::string::npos; }

// A user's path: a line break typed into the object of 1-R. The
// field takes it as a blank, so the stored record keeps its 32 lines and
// opens again with every field in its place; the same for the executor's
// name typed into its input box, and for the network form's object box,
// an editor of several lines, whose text the stored files get as one line.
TEST(UnsafeInput, ALineBreakTypedIntoAFieldNeverAddsALineToAStoredFile) {
  ScenarioFolder folder;
  ASSERT_TRUE(folder.export_example());
  const auto r = folder.run(
      "select Form1.ListView1 1-R\nclick Form1.Command1\ntype Form2.Text3 Склад\rВТОРАЯ СТРОКА\nshow Form2.Text3\n"
      "answer Yes\nclick Form2.Command3\n"
      "select Form1.ListView1 1-R\nclick Form1.Command1\nshow Form2.Text3\nshow Form2.Text1(0)\nshow Form2.Combo1(0)\n"
      "answer No\nclick Form2.Command3\n"
      "input Петров\rП.П.\nclick Form1.Command6\n"
      "click Form1.Command2\nclick Form5.Option2\nopenfile export/sklad.ko2\nclick Form5.Command1\n"
      "type Form4.Text3 Склад\rВТОРАЯ\nanswer Yes\nclick Form4.Command3\nshow Form1.ListView1\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  // The field shows the blank at once, and again when the record is opened.
  const std::string object = "Form2.Text3 = Склад ВТОРАЯ СТРОКА\n";
  const std::size_t shown = r.out.find(object);
  ASSERT_NE(shown, std::string::npos) << r.out;
  EXPECT_NE(r.out.find(object + "Form2.Text1(0) =  5\nForm2.Combo1(0) = ГОСТ 10704-91\n", shown + 1),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.substr(r.out.rfind("Form1.ListView1 =")),
            "Form1.ListView1 =\n"
            "    2-T | 18/02 | Торговый центр «Северный»\n"
            "    3-R | 21/11 | Административное здание\n"
            "    4-R | 22/04 | Склад\n"
            "    1-R | 17/05-1 | Склад ВТОРАЯ СТРОКА\n"
            "    5-T | 24/07 | Склад ВТОРАЯ\n"
            "END\n");
  const auto grid = dorv::split_lines(folder.get("perform/1in.prr"));
  ASSERT_EQ(grid.size(), 32u);
  EXPECT_EQ(grid[1], L"Склад ВТОРАЯ СТРОКА");
  EXPECT_EQ(dorv::split_lines(folder.get("perform/5in.prr"))[1], L"Склад ВТОРАЯ");
  EXPECT_EQ(folder.get("sign.txt"), L"Петров П.П.\r\n");
}

// A start that restores a missing perform folder from the all-users mirror
// copies the mirror's files under their own names, and only those: a file
// named "..\prom3.bat", or with bytes that an overlong decoding would read
// as "../", would otherwise replace the command file the program runs.
TEST(UnsafeInput, AMirrorFileWhoseNameIsNoSingleNameIsNotCopiedAndIsTold) {
  ScenarioFolder folder(false);
  fs::remove(folder.dir() / "nozapas.txt");
  const fs::path users = folder.dir().parent_path() / "users";
  const fs::path mirror = users / "VIRN-Dorv" / "Perform";
  fs::create_directories(mirror);
  const std::string stored = dorv::to_cp1251(L" 7-R\r\nБаня\r\n");
  dorv::write_bytes(mirror / "7in.prr", stored);
  dorv::write_bytes(mirror / "7res.prr", dorv::to_cp1251(L"          Договор: 9\r\n"));
  for (const char* name : {"..\\prom3.bat", "\xc0\xae\xc0\xae\xc0\xafprom3.bat"})
    dorv::write_bytes(mirror / name, "echo replaced\n");
  dorv::write_bytes(users / "VIRN-Dorv" / "prom3.bat", "echo replaced\n");
  const std::string prom3 = dorv::read_bytes(folder.dir() / "prom3.bat");

  ::setenv("ALLUSERSPROFILE", users.c_str(), 1);
  const auto r = folder.run("answer OK\nshow Form1.ListView1\n");
  ::unsetenv("ALLUSERSPROFILE");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "MSGBOX Сообщение | Файлы с недопустимыми именами не скопированы из папки " + users.string() +
                "\\VIRN-Dorv\\Perform в папку perform:\\n..\\prom3.bat\\n\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf"
                "\xbd\xef\xbf\xbd\xef\xbf\xbdprom3.bat | OK -> OK\n"
                "Form1.ListView1 =\n"
                "    7-R | 9 | Баня\n"
                "END\n");
  EXPECT_EQ(dorv::read_bytes(folder.dir() / "prom3.bat"), prom3);
  // The start makes the folder as "Perform".
  EXPECT_EQ(dorv::read_bytes(folder.dir() / "Perform" / "7in.prr"), stored);
  for (const auto& e : fs::directory_iterator(folder.dir() / "Perform"))
    EXPECT_TRUE(e.path().filename() == "7in.prr" || e.path().filename() == "7res.prr") << e.path();
}

// A catalog record that calls the stored network 2 a grid calculation: the
// grid form refuses the network's data as damaged and closes without a word
// more, so that nothing can store a grid record over the network.
TEST(UnsafeInput, TheGridFormRefusesANetworksDataAndStoresNothing) {
  ScenarioFolder folder;
  folder.put_graphics_link();
  ASSERT_EQ(folder.run("show Form1.ListView1\n").exit_code, 0);
  std::wstring catalog = folder.get("prr.kat");
  catalog.replace(catalog.find(L"2-T"), 3, L"2-R");
  folder.put("prr.kat", catalog);
  const std::string stored = dorv::read_bytes(folder.dir() / "perform/2in.prr");
  const auto r = folder.run("select Form1.ListView1 2-R\nanswer OK\nclick Form1.Command1\nshow Form2\nshow Form1\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out,
            "MSGBOX Сообщение | Файл исходных данных расчета perform\\2in.prr поврежден: в нем нет записи расчета "
            "решетчатой системы. Данные расчета не загружены; сохраненные файлы расчета не изменены. | OK -> OK\n"
            "Form2 = not loaded\nForm1 = shown\nEND\n");
  EXPECT_EQ(dorv::read_bytes(folder.dir() / "perform/2in.prr"), stored);
  EXPECT_EQ(folder.get("prr.kat"), catalog);
}

// "Новый расчет" on a shared register whose counter stands at the last
// number a calculation can have, or past it, or past every whole number:
// told, and neither the counter nor the shared folder changes.
TEST(UnsafeInput, ASharedCounterAtItsLimitGivesNoNewNumber) {
  const struct {
    const char* counter;
    const char* given;  // the new calculation's number field, or nothing: refused
  } cases[] = {
      {" 999999999999998", " 999999999999999-R"},
      {" 999999999999999", nullptr},
      {" 9223372036854775807", nullptr},
      {"123456789012345678901234567890", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.counter);
    ScenarioFolder folder(false);
    const fs::path shared = folder.dir().parent_path() / "shared";
    fs::create_directories(shared / "perform");
    dorv::write_bytes(shared / "ined", std::string(c.counter) + "\r\n");
    folder.put("ined1", dorv::from_utf8(shared.string()) + L"/\r\n");
    if (c.given) {
      const auto r = folder.run(
          "click Form1.Command2\nclick Form5.Command1\nshow Form2.Text2\nanswer No\nclick Form2.Command3\n");
      EXPECT_EQ(r.exit_code, 0) << r.err;
      EXPECT_TRUE(has_line(r.out, "Form2.Text2 = " + std::string(c.given))) << r.out;
      EXPECT_EQ(dorv::read_bytes(shared / "ined"), " 999999999999999\r\n");
      continue;
    }
    const auto r = folder.run("answer OK\nclick Form1.Command2\nshow Form1\n");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out,
              "MSGBOX Сообщение | Не удалось получить номер нового расчета: номера расчетов исчерпаны, наибольший "
              "номер расчета 999999999999999. Счетчик номеров расчетов: " + shared.string() + "/ined. | OK -> OK\n"
              "Form1 = shown\nEND\n");
    EXPECT_EQ(dorv::read_bytes(shared / "ined"), std::string(c.counter) + "\r\n");
    EXPECT_TRUE(fs::is_empty(shared / "perform"));
  }
}

}  // namespace
