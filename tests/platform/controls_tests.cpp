// Control arrays, z-order, colours, fonts, the drawing surface's metrics and
// scale, and the re-entrancy rules of a form whose procedure is running.
#include <gtest/gtest.h>

#include "platform/form.h"
#include "platform/headless.h"

using namespace dorv::ui;

namespace {

// Nineteen fields under labels of the same index, a valve pair with a gap in
// its indices, a button whose procedure waits, and a picture box.
class ArrayForm : public Form {
 public:
  ArrayForm() : Form(L"Arrays") {
    Text1.on_lost_focus = [this](int i) { lost.push_back(i); };
    Text1.on_change = [this](int i) { changed.push_back(i); };
    Combo1.on_click = [this](int i) { chosen.push_back(i); };
    Command1.on_click = [this] { Command1_Click(); };
    Combo1.add(0, {120, 5000, 2000, 300});
    Combo1.add(2, {120, 5400, 2000, 300});
    Combo1(0).add_item(L"ГОСТ 3262-75");
    Combo1(2).add_item(L"Клапан");
  }
  ControlArray<TextBox>& Text1 =
      add_array<TextBox>(L"Text1", 0, 18, [](int i) { return Rect{3840, 300 + 240 * i, 900, 240}; });
  ControlArray<Label>& Label1 =
      add_array<Label>(L"Label1", 0, 18, [](int i) { return Rect{120, 300 + 240 * i, 3600, 240}; });
  ControlArray<ComboBox>& Combo1 = add_array<ComboBox>(L"Combo1");
  CommandButton& Command1 = add<CommandButton>(L"Command1", {5000, 5000, 1200, 400});
  PictureBox& Picture1 = add<PictureBox>(L"Picture1", {0, 0, 2880, 1440});
  std::vector<int> lost, changed, chosen;
  int runs = 0, waited = 0;

 private:
  void Command1_Click() {
    ++runs;
    for (int i = 0; i < 2; ++i, ++waited) host().wait_one_second();
  }
};

// A surface on a device of its own: 100 twips a character, 300 a line.
class FixedSurface : public Surface {
 protected:
  int area_width() const override { return 2000; }
  int area_height() const override { return 1000; }
  double device_text_width(const std::wstring& text, const Font& f) const override {
    return 100.0 * static_cast<double>(text.size()) * (f.bold ? 2 : 1);
  }
  double device_text_height(const Font&) const override { return 300; }
};

}  // namespace

TEST(ControlArray, DeclaredOnceWithEventsThatCarryTheIndex) {
  HeadlessHost host;
  ArrayForm f;
  f.show();
  EXPECT_EQ(f.Text1.count(), 19);
  EXPECT_EQ(f.Text1.lbound(), 0);
  EXPECT_EQ(f.Text1.ubound(), 18);
  EXPECT_EQ(f.Text1(18).rect().top, 300 + 240 * 18);
  EXPECT_EQ(&f.Text1[5], f.find(L"Text1", 5));
  EXPECT_EQ(f.Label1(5).index(), f.Text1(5).index());

  f.Text1(7).focus_in();
  f.Text1(7).type(L"2,5");
  f.Text1(7).focus_out();
  f.Text1(0).set_text(L"10");  // code sets a text: Change runs too
  EXPECT_EQ(f.lost, std::vector<int>{7});
  EXPECT_EQ(f.changed, (std::vector<int>{7, 0}));

  // Indices need not be contiguous; a missing one is a program error.
  EXPECT_TRUE(f.Combo1.contains(2));
  EXPECT_FALSE(f.Combo1.contains(1));
  EXPECT_EQ(f.Combo1.count(), 2);
  EXPECT_THROW(f.Combo1(1), std::out_of_range);
  EXPECT_THROW(f.Combo1.add(2, {}), std::logic_error);
  f.Combo1(2).choose(0);
  EXPECT_EQ(f.chosen, std::vector<int>{2});
  // A member added later answers to the same procedures.
  f.Text1.add(19, {3840, 5000, 900, 240}).type(L"x");
  EXPECT_EQ(f.changed.back(), 19);
}

// A one-line field's text is one item of the files that store it: a line
// break typed, pasted, set by code or answered in an input box is a blank.
TEST(TextBox, AOneLineFieldTakesALineBreakAsABlank) {
  HeadlessHost host;
  ArrayForm f;
  f.show();
  f.Text1(0).type(L"Склад\r\nВТОРАЯ\rСТРОКА\n");
  EXPECT_EQ(f.Text1(0).text(), L"Склад ВТОРАЯ СТРОКА ");
  f.Text1(1).set_text(L"1\n2");
  EXPECT_EQ(f.Text1(1).text(), L"1 2");
  f.Combo1(0).type(L"Клапан\r\n65");
  EXPECT_EQ(f.Combo1(0).text(), L"Клапан 65");
  // A box of several lines keeps them.
  f.Text1(2).set_multi_line(true);
  f.Text1(2).set_text(L"10d50\r\n25d65");
  EXPECT_EQ(f.Text1(2).text(), L"10d50\r\n25d65");
  host.answer_input(L"Иванов\rИ.И.");
  EXPECT_EQ(input_box(L"Исполнитель"), L"Иванов И.И.");
}

TEST(ControlLook, BackColourFontAndZOrder) {
  HeadlessHost host;
  ArrayForm f;
  // Colours written as the classic platform numbers them.
  const struct {
    std::uint32_t number;
    Color color;
  } colours[] = {{33023, rgb(255, 128, 0)}, {255, rgb(255, 0, 0)}, {0xFF0000, rgb(0, 0, 255)}, {0x8000000F, kButtonFace}};
  for (const auto& c : colours) EXPECT_EQ(colour_number(c.number), c.color) << c.number;

  EXPECT_EQ(f.Command1.back_color(), kButtonFace);
  EXPECT_EQ(f.Text1(0).back_color(), kWindowBackground);
  EXPECT_EQ(f.Picture1.back_color(), kWhite);
  // A mode kept in a button's colour toggles back to the button face.
  for (int press = 0; press < 2; ++press)
    f.Command1.set_back_color(f.Command1.back_color() == kButtonFace ? colour_number(33023) : kButtonFace);
  EXPECT_EQ(f.Command1.back_color(), kButtonFace);

  f.Text1(3).set_font({L"Courier New", 10, true, 204});
  f.Text1(4).set_font_size(12);
  EXPECT_EQ(f.Text1(3).font().name, L"Courier New");
  EXPECT_TRUE(f.Text1(3).font().bold);
  EXPECT_EQ(f.Text1(4).font().size, 12);
  EXPECT_EQ(f.Text1(4).font().name, Font{}.name);

  EXPECT_EQ(f.Picture1.z_order(), 0);
  f.Picture1.bring_to_front();
  f.Text1(2).bring_to_front();
  EXPECT_GT(f.Text1(2).z_order(), f.Picture1.z_order());
  f.Picture1.bring_to_front();
  EXPECT_GT(f.Picture1.z_order(), f.Text1(2).z_order());
  // Drawn from back to front: the design order, then what was brought forward.
  const auto order = f.back_to_front();
  ASSERT_EQ(order.size(), f.controls().size());
  EXPECT_EQ(order[0], &f.Text1(0));
  EXPECT_EQ(order[order.size() - 3], &f.Combo1(2));  // added last, in the constructor
  EXPECT_EQ(order[order.size() - 2], &f.Text1(2));
  EXPECT_EQ(order.back(), &f.Picture1);
}

TEST(Surface, MeasuresOnItsOwnDeviceAndSetsOneScaleSideAlone) {
  // No host is installed: a surface needs none to measure its text.
  FixedSurface s;
  s.text_font.bold = true;
  EXPECT_DOUBLE_EQ(s.text_width(L"abc"), 600);
  s.scale(0, 0, 200, 100);  // ten twips a unit
  EXPECT_DOUBLE_EQ(s.text_width(L"abc"), 60);
  EXPECT_DOUBLE_EQ(s.text_height(), 30);
  s.text_font.size = 4;
  s.print_inline(L"7");
  EXPECT_EQ(s.ops().back().font.size, 4);

  // Left and top alone keep the width and height: those of twips at first.
  FixedSurface t;
  t.set_scale_left(-500);
  t.set_scale_top(-1000);
  EXPECT_EQ(t.scale_left(), -500);
  EXPECT_EQ(t.scale_top(), -1000);
  EXPECT_EQ(t.scale_width(), 2000);
  EXPECT_EQ(t.scale_height(), 1000);
  t.scale(0, 0, 10, 10);
  t.set_scale_top(5);
  EXPECT_EQ(t.scale_width(), 10);
  EXPECT_EQ(t.scale_top(), 5);
}

TEST(BusyForm, ASecondClickWhileTheProcedureWaitsDoesNothing) {
  HeadlessHost host;
  host.set_second(std::chrono::milliseconds(1));
  ArrayForm f;
  f.show();
  // What the user tries while the procedure waits (the wait processes
  // pending events): the same button again, a field, the close box.
  bool clicked = true, typed = true, closed = true;
  host.post([&] {
    EXPECT_TRUE(f.busy());
    clicked = f.Command1.click();
    typed = f.Text1(0).focus_in();
    closed = f.close_box();
  });
  EXPECT_TRUE(f.Command1.click());
  EXPECT_FALSE(clicked);
  EXPECT_FALSE(typed);
  EXPECT_FALSE(closed);
  EXPECT_EQ(f.runs, 1);
  EXPECT_EQ(f.waited, 2);
  EXPECT_TRUE(f.loaded());
  EXPECT_FALSE(f.busy());
  EXPECT_TRUE(f.Command1.click());
  EXPECT_EQ(f.runs, 2);
  EXPECT_TRUE(f.close_box());
}

TEST(BusyForm, AFormReleasedByItsOwnProcedureLivesUntilItReturns) {
  struct Watcher : FormObserver {
    bool gone = false;
    void control_changed(Control&) override {}
    void form_changed(Form&) override {}
    void focus_requested(Control&) override {}
    void form_destroyed(Form&) override { gone = true; }
  } watcher;
  HeadlessHost host;
  host.set_second(std::chrono::milliseconds(1));
  auto owned = std::make_unique<ArrayForm>();
  ArrayForm* f = owned.get();
  f->set_observer(&watcher);
  f->show();
  bool alive_after_release = false;
  f->Command1.on_click = [&] {
    f->unload();
    release_form(std::move(owned));
    host.wait_one_second();  // events run: the form must survive them
    alive_after_release = !watcher.gone;
    f->Text1(0).set_text(L"still here");
  };
  f->Command1.click();
  EXPECT_TRUE(alive_after_release);
  EXPECT_FALSE(watcher.gone);
  host.do_events();
  EXPECT_TRUE(watcher.gone);

  // A form with no procedure running goes at once.
  watcher.gone = false;
  auto idle = std::make_unique<ArrayForm>();
  idle->set_observer(&watcher);
  release_form(std::move(idle));
  EXPECT_TRUE(watcher.gone);
}
