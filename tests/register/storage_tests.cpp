// Storing a calculation's working files and record, and the pipe look-up.
#include "fixture.h"
#include <thread>

#include "register/registerlock.h"
#include "tests/support/comma_locale.h"
#include "tests/support/failing_writes.h"

namespace regtest {
namespace {

class StorageTest : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    start();  // first start with the mirror on, no calculations
  }
  std::string stored_and_mirrored(const std::string& name) {
    const std::string local = bytes("perform/" + name);
    EXPECT_EQ(try_read_bytes(mirror() / name).value_or("<missing>"), local) << name;
    return local;
  }
};

TEST_F(StorageTest, StoringFollowsTheWorkingFilesAndDropsARemovedEnglishName) {
  grid(7, L"70", L"Склад");
  put("perform/7angl.txt", L"Old name\r\n");
  write_bytes(mirror() / "7angl.txt", "Old name\r\n");
  put("perform/7.kms", L"old scheme");
  Modul1::set_storage_paths(7);
  put("rezult1.txt", L"new input\r\n");
  put("rezres.txt", L"new report\r\n");
  put("rezult.kms", L"new scheme");
  // rezult.dwg does not exist: no drawing is stored; nazangl.txt was deleted
  // by choosing English without a name.
  Modul1::store_working_files();
  EXPECT_EQ(stored_and_mirrored("7in.prr"), "new input\r\n");
  EXPECT_EQ(stored_and_mirrored("7res.prr"), "new report\r\n");
  EXPECT_EQ(stored_and_mirrored("7.kms"), "new scheme");
  EXPECT_EQ(stored_and_mirrored("7.dwg"), "<missing>");
  EXPECT_EQ(stored_and_mirrored("7angl.txt"), "<missing>");

  // The grid form stores its own record and neither scheme nor drawing.
  put("rezult2.txt", L"grid record\r\n");
  put("nazangl.txt", L"Store\r\n");
  put("rezult.kms", L"");
  Modul1::store_working_files({L"rezult2.txt", false, false});
  EXPECT_EQ(bytes("perform/7in.prr"), "grid record\r\n");
  EXPECT_EQ(bytes("perform/7angl.txt"), "Store\r\n");
  EXPECT_EQ(bytes("perform/7.kms"), "new scheme");
  EXPECT_FALSE(fs::exists(mirror() / "7angl.txt"));
  // No copy is left beside a stored file.
  for (const auto& e : fs::directory_iterator(at("perform"))) EXPECT_NE(e.path().extension(), ".new");
}

TEST_F(StorageTest, SavingARecordReplacesOnlyItsOwnRecord) {
  put("prr.kat", L" 115-R\r\n1\r\nА\r\n15-R\r\n2\r\nБ\r\n 5-R\r\n3\r\nВ\r\n 15-R\r\n4\r\nГ\r\n");
  f().ReloadRegister();
  f().OpenedFromRegister = true;
  f().save_catalog_record({L" 15-R", L"22", L"Новое"});
  EXPECT_EQ(bytes("prr.kat"), cp(L" 115-R\r\n1\r\nА\r\n 5-R\r\n3\r\nВ\r\n 15-R\r\n22\r\nНовое\r\n"));
  EXPECT_FALSE(exists("karman1"));

  // An opened calculation while a search result is shown: the result holds
  // the new record once, at its end.
  host_.cancel_input();
  host_.cancel_input();
  host_.answer_input(L"о");  // finds 15-R only ("Новое")
  f().Command4.click();
  f().save_catalog_record({L" 15-R", L"23", L"Новое здание"});
  EXPECT_EQ(bytes("karman1"), cp(L" 15-R\r\n23\r\nНовое здание\r\n"));
  EXPECT_EQ(f().SearchResultShown, 1);

  // A new calculation leaves the search result first.
  f().OpenedFromRegister = false;
  f().save_catalog_record({L" 16-R", L"", L"Дом"});
  EXPECT_FALSE(exists("karman1"));
  EXPECT_EQ(f().SearchResultShown, 0);
  EXPECT_EQ(f().Command4.caption(), L"Поиск");
  EXPECT_EQ(read_catalog(L"prr.kat").back().id, L" 16-R");
  // A missing catalog is created with the record.
  fs::remove(at("prr.kat"));
  f().save_catalog_record({L" 17-T", L"5", L"Цех"});
  EXPECT_EQ(bytes("prr.kat"), cp(L" 17-T\r\n5\r\nЦех\r\n"));
}

TEST_F(StorageTest, AStoreThatCannotWriteEveryFileChangesNoStoredFileNorTheCatalog) {
  grid(7, L"70", L"Склад");
  put("perform/7.kms", L"old scheme");
  put("prr.kat", L" 7-R\r\n70\r\nСклад\r\n");
  f().ReloadRegister();
  f().OpenedFromRegister = true;
  Modul1::set_storage_paths(7);
  put("rezult1.txt", L"new input\r\n");
  put("rezres.txt", L"new report\r\n");
  put("rezult.kms", std::wstring(4000, L'x'));  // past the limit, as on a full disk
  const std::string before = bytes("perform/7in.prr") + bytes("perform/7res.prr") + bytes("perform/7.kms");
  host_.answer_message(MsgResult::OK);
  {
    dorv::testing::FileSizeLimit limit(1000);
    EXPECT_FALSE(f().store_calculation({L" 7-R", L"71", L"Новое"}));
  }
  EXPECT_EQ(last_message().text, L"Не удалось сохранить расчет 7-R. Не удалось записать файл «perform\\7.kms»: файл "
                                 L"слишком велик. Сохраненные ранее файлы расчета и перечень расчетов не изменены.");
  EXPECT_EQ(bytes("perform/7in.prr") + bytes("perform/7res.prr") + bytes("perform/7.kms"), before);
  EXPECT_EQ(bytes("prr.kat"), cp(L" 7-R\r\n70\r\nСклад\r\n"));
  EXPECT_EQ(try_read_bytes(mirror() / "7in.prr").value_or("<missing>"), "<missing>");
  for (const auto& folder : {at("perform"), mirror()})
    for (const auto& e : fs::directory_iterator(folder)) EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
  EXPECT_TRUE(host_.script_done());
}

TEST_F(StorageTest, AHeldRegisterIsWaitedForThenTheUserMayRetryOrGiveUp) {
  const auto wait = RegisterLockWait;
  RegisterLockWait = std::chrono::milliseconds(50);
  put("prr.lck", L"other-host 4242\r\n");
  put("rezult1.txt", L"input\r\n");
  put("rezres.txt", L"report\r\n");
  Modul1::set_storage_paths(3);
  f().OpenedFromRegister = false;
  // Given up: nothing is stored, the other workstation's lock stays.
  host_.answer_message(MsgResult::Cancel);
  host_.answer_message(MsgResult::OK);
  EXPECT_FALSE(f().store_calculation({L" 3-R", L"1", L"Дом"}));
  const auto& asked = host_.messages()[host_.messages().size() - 2].request;
  EXPECT_EQ(asked.title, L"Перечень расчетов");
  EXPECT_EQ(asked.buttons, ui::MsgButtons::RetryCancel);
  EXPECT_NE(asked.text.find(L"(other-host 4242): файл prr.lck существует"), std::wstring::npos);
  EXPECT_EQ(last_message().text, L"Расчет 3-R не сохранен: перечень расчетов занят другим рабочим местом.");
  EXPECT_FALSE(exists("perform/3in.prr"));
  EXPECT_TRUE(exists("prr.lck"));
  // Released by the other workstation while this one waits: stored without
  // a word, and the lock is gone again.
  RegisterLockWait = std::chrono::milliseconds(5000);
  std::thread other([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    fs::remove(at("prr.lck"));
  });
  const std::size_t told = host_.messages().size();
  EXPECT_TRUE(f().store_calculation({L" 3-R", L"1", L"Дом"}));
  other.join();
  EXPECT_EQ(host_.messages().size(), told);
  EXPECT_EQ(bytes("perform/3in.prr"), "input\r\n");
  EXPECT_EQ(bytes("prr.kat"), cp(L" 3-R\r\n1\r\nДом\r\n"));
  EXPECT_FALSE(exists("prr.lck"));
  EXPECT_TRUE(host_.script_done());
  RegisterLockWait = wait;
}

TEST_F(StorageTest, TheLockFileIsRemovedOnlyWhileItIsStillItsHoldersOwn) {
  const std::string other = cp(L"other-host 4242\r\n0123456789abcdef0123456789abcdef\r\n");
  {
    RegisterLock lock(L"");
    const std::string mine = bytes("prr.lck");
    // The waiting user still reads the computer and the process first.
    EXPECT_NE(mine.find(" " + std::to_string(::getpid()) + "\r\n"), std::string::npos) << mine;
    { RegisterLock again(L""); }
    EXPECT_EQ(bytes("prr.lck"), mine);
  }
  EXPECT_FALSE(exists("prr.lck"));
  // Deleted by the user as stale while it was held, and taken by another
  // workstation: the first holder's release leaves the other's lock.
  {
    RegisterLock lock(L"");
    fs::remove(at("prr.lck"));
    put_bytes("prr.lck", other);
  }
  EXPECT_EQ(bytes("prr.lck"), other);
}

TEST_F(StorageTest, LookupKltrFindsTheFirstEqualKeyOrTakesTheLastRecord) {
  put("kltr.inf", L"57,57,3.5,110\r\n57,60,5,1\r\n\"Т1\",76,2.8,572\r\n325,325,4.0,185600\r\n");
  struct Case {
    Item key;
    int selector;
    double result;
  };
  const Case cases[] = {
      {{L"57"}, 1, 110},      {{L"57"}, 2, 50},        {{L"Т1"}, 1, 572},       {{L"Т1"}, 2, 70.4},
      {{L"57.0"}, 2, 50},     {{L"999"}, 1, 185600},   {{L"999"}, 2, 317},      {{L"т1"}, 1, 185600},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Modul1::LookupKltr(c.key, c.selector), c.result) << to_utf8(c.key.text);
  EXPECT_DOUBLE_EQ(Modul1::LookupKltr(57.0, 2), 50);
  EXPECT_DOUBLE_EQ(Modul1::LookupKltr(std::wstring(L"Т1"), 7), 70.4);
  {
    // The user's comma-decimal locale must not cut the wall 3.5 to 3.
    dorv::testing::CommaLocale locale;
    if (locale.active()) {
      EXPECT_DOUBLE_EQ(Modul1::LookupKltr(57.0, 2), 50);
    }
  }

  // The table missing, empty, or ending inside a record.
  fs::remove(at("kltr.inf"));
  EXPECT_EQ(Modul1::LookupKltr(57.0, 1), 0);
  put("kltr.inf", L"");
  EXPECT_EQ(Modul1::LookupKltr(57.0, 1), 0);
  put("kltr.inf", L"57,57,3.5,110\r\n10,12\r\n");
  EXPECT_EQ(Modul1::LookupKltr(10.0, 2), 12);
  EXPECT_EQ(Modul1::LookupKltr(10.0, 1), 0);
}

}  // namespace
}  // namespace regtest
