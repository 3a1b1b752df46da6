// Form4 on the headless host: import of an export, the node check, a damaged
// export, the outlet groups' layout, storing on close.
#include "arbform/form4.h"
#include "tests/register/fixture.h"

namespace {

using namespace regtest;
using dorv::arb::Form4;

class Form4Test : public RegisterTest {
 protected:
  void SetUp() override {
    RegisterTest::SetUp();
    form4_ = std::make_unique<Form4>();
    Modul1::set_calc_form(Modul1::CalcKind::Arbitrary, [this] { form4_->show(); });
    start();
    fs::copy_file(fs::path(DORV_DATA_DIR) / "trub.inf", at("trub.inf"));
    put("dorv54.lsp", L"(setq link 1)\r\n");
    // The example calculation's data with the results block of an export.
    body_ = read_bytes(fs::path(ARBFORM_DATA_DIR) / "network.prr");
    body_ = body_.substr(0, body_.find("#####4")) + "#####4\r\nnil\r\nnil\r\n0\r\n";
  }
  void TearDown() override {
    form4_.reset();
    RegisterTest::TearDown();
  }
  // A new calculation whose export the register has copied in.
  Form4& open_new(const std::string& export_bytes) {
    f().OpenedFromRegister = false;
    f().CalcNumberBase = 3;
    Modul1::Register.CurrentCalcId = L"TI";
    Modul1::PrepareWorkingFiles();
    Modul1::Register.NewCalcId = L" 4-T";
    put_bytes("rezult.ko2", export_bytes);
    put("rezult.kms", L"0,0,100,50\r\n2,10,10,90,10\r\n3,90,10\r\n5,10,10,\"1\",2\r\n");
    form4_->show();
    return *form4_;
  }
  std::string exported() const { return cp(L"#####\r\n5.4.0\r\nнечто\r\n") + body_; }
  std::vector<std::wstring> messages() const {
    std::vector<std::wstring> out;
    for (std::size_t i = seen_; i < host_.messages().size(); ++i) out.push_back(host_.messages()[i].request.text);
    return out;
  }
  std::unique_ptr<Form4> form4_;
  std::string body_;
  std::size_t seen_ = 0;  // messages before this count are not the test's concern
};

TEST_F(Form4Test, ImportOfAKnownExport) {
  Form4& f4 = open_new(exported());
  EXPECT_EQ(bytes("rezult1.txt"), body_);
  EXPECT_EQ(split_lines(from_cp1251(body_))[16], L"0.0001 0.0005 200000");  // the line after "#####1"
  EXPECT_FALSE(exists("rezult.ko2"));
  EXPECT_EQ(bytes("spr.in"), cp(L"0.0001 0.0005 200000\r\n0 p 10 1 5 3.317\r\n1 p 0 1 3 .47\r\n2 p 0 1 4 .47\r\n"
                                L"3 o 0 2 1 .47 5 1.071\r\n4 o 0 2 2 .47 5 1.071\r\n5 v 0 3 0 3.317 3 1.071 4 1.071\r\n"));
  EXPECT_EQ(f4.state.imported.NetworkLoaded, 1);
  EXPECT_EQ(f4.state.imported.DataVersion, 540);
  EXPECT_EQ(f4.Text2.text(), L" 4-T");
  EXPECT_EQ(f4.Text8.text(), L" 18/02");
  EXPECT_EQ(f4.Text1[0]->text(), L" 0.08");
  EXPECT_EQ(f4.Text1[3]->text(), L" 4.17");
  EXPECT_EQ(f4.Text9.text(), L"ГОСТ 3262-75");
  EXPECT_EQ(f4.Text15.text(), L"0.0019 (УУСЗ-65)");
  EXPECT_FALSE(f4.Label14.visible());  // no rack sprinklers
  EXPECT_EQ(f4.Label7[1]->caption(), L"Напор перед узлом управления");
  EXPECT_EQ(f4.state.imported.MainPipeRows, 12);
  EXPECT_EQ(f4.Text4.text().substr(f4.Text4.text().rfind(L"\r\n", f4.Text4.text().size() - 3) + 2),
            L"     2-4       3        25        0\r\n");
  EXPECT_TRUE(f4.Picture1.visible());
  EXPECT_EQ(f4.Picture1.ops().size(), 3u);
  EXPECT_TRUE(messages().empty());
}

// The scheme lies over the outlet groups it shares the form with, the given
// head mode shows in its button's colour, the section table keeps its columns.
TEST_F(Form4Test, SchemeOnTopModeInTheButtonColourTableInFixedPitch) {
  Form4& f4 = open_new(exported());
  for (const dorv::ui::Control* c : {static_cast<const dorv::ui::Control*>(f4.Label7[1]),
                                     static_cast<const dorv::ui::Control*>(&f4.Text4)})
    EXPECT_GT(f4.Picture1.z_order(), c->z_order());
  EXPECT_EQ(f4.Text4.font().name, L"Courier New");
  EXPECT_EQ(f4.Command6.back_color(), dorv::ui::kButtonFace);
  f4.Command6.on_click();
  EXPECT_TRUE(f4.GivenInletPressureMode());
  EXPECT_EQ(f4.Command6.back_color(), dorv::ui::rgb(255, 128, 0));
  f4.Command6.on_click();
  EXPECT_FALSE(f4.GivenInletPressureMode());
  f4.Command7.on_click();  // hides the scheme
  EXPECT_FALSE(f4.Picture1.visible());
  f4.Command7.on_click();  // shows it again, on top
  EXPECT_TRUE(f4.Picture1.visible());
}

TEST_F(Form4Test, NodeWithTooManyPipesStopsTheImport) {
  for (const char* links : {"5 v 0 5 0 3.317 3 1.071 4 1.071 1 1 2 1", "5 v 0 7 0 3.317 3 1.071 4 1.071 1 1 2 1 6 1 7 1"}) {
    std::string body = body_;
    const std::string old = "5 v 0 3 0 3.317 3 1.071 4 1.071";
    body.replace(body.find(old), old.size(), links);
    form4_->unload();
    seen_ = host_.messages().size();
    host_.answer_message(MsgResult::OK);
    Form4& f4 = open_new(cp(L"#####\r\n5.4.0\r\n\r\n") + body);
    EXPECT_EQ(messages(), std::vector<std::wstring>{L"К узлу номер 2 подходит более 4-х труб, что недопустимо!"});
    EXPECT_EQ(f4.state.imported.NetworkLoaded, 0);
    EXPECT_NE(bytes("spr.in").find(links), std::string::npos);
  }
}

TEST_F(Form4Test, DamagedExportChangesNothing) {
  put("rezult1.txt", L"");
  std::string cut = exported();
  cut.resize(cut.find("#####3"));
  host_.answer_message(MsgResult::OK);
  Form4& f4 = open_new(cut);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find(L"не могут быть загружены: после строки #####2 нет четырех перечней"), std::wstring::npos);
  EXPECT_EQ(f4.state.imported.NetworkLoaded, 0);
  EXPECT_EQ(bytes("rezult1.txt"), "");
  EXPECT_TRUE(exists("rezult.ko2"));
  // Nothing was imported, so closing asks nothing and stores nothing.
  form4_->unload();
  EXPECT_EQ(messages().size(), 1u);
  EXPECT_FALSE(exists("perform/4in.prr"));
}

TEST_F(Form4Test, DelugeAndFireCocksOnlyMoveUp) {
  std::wstring body = from_cp1251(body_);
  auto replace = [&](const std::wstring& a, const std::wstring& b) { body.replace(body.find(a), a.size(), b); };
  replace(L"\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n#####1", L"\r\n1.5\r\n9\r\n2.6\r\n10\r\n\r\n\r\n\r\n#####1");
  replace(L"2 3 4\r\n0\r\n0\r\n0\r\n", L"2 3 4\r\n1 3\r\n1 4\r\n0\r\n");
  Form4& f4 = open_new(cp(L"#####\r\n5.4.0\r\n\r\n" + body));
  EXPECT_TRUE(messages().empty());
  EXPECT_FALSE(f4.Label11.visible());
  EXPECT_TRUE(f4.Label12.visible());
  EXPECT_EQ(f4.Text11.rect().top, 2280);
  EXPECT_EQ(f4.Label13.rect().top, 5520 - 2640);
  EXPECT_EQ(f4.Text13.rect().top, 3120);
  EXPECT_EQ(f4.state.imported.OutletDataInFile[dorv::arb::kDelugeKind].k, 0.5);
  // The main sprinklers' values stay in their hidden fields.
  EXPECT_EQ(f4.Text1[0]->text(), L" 0.08");
  // Loading again gives the same positions.
  put_bytes("rezult.ko2", cp(L"#####\r\n5.4.0\r\n\r\n" + body));
  host_.answer_message(MsgResult::Yes);
  f4.Command4.click();
  EXPECT_EQ(f4.Text13.rect().top, 3120);
  // Closed and opened again, twice: every opening starts from the design.
  for (int opening = 2; opening <= 3; ++opening) {
    host_.answer_message(MsgResult::No);
    form4_->unload();
    open_new(cp(L"#####\r\n5.4.0\r\n\r\n" + body));
    EXPECT_EQ(f4.Text11.rect().top, 2280) << opening;
    EXPECT_EQ(f4.Label13.rect().top, 5520 - 2640) << opening;
    EXPECT_EQ(f4.Text13.rect().top, 3120) << opening;
  }
}

// The import marks the free head it computed, and a field that loses the
// focus runs its group's rule: the head goes with the area it came from.
TEST_F(Form4Test, AFieldLeftRunsItsGroupsRule) {
  Form4& f4 = open_new(exported());
  auto shown = [&] {
    std::vector<std::wstring> texts;
    for (auto* t : f4.Text1) texts.push_back(t->text());
    return texts;
  };
  using Texts = std::vector<std::wstring>;
  ASSERT_EQ(shown(), (Texts{L" 0.08", L" 12", L" .47", L" 4.17"}));
  f4.Text1[1]->set_text(L"");
  f4.Text1_LostFocus(1);
  EXPECT_EQ(shown(), (Texts{L" 0.08", L"", L" .47", L""}));
  f4.Text16.set_text(L"0,1");
  f4.Text17.set_text(L"12");
  f4.Text18.set_text(L"95");
  f4.Text16_LostFocus();
  EXPECT_EQ(f4.Text16.text(), L"0.1");
  EXPECT_EQ(f4.Text19.text(), L" 5.76");
}

TEST_F(Form4Test, SaveAndReopenKeepTheStoredFilesNoStoresNothing) {
  open_new(exported());
  host_.answer_message(MsgResult::No);
  form4_->unload();
  EXPECT_FALSE(exists("perform/4in.prr"));
  EXPECT_EQ(f().ListView1.find_item(L"4-T"), -1);

  open_new(exported());
  host_.answer_message(MsgResult::Yes);
  form4_->unload();
  EXPECT_EQ(bytes("perform/4in.prr"), body_);
  ASSERT_GE(f().ListView1.find_item(L"    4-T"), 0);
  const std::string kat = bytes("prr.kat"), in = bytes("perform/4in.prr"), kms = bytes("perform/4.kms");
  EXPECT_NE(kat.find(cp(L" 4-T\r\n18/02\r\nТорговый центр «Северный»\r\n")), std::string::npos);

  // Opened again and closed: nothing asked, every stored file as it was.
  seen_ = host_.messages().size();
  select(L"    4-T");
  f().Command1.click();
  ASSERT_TRUE(form4_->visible());
  EXPECT_EQ(form4_->state.imported.NetworkLoaded, 1);
  EXPECT_EQ(form4_->Text2.text(), L" 4-T");
  form4_->Text2.type(L" 99-T");  // the identifier field is editable; it names nothing
  form4_->unload();
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(bytes("prr.kat"), kat);
  EXPECT_EQ(bytes("perform/4in.prr"), in);
  EXPECT_EQ(bytes("perform/4.kms"), kms);
}

}  // namespace
