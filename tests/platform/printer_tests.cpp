// The printer object on the headless host's recording printers: what each
// page of a document holds, the position and metrics rules the reports lay
// out by, and jobs that fail.
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/printer.h"

using namespace dorv::ui;

namespace {

class PrinterTest : public ::testing::Test {
 protected:
  HeadlessHost host_;
  Printer& printer() { return host_.printers().printer(); }
  RecordingPrintDevice& recorder() { return host_.listed_printers().recorder(); }

  static const DrawOp& op(const PrintedPage& page, std::size_t i) { return page.ops.at(i); }
};

// A two-page job as the reports make one: a portrait text page with a title
// and a drawn legend, then a landscape page in a user scale.
TEST_F(PrinterTest, RecordsEachPageWithTheStateInForce) {
  Printer& p = printer();
  host_.listed_printers().set_current(1);
  host_.printers().set_copies(2);
  p.set_document_name(L"17");
  p.set_scale_mode(0);
  p.set_orientation(kPortrait);
  p.current_y = 500;
  p.current_x = 0;
  p.text_font.size = 11;
  p.text_font.bold = true;
  p.text_font.name = L"Courier New";
  p.print(L"");
  p.print(L"          Программа");
  p.text_font.size = 12;
  p.text_font.bold = false;
  p.print_inline(L"ab");
  p.print(L"Стр.");
  p.fill_solid = true;
  p.fill_color = qb_color(7);
  p.circle(2850, 1000, 40);
  p.draw_width = 4;
  p.line(100, 200, 300, 400, rgb(255, 0, 0));

  p.new_page();
  p.set_orientation(kLandscape);  // after the page break, as the scheme page does it
  EXPECT_EQ(p.scale_width(), 16838);
  p.scale(0, 0, 100, 50);  // the whole landscape page is 100 by 50 units
  p.fore_color = rgb(0, 0, 255);
  p.line(10, 10, 20, 20);
  p.current_x = 50;
  p.current_y = 25;
  p.print(L"ПК");
  ASSERT_TRUE(p.end_doc());

  ASSERT_EQ(recorder().documents().size(), 1u);
  const PrintedDocument& doc = recorder().documents()[0];
  EXPECT_EQ(doc.device_name, L"PDF");
  EXPECT_EQ(doc.name, L"17");
  EXPECT_EQ(doc.copies, 2);
  ASSERT_EQ(doc.pages.size(), 2u);

  const PrintedPage& first = doc.pages[0];
  EXPECT_EQ(first.orientation, kPortrait);
  EXPECT_EQ(first.width, 11906);
  EXPECT_EQ(first.height, 16838);
  ASSERT_EQ(first.ops.size(), 6u);
  const double h11 = 11 * 20 * 1.1328;
  struct Text {
    std::wstring text;
    double x, y, size;
    bool bold;
  };
  const Text texts[] = {
      {L"", 0, 500, 11, true},
      {L"          Программа", 0, 500 + h11, 11, true},
      {L"ab", 0, 500 + 2 * h11, 12, false},
      {L"Стр.", 2 * 144, 500 + 2 * h11, 12, false},
  };
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    SCOPED_TRACE(i);
    const DrawOp& t = op(first, i);
    EXPECT_EQ(t.kind, DrawOp::Kind::Text);
    EXPECT_EQ(t.text, texts[i].text);
    EXPECT_NEAR(t.x1, texts[i].x, 1e-6);
    EXPECT_NEAR(t.y1, texts[i].y, 1e-6);
    EXPECT_EQ(t.font.name, L"Courier New");
    EXPECT_EQ(t.font.size, texts[i].size);
    EXPECT_EQ(t.font.bold, texts[i].bold);
  }
  const DrawOp& circle = op(first, 4);
  EXPECT_EQ(circle.kind, DrawOp::Kind::Circle);
  EXPECT_TRUE(circle.filled);
  EXPECT_EQ(circle.fill_color, rgb(192, 192, 192));
  EXPECT_EQ(circle.color, kBlack);
  EXPECT_EQ(circle.radius, 40);
  const DrawOp& line = op(first, 5);
  EXPECT_EQ(line.color, rgb(255, 0, 0));
  EXPECT_EQ(line.draw_width, 4);

  const PrintedPage& second = doc.pages[1];
  EXPECT_EQ(second.orientation, kLandscape);
  EXPECT_EQ(second.width, 16838);
  EXPECT_EQ(second.height, 11906);
  ASSERT_EQ(second.ops.size(), 2u);
  EXPECT_EQ(op(second, 0).color, rgb(0, 0, 255));
  const TwipPoint start = to_twips(second, op(second, 0), op(second, 0).x1, op(second, 0).y1);
  EXPECT_NEAR(start.x, 1683.8, 1e-6);
  EXPECT_NEAR(start.y, 2381.2, 1e-6);
  const TwipPoint label = to_twips(second, op(second, 1), op(second, 1).x1, op(second, 1).y1);
  EXPECT_NEAR(label.x, 8419, 1e-6);
  EXPECT_NEAR(label.y, 5953, 1e-6);

  // The job is over: the next one starts afresh at the top-left.
  EXPECT_FALSE(p.in_document());
  EXPECT_EQ(p.current_x, 0);
  EXPECT_TRUE(host_.messages().empty());
}

// The position, metrics and page size rules, in twips and in a user scale.
TEST_F(PrinterTest, PositionMetricsAndPageSize) {
  Printer& p = printer();
  p.text_font = Font{L"Courier New", 10, false, 204};
  EXPECT_EQ(p.scale_width(), 11906);
  EXPECT_EQ(p.scale_height(), 16838);
  EXPECT_EQ(p.twips_per_pixel_x(), 2.4);
  EXPECT_EQ(p.twips_per_pixel_y(), 2.4);
  EXPECT_NEAR(p.text_width(L"Расчет"), 6 * 120, 1e-9);
  EXPECT_NEAR(p.text_height(), 226.56, 1e-9);

  // Landscape turns the printable area at once; a refused value changes nothing.
  p.set_orientation(kLandscape);
  p.set_orientation(3);
  EXPECT_EQ(p.orientation(), kLandscape);
  EXPECT_EQ(p.scale_width(), 16838);
  EXPECT_EQ(p.scale_height(), 11906);

  // A user scale by its four sides: lengths follow it, and scale mode 1
  // goes back to twips with the position at the top-left.
  p.set_scale_width(16838 / 2.0);
  p.set_scale_left(-10);
  p.set_scale_height(11906 / 4.0);
  p.set_scale_top(5);
  EXPECT_NEAR(p.text_width(L"Расчет"), 6 * 120 / 2.0, 1e-9);
  EXPECT_NEAR(p.text_height(), 226.56 / 4, 1e-9);
  p.current_x = 7;
  p.current_y = 9;
  p.print_inline(L"ПК");
  EXPECT_NEAR(p.current_x, 7 + 120, 1e-9);
  p.print(L"");
  EXPECT_EQ(p.current_x, -10);
  EXPECT_NEAR(p.current_y, 9 + 226.56 / 4, 1e-9);
  p.new_page();
  EXPECT_EQ(p.current_x, -10);
  EXPECT_EQ(p.current_y, 5);
  EXPECT_EQ(p.page(), 2);
  p.set_scale_mode(1);
  EXPECT_EQ(p.scale_left(), 0);
  EXPECT_EQ(p.scale_width(), 16838);
  EXPECT_EQ(p.current_y, 0);

  // A page break with nothing after it still gives the page.
  ASSERT_TRUE(p.end_doc());
  ASSERT_EQ(recorder().documents().size(), 1u);
  EXPECT_EQ(recorder().documents()[0].pages.size(), 2u);
  EXPECT_TRUE(recorder().documents()[0].pages[1].ops.empty());
}

// Nothing drawn is no job; a dropped document leaves nothing; a job that the
// printer refuses, or one with no printer at all, is told to the user once and
// reported as not printed.
TEST_F(PrinterTest, JobsThatAreNotPrinted) {
  Printer& p = printer();
  EXPECT_TRUE(p.end_doc());
  p.print(L"черновик");
  p.kill_doc();
  EXPECT_FALSE(p.in_document());
  EXPECT_TRUE(p.end_doc());
  EXPECT_TRUE(recorder().documents().empty());

  host_.answer_message(MsgResult::OK);
  recorder().fail_with(L"Принтер отказал.");
  p.print(L"отчет");
  EXPECT_FALSE(p.end_doc());
  ASSERT_EQ(host_.messages().size(), 1u);
  EXPECT_EQ(host_.messages()[0].request.text, L"Принтер отказал.");
  EXPECT_EQ(host_.messages()[0].request.title, L"Предупреждение");
  EXPECT_TRUE(recorder().documents().empty());
  EXPECT_FALSE(p.in_document());

  host_.answer_message(MsgResult::OK);
  recorder().fail_with(L"");
  host_.listed_printers().set_names({}, -1);
  p.print(L"отчет");
  EXPECT_FALSE(p.end_doc());
  ASSERT_EQ(host_.messages().size(), 2u);
  EXPECT_EQ(host_.messages()[1].request.text, L"Принтер не выбран. Документ не напечатан.");
  EXPECT_TRUE(recorder().documents().empty());
  EXPECT_TRUE(host_.script_done());
}

}  // namespace
