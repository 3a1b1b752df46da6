// The printing back end through Qt: a two-page job into a PDF file, read back
// with the system's PDF tools (text in order with Cyrillic intact, columns in
// place, fonts embedded, page sizes and orientation), jobs that cannot be
// written, and printing when no printer is installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFileDialog>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/headless.h"
#include "platform/printer.h"
#include "qtfront/qtprint.h"
#include "qtfront/qtprinters.h"
#include "support.h"
#include "tests/support/pdf_inspect.h"

namespace fs = std::filesystem;
using namespace dorv;
using dorv::front::QtPrintDevice;

namespace {

// One printer, a PDF file whose name the test gives (nothing: cancelled).
class PdfPrinters : public ui::ListedPrinters {
 public:
  explicit PdfPrinters(std::optional<fs::path> file)
      : ListedPrinters({front::kPdfPrinterName}, 0),
        device_(QtPrintDevice::pdf_file([file](const ui::PrintedDocument&) { return file; })) {}
  ui::PrintDevice* device(int index) override { return index == 0 ? device_.get() : nullptr; }

 private:
  std::unique_ptr<QtPrintDevice> device_;
};

class PrintBackEnd : public ::testing::Test {
 protected:
  PrintBackEnd() {
    test::app();
    dir_ = fs::temp_directory_path() / ("dorv_print_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  ~PrintBackEnd() override { fs::remove_all(dir_); }

  fs::path dir_;
  ui::HeadlessHost host_;
};

std::size_t find_after(const std::string& text, const std::string& what, std::size_t from) {
  const std::size_t at = text.find(what, from);
  EXPECT_NE(at, std::string::npos) << "\"" << what << "\" not found in order";
  return at == std::string::npos ? from : at + what.size();
}

const test::PdfWord* word(const std::vector<test::PdfWord>& words, const std::string& text) {
  const auto it = std::find_if(words.begin(), words.end(), [&](const test::PdfWord& w) { return w.text == text; });
  return it == words.end() ? nullptr : &*it;
}

TEST_F(PrintBackEnd, TwoPageJobIntoPdf) {
  const fs::path file = dir_ / "отчет.pdf";
  PdfPrinters printers(file);
  ui::Printer& p = printers.printer();
  EXPECT_EQ(p.twips_per_pixel_x(), 2.4);
  EXPECT_EQ(p.scale_width(), 11900);
  EXPECT_EQ(p.scale_height(), 16840);

  // A text page: a bold title, report rows in the fixed-pitch face with a
  // value in column 53, a drawn legend and a caption in the sans-serif face.
  p.set_scale_mode(0);
  p.set_orientation(ui::kPortrait);
  p.current_y = 500;
  p.text_font = ui::Font{L"Courier New", 11, true, 204};
  p.print(L"");
  p.print(L"          Программа ВИРН-Дорв 5.4.0");
  p.text_font.size = 12;
  p.text_font.bold = false;
  const double row_y = p.current_y;
  std::wstring row = L"            1  Напор|    5.28    5.33";
  row.resize(52, L' ');
  p.print(row + L"Ёлка");
  p.print_inline(L"         Расход:");
  p.print(L" 1.08");
  EXPECT_NEAR(p.text_width(L"Расход"), 6 * 144, 1);  // the fixed-pitch face is 0.6 of its size wide
  EXPECT_NEAR(p.text_height(), 272, 1);
  p.fill_solid = true;
  p.fill_color = ui::qb_color(7);
  p.circle(2850, 3000, 40);
  p.fill_color = ui::rgb(255, 0, 0);
  p.circle(5700, 3000, 60, ui::rgb(255, 0, 0));
  p.fill_solid = false;
  p.draw_width = 4;
  p.line(500, 3500, 6000, 3500, ui::qb_color(3));
  p.text_font = ui::Font{L"Arial", 10, false, 204};
  p.current_x = 2000;
  p.current_y = 4000;
  p.print(L"Расчетная схема");

  // A landscape scheme page: its header, then a drawing in a user scale.
  p.new_page();
  p.set_orientation(ui::kLandscape);
  p.text_font = ui::Font{L"Courier New", 12, true, 204};
  p.current_y = 500;
  p.print(std::wstring(82, L' ') + L"Расчет №17  Стр. 2");
  p.scale(0, 0, 100, 50);
  p.draw_width = 2;
  p.line(10, 10, 90, 40, ui::rgb(255, 0, 0));
  p.circle(50, 25, 3, ui::kBlack);
  p.text_font = ui::Font{L"Arial", 8, false, 204};
  p.current_x = 60;
  p.current_y = 30;
  p.print(L"ПК");
  ASSERT_TRUE(p.end_doc());
  EXPECT_TRUE(host_.messages().empty());
  ASSERT_TRUE(fs::exists(file));
  test::save_page_images(file, DORV_SCREENSHOT_DIR, "print-job");

  const std::string text = test::pdf_text(file);
  std::size_t at = 0;
  for (const char* piece : {"Программа ВИРН-Дорв 5.4.0", "Напор", "Ёлка", "Расход:", "Расчетная схема", "\f",
                            "Расчет", "№17", "Стр.", "ПК"})
    at = find_after(text, piece, at);

  // Columns land where twips put them: a character of 12-point fixed pitch
  // is 7.2 points wide, column 53 begins 52 characters in.
  const auto words = test::pdf_words(file);
  struct Place {
    const char* text;
    int page;
    double x;
  };
  for (const Place& place : {Place{"Программа", 1, 10 * 6.6}, Place{"Ёлка", 1, 52 * 7.2}, Place{"1.08", 1, 17 * 7.2},
                             Place{"Расчетная", 1, 100}, Place{"Расчет", 2, 82 * 7.2}, Place{"ПК", 2, 60 * 8.42}}) {
    SCOPED_TRACE(place.text);
    const test::PdfWord* w = word(words, place.text);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->page, place.page);
    EXPECT_NEAR(w->x, place.x, 0.6);
  }
  const test::PdfWord* elka = word(words, "Ёлка");
  EXPECT_NEAR(elka->y, row_y / 20, 3);

  const auto fonts = test::pdf_fonts(file);
  EXPECT_FALSE(fonts.empty());
  bool mono = false, sans = false;
  for (const auto& f : fonts) {
    SCOPED_TRACE(f.name);
    EXPECT_TRUE(f.embedded);
    mono = mono || f.name.find("LiberationMono") != std::string::npos;
    sans = sans || f.name.find("LiberationSans") != std::string::npos;
  }
  EXPECT_TRUE(mono);
  EXPECT_TRUE(sans);

  const auto sizes = test::pdf_page_sizes(file);
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[0].width, 595);
  EXPECT_EQ(sizes[0].height, 842);
  EXPECT_EQ(sizes[1].width, 842);
  EXPECT_EQ(sizes[1].height, 595);
}

// A PDF that cannot be written is told to the user in one message and the job
// reports failure, leaving no file; a cancelled save dialog is silent.
TEST_F(PrintBackEnd, JobsNotWritten) {
  fs::create_directories(dir_);
  { std::ofstream(dir_ / "файл") << "x"; }
  const fs::path unwritable = dir_ / "файл" / "отчет.pdf";
  struct Case {
    std::optional<fs::path> file;
    const wchar_t* message;
  };
  const std::wstring expected = L"Не удалось записать файл PDF «" + sys::name_of(unwritable) + L"». Документ не сохранен.";
  for (const Case& c : {Case{unwritable, expected.c_str()}, Case{std::nullopt, nullptr}}) {
    SCOPED_TRACE(c.file ? "unwritable" : "cancelled");
    host_.clear_records();
    if (c.message) host_.answer_message(ui::MsgResult::OK);
    PdfPrinters printers(c.file);
    ui::Printer& p = printers.printer();
    p.print(L"Расчет");
    p.new_page();
    p.print(L"Стр. 2");
    EXPECT_FALSE(p.end_doc());
    EXPECT_FALSE(p.in_document());
    ASSERT_EQ(host_.messages().size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(host_.messages()[0].request.text, c.message);
    }
    EXPECT_FALSE(fs::exists(unwritable));
    EXPECT_TRUE(host_.script_done());
  }
}

// With no printer installed the PDF file is the one printer, and a print goes
// to the file the user names, proposed as the calculation number in the
// program folder.
TEST_F(PrintBackEnd, NoPrinterInstalledPrintsToPdf) {
  front::QtPrinters printers(std::vector<std::wstring>{});
  EXPECT_EQ(printers.device_names(), (std::vector<std::wstring>{front::kPdfPrinterName}));
  EXPECT_EQ(printers.current(), 0);

  const fs::path chosen = dir_ / "расчет 17.pdf";
  QString proposed;
  test::when_modal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    proposed = dialog->selectedFiles().value(0);
    dialog->selectFile(QString::fromStdString(chosen.string()));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  ui::Printer& p = printers.printer();
  p.set_document_name(L"17");
  p.text_font = ui::Font{L"Courier New", 12, false, 204};
  p.print(L"Напоры и расходы");
  ASSERT_TRUE(p.end_doc());
  EXPECT_EQ(proposed.toStdString(), (fs::current_path() / "17.pdf").string());
  ASSERT_TRUE(fs::exists(chosen));
  EXPECT_NE(test::pdf_text(chosen).find("Напоры и расходы"), std::string::npos);
}

}  // namespace
