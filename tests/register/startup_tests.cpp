// Start-up of the register: program folder, write probe, executor, mirror,
// catalog rebuild, example pack; and the closing of the register.
#include "fixture.h"

#include <optional>

#include "tests/support/failing_writes.h"

namespace regtest {
namespace {

std::string file_of(const fs::path& p) { return try_read_bytes(p).value_or("<missing>"); }

class StartupTest : public RegisterTest {
 protected:
  void copy_pack() {
    fs::copy_file(fs::path(DORV_DATA_DIR) / "demo.ini", at("demo.ini"));
    fs::copy_file(fs::path(DORV_DATA_DIR) / "demo", at("demo"));
  }
};

const char* const kExamples[] = {"1in.prr", "1res.prr", "2in.prr", "2res.prr", "2angl.txt", "2.kms", "2.dwg", "3in.prr", "3res.prr", "4in.prr", "4res.prr"};

TEST_F(StartupTest, FirstStartUnpacksMirrorsAndCataloguesTheExamplePack) {
  copy_pack();
  Form1& r = start();
  EXPECT_EQ(r.caption(), L"ВИРН-Дорв 5.4.0 - Перечень выполненных расчетов");
  EXPECT_EQ(r.ExecutorName, L"Иванов И.И.");
  for (const char* name : kExamples) {
    const std::string source = file_of(fs::path(DORV_EXAMPLES_DIR) / name);
    EXPECT_EQ(bytes(std::string("perform/") + name), source) << name;
    EXPECT_EQ(file_of(mirror() / name), source) << name;
  }
  // The catalog is rebuilt from the unpacked files (the packed one was
  // dropped with the new mirror) and comes out as the pack holds it.
  const std::string catalog = cp(
      L" 1-R\r\n17/05-1\r\nСклад готовой продукции\r\n2-T\r\n18/02\r\nТорговый центр «Северный»\r\n"
      L" 3-R\r\n21/11\r\nАдминистративное здание\r\n 4-R\r\n22/04\r\nСклад\r\n");
  EXPECT_EQ(bytes("prr.kat"), catalog);
  EXPECT_EQ(file_of(fs::path(DORV_EXAMPLES_DIR) / "prr.kat"), catalog);
  EXPECT_EQ(bytes("prr2.kat"), catalog);
  EXPECT_TRUE(fs::is_directory(at("versii")));

  ASSERT_EQ(r.ListView1.columns().size(), 3u);
  EXPECT_EQ(r.ListView1.columns()[0].header, L"Номер");
  EXPECT_EQ(r.ListView1.columns()[0].width, 800);
  EXPECT_EQ(r.ListView1.columns()[1].header, L"Дог.");
  EXPECT_EQ(r.ListView1.columns()[2].header, L"Объект");
  EXPECT_EQ(r.ListView1.columns()[2].width, 30000);
  EXPECT_EQ(listed(), (std::vector<std::wstring>{L"    1-R|17/05-1|Склад готовой продукции",
                                                 L"    2-T|18/02|Торговый центр «Северный»",
                                                 L"    3-R|21/11|Административное здание",
                                                 L"    4-R|22/04|Склад"}));
  EXPECT_EQ(r.ListView1.selected(), 3);
  EXPECT_EQ(Modul1::Register.HighestCalcNumber, 4);
}

TEST_F(StartupTest, NozapasKeepsTheMirrorOffAndThePackedCatalogIsUsed) {
  copy_pack();
  put("nozapas.txt", L"");
  start();
  EXPECT_EQ(Modul1::Register.StorageFolder, L"");
  EXPECT_FALSE(fs::exists(root_ / "users" / "VIRN-Dorv"));
  EXPECT_EQ(bytes("prr.kat"), file_of(fs::path(DORV_EXAMPLES_DIR) / "prr.kat"));
  EXPECT_EQ(f().ListView1.items().size(), 4u);
}

TEST_F(StartupTest, EmptyCatalogBesideFilledPerformIsRebuiltInNumberOrder) {
  put("nozapas.txt", L"");
  put("prr.kat", L"");
  // Object "Дворец спорта" holds "вор"; the contract is on the "Договор:" line.
  grid(1, L"17/05", L"Дворец спорта");
  put("perform/2in.prr", L" 2-R\r\nСклад\r\n");
  put("perform/2res.prr", L"");  // saved without a run: empty report
  put("perform/3in.prr", L"");   // empty input file: no record
  network(12, L"55", L"Цех");
  network(10, L"56/1", L"Гараж");
  network(11, L"3-R", L"Котельная");  // a contract that reads like a grid identifier
  put("perform/4in.prr", L" 4-R\r\nДом\r\n");  // no report at all
  put("perform/5in.prr", L" 5-R\r\nБаня\r\n");
  put("perform/5res.prr", L"          Договор:\r\n");  // ends right after the colon
  start();
  EXPECT_EQ(bytes("prr.kat"), cp(L" 1-R\r\n17/05\r\nДворец спорта\r\n"
                                 L" 2-R\r\n\r\nСклад\r\n"
                                 L" 4-R\r\n\r\nДом\r\n"
                                 L" 5-R\r\n\r\nБаня\r\n"
                                 L"10-T\r\n56/1\r\nГараж\r\n"
                                 L"11-T\r\n3-R\r\nКотельная\r\n"
                                 L"12-T\r\n55\r\nЦех\r\n"));
  EXPECT_EQ(f().ListView1.items().size(), 7u);
}

TEST_F(StartupTest, MirrorRestoresAMissingPerformFolderAndRebuildsTheCatalog) {
  fs::create_directories(mirror());
  write_bytes(mirror() / "5in.prr", cp(L" 5-R\r\nБаня\r\n"));
  write_bytes(mirror() / "5res.prr", cp(L"          Договор: 9\r\n"));
  put("prr.kat", L"stale\r\n\r\n\r\n");
  start();
  EXPECT_EQ(bytes("perform/5in.prr"), file_of(mirror() / "5in.prr"));
  EXPECT_EQ(bytes("perform/5res.prr"), file_of(mirror() / "5res.prr"));
  EXPECT_EQ(bytes("prr.kat"), cp(L" 5-R\r\n9\r\nБаня\r\n"));
}

TEST_F(StartupTest, ThePackNeverReplacesAFileAndToleratesAPackCutShortOrMissing) {
  // A missing pack is an empty one: the folder starts with an empty catalog.
  put("nozapas.txt", L"");
  start();
  EXPECT_EQ(bytes("prr.kat"), "");
  EXPECT_TRUE(f().ListView1.items().empty());
  form_.reset();

  // A shared register whose perform folder holds calculation 1 already.
  fs::remove_all(at("perform"));
  fs::remove(at("prr.kat"));
  const fs::path shared = root_ / "shared";
  fs::create_directories(shared / "perform");
  write_bytes(shared / "perform" / "1in.prr", "old");
  put("ined1", sys::name_of(shared) + L"/\r\n");
  put("demo.ini", L"\"1in.prr\",3\r\n\"..\\x.txt\",2\r\n\"7in.prr\",2\r\n\"8in.prr\",10\r\n");
  put_bytes("demo", "NEWXX77short");
  start();
  EXPECT_EQ(file_of(shared / "perform" / "1in.prr"), "old");
  EXPECT_FALSE(fs::exists(shared / "x.txt"));
  EXPECT_EQ(file_of(shared / "perform" / "7in.prr"), "77");
  EXPECT_FALSE(fs::exists(shared / "perform" / "8in.prr"));
}

TEST_F(StartupTest, AFolderThatCannotBeWrittenEndsTheProgramAndLosesNothing) {
  grid(1, L"17/05", L"Склад");
  put("prr.kat", L" 1-R\r\n17/05\r\nСклад\r\n");
  fs::create_directory(at("test"));  // the probe file cannot be created
  host_.answer_message(MsgResult::OK);
  try {
    start();
    FAIL() << "the program did not end";
  } catch (const ui::ProgramEnd& end) {
    EXPECT_EQ(end.exit_code, 75);
  }
  const auto& m = last_message();
  EXPECT_EQ(m.title, L"Предупреждение");
  EXPECT_EQ(m.text, L"У Вас недостаточно прав на работу в каталоге программы!\r\nРабота невозможна.");
  EXPECT_EQ(m.icon, ui::MsgIcon::Critical);
  EXPECT_TRUE(exists("perform/1in.prr"));
  EXPECT_EQ(bytes("prr.kat"), cp(L" 1-R\r\n17/05\r\nСклад\r\n"));
}

TEST_F(StartupTest, TheExecutorIsAskedOnceAndChangedByItsButton) {
  put("nozapas.txt", L"");
  struct Case {
    const char* name;
    std::optional<std::wstring> answer;  // nothing: Cancel
    std::string sign;
  };
  for (const Case& c : {Case{"cancelled", std::nullopt, "\r\n"}, Case{"typed", L"Петров П.П.", cp(L"Петров П.П.\r\n")}}) {
    SCOPED_TRACE(c.name);
    fs::remove(at("sign.txt"));
    c.answer ? host_.answer_input(*c.answer) : host_.cancel_input();
    start(false);
    EXPECT_EQ(host_.inputs().back().request.title, L"Исполнитель");
    EXPECT_EQ(host_.inputs().back().request.prompt,
              L"Укажите инициалы и фамилию исполнителя расчетов на Вашем компьютере");
    EXPECT_EQ(f().ExecutorName, c.answer.value_or(L""));
    EXPECT_EQ(bytes("sign.txt"), c.sign);
  }

  // An empty sign.txt is not asked about.
  put("sign.txt", L"");
  start(false);
  EXPECT_EQ(f().ExecutorName, L"");
  EXPECT_TRUE(host_.script_done());

  // The executor button: Cancel empties the name but keeps sign.txt.
  put("sign.txt", L" Иванов И.И. \r\n");
  host_.cancel_input();
  f().Command6.click();
  const auto& box = host_.inputs().back().request;
  EXPECT_EQ(box.prompt, L"Исполнитель расчетов на данном компьютере \r\nИванов И.И..\r\nПри необходимости изменить "
                        L"исполнителя расчетов укажите его инициалы и фамилию и нажмите кнопку OK");
  EXPECT_EQ(box.default_text, L"Иванов И.И.");
  EXPECT_EQ(f().ExecutorName, L"");
  EXPECT_EQ(bytes("sign.txt"), cp(L" Иванов И.И. \r\n"));
  host_.answer_input(L"Сидоров С.С.");
  f().Command6.click();
  EXPECT_EQ(f().ExecutorName, L"Сидоров С.С.");
  EXPECT_EQ(bytes("sign.txt"), cp(L"Сидоров С.С.\r\n"));
}

// The executor's name cannot be kept: a file size limit, a full and a
// read-only file system (the last two where the test may mount one).
TEST_F(StartupTest, AnExecutorThatCannotBeSavedIsOneRussianMessageAndTheOldNameStays) {
  enum class Failure { SizeLimit, Full, ReadOnly };
  struct Case {
    const char* name;
    Failure failure;
    const wchar_t* reason;
  };
  for (const Case& c : {Case{"size limit", Failure::SizeLimit, L"файл слишком велик"},
                        Case{"full", Failure::Full, L"на диске нет места"},
                        Case{"read-only", Failure::ReadOnly, L"диск доступен только для чтения"}}) {
    SCOPED_TRACE(c.name);
    std::optional<dorv::testing::SmallVolume> volume;
    if (c.failure != Failure::SizeLimit) {
      volume.emplace(root_ / "prog");
      if (!volume->mounted()) continue;  // mounting is not permitted here
    }
    put("nozapas.txt", L"");
    put("sign.txt", L"Иванов И.И.\r\n");
    start();
    host_.clear_records();
    std::optional<dorv::testing::FileSizeLimit> size_limit;
    switch (c.failure) {
      case Failure::SizeLimit: size_limit.emplace(4); break;
      case Failure::Full: volume->fill(); break;
      case Failure::ReadOnly: ASSERT_TRUE(volume->make_read_only()); break;
    }
    host_.answer_input(L"Сидоров С.С.");
    host_.answer_message(MsgResult::OK);
    f().Command6.click();
    size_limit.reset();
    ASSERT_EQ(host_.messages().size(), 1u);
    EXPECT_EQ(last_message().text, std::wstring(L"Не удалось записать файл «sign.txt»: ") + c.reason + L".");
    EXPECT_EQ(bytes("sign.txt"), cp(L"Иванов И.И.\r\n"));
    for (const auto& e : fs::directory_iterator(root_ / "prog")) {
      EXPECT_EQ(e.path().filename().string().find("sign.txt."), std::string::npos) << e.path();
    }
    EXPECT_EQ(f().ExecutorName, L"Сидоров С.С.");  // used for this run
    form_.reset();
  }
}

TEST_F(StartupTest, ClosingDeletesDrawingCopiesAndTemporaryFiles) {
  put("nozapas.txt", L"");
  const fs::path shared = root_ / "shared";
  fs::create_directories(shared / "perform");
  put("ined1", sys::name_of(shared) + L"/\r\n");
  start();
  put("prr.kat", L" 1-R\r\n1\r\nА\r\n");
  for (const char* name : {"versii/1-1.dwg", "versii/1-1.bak", "versii/keep.txt", "karman1", "spr.out", "prk1.kat", "a"})
    put(name, L"x");
  f().Command3.click();
  EXPECT_FALSE(f().loaded());
  for (const char* name : {"versii/1-1.dwg", "versii/1-1.bak", "karman1", "spr.out", "prk1.kat", "a", "prr2.kat"})
    EXPECT_FALSE(exists(name)) << name;
  EXPECT_TRUE(exists("versii/keep.txt"));
  EXPECT_EQ(file_of(shared / "prr1.kat"), cp(L" 1-R\r\n1\r\nА\r\n"));
}

}  // namespace
}  // namespace regtest
