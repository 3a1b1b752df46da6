// Opening a stored calculation and creating a new one.
#include "fixture.h"
#include "tests/support/failing_writes.h"

namespace regtest {
namespace {

class OpenTest : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    put("nozapas.txt", L"");
  }
  // Fake calculation forms that count how often they were shown and keep
  // the register state as a calculation form reads it, from Modul1 alone.
  void install_forms() {
    Modul1::set_calc_form(Modul1::CalcKind::Grid, [this] {
      ++grid_shown;
      seen = Modul1::Register;
    });
    Modul1::set_calc_form(Modul1::CalcKind::Arbitrary, [this] {
      ++arbitrary_shown;
      seen = Modul1::Register;
    });
  }
  bool working_files_cleared() const {
    for (const char* name : {"rezult1.txt", "rezult.bak", "rezres.txt", "rezres.bak", "nazangl.txt", "nazangl.bak",
                             "rezult.kms", "rezkms.bak", "rezult.dwg", "rezdwg.bak"})
      if (exists(name)) return false;
    return true;
  }
  int grid_shown = 0, arbitrary_shown = 0;
  Modul1::RegisterState seen;
};

TEST_F(OpenTest, OpeningCopiesTheStoredFilesToWorkingFilesAndTwins) {
  grid(7, L"70", L"Склад");
  put("perform/7angl.txt", L"Store\r\n");
  put("prr.kat", L" 7-R\r\n70\r\nСклад\r\n");
  install_forms();
  start();
  f().ListView1.dbl_click_item(0);
  EXPECT_EQ(grid_shown, 1);
  EXPECT_FALSE(f().visible());
  EXPECT_TRUE(f().OpenedFromRegister);
  EXPECT_EQ(f().SelectedCalcNumber, L"    7-R");
  EXPECT_EQ(f().SelectedContract, L"70");
  EXPECT_EQ(f().SelectedObject, L"Склад");
  EXPECT_TRUE(seen.OpenedFromRegister);
  EXPECT_EQ(seen.SelectedCalcNumber, L"    7-R");
  EXPECT_EQ(seen.SelectedContract, L"70");
  EXPECT_EQ(seen.SelectedObject, L"Склад");
  EXPECT_EQ(Modul1::Register.CurrentCalcId, L"    7-R");
  EXPECT_EQ(Modul1::Register.StoredInputPath, L"perform\\7in.prr");
  EXPECT_EQ(Modul1::Register.StoredNamePath, L"perform\\7angl.txt");
  for (const char* working : {"rezult1.txt", "rezult.bak"}) EXPECT_EQ(bytes(working), bytes("perform/7in.prr"));
  for (const char* working : {"rezres.txt", "rezres.bak"}) EXPECT_EQ(bytes(working), bytes("perform/7res.prr"));
  for (const char* working : {"nazangl.txt", "nazangl.bak"}) EXPECT_EQ(bytes(working), "Store\r\n");
  // Without a stored scheme or drawing the working ones are empty.
  for (const char* working : {"rezult.kms", "rezkms.bak", "rezult.dwg", "rezdwg.bak"}) EXPECT_EQ(bytes(working), "");

  // The form closes: back to the register, working files gone.
  f().calculation_closed();
  EXPECT_TRUE(f().visible());
  EXPECT_FALSE(f().OpenedFromRegister);
  EXPECT_TRUE(working_files_cleared());
  EXPECT_EQ(bytes("perform/7in.prr"), cp(L" 7-R\r\nСклад\r\n.47\r\n"));
}

TEST_F(OpenTest, AMissingStoredFileOrFormIsToldAndNothingIsLost) {
  grid(7, L"70", L"Склад");
  put("prr.kat", L" 7-R\r\n70\r\nСклад\r\n 8-R\r\n80\r\nДом\r\n");
  start();
  // Calculation 8 has no stored files.
  host_.answer_message(MsgResult::OK);
  f().ListView1.dbl_click_item(1);
  EXPECT_EQ(last_message().text, L"Исходный файл не найден.");
  EXPECT_EQ(last_message().title, L"Сообщение");
  EXPECT_TRUE(working_files_cleared());

  // No grid form installed yet: the register says so and stays.
  host_.answer_message(MsgResult::OK);
  f().ListView1.dbl_click_item(0);
  EXPECT_EQ(last_message().text, L"Расчет решетчатой системы пока не может быть открыт в этой версии программы.");
  EXPECT_TRUE(f().visible());
  EXPECT_TRUE(f().enabled());
  EXPECT_FALSE(f().OpenedFromRegister);
  EXPECT_TRUE(working_files_cleared());
  EXPECT_EQ(bytes("perform/7in.prr"), cp(L" 7-R\r\nСклад\r\n.47\r\n"));
  EXPECT_EQ(f().ListView1.items().size(), 2u);

  // An identifier of no known kind never leaves the register hidden.
  install_forms();
  for (const char* name : {"perform/7in.prr", "perform/7res.prr"}) fs::remove(at(name));
  put("perform/9in.prr", L"9\r\n");
  put("perform/9res.prr", L"");
  put("prr.kat", L" 9\r\n1\r\nДом\r\n");
  f().ReloadRegister();
  host_.answer_message(MsgResult::OK);
  f().ListView1.dbl_click_item(0);
  EXPECT_EQ(last_message().text, L"Расчет этого вида пока не может быть открыт в этой версии программы.");
  EXPECT_EQ(grid_shown + arbitrary_shown, 0);
  EXPECT_TRUE(f().visible());
  EXPECT_TRUE(working_files_cleared());
}

TEST_F(OpenTest, AStoredFileThatCannotBeCopiedIsToldAndNoFormOpens) {
  grid(7, L"70", L"Склад");
  put("perform/7in.prr", L" 7-R\r\nСклад\r\n" + std::wstring(3000, L'5') + L"\r\n");
  put("prr.kat", L" 7-R\r\n70\r\nСклад\r\n");
  install_forms();
  start();
  const std::string stored = bytes("perform/7in.prr");
  host_.answer_message(MsgResult::OK);
  {
    dorv::testing::FileSizeLimit limit(1000);  // as on a full disk
    f().ListView1.dbl_click_item(0);
  }
  EXPECT_EQ(last_message().text,
            L"Расчет 7-R не открыт. Не удалось записать файл «rezult1.txt»: файл слишком велик.");
  EXPECT_EQ(grid_shown, 0);
  EXPECT_TRUE(f().visible());
  EXPECT_TRUE(working_files_cleared());
  EXPECT_EQ(bytes("perform/7in.prr"), stored);
  EXPECT_TRUE(host_.script_done());
}

TEST_F(OpenTest, AnArbitraryFileOfTheOldestLayoutGetsFiveEmptyHeadLines) {
  const std::wstring head7 = L"55\r\nЦех\r\n.08\r\n12\r\n.47\r\nГОСТ 3262-75\r\n.0019\r\n";
  const std::wstring rest = L"0.0001 0.0005 200000\r\n#####2\r\n";
  struct Case {
    const char* name;
    std::wstring stored;
    std::wstring after;
  };
  const Case cases[] = {
      {"marker on line 8", head7 + L"#####1\r\n" + rest, head7 + L"\r\n\r\n\r\n\r\n\r\n#####1\r\n" + rest},
      {"marker on line 13", head7 + L"\r\n\r\n\r\n\r\n\r\n#####1\r\n" + rest,
       head7 + L"\r\n\r\n\r\n\r\n\r\n#####1\r\n" + rest},
      {"no marker", head7, head7},
  };
  install_forms();
  put("prr.kat", L"7-T\r\n55\r\nЦех\r\n");
  put("perform/7res.prr", L"");
  start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    put("perform/7in.prr", c.stored);
    f().Command1.click();
    EXPECT_EQ(bytes("perform/7in.prr"), cp(c.after));
    EXPECT_EQ(bytes("rezult1.txt"), cp(c.after));
    f().calculation_closed();
  }
  EXPECT_EQ(arbitrary_shown, 3);
}

TEST_F(OpenTest, TheGraphicsLinkIsCheckedBeforeAnyFormIsShown) {
  grid(7, L"70", L"Склад");
  put("perform/7.dwg", L"drawing");
  network(9, L"90", L"Цех");
  put("perform/9.dwg", L"net drawing");
  put("prr.kat", L" 7-R\r\n70\r\nСклад\r\n9-T\r\n90\r\nЦех\r\n");
  install_forms();
  start();
  for (const char* link : {"", "empty"}) {
    SCOPED_TRACE(link);
    if (*link) put("dorv54.lsp", L"");
    for (int item : {0, 1}) {
      host_.answer_message(MsgResult::OK);
      f().ListView1.dbl_click_item(item);
      EXPECT_EQ(last_message().title, L"Невозможно работать с графикой");
      EXPECT_EQ(last_message().icon, ui::MsgIcon::Critical);
      EXPECT_TRUE(working_files_cleared());
      EXPECT_TRUE(f().visible());
    }
  }
  EXPECT_EQ(grid_shown + arbitrary_shown, 0);

  // With the link in place every opening makes a new numbered copy.
  put("dorv54.lsp", L"(load)");
  f().ListView1.dbl_click_item(1);
  f().calculation_closed();
  f().ListView1.dbl_click_item(0);
  EXPECT_EQ(arbitrary_shown, 1);
  EXPECT_EQ(grid_shown, 1);
  EXPECT_EQ(bytes("versii/9-1.dwg"), "net drawing");
  EXPECT_EQ(bytes("versii/7-2.dwg"), "drawing");
  ASSERT_EQ(host_.shell_opens().size(), 2u);
  EXPECT_EQ(host_.shell_opens()[1].file, at("versii/7-2.dwg"));
  EXPECT_EQ(host_.shell_opens()[1].parameters, sys::name_of(root_ / "prog" / "versii"));
}

// The results view of either form: a missing report writes and opens
// nothing; a report without a line gives an empty view, which the grid form
// opens and the network form does not.
TEST_F(OpenTest, TheResultsViewOpensOnlyAReportItCanRead) {
  EXPECT_FALSE(Modul1::open_results_view(Modul1::EmptyReport::Open));
  EXPECT_FALSE(exists("flrez.txt"));
  put("rezres.txt", L"");
  EXPECT_FALSE(Modul1::open_results_view(Modul1::EmptyReport::Skip));
  EXPECT_TRUE(host_.shell_opens().empty());
  EXPECT_TRUE(Modul1::open_results_view(Modul1::EmptyReport::Open));
  EXPECT_EQ(bytes("flrez.txt"), "");
  ASSERT_EQ(host_.shell_opens().size(), 1u);
  host_.clear_records();
  put("rezres.txt", L"12345 Расчет\r\n");
  EXPECT_TRUE(Modul1::open_results_view(Modul1::EmptyReport::Skip));
  EXPECT_EQ(from_cp1251(bytes("flrez.txt")), L"Расчет\r\n");
  ASSERT_EQ(host_.shell_opens().size(), 1u);
  EXPECT_EQ(host_.shell_opens()[0].file.filename(), "flrez.txt");
  // A view that cannot be written opens nothing, never the view of an
  // earlier report.
  put("rezres.txt", L"12345 Расчет номер два\r\n");
  {
    dorv::testing::FileSizeLimit limit(4);
    EXPECT_FALSE(Modul1::open_results_view(Modul1::EmptyReport::Open));
  }
  EXPECT_EQ(from_cp1251(bytes("flrez.txt")), L"Расчет\r\n");
  EXPECT_EQ(host_.shell_opens().size(), 1u);
}

TEST_F(OpenTest, ANewCalculationAfter41IsNumbered42) {
  put("prr.kat", L" 41-R\r\n1\r\nДом\r\n");
  install_forms();
  start();
  f().Command2.click();
  Form5& kind = f().form5();
  EXPECT_TRUE(kind.visible());
  EXPECT_TRUE(kind.Option3.value());  // the grid system is preselected
  EXPECT_FALSE(f().visible());
  EXPECT_FALSE(f().enabled());
  EXPECT_FALSE(f().OpenedFromRegister);
  kind.Command1.click();
  EXPECT_EQ(grid_shown, 1);
  EXPECT_FALSE(kind.loaded());
  EXPECT_TRUE(f().enabled());
  EXPECT_FALSE(f().visible());
  EXPECT_EQ(Modul1::Register.CurrentCalcId, L"R");
  EXPECT_EQ(Modul1::Register.NewCalcId, L" 42-R");
  EXPECT_EQ(Modul1::Register.StoredInputPath, L"perform\\42in.prr");
  EXPECT_EQ(Modul1::Register.NewCalcContract, L"");
}

TEST_F(OpenTest, TheSharedCounterAdvancesOnEveryPressAlsoAfterCancel) {
  // The shared folder beside the program folder, and on another file system
  // (/dev/shm is a memory file system) where renames cannot simply move.
  std::vector<fs::path> shared_folders = {root_ / "shared"};
  const fs::path shm = fs::path("/dev/shm") / ("dorv_reg_" + std::to_string(::getpid()));
  std::error_code ec;
  if (fs::create_directories(shm / "perform", ec)) shared_folders.push_back(shm);
  for (const fs::path& shared : shared_folders) {
    SCOPED_TRACE(shared.string());
    fs::create_directories(shared / "perform");
    write_bytes(shared / "ined", cp(L" 100\r\n"));
    write_bytes(shared / "prr.kat", cp(L" 5-R\r\n1\r\nДом\r\n"));
    put("ined1", sys::name_of(shared) + L"/\r\n");
    start();
    EXPECT_EQ(f().ListView1.items().size(), 1u);
    f().Command2.click();
    EXPECT_EQ(f().CalcNumberBase, 100);
    EXPECT_EQ(try_read_bytes(shared / "ined").value_or(""), " 101\r\n");
    EXPECT_FALSE(exists("ined"));
    f().form5().Command2.click();  // Cancel
    EXPECT_TRUE(f().visible());
    EXPECT_TRUE(f().enabled());
    EXPECT_TRUE(working_files_cleared());
    f().Command2.click();
    EXPECT_EQ(f().CalcNumberBase, 101);
    EXPECT_EQ(try_read_bytes(shared / "ined").value_or(""), " 102\r\n");
    f().form5().close_box();
    EXPECT_TRUE(f().visible());
    // The shared catalog is rewritten in place.
    f().save_catalog_record({L" 5-R", L"2", L"Дом"});
    EXPECT_EQ(try_read_bytes(shared / "prr.kat").value_or(""), cp(L" 5-R\r\n2\r\nДом\r\n"));
    for (const auto& e : fs::directory_iterator(shared))
      EXPECT_TRUE(e.path().filename() == "perform" || e.path().filename() == "ined" ||
                  e.path().filename() == "prr.kat" || e.path().filename() == "prr2.kat")
          << e.path();
  }
  const fs::path shared = shared_folders.back();
  // A drawing copy is named after the calculation number alone.
  put("dorv54.lsp", L"(load)");
  put("format22.dwg", L"template");
  install_forms();
  f().Command2.click();
  f().form5().Option1.click();
  f().form5().Command1.click();
  EXPECT_EQ(Modul1::Register.StoredDrawingPath, sys::name_of(shared) + L"/perform\\103.dwg");
  EXPECT_EQ(bytes("versii/103-1.dwg"), "template");
  f().calculation_closed();
  // A counter that has gone (another workstation stopped while holding it)
  // starts again from the highest number listed; a stale local copy goes.
  fs::remove(shared / "ined");
  put("ined", L" 900\r\n");
  f().Command2.click();
  EXPECT_EQ(f().CalcNumberBase, 5);
  EXPECT_EQ(try_read_bytes(shared / "ined").value_or(""), " 6\r\n");
  EXPECT_FALSE(exists("ined"));
  fs::remove_all(shm, ec);
}

TEST_F(OpenTest, NewArbitraryCalculationsNeedTheGraphicsLinkAndTheImportBothTwins) {
  install_forms();
  put("prr.kat", L" 4-R\r\n1\r\nДом\r\n");
  put("format22.dwg", L"template");
  start();
  Form5& kind = f().form5();

  // Without the graphics link the dialog stays open.
  f().Command2.click();
  kind.Option1.click();
  host_.answer_message(MsgResult::OK);
  kind.Command1.click();
  EXPECT_EQ(last_message().title, L"Невозможно работать с графикой");
  EXPECT_TRUE(kind.loaded());

  // "TN": the template is opened as drawing copy 1.
  put("dorv54.lsp", L"(load)");
  kind.Command1.click();
  EXPECT_EQ(arbitrary_shown, 1);
  EXPECT_EQ(Modul1::Register.NewCalcId, L" 5-T");
  EXPECT_EQ(bytes("versii/5-1.dwg"), "template");

  // "TI": the open-file dialog cancelled, then a drawing twin missing.
  f().calculation_closed();
  put("rezult.kms", L"old scheme");
  f().Command2.click();
  kind.Option2.click();
  host_.cancel_open_file();
  kind.Command1.click();
  EXPECT_EQ(host_.open_dialogs().back().title, L"Открытие файла");
  EXPECT_EQ(host_.open_dialogs().back().filter, L"*.ko2|*.ko2");
  EXPECT_TRUE(kind.loaded());
  EXPECT_EQ(bytes("rezult.kms"), "");  // a new arbitrary calculation empties scheme and drawing

  const fs::path elsewhere = root_ / "elsewhere";
  fs::create_directories(elsewhere);
  write_bytes(elsewhere / "net.ko2", "ko2");
  write_bytes(elsewhere / "net.kms", "kms");
  const std::size_t messages = host_.messages().size();
  host_.answer_open_file(elsewhere / "net.ko2");
  host_.answer_message(MsgResult::OK);
  kind.Command1.click();
  ASSERT_EQ(host_.messages().size(), messages + 1);
  EXPECT_EQ(last_message().text, L"Не найден файл  " + sys::name_of(elsewhere / "net.dwg"));
  EXPECT_EQ(last_message().icon, ui::MsgIcon::Critical);
  EXPECT_TRUE(kind.loaded());
  EXPECT_FALSE(f().visible());
  EXPECT_EQ(arbitrary_shown, 1);

  write_bytes(elsewhere / "net.dwg", "dwg");
  host_.answer_open_file(elsewhere / "net.ko2");
  kind.Command1.click();
  EXPECT_EQ(arbitrary_shown, 2);
  EXPECT_FALSE(kind.loaded());
  EXPECT_EQ(bytes("rezult.ko2"), "ko2");
  EXPECT_EQ(bytes("rezult.kms"), "kms");
  EXPECT_EQ(bytes("rezult.dwg"), "dwg");
  EXPECT_EQ(bytes("versii/5-2.dwg"), "dwg");
  EXPECT_EQ(Modul1::Register.ChosenImportFile, sys::name_of(elsewhere / "net.ko2"));
  EXPECT_EQ(fs::current_path(), root_ / "prog");
}

// The chosen export is the file the dialog named, with its twins beside it:
// a "\\" in its name separates no folders.
TEST_F(OpenTest, AnImportTakesTheChosenFileWhateverItsNameHolds) {
  install_forms();
  put("dorv54.lsp", L"(load)");
  start();
  const fs::path elsewhere = root_ / "elsewhere";
  fs::create_directories(elsewhere / "a");
  for (const char* ext : {"ko2", "kms", "dwg"}) {
    write_bytes(elsewhere / (std::string("a\\net.") + ext), std::string("chosen ") + ext);
    write_bytes(elsewhere / "a" / (std::string("net.") + ext), "another file");
  }
  f().Command2.click();
  f().form5().Option2.click();
  host_.answer_open_file(elsewhere / "a\\net.ko2");
  f().form5().Command1.click();
  EXPECT_EQ(arbitrary_shown, 1);
  EXPECT_EQ(bytes("rezult.ko2"), "chosen ko2");
  EXPECT_EQ(bytes("rezult.kms"), "chosen kms");
  EXPECT_EQ(bytes("rezult.dwg"), "chosen dwg");
}

TEST_F(OpenTest, ANewGridCalculationLeavesSchemeAndDrawingAlone) {
  start();
  put("rezult.kms", L"scheme");
  put("rezult.dwg", L"drawing");
  Modul1::Register.CurrentCalcId = L"R";
  Modul1::PrepareWorkingFiles();
  EXPECT_EQ(bytes("rezult.kms"), "scheme");
  EXPECT_EQ(bytes("rezult.dwg"), "drawing");
  EXPECT_EQ(bytes("rezult1.txt"), "");
  Modul1::Register.CurrentCalcId = L"TN";
  Modul1::PrepareWorkingFiles();
  EXPECT_EQ(bytes("rezult.kms"), "");
  EXPECT_EQ(bytes("rezult.dwg"), "");
  Modul1::ClearWorkingFiles();
  Modul1::ClearWorkingFiles();  // a clean folder: nothing to do
  EXPECT_FALSE(exists("rezult1.txt"));
}

}  // namespace
}  // namespace regtest
