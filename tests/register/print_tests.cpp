// The print set-up dialog.
#include "fixture.h"
#include "register/form6.h"

namespace regtest {
namespace {

class PrintSetupTest : public RegisterTest {
 protected:
  // Shows the dialog modally; the procedure acts on it as the user would.
  Form6& show(std::function<void(Form6&)> procedure) {
    dialog_ = std::make_unique<Form6>();
    host_.on_modal([procedure](ui::Form& form) { procedure(static_cast<Form6&>(form)); });
    dialog_->show(ui::ShowMode::Modal);
    return *dialog_;
  }
  ui::ListedPrinters& printers() { return host_.listed_printers(); }
  std::unique_ptr<Form6> dialog_;
};

TEST_F(PrintSetupTest, OpensInRussianWithThePrintersAndTheStoredEnglishName) {
  put("nazangl.txt", L"Store\r\n");
  Modul1::Register.PrintLanguage = L"2";
  show([](Form6& d) {
    EXPECT_EQ(d.caption(), L"Настройка печати");
    EXPECT_EQ(d.Combo1.items(), (std::vector<std::wstring>{L"Printer 1", L"PDF"}));
    EXPECT_EQ(d.Combo1.text(), L"Printer 1");
    EXPECT_TRUE(d.Option1.value());
    EXPECT_FALSE(d.Text1.visible());
    EXPECT_FALSE(d.Label3.visible());
    EXPECT_FALSE(d.Label5.visible());
    EXPECT_EQ(d.Text1.text(), L"Store");
    EXPECT_EQ(d.Text2.text(), L"1");
    EXPECT_EQ(Modul1::Register.PrintLanguage, L"");
    d.Option2.click();
    EXPECT_TRUE(d.Text1.visible());
    EXPECT_EQ(d.focused(), &d.Text1);
    EXPECT_EQ(d.Text1.sel_length(), 5);
    d.Option1.click();
    EXPECT_FALSE(d.Text1.visible());
  });
  // A calculation without its own English name (an empty or no name file)
  // is offered none, whatever another calculation's printout last read.
  Modul1::Register.EnglishObjectName = L"Warehouse";
  put("nazangl.txt", L"");
  show([](Form6& d) { EXPECT_EQ(d.Text1.text(), L""); });
  fs::remove(at("nazangl.txt"));
  show([](Form6& d) { EXPECT_EQ(d.Text1.text(), L""); });
}

TEST_F(PrintSetupTest, EveryWayOutOfTheDialog) {
  struct Case {
    const char* name;
    std::function<void(Form6&)> act;
    std::wstring language;
    std::string nazangl;  // "<missing>" when the file must be gone
    int printer;
    int copies;
  };
  const Case cases[] = {
      {"cancel", [](Form6& d) { d.Option2.click(); d.Text1.type(L"X"); d.Command2.click(); }, L"", "Store\r\n", 0, 1},
      {"close box", [](Form6& d) { d.Combo1.choose(1); d.close_box(); }, L"", "Store\r\n", 0, 1},
      {"escape", [](Form6& d) { d.press_escape(); }, L"", "Store\r\n", 0, 1},
      {"russian", [](Form6& d) { d.Text1.set_text(L"Other"); d.Command1.click(); }, L"1", "Store\r\n", 0, 1},
      {"english with a name", [](Form6& d) { d.Option2.click(); d.Text1.type(L"Sports palace"); d.press_enter(); },
       L"2", "Sports palace\r\n", 0, 1},
      {"english without a name", [](Form6& d) { d.Option2.click(); d.Text1.type(L""); d.Command1.click(); }, L"2",
       "<missing>", 0, 1},
      {"printer and copies", [](Form6& d) { d.Combo1.choose(1); d.Text2.type(L"3"); d.Command1.click(); }, L"1",
       "Store\r\n", 1, 3},
      {"unknown printer", [](Form6& d) { d.Combo1.type(L"pdf"); d.Text2.type(L" 2 "); d.Command1.click(); }, L"1",
       "Store\r\n", 0, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    put("nazangl.txt", L"Store\r\n");
    printers().set_current(0);
    printers().set_copies(1);
    Modul1::Register.PrintLanguage = L"stale";
    show(c.act);
    EXPECT_FALSE(dialog_->loaded());
    EXPECT_EQ(Modul1::Register.PrintLanguage, c.language);
    EXPECT_EQ(bytes("nazangl.txt"), c.nazangl);
    EXPECT_EQ(printers().current(), c.printer);
    EXPECT_EQ(printers().copies(), c.copies);
  }
  EXPECT_TRUE(host_.script_done());
}

TEST_F(PrintSetupTest, WhatCannotBeUsedIsToldAndTheDialogStaysWithNothingChanged) {
  struct Case {
    std::wstring copies, english_name, message;
  };
  const std::wstring copies_message = L"Число копий должно быть целым числом от 1 до 9999.";
  const Case cases[] = {
      {L"abc", L"", copies_message},  {L"-1", L"", copies_message},    {L"1e9", L"", copies_message},
      {L"0", L"", copies_message},    {L"40000", L"", copies_message}, {L"", L"", copies_message},
      {L"2", L"Hall № 2 ≥ 5", L"Английское название объекта содержит знаки, которые не могут быть сохранены: ≥. "
                              L"Исправьте название."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(to_utf8(c.copies + L" " + c.english_name));
    put("nazangl.txt", L"Store\r\n");
    printers().set_current(0);
    printers().set_copies(1);
    host_.clear_records();
    host_.answer_message(MsgResult::OK);
    show([&c](Form6& d) {
      d.Combo1.choose(1);
      if (!c.english_name.empty()) {
        d.Option2.click();
        d.Text1.type(c.english_name);
      }
      d.Text2.type(c.copies);
      d.Command1.click();
      EXPECT_TRUE(d.loaded());
      EXPECT_EQ(d.focused(), c.english_name.empty() ? &d.Text2 : &d.Text1);
      d.Command2.click();
    });
    ASSERT_EQ(host_.messages().size(), 1u);
    EXPECT_EQ(last_message().text, c.message);
    EXPECT_EQ(Modul1::Register.PrintLanguage, L"");
    EXPECT_EQ(bytes("nazangl.txt"), "Store\r\n");
    EXPECT_EQ(printers().current(), 0);
    EXPECT_EQ(printers().copies(), 1);
  }
  EXPECT_TRUE(host_.script_done());
}

TEST_F(PrintSetupTest, WithoutAPrinterNothingIsPrinted) {
  printers().set_names({}, -1);
  Modul1::Register.PrintLanguage = L"1";
  host_.answer_message(MsgResult::OK);
  dialog_ = std::make_unique<Form6>();
  dialog_->show(ui::ShowMode::Modal);
  EXPECT_FALSE(dialog_->loaded());
  EXPECT_EQ(Modul1::Register.PrintLanguage, L"");
  EXPECT_TRUE(host_.script_done());
}

}  // namespace
}  // namespace regtest
