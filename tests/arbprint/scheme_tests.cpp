// The printed scheme of an arbitrary network on the recording printer: where
// it goes and at which scale, its legend, its drawing, and scheme files it
// cannot print.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "arbprint/arb_scheme_page.h"
#include "arbprint/scheme_stages.h"
#include "platform/headless.h"
#include "text/linefile.h"

using namespace dorv;
using namespace dorv::arbprint;
using ui::DrawOp;
namespace fs = std::filesystem;

namespace {

constexpr double kLine12 = 12 * 20 * 1.1328;  // a 12-point line on the recording device
constexpr double kA4Width = 11906, kA4Height = 16838;
// The network form's picture that shows the scheme on the screen, twips.
constexpr double kPictureWidth = 6960, kPictureHeight = 5880;

class SchemePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("dorv-arbscheme-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    in_.calculation_number = L"17";
    in_.page_number = 3;
    in_.main_intensity_given = in_.main_sprinklers = true;
    in_.fire_cocks = true;
    in_.scheme_file = dir_ / "rezult.kms";
    in_.picture_width = kPictureWidth;
    in_.picture_height = kPictureHeight;
  }
  void TearDown() override { fs::remove_all(dir_); }

  ui::Printer& printer() { return host_.printers().printer(); }

  // Prints `text_lines` lines of report text, then the scheme from a file of
  // these lines, and ends the document.
  const ui::PrintedDocument& print(const std::vector<std::wstring>& kms, int text_lines = 9) {
    write_lines(in_.scheme_file, kms);
    return print_as_it_is(text_lines);
  }
  const ui::PrintedDocument& print_as_it_is(int text_lines) {
    ui::Printer& p = printer();
    p.set_scale_mode(1);
    p.set_orientation(ui::kPortrait);
    p.text_font = ui::Font{L"Courier New", 12, false, 204};
    p.current_y = 500;
    for (int i = 0; i < text_lines; ++i) p.print(L" строка отчета");
    printed_ = print_arbitrary_scheme(p, in_);
    EXPECT_TRUE(p.end_doc());
    const auto& docs = host_.listed_printers().recorder().documents();
    EXPECT_EQ(docs.size(), 1u);
    return docs.back();
  }

  // The scheme file of the example network, as the network export writes it.
  bool export_example() const {
    const std::string command = std::string("\"") + NETEXPORT_EXE + "\" -t \"" + DORV_DATA_DIR + "/trub.inf\" -o \"" +
                                dir_.string() + "\" \"" + NETEXPORT_EXAMPLE + "\" >/dev/null";
    return std::system(command.c_str()) == 0;
  }

  static double text_end(int lines) { return 500 + lines * kLine12; }

  // The page point of an operation's first point (or a circle's centre).
  static ui::TwipPoint at(const ui::PrintedPage& page, const DrawOp& op) { return ui::to_twips(page, op, op.x1, op.y1); }
  static ui::TwipPoint end(const ui::PrintedPage& page, const DrawOp& op) { return ui::to_twips(page, op, op.x2, op.y2); }

  static std::size_t find_text(const ui::PrintedPage& page, const std::wstring& text) {
    for (std::size_t i = 0; i < page.ops.size(); ++i)
      if (page.ops[i].kind == DrawOp::Kind::Text && page.ops[i].text == text) return i;
    ADD_FAILURE() << "no text: " << std::string(text.begin(), text.end());
    return 0;
  }

  ui::HeadlessHost host_;
  fs::path dir_;
  ArbitrarySchemeInput in_;
  bool printed_ = false;
};

std::wstring blanks(int n) { return std::wstring(n, L' '); }

}  // namespace

// The choice of page and scale from the room the text leaves: a small scheme
// under the text, a tall one on a portrait page, a wide flat one on a
// landscape page, and the cases at the edges of the choice.
TEST(SchemeLayout, PlacementAndScaleFromTheRoomLeft) {
  const SchemePageRoom a4{0, kA4Width, kA4Height, kA4Height, kA4Width};
  const double page_top = 500 + 275 * 7;  // two legend rows on a page of its own
  struct Case {
    const char* name;
    double text_end, w, h;
    SchemePlacement placement;
    double scale, ytop;
  } cases[] = {
      {"small: under the text", 3000, 100, 50, SchemePlacement::kUnderText, 1.9, 3000 + 275 * 8},
      {"tall: too small under the text, fits a portrait page", 3000, 100, 500, SchemePlacement::kPortraitPage,
       (kA4Height - page_top - 1134) / (56.7 * 500), page_top},
      {"wide: landscape", 3000, 1000, 100, SchemePlacement::kLandscapePage, 0.26, page_top},
      {"text at the foot: no room left, a new page", 16000, 100, 50, SchemePlacement::kPortraitPage, 1.9, page_top},
      {"landscape no better: portrait below the limit", 3000, 100, 900, SchemePlacement::kPortraitPage,
       (kA4Height - page_top - 1134) / (56.7 * 900), page_top},
      {"landscape better though below the limit", 3000, 2000, 100, SchemePlacement::kLandscapePage, 0.13, page_top},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SchemePageRoom room = a4;
    room.text_end_y = c.text_end;
    const SchemeLayout l = choose_scheme_layout(room, c.w, c.h, 2, 2);
    EXPECT_EQ(l.placement, c.placement);
    EXPECT_NEAR(l.scale, c.scale, 1e-12);
    EXPECT_DOUBLE_EQ(l.ytop, c.ytop);
    const bool landscape = c.placement == SchemePlacement::kLandscapePage;
    EXPECT_EQ(l.width, landscape ? kA4Height : kA4Width);
    EXPECT_EQ(l.height, landscape ? kA4Width : kA4Height);
  }
  // Each legend row reserves 275 twips: more rows, a lower drawing top.
  SchemePageRoom room = a4;
  room.text_end_y = 3000;
  EXPECT_DOUBLE_EQ(choose_scheme_layout(room, 100, 50, 3, 4).ytop, 3000 + 275 * 9);
  EXPECT_DOUBLE_EQ(choose_scheme_layout(room, 100, 500, 3, 4).ytop, 500 + 275 * 9);
}

// A small scheme prints under the text: title block, legend, then the
// drawing at the largest scale, centred across the page, its top right below
// the legend.
TEST_F(SchemePageTest, SmallSchemeUnderTheText) {
  const auto& doc = print({L"10,20,100,50", L"2,10,20,110,70"});
  EXPECT_TRUE(printed_);
  ASSERT_EQ(doc.pages.size(), 1u);
  const auto& page = doc.pages[0];
  const std::size_t title = find_text(page, blanks(32) + L"РАСЧЕТНАЯ СХЕМА");
  EXPECT_NEAR(page.ops[title].y1, text_end(9) + 3 * kLine12, 1e-6);
  EXPECT_TRUE(page.ops[title].font.bold);
  EXPECT_EQ(page.ops[title].font.size, 12);
  // Title, empty line, two legend rows, the closing empty line.
  const double ytop = text_end(9) + 8 * kLine12;
  const DrawOp& line = page.ops.back();
  const double t = 56.7 * 0.8;  // 1.9 mm a unit is more than 5 units to 4 mm
  EXPECT_NEAR(at(page, line).x, (kA4Width - 100 * t) / 2, 1e-6);
  EXPECT_NEAR(at(page, line).y, ytop, 1e-6);
  EXPECT_NEAR(end(page, line).x - at(page, line).x, 100 * t, 1e-6);
  EXPECT_NEAR(end(page, line).y, ytop + 50 * t, 1e-6);
  EXPECT_TRUE(host_.messages().empty());
}

// A tall scheme goes to a new portrait page under the page header; it fills
// the page down to the bottom margin.
TEST_F(SchemePageTest, TallSchemeOnAPortraitPage) {
  const auto& doc = print({L"0,0,100,500", L"2,0,0,100,500"});
  ASSERT_EQ(doc.pages.size(), 2u);
  const auto& page = doc.pages[1];
  EXPECT_EQ(page.orientation, ui::kPortrait);
  EXPECT_EQ(page.ops[0].text, blanks(52) + L"Расчет №17  Стр. 3");
  EXPECT_EQ(page.ops[0].y1, 500);
  EXPECT_EQ(page.ops[2].text, blanks(32) + L"РАСЧЕТНАЯ СХЕМА");
  const double ytop = 500 + 275 * 7;
  const double t = 56.7 * (kA4Height - ytop - 1134) / (56.7 * 500);
  const DrawOp& line = page.ops.back();
  EXPECT_NEAR(at(page, line).x, (kA4Width - 100 * t) / 2, 1e-6);
  EXPECT_NEAR(at(page, line).y, ytop, 1e-6);
  EXPECT_NEAR(end(page, line).y, kA4Height - 1134, 1e-6);
}

// A wide flat scheme goes to a landscape page, header and title shifted
// right, the drawing centred across the landscape width.
TEST_F(SchemePageTest, WideSchemeOnALandscapePage) {
  in_.english = true;
  const auto& doc = print({L"0,0,1000,100", L"2,0,0,1000,100"});
  ASSERT_EQ(doc.pages.size(), 2u);
  EXPECT_EQ(doc.pages[0].orientation, ui::kPortrait);
  const auto& page = doc.pages[1];
  EXPECT_EQ(page.orientation, ui::kLandscape);
  EXPECT_EQ(page.ops[0].text, blanks(77) + L"Calculation N17  Page 3");
  EXPECT_EQ(page.ops[2].text, blanks(40) + L"THE SCHEME FOR HIDRAULIC CALCULATION");
  const double t = 56.7 * 0.26;
  const DrawOp& line = page.ops.back();
  EXPECT_NEAR(at(page, line).x, (kA4Height - 1000 * t) / 2, 1e-6);
  EXPECT_NEAR(at(page, line).y, 500 + 275 * 7, 1e-6);
  EXPECT_NEAR(end(page, line).x - at(page, line).x, 1000 * t, 1e-6);
}

// The legend in each placement: which rows, their captions, and both
// symbols of a row at fixed sizes on the caption's line.
TEST_F(SchemePageTest, LegendRowsAndSymbolsInEachPlacement) {
  in_.rack_sprinklers = in_.deluge_heads = in_.deluge_flow_given = true;
  struct Row {
    std::wstring caption;
    double closed_x, open_x, closed_r, open_r;
    int ops;  // both symbols
  };
  struct Case {
    const char* name;
    bool english;
    std::vector<std::wstring> kms;
    std::vector<Row> rows;
    double deluge_cross;
  } cases[] = {
      {"under the text: no rack row",
       false,
       {L"10,20,100,50"},
       {{blanks(19) + L"- закрытый спринклер" + blanks(6) + L"- открытый спринклер", 2600, 6300, 50, 60, 2},
        {blanks(19) + L"- закрытый дренчер" + blanks(8) + L"- открытый дренчер", 2600, 6300, 50, 70, 6},
        {blanks(19) + L"- закрытый ПК" + blanks(13) + L"- открытый ПК", 2600, 6300, 60, 80, 10}},
       50},
      {"portrait page",
       false,
       {L"0,0,100,500"},
       {{blanks(11) + L"- закрытый основной спринклер" + blanks(6) + L"- открытый основной спринклер", 1500, 6500,
         50, 60, 2},
        {blanks(11) + L"- закрытый стеллажный спринклер" + blanks(4) + L"- открытый стеллажный спринклер", 1500,
         6500, 50, 60, 6},
        {blanks(19) + L"- закрытый дренчер" + blanks(8) + L"- открытый дренчер", 2600, 6300, 50, 70, 6},
        {blanks(19) + L"- закрытый ПК" + blanks(13) + L"- открытый ПК", 2600, 6300, 60, 80, 10}},
       40},
      {"landscape page, English",
       true,
       {L"0,0,1000,100"},
       {{blanks(27) + L"- closed main sprinkler" + blanks(12) + L"- open main sprinkler", 3700, 8700, 50, 60, 2},
        {blanks(27) + L"- closed sprinkler in the rack" + blanks(5) + L"- open sprinkler in the rack", 3700, 8700, 50,
         60, 6},
        {blanks(38) + L"- closed drencher" + blanks(9) + L"- open drencher", 5360, 9060, 50, 70, 6},
        {blanks(38) + L"- closed fire cock" + blanks(8) + L"- open fire cock", 5360, 9060, 60, 80, 10}},
       40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    in_.english = c.english;
    host_.listed_printers().recorder().clear();
    const auto& page = print(c.kms).pages.back();
    double caption_y = 0;
    std::size_t i = 0;
    for (const Row& row : c.rows) {
      i = find_text(page, row.caption);
      if (caption_y != 0) {
        EXPECT_NEAR(page.ops[i].y1, caption_y + kLine12, 1e-6);  // one line below the last
      }
      caption_y = page.ops[i].y1;
      const double y = caption_y + kLine12 - 120;
      // A circle's centre, or the fire cock's square from its first side.
      for (bool open : {false, true}) {
        const DrawOp& first = page.ops[i + 1 + (open ? row.ops / 2 : 0)];
        const double r = open ? row.open_r : row.closed_r;
        EXPECT_EQ(first.draw_width, 13);
        if (first.kind == DrawOp::Kind::Circle) {
          EXPECT_DOUBLE_EQ(first.radius, r);
          EXPECT_DOUBLE_EQ(first.x1, open ? row.open_x : row.closed_x);
          EXPECT_DOUBLE_EQ(first.y1, y);
        } else {
          EXPECT_DOUBLE_EQ(first.x1 + r, open ? row.open_x : row.closed_x);
          EXPECT_DOUBLE_EQ(first.y1 + r, y);
          EXPECT_DOUBLE_EQ(first.y2 - first.y1, 2 * r);
        }
      }
      if (row.ops == 10) {  // the fire cock's labels: 5 and 6 points, the open one in colour
        EXPECT_EQ(page.ops[i + 5].text, L"ПК");
        EXPECT_EQ(page.ops[i + 5].font.size, 5);
        EXPECT_EQ(page.ops[i + 10].font.size, 6);
        EXPECT_EQ(page.ops[i + 10].color, ui::rgb(200, 100, 200));
        EXPECT_DOUBLE_EQ(page.ops[i + 10].x1, row.open_x - 70);
      }
      if (row.ops == 6 && row.open_r == 70) {  // the closed deluge head's cross
        EXPECT_DOUBLE_EQ(page.ops[i + 2].x2 - row.closed_x, c.deluge_cross);
        EXPECT_EQ(page.ops[i + 5].color, ui::rgb(140, 50, 140));
      }
    }
    // The closing empty line: one line below the last caption, back at 12
    // points in black, and the pen left at 12 pixels.
    const DrawOp& after = page.ops[i + 1 + c.rows.back().ops];
    EXPECT_EQ(after.text, L"");
    EXPECT_NEAR(after.y1, caption_y + kLine12, 1e-6);
    EXPECT_EQ(after.font.size, 12);
    EXPECT_EQ(after.color, ui::kBlack);
  }
}

// A network with rack sprinklers only has no legend row under the text: the
// drawing starts right after the closing empty line.
TEST_F(SchemePageTest, NoLegendRowUnderTheText) {
  in_ = ArbitrarySchemeInput{};
  in_.rack_sprinklers = true;
  in_.scheme_file = dir_ / "rezult.kms";
  const auto& page = print({L"10,20,100,50", L"2,10,20,110,70"}).pages[0];
  const std::size_t title = find_text(page, blanks(32) + L"РАСЧЕТНАЯ СХЕМА");
  ASSERT_EQ(page.ops.size(), title + 4);  // title, empty line, closing empty line, the drawing
  EXPECT_NEAR(at(page, page.ops.back()).y, text_end(9) + 6 * kLine12, 1e-6);
}

// The drawing's records: pens by record kind from half a scheme unit on the
// device, the labels' sizes and places, the symbols' shapes and colours, and
// codes the drawing does not know.
TEST_F(SchemePageTest, RecordsWithTheirPensSizesAndShapes) {
  const auto& page = print({L"0,0,100,50", L"1,0,0,1,1", L"2,0,0,1,1", L"3,5,5", L"11,0,0,1,1,2,2,3,3",
                            L"5,50,40,\"N1\",2.5", L"9,20,20", L"10,30,30", L"0", L"14,4,6,6", L"7,40,40",
                            L"13,60,30", L"6,70,30"})
                             .pages[0];
  // The drawing is the last 29 operations.
  ASSERT_GE(page.ops.size(), 29u);
  const DrawOp* d = &page.ops[page.ops.size() - 29];
  // T = 45.36 twips a unit, 2.4 twips a pixel: base pen 10.44.
  EXPECT_EQ(d[0].draw_width, 10);
  EXPECT_EQ(d[0].color, ui::rgb(255, 0, 0));
  EXPECT_EQ(d[1].draw_width, 21);
  EXPECT_EQ(d[2].draw_width, 26);
  EXPECT_EQ(d[2].color, ui::rgb(255, 0, 0));
  EXPECT_DOUBLE_EQ(d[2].radius, 3.0);
  EXPECT_EQ(d[3].draw_width, 31);  // the three-segment mark
  EXPECT_DOUBLE_EQ(d[5].x2, 2);
  EXPECT_DOUBLE_EQ(d[5].y2, 2);
  // The label keeps the pen of the record before it. The screen shows the
  // scheme at 69.6 twips a unit (the picture's width over 100 units) and its
  // labels at 8.25 points, 2.37 units high: on paper at 45.36 twips a unit
  // they take 5.377 points, centred on the 4-unit line of their height 2.5.
  EXPECT_EQ(d[6].text, L"N1");
  EXPECT_EQ(d[6].draw_width, 31);
  EXPECT_NEAR(d[6].font.size, 8.25 * 45.36 / 69.6, 1e-9);
  EXPECT_NEAR(d[6].x1, 50 - 1 - 4.0 / 3, 1e-9);
  EXPECT_NEAR(d[6].y1, 40 - 0.7 - 2 - 8.25 * 20 / 69.6 / 2, 1e-9);
  // The fire cocks: a white ground inside the square, then the square and
  // its "ПК" at T / 4.5 and T / 6 points.
  for (const DrawOp* ground : {&d[7], &d[13]}) {
    EXPECT_EQ(ground->kind, DrawOp::Kind::Circle);
    EXPECT_TRUE(ground->filled);
    EXPECT_EQ(ground->fill_color, ui::kWhite);
    EXPECT_EQ(ground->color, ui::kWhite);
  }
  EXPECT_DOUBLE_EQ(d[7].radius, 3.5);
  EXPECT_DOUBLE_EQ(d[13].radius, 3);
  EXPECT_EQ(d[12].text, L"ПК");
  EXPECT_NEAR(d[12].font.size, 10.08, 1e-9);
  EXPECT_EQ(d[12].color, ui::rgb(200, 100, 200));
  EXPECT_DOUBLE_EQ(d[8].x1, 20 - 3.5);
  EXPECT_EQ(d[18].text, L"ПК");
  EXPECT_NEAR(d[18].font.size, 7.56, 1e-9);
  EXPECT_EQ(d[18].color, ui::kBlack);
  // "0" and "14" are one item each: "4,6,6" is a closed main sprinkler.
  EXPECT_EQ(d[19].kind, DrawOp::Kind::Circle);
  EXPECT_DOUBLE_EQ(d[19].radius, 2.5);
  EXPECT_DOUBLE_EQ(d[19].x1, 6);
  EXPECT_EQ(d[19].draw_width, 21);
  EXPECT_FALSE(d[19].filled);
  // The open deluge head, then the closed rack sprinkler's strokes.
  EXPECT_DOUBLE_EQ(d[20].radius, 4.0);
  EXPECT_EQ(d[20].color, ui::rgb(255, 0, 157));
  EXPECT_NEAR(d[21].x2 - 40, 2.8, 1e-9);
  EXPECT_EQ(d[21].color, ui::rgb(140, 50, 140));
  EXPECT_DOUBLE_EQ(d[23].radius, 2.5);
  EXPECT_DOUBLE_EQ(d[24].x1, 60 - 0.35);
  EXPECT_DOUBLE_EQ(d[24].y1, 30 + 1.8);
  EXPECT_EQ(d[26].color, ui::rgb(255, 0, 255));  // the star
  EXPECT_EQ(d[28].draw_width, 21);
}

// The printer keeps its settings between documents: a solid fill left by an
// earlier printout (the grid scheme's heads) fills none of the legend's and
// the drawing's circles.
TEST_F(SchemePageTest, CirclesStayOutlinesAfterASolidFillLeftBehind) {
  printer().fill_solid = true;
  printer().fill_color = ui::rgb(255, 0, 0);
  const auto& page = print({L"0,0,100,50", L"3,5,5", L"4,9,9"}).pages[0];
  int circles = 0;
  for (const DrawOp& op : page.ops)
    if (op.kind == DrawOp::Kind::Circle) {
      ++circles;
      EXPECT_FALSE(op.filled);
    }
  EXPECT_EQ(circles, 4);  // the legend's two, the drawing's two
}

// Scheme files the drawing cannot use: the report keeps its text, nothing of
// the scheme is printed, and the user is told once; a missing file is no
// scheme, without a word.
TEST_F(SchemePageTest, SchemeFilesThatCannotBePrinted) {
  struct Case {
    const char* name;
    std::vector<std::wstring> kms;
  } cases[] = {
      {"empty", {}},
      {"three header items", {L"0,0,100"}},
      {"zero width", {L"0,0,0,50", L"2,0,0,1,1"}},
      {"negative height", {L"0,0,100,-5"}},
      {"a height too small to draw", {L"0,0,100,.000000001", L"2,0,0,1,1"}},
      {"a header that is no number", {L"0,0,abc,50"}},
      {"a record cut short", {L"0,0,100,50", L"2,0,0,1,1", L"2,1,1"}},
      {"a coordinate that is no number", {L"0,0,100,50", L"3,5,x"}},
      {"a code that is no number", {L"0,0,100,50", L"line,0,0,1,1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host_.clear_records();
    host_.listed_printers().recorder().clear();
    host_.answer_message(ui::MsgResult::OK);
    const auto& doc = print(c.kms, 3);
    EXPECT_FALSE(printed_);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].ops.size(), 3u);  // the text alone
    ASSERT_EQ(host_.messages().size(), 1u);
    EXPECT_EQ(host_.messages()[0].request.text, L"Схема расчета не напечатана: файл rezult.kms пуст или поврежден.");
    EXPECT_EQ(host_.messages()[0].request.title, L"Предупреждение");
  }
  // A folder in the file's place cannot be read.
  host_.clear_records();
  host_.listed_printers().recorder().clear();
  fs::remove(in_.scheme_file);
  fs::create_directory(in_.scheme_file);
  host_.answer_message(ui::MsgResult::OK);
  EXPECT_EQ(print_as_it_is(3).pages[0].ops.size(), 3u);
  ASSERT_EQ(host_.messages().size(), 1u);
  EXPECT_EQ(host_.messages()[0].request.text, L"Схема расчета не напечатана: файл rezult.kms не удалось прочитать.");

  host_.clear_records();
  host_.listed_printers().recorder().clear();
  fs::remove(in_.scheme_file);
  const auto& doc = print_as_it_is(3);
  EXPECT_FALSE(printed_);
  EXPECT_EQ(doc.pages.size(), 1u);
  EXPECT_EQ(doc.pages[0].ops.size(), 3u);
  EXPECT_TRUE(host_.messages().empty());
}

// The scheme file of the example network, as the network export writes it,
// prints whole under the text: every record drawn, the last one last.
TEST_F(SchemePageTest, TheExampleNetworksSchemePrintsWhole) {
  ASSERT_TRUE(export_example());
  const arb::SchemeFile scheme = arb::read_scheme_file(in_.scheme_file);
  ASSERT_EQ(scheme.fault, arb::SchemeFault::kNone);
  ASSERT_FALSE(scheme.records.empty());
  in_.deluge_heads = in_.deluge_flow_given = in_.rack_sprinklers = true;
  const auto& doc = print_as_it_is(20);
  EXPECT_TRUE(printed_);
  EXPECT_TRUE(host_.messages().empty());
  ASSERT_EQ(doc.pages.size(), 1u);
  const DrawOp& last = doc.pages[0].ops.back();
  EXPECT_EQ(last.kind, DrawOp::Kind::Text);
  EXPECT_EQ(last.text, scheme.records.back().text);
  EXPECT_NEAR(last.x1, scheme.records.back().v[0] - 1 - 1.6 * 2.8 / 3, 1e-9);
}

namespace {

// Plane geometry in twips for the clearance of a label from what is drawn
// around it.
struct Box {
  double left, top, right, bottom;
};

double distance(double px, double py, const Box& b) {
  const double dx = std::max({b.left - px, 0.0, px - b.right});
  const double dy = std::max({b.top - py, 0.0, py - b.bottom});
  return std::hypot(dx, dy);
}

double distance(double px, double py, double ax, double ay, double bx, double by) {
  const double lx = bx - ax, ly = by - ay, l2 = lx * lx + ly * ly;
  const double f = l2 > 0 ? std::clamp(((px - ax) * lx + (py - ay) * ly) / l2, 0.0, 1.0) : 0.0;
  return std::hypot(px - ax - f * lx, py - ay - f * ly);
}

// 0 when the segment enters the box.
double distance(const Box& b, double ax, double ay, double bx, double by) {
  for (int i = 0; i <= 64; ++i) {
    const double f = i / 64.0, x = ax + f * (bx - ax), y = ay + f * (by - ay);
    if (x >= b.left && x <= b.right && y >= b.top && y <= b.bottom) return 0;
  }
  double d = std::min(distance(ax, ay, b), distance(bx, by, b));
  for (double cx : {b.left, b.right})
    for (double cy : {b.top, b.bottom}) d = std::min(d, distance(cx, cy, ax, ay, bx, by));
  return d;
}

}  // namespace

// The example network's printed drawing: every label stands clear of every
// pipe and symbol around it (their pens' widths counted), as on the screen.
// A label takes the width the device gives its text and, above its
// baseline, the height of the fixed-pitch face's capitals and figures (0.66
// of the size; the baseline lies 0.8328 of it below the top of the line);
// its numbers and capitals have nothing below the baseline. A
// fire cock's "ПК" stands on a white ground drawn over the pipe that ends at
// the cock.
TEST_F(SchemePageTest, TheExampleNetworksLabelsStandClearOfItsSymbols) {
  ASSERT_TRUE(export_example());
  const auto& page = print_as_it_is(20).pages[0];
  const double twips_per_pixel = 2.4;
  std::vector<std::pair<std::wstring, Box>> labels;
  std::vector<const DrawOp*> drawn;
  for (const DrawOp& op : page.ops) {
    if (op.scale_width == page.width) continue;  // the text and the legend
    if (op.kind == DrawOp::Kind::Text && op.text != L"ПК") {
      const ui::TwipPoint at = ui::to_twips(page, op, op.x1, op.y1);
      const double size = op.font.size * 20;
      const double baseline = at.y + 0.8328 * size;
      labels.push_back({op.text, {at.x, baseline - 0.66 * size, at.x + 0.6 * size * op.text.size(), baseline}});
    } else if (op.kind != DrawOp::Kind::Text && !op.filled) {
      drawn.push_back(&op);
    }
  }
  ASSERT_EQ(labels.size(), 19u);
  double least = 1e9;
  std::wstring closest;
  for (const auto& [text, box] : labels)
    for (const DrawOp* op : drawn) {
      const double half_pen = op->draw_width * twips_per_pixel / 2;
      const ui::TwipPoint a = ui::to_twips(page, *op, op->x1, op->y1);
      double gap;
      if (op->kind == DrawOp::Kind::Circle) {
        gap = distance(a.x, a.y, box) - ui::to_twips(page, *op, op->radius) - half_pen;
      } else {
        const ui::TwipPoint b = ui::to_twips(page, *op, op->x2, op->y2);
        gap = distance(box, a.x, a.y, b.x, b.y) - half_pen;
      }
      if (gap < least) least = gap, closest = text;
    }
  EXPECT_GT(least, 0) << "\"" << std::string(closest.begin(), closest.end()) << "\" runs into the drawing";

  // The fire cock at node 9 ends the pipe from node 2: its ground comes after
  // the pipe, and the square and "ПК" after the ground.
  std::size_t pipe = 0, ground = 0, label = 0;
  for (std::size_t i = 0; i < page.ops.size(); ++i) {
    const DrawOp& op = page.ops[i];
    if (op.kind == DrawOp::Kind::Line && op.x1 == 0 && op.y1 == 60 && op.x2 == -30) pipe = i;
    if (op.kind == DrawOp::Kind::Circle && op.filled && op.x1 == -30) ground = i;
    if (op.text == L"ПК") label = i;
  }
  EXPECT_LT(pipe, ground);
  EXPECT_LT(ground, label);
  EXPECT_EQ(page.ops[ground].fill_color, ui::kWhite);
  EXPECT_DOUBLE_EQ(page.ops[ground].radius, 3.5);
}
