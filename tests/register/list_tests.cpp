// The register list: reload and compaction, search, delete, tool tip.
#include "fixture.h"
#include "tests/support/failing_writes.h"

namespace regtest {
namespace {

class ListTest : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    put("nozapas.txt", L"");
  }
};

TEST_F(ListTest, ReloadDropsBlankLinesBetweenRecordsAndAlignsTheNumbers) {
  // Blank lines between records, a blank contract line, and a last record
  // with empty contract and object lines.
  put("prr.kat",
      L"\r\n 1-R\r\n\r\nСклад\r\n  \r\n\r\n12-T\r\n7\r\nЦех\r\n123456789-R\r\n1\r\nДлинный\r\n 41-R\r\n\r\n\r\n\r\n");
  start();
  const std::string compact =
      cp(L" 1-R\r\n\r\nСклад\r\n12-T\r\n7\r\nЦех\r\n123456789-R\r\n1\r\nДлинный\r\n 41-R\r\n\r\n\r\n");
  EXPECT_EQ(bytes("prr.kat"), compact);
  EXPECT_EQ(bytes("prk.kat"), compact);
  EXPECT_EQ(bytes("prk1.kat"),
            cp(L"    1-R\r\n\r\nСклад\r\n   12-T\r\n7\r\nЦех\r\n123456789-R\r\n1\r\nДлинный\r\n   41-R\r\n\r\n\r\n"));
  EXPECT_EQ(listed(), (std::vector<std::wstring>{L"    1-R||Склад", L"   12-T|7|Цех", L"123456789-R|1|Длинный",
                                                 L"   41-R||"}));
  EXPECT_EQ(f().ListView1.selected(), 3);
  EXPECT_EQ(Modul1::Register.HighestCalcNumber, 123456789);
}

TEST_F(ListTest, ANumberTooLongForAWholeNumberIsNoCalculationNumber) {
  put("prr.kat", L" 5-R\r\n1\r\nДом\r\n123456789012345678901234-R\r\n2\r\nСклад\r\n 7-T\r\n3\r\nЦех\r\n");
  start();
  EXPECT_EQ(listed(), (std::vector<std::wstring>{L"    5-R|1|Дом", L"123456789012345678901234-R|2|Склад",
                                                 L"    7-T|3|Цех"}));
  EXPECT_EQ(Modul1::Register.HighestCalcNumber, 7);
  EXPECT_EQ(calc_number(L"123456789012345678901234-R"), 0);
  EXPECT_EQ(calc_number(L" -9223372036854775809-T"), 0);
  EXPECT_EQ(calc_number(L"  9223372036854775807-T"), 9223372036854775807LL);
  f().Command2.click();
  EXPECT_EQ(f().CalcNumberBase, 7);
}

// A catalog that exists but cannot be read: a folder in its place, or a file
// whose every read fails (the process's own memory file fails with EIO).
TEST_F(ListTest, AnUnreadableCatalogIsReportedKeptAndItsNumbersAreNotGivenAgain) {
  struct Case {
    const char* name;
    void (*make)(const fs::path&);
    const wchar_t* reason;
  };
  const Case cases[] = {
      {"folder", [](const fs::path& p) { fs::create_directory(p); }, L"на этом месте находится папка"},
      {"read error", [](const fs::path& p) { fs::create_symlink("/proc/self/mem", p); },
       L"ошибка чтения или записи на диске"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(at("perform"));
    fs::remove_all(at("prr.kat"));
    grid(1, L"17/05", L"Склад");
    c.make(at("prr.kat"));
    host_.clear_records();
    host_.answer_message(MsgResult::OK);
    start();
    ASSERT_EQ(host_.messages().size(), 1u);
    EXPECT_EQ(last_message().text, std::wstring(L"Не удалось прочитать файл «prr.kat»: ") + c.reason + L".");
    EXPECT_TRUE(f().ListView1.items().empty());
    // Saving a record refuses rather than writing a catalog of one record.
    EXPECT_THROW(f().save_catalog_record({L" 2-R", L"1", L"Дом"}), FileError);
    EXPECT_TRUE(fs::is_directory(at("prr.kat")) || fs::is_symlink(fs::symlink_status(at("prr.kat"))));
    // Calculation 1 is stored: a new calculation is not numbered 1.
    f().Command2.click();
    EXPECT_EQ(f().CalcNumberBase, 1);
    f().form5().close_box();
    EXPECT_TRUE(host_.script_done());
  }
}

// The catalog made anew from the stored calculations cannot be written (the
// disk is full): the register would list nothing and say nothing.
TEST_F(ListTest, ACatalogThatCannotBeMadeAnewIsTold) {
  grid(1, L"17/05", L"Склад");
  fs::remove(at("prr.kat"));
  put("sign.txt", L"Иванов И.И.\r\n");
  host_.answer_message(MsgResult::OK);
  {
    dorv::testing::FileSizeLimit full(4);
    start();
  }
  ASSERT_EQ(host_.messages().size(), 1u);
  EXPECT_EQ(last_message().text, L"Не удалось записать файл «prr.kat»: файл слишком велик.");
  EXPECT_TRUE(f().ListView1.items().empty());
  EXPECT_FALSE(fs::exists(at("prr.kat")));
}

TEST_F(ListTest, AnObjectNameOf71CharactersBecomesTheToolTip) {
  const std::wstring name70(70, L'ж'), name71(71, L'ж');
  put("prr.kat", L" 1-R\r\n1\r\n" + name71 + L"\r\n 2-R\r\n2\r\n" + name70 + L"\r\n");
  start();
  f().ListView1.click_item(0);
  EXPECT_EQ(f().ListView1.tool_tip(), name71);
  f().ListView1.click_item(1);
  EXPECT_EQ(f().ListView1.tool_tip(), L"");
}

class SearchTest : public ListTest {
 protected:
  void SetUp() override {
    ListTest::SetUp();
    put("prr.kat", L" 1-R\r\n12\r\nСклад\r\n 12-R\r\n7\r\nДВОРЕЦ СПОРТА\r\n3-T\r\n12/5\r\nЦех\r\n"
                   L" 4-R\r\n123\r\nДом\r\n 5-T\r\n12-А\r\nГараж, ДвореЦ культуры\r\n");
    start();
  }
  // Answers for the three boxes: text, or nothing for Cancel.
  void search(std::initializer_list<std::optional<std::wstring>> answers) {
    for (const auto& a : answers) a ? host_.answer_input(*a) : host_.cancel_input();
    f().Command4.click();
    EXPECT_TRUE(host_.script_done());
  }
  std::vector<std::wstring> ids() const {
    std::vector<std::wstring> out;
    for (const auto& item : form_->ListView1.items()) out.push_back(trim(item.text));
    return out;
  }
};

TEST_F(SearchTest, ByNumberContractPrefixOrObjectFragment) {
  struct Case {
    const char* name;
    std::initializer_list<std::optional<std::wstring>> answers;
    std::vector<std::wstring> ids;
  };
  const Case cases[] = {
      {"number 12, not the contract 12", {L"12"}, {L"12-R"}},
      {"number without a hit", {L"77"}, {}},
      {"contract beginning with the number 12", {std::nullopt, L"12"}, {L"1-R", L"3-T", L"5-T"}},
      {"fragment in another case", {std::nullopt, std::nullopt, L"дворец"}, {L"12-R", L"5-T"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    search(c.answers);
    EXPECT_EQ(ids(), c.ids);
    EXPECT_EQ(f().SearchResultShown, 1);
    EXPECT_EQ(f().Command4.caption(), L"Перечень");
    EXPECT_EQ(read_catalog(L"karman1").size(), c.ids.size());
    // The button leads back to the full list.
    f().Command4.click();
    EXPECT_EQ(f().SearchResultShown, 0);
    EXPECT_EQ(f().Command4.caption(), L"Поиск");
    EXPECT_FALSE(exists("karman1"));
    EXPECT_EQ(ids().size(), 5u);
  }
  // The last answers are offered again.
  EXPECT_EQ(host_.inputs()[0].request.title, L"Поиск по номеру расчета");
  search({std::nullopt, std::nullopt, std::nullopt});
  const auto& in = host_.inputs();
  EXPECT_EQ(in[in.size() - 3].request.default_text, L"");  // the last number box was cancelled
  EXPECT_EQ(in[in.size() - 2].request.default_text, L"");
  EXPECT_EQ(in[in.size() - 1].request.title, L"Поиск по фрагменту названия объекта");
  EXPECT_EQ(in[in.size() - 1].request.default_text, L"дворец");
  // Every box cancelled: the full list, still in the normal state.
  EXPECT_EQ(ids().size(), 5u);
  EXPECT_EQ(f().SearchResultShown, 0);
  EXPECT_EQ(f().Command4.caption(), L"Поиск");
  EXPECT_FALSE(exists("karman1"));
}

class DeleteTest : public ListTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();  // with the mirror
    for (int n : {1, 11, 21}) grid(n, std::to_wstring(n), L"Объект " + std::to_wstring(n));
    put("perform/1.kms", L"k");
    put("perform/1angl.txt", L"Store");
    start();  // the mirror copies perform, the catalog is rebuilt
  }
  bool stored(int n, const char* suffix) const {
    const std::string name = std::to_string(n) + suffix;
    const bool local = exists("perform/" + name);
    EXPECT_EQ(local, fs::exists(mirror() / name)) << name;
    return local;
  }
};

TEST_F(DeleteTest, DeletingCalculation1KeepsCalculations11And21) {
  select(L"    1-R");
  host_.answer_message(MsgResult::No);
  f().Command5.click();
  EXPECT_TRUE(stored(1, "in.prr"));
  EXPECT_EQ(f().ListView1.items().size(), 3u);

  select(L"    1-R");
  host_.answer_message(MsgResult::Yes);
  f().Command5.click();
  const auto& m = last_message();
  EXPECT_EQ(m.title, L"Удаление расчета");
  EXPECT_EQ(m.text, L"Вы действительно хотите удалить из списка расчет N 1-R со всеми его данными?");
  EXPECT_EQ(m.buttons, ui::MsgButtons::YesNo);
  for (const char* suffix : {"in.prr", "res.prr", ".kms", "angl.txt"}) EXPECT_FALSE(stored(1, suffix)) << suffix;
  for (int n : {11, 21}) {
    EXPECT_TRUE(stored(n, "in.prr"));
    EXPECT_TRUE(stored(n, "res.prr"));
  }
  EXPECT_EQ(bytes("prr.kat"), cp(L" 11-R\r\n11\r\nОбъект 11\r\n 21-R\r\n21\r\nОбъект 21\r\n"));
  EXPECT_EQ(f().ListView1.items().size(), 2u);
  EXPECT_EQ(f().Command4.caption(), L"Поиск");
}

TEST_F(DeleteTest, DeletingDuringASearchRemovesTheRecordFromTheSearchResult) {
  host_.cancel_input();
  host_.cancel_input();
  host_.answer_input(L"объект 1");  // finds 1-R and 11-R
  f().Command4.click();
  ASSERT_EQ(f().ListView1.items().size(), 2u);
  select(L"   11-R");
  host_.answer_message(MsgResult::Yes);
  f().Command5.click();
  EXPECT_EQ(listed(), std::vector<std::wstring>{L"    1-R|1|Объект 1"});
  EXPECT_EQ(bytes("karman1"), cp(L" 1-R\r\n1\r\nОбъект 1\r\n"));
  EXPECT_EQ(f().SearchResultShown, 1);
  EXPECT_EQ(f().Command4.caption(), L"Перечень");
  EXPECT_FALSE(stored(11, "in.prr"));
  f().Command4.click();
  EXPECT_EQ(f().ListView1.items().size(), 2u);  // 1-R and 21-R
}

// A save that a crash cut short and that cannot be finished now would be
// finished later, over the deletion: nothing is deleted, and the user is told.
TEST_F(DeleteTest, ADeletionWaitsForASaveThatCannotBeFinished) {
  // The cut-short save deletes 9in.prr, which a folder now stands in for.
  fs::create_directories(at("perform/9in.prr/inside"));
  put_bytes("perform/.dorv-save-1.jrn", "VIRN-Dorv save journal\ndecides\nnote 0:\nremove 7:9in.prr\nend\n");
  select(L"    1-R");
  host_.answer_message(MsgResult::Yes);
  host_.answer_message(MsgResult::OK);
  f().Command5.click();
  EXPECT_EQ(last_message().title, L"Удаление расчета");
  EXPECT_EQ(last_message().text.rfind(L"Расчет 1-R не удален: сохранение, прерванное сбоем, не удалось завершить. "
                                      L"Не удалось удалить файл",
                                      0),
            0u)
      << to_utf8(last_message().text);
  for (const char* suffix : {"in.prr", "res.prr"}) EXPECT_TRUE(stored(1, suffix)) << suffix;
  EXPECT_EQ(f().ListView1.items().size(), 3u);
  EXPECT_TRUE(exists("perform/.dorv-save-1.jrn"));  // tried again the next time
  EXPECT_TRUE(host_.script_done());
}

TEST_F(DeleteTest, TheNumberOfADeletedHighestCalculationIsNotGivenAgain) {
  // A stored file already missing does not keep the others from going.
  fs::remove(at("perform/21res.prr"));
  fs::remove(mirror() / "21res.prr");
  select(L"   21-R");
  host_.answer_message(MsgResult::Yes);
  f().Command5.click();
  EXPECT_FALSE(stored(21, "in.prr"));
  EXPECT_EQ(Modul1::Register.HighestCalcNumber, 21);
  f().Command2.click();
  EXPECT_EQ(f().CalcNumberBase, 21);
}

}  // namespace
}  // namespace regtest
