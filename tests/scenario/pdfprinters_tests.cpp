// The scenario runner's "pdf PATH": the next print job, whatever the chosen
// printer, is written to the PDF file; the job after it is recorded again.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/headless.h"
#include "tests/scenario/pdfprinters.h"
#include "tests/support/pdf_inspect.h"

namespace fs = std::filesystem;
using namespace dorv;

TEST(ScenarioPrinters, NextJobGoesToPdf) {
  ui::HeadlessHost host;
  const fs::path dir = fs::temp_directory_path() / ("dorv_scenario_pdf_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path pdf = dir / "report.pdf";
  scenario::ScenarioPrinters printers({L"Printer 1", L"PDF"}, 0);
  ui::Printer& p = printers.printer();

  printers.send_next_job_to(pdf);
  EXPECT_TRUE(printers.pdf_pending());
  p.text_font = ui::Font{L"Courier New", 12, true, 204};
  p.print(L"Расчет №17");
  EXPECT_EQ(p.scale_width(), 11900);  // measured on the PDF's page
  ASSERT_TRUE(p.end_doc());
  EXPECT_FALSE(printers.pdf_pending());
  EXPECT_NE(test::pdf_text(pdf).find("Расчет №17"), std::string::npos);
  EXPECT_TRUE(printers.recorder().documents().empty());

  p.print(L"Стр. 2");
  ASSERT_TRUE(p.end_doc());
  ASSERT_EQ(printers.recorder().documents().size(), 1u);
  EXPECT_EQ(printers.recorder().documents()[0].device_name, L"Printer 1");
  fs::remove_all(dir);
}
