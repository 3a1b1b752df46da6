#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "arbform/scheme.h"
#include "arbmodel/scheme_file.h"
#include "platform/headless.h"
#include "text/linefile.h"

using namespace dorv;
namespace fs = std::filesystem;

namespace {

// A drawing area of a given size in twips, with the headless host that
// measures the labels.
class Box : public ui::Surface {
 public:
  Box(int w, int h) : w_(w), h_(h) {}
  ui::HeadlessHost host;

 protected:
  int area_width() const override { return w_; }
  int area_height() const override { return h_; }

 private:
  int w_, h_;
};

fs::path scheme_file(const std::vector<std::wstring>& lines) {
  static int n = 0;
  const fs::path p = fs::temp_directory_path() / ("dorv-kms-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
  write_lines(p, lines);
  return p;
}

}  // namespace

TEST(Scheme, FitsTheBoxAndSetsThePens) {
  // A drawing twice as wide as high in a box twice as wide as high.
  Box box(6000, 3000);
  const auto f = arb::DrawCalcScheme(box, 6000, 3000, scheme_file({L"10,20,200,100"}));
  EXPECT_DOUBLE_EQ(f.k, 30);
  EXPECT_DOUBLE_EQ(box.scale_left(), 10);
  EXPECT_DOUBLE_EQ(box.scale_top(), 20);
  EXPECT_DOUBLE_EQ(box.scale_width(), 200);
  EXPECT_DOUBLE_EQ(box.scale_height(), 100);
  EXPECT_EQ(f.pen, 3);  // 280 / 100 = 2.8
  EXPECT_TRUE(box.ops().empty());

  struct {
    const wchar_t* header;
    int pen, double_pen;
  } pens[] = {{L"0,0,100,280", 1, 2}, {L"0,0,100,140", 2, 4}, {L"0,0,100,400", 1, 2}};
  for (const auto& c : pens) {
    Box b(3000, 3000);
    const auto fit = arb::DrawCalcScheme(b, 3000, 3000, scheme_file({c.header}));
    EXPECT_EQ(fit.pen, c.pen) << c.header;
    EXPECT_EQ(fit.double_pen, c.double_pen) << c.header;
  }
  // A drawing relatively higher than the box is centred horizontally.
  Box tall(6000, 3000);
  arb::DrawCalcScheme(tall, 6000, 3000, scheme_file({L"0,0,100,100"}));
  EXPECT_DOUBLE_EQ(tall.scale_left(), -50);
  EXPECT_DOUBLE_EQ(tall.scale_width(), 200);
}

TEST(Scheme, RecordsDrawTheirSymbolsWithTheirPens) {
  Box box(2800, 2800);  // k = 10 twips per unit, pens 1 and 2
  arb::DrawCalcScheme(box, 2800, 2800,
                      scheme_file({L"0,0,280,280", L"2,0,0,10,10", L"5,50,50,\"12\",9", L"11,0,0,1,1,2,2,3,3",
                                   L"3,5,5", L"99", L"1,0,0,1,1", L"9,20,20", L"5,60,60,\"ab\",0.01", L"5,1,1,\"big\",400",
                                   L"6,7,7"}));
  const auto& ops = box.ops();
  ASSERT_EQ(ops.size(), 1u + 1 + 3 + 1 + 1 + 4 + 1 + 1 + 1 + 3);
  EXPECT_EQ(ops[0].draw_width, 2);  // code 2: the doubled pen
  EXPECT_EQ(ops[1].kind, ui::DrawOp::Kind::Text);
  EXPECT_EQ(ops[1].font.size, 4);    // sqrt(9) * 10 = 30 lies between 4 and 50
  EXPECT_EQ(ops[1].draw_width, 2);   // labels and code 11 keep the pen of the record before
  EXPECT_DOUBLE_EQ(ops[1].x1, 50 - 1 - 1.6 * 9 / 3);
  EXPECT_EQ(ops[2].draw_width, 2);
  EXPECT_EQ(ops[5].kind, ui::DrawOp::Kind::Circle);
  EXPECT_EQ(ops[5].color, ui::rgb(255, 0, 0));
  EXPECT_DOUBLE_EQ(ops[5].radius, 3.0);
  // "99" reads nothing: the next record is read as usual.
  EXPECT_EQ(ops[6].draw_width, 1);
  EXPECT_EQ(ops[6].color, ui::rgb(255, 0, 0));
  EXPECT_EQ(ops[11].text, L"ПК");
  EXPECT_EQ(ops[11].color, ui::rgb(200, 100, 200));
  EXPECT_DOUBLE_EQ(ops[11].font.size, 10 / 4.5);
  EXPECT_DOUBLE_EQ(ops[12].font.size, 1);  // sqrt(0.01) * 10 = 1 stays
  EXPECT_EQ(ops[12].color, ui::kBlack);
  EXPECT_DOUBLE_EQ(ops[13].font.size, 2 * (1.6 * 400 * 10 / 20 + 0.5));
  EXPECT_EQ(ops[14].color, ui::rgb(255, 0, 255));
}

TEST(Scheme, AFileCutShortKeepsWhatWasDrawn) {
  Box box(2800, 2800);
  arb::DrawCalcScheme(box, 2800, 2800, scheme_file({L"0,0,280,280", L"2,0,0,10,10", L"2,1,1"}));
  EXPECT_EQ(box.ops().size(), 1u);
  Box none(2800, 2800);
  const auto f = arb::DrawCalcScheme(none, 2800, 2800, "/nonexistent/rezult.kms");
  EXPECT_FALSE(f.drawn);
  EXPECT_TRUE(none.ops().empty());
}

// An extent too small to be a drawing would make the pens wider than any
// whole number: such a header is a damaged scheme and nothing is drawn.
TEST(Scheme, AnExtentTooSmallToDrawIsADamagedScheme) {
  for (const wchar_t* header : {L"0,0,100,.0000000001", L"0,0,.0000000001,100", L"0,0,.0009,.0009"}) {
    Box box(2800, 2800);
    const auto f = arb::DrawCalcScheme(box, 2800, 2800, scheme_file({header, L"2,0,0,10,10"}));
    EXPECT_FALSE(f.drawn) << header;
    EXPECT_TRUE(box.ops().empty()) << header;
    EXPECT_EQ(arb::read_scheme_file(scheme_file({header})).fault, arb::SchemeFault::kNoExtent) << header;
  }
  Box smallest(2800, 2800);
  const auto f = arb::DrawCalcScheme(smallest, 2800, 2800, scheme_file({L"0,0,.001,.001", L"2,0,0,.0005,.0005"}));
  EXPECT_TRUE(f.drawn);
  EXPECT_EQ(f.pen, 280000);
  EXPECT_EQ(smallest.ops().size(), 1u);
}
