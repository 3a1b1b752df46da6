// The import of the network data on the form's texts and values, without a
// form: an export converted and read, and the imports that stop, with what
// the form is to show of each.
#include <gtest/gtest.h>

#include "arbmodel/form_texts.h"
#include "arbmodel/network_import.h"
#include "platform/files.h"
#include "tests/support/program_folder.h"
#include "text/codepage.h"

namespace {

using namespace dorv;
using namespace dorv::arb;

class NetworkImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = sys::current_folder();
    sys::set_current_folder(folder_.dir());
    folder_.install(std::filesystem::path(DORV_DATA_DIR) / "trub.inf", "trub.inf");
    // The example calculation's data with the results block of an export.
    body_ = read_bytes(std::filesystem::path(ARBFORM_DATA_DIR) / "network.prr");
    body_ = body_.substr(0, body_.find("#####4")) + "#####4\r\nnil\r\nnil\r\n0\r\n";
  }
  void TearDown() override { sys::set_current_folder(saved_); }
  static std::string header() { return to_cp1251(L"#####\r\n5.4.0\r\nнечто\r\n"); }

  dorv::testing::ProgramFolder folder_;
  std::filesystem::path saved_;
  std::string body_;
};

TEST_F(NetworkImportTest, AnExportIsConvertedIntoTheFileTheFieldsAndTheTables) {
  folder_.put("rezult.ko2", header() + body_);
  Form4State s;
  NetworkFormTexts f;
  f.Text5 = {L" 12.42", L" 29.43", L" 29.43"};
  f.Text20 = L" 0.13";
  const NetworkImport r = import_network(s, f, L"");
  EXPECT_TRUE(r.messages.empty());
  EXPECT_TRUE(r.export_converted && r.head_lines_read && r.groups_stacked && r.scheme);
  EXPECT_FALSE(folder_.has("rezult.ko2"));
  EXPECT_TRUE(folder_.has("rezult1.txt"));
  EXPECT_EQ(s.imported.DataVersion, 540);
  EXPECT_EQ(s.imported.NetworkLoaded, 1);
  EXPECT_GT(s.imported.MainPipeRows, 0);
  // The fields as the head lines give them, the results moved to the
  // previous run's column, the design values cleared.
  EXPECT_EQ(f.Text1, (std::array<std::wstring, 4>{L" 0.08", L" 12", L" .47", L" 4.17"}));
  EXPECT_EQ(s.imported.SprinklerComputedField[kMainKind], ComputedField::FreeHead);
  EXPECT_EQ(f.Text9, L"ГОСТ 3262-75");
  EXPECT_EQ(f.Text6, (std::array<std::wstring, 3>{L" 12.42", L" 29.43", L" 29.43"}));
  EXPECT_EQ(f.Text5, (std::array<std::wstring, 3>{}));
  EXPECT_EQ(f.Text20, L"");
  // Only the main sprinklers' rows show: the network has no other outlets.
  std::array<bool, kHeadLines + 1> rows{};
  rows[3] = rows[4] = rows[5] = true;
  EXPECT_EQ(r.RowShown, rows);
  EXPECT_EQ(f.GroupShown, (std::array<bool, 4>{true, false, false, false}));
  EXPECT_NE(r.SectionText.find(L"\r\n"), std::wstring::npos);
  EXPECT_TRUE(f.SchemeShown);
}

// An import that stops has told why, and shows what it got to.
TEST_F(NetworkImportTest, AnImportThatStopsTellsWhyAndShowsWhatItGotTo) {
  std::string too_many_pipes = body_;
  const std::string links = "5 v 0 3 0 3.317 3 1.071 4 1.071";
  too_many_pipes.replace(too_many_pipes.find(links), links.size(), "5 v 0 5 0 3.317 3 1.071 4 1.071 1 1 2 1");
  struct Case {
    const char* what;
    std::string exported;
    std::wstring message;  // its start
    bool file_fault, head_lines_read;
  };
  const Case cases[] = {
      {"export cut short", header() + body_.substr(0, body_.find("#####3")),
       L"Данные, подготовленные графическим приложением (rezult.ko2), не могут быть загружены", true, false},
      {"node with too many pipes", header() + too_many_pipes, L"К узлу номер 2 подходит более 4-х труб", false, true},
  };
  for (const Case& c : cases) {
    folder_.put("rezult.ko2", c.exported);
    Form4State s;
    NetworkFormTexts f;
    f.SchemeShown = true;
    const NetworkImport r = import_network(s, f, L"");
    ASSERT_EQ(r.messages.size(), 1u) << c.what;
    EXPECT_EQ(r.messages[0].text.substr(0, c.message.size()), c.message) << c.what;
    EXPECT_EQ(r.messages[0].file_fault, c.file_fault) << c.what;
    EXPECT_EQ(r.head_lines_read, c.head_lines_read) << c.what;
    EXPECT_FALSE(r.groups_stacked || r.scheme || f.SchemeShown) << c.what;
    EXPECT_EQ(s.imported.NetworkLoaded, 0) << c.what;
  }
}

}  // namespace
