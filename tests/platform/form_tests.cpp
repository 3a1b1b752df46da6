#include <gtest/gtest.h>

#include "platform/form.h"
#include "platform/headless.h"

using namespace dorv::ui;

namespace {

// A tiny form: a button that asks a Yes/No question and writes the answer
// into a text box, an option pair in a frame, a list, and a picture box.
class TinyForm : public Form {
 public:
  TinyForm() : Form(L"Tiny") {
    set_caption(L"Проба");
    Command1.on_click = [this] { Command1_Click(); };
    Option1.on_click = [this] { ++option1_clicks; };
    List1.add_column(L"Номер", 800);
    List1.add_column(L"Объект", 3000);
    List1.on_dbl_click = [this] { Command1_Click(); };
  }
  CommandButton& Command1 = add<CommandButton>(L"Command1", {120, 120, 1200, 400});
  TextBox& Text1 = add<TextBox>(L"Text1", {120, 600, 2400, 300});
  Frame& Frame1 = add<Frame>(L"Frame1", {120, 1000, 3000, 900});
  OptionButton& Option1 = add<OptionButton>(L"Option1", {100, 200, 2000, 250}, &Frame1);
  OptionButton& Option2 = add<OptionButton>(L"Option2", {100, 500, 2000, 250}, &Frame1);
  ListView& List1 = add<ListView>(L"List1", {120, 2000, 4000, 1500});
  PictureBox& Picture1 = add<PictureBox>(L"Picture1", {0, 0, 1440, 1440});
  int loads = 0, unloads = 0, option1_clicks = 0;
  bool refuse_close = false;

 protected:
  void form_load() override { ++loads; }
  void query_unload(bool& cancel, UnloadMode) override { cancel = refuse_close; }
  void form_unload() override { ++unloads; }

 private:
  void Command1_Click() {
    const auto answer = msg_box(L"Записать?", MsgButtons::YesNo, MsgIcon::Question, L"Сообщение");
    Text1.set_text(answer == MsgResult::Yes ? L"да" : L"нет");
  }
};

}  // namespace

TEST(HeadlessForm, ClickAsksQuestionAndTheScriptedAnswerArrives) {
  HeadlessHost host;
  TinyForm f;
  f.show();
  EXPECT_EQ(f.loads, 1);
  host.answer_message(MsgResult::No);
  EXPECT_TRUE(f.Command1.click());
  EXPECT_EQ(f.Text1.text(), L"нет");
  ASSERT_EQ(host.messages().size(), 1u);
  const auto& q = host.messages()[0].request;
  EXPECT_EQ(q.title, L"Сообщение");
  EXPECT_EQ(q.text, L"Записать?");
  EXPECT_EQ(q.buttons, MsgButtons::YesNo);
  EXPECT_EQ(q.icon, MsgIcon::Question);

  // A disabled button cannot be clicked; an unscripted box is a clear failure.
  f.Command1.set_enabled(false);
  EXPECT_FALSE(f.Command1.click());
  f.Command1.set_enabled(true);
  EXPECT_THROW(f.Command1.click(), std::runtime_error);
  host.answer_message(MsgResult::OK);  // not a button of Yes/No
  EXPECT_THROW(f.Command1.click(), std::runtime_error);
}

TEST(HeadlessForm, OptionButtonsOfOneContainerExcludeEachOther) {
  HeadlessHost host;
  TinyForm f;
  f.show();
  f.Option1.set_value(true);
  EXPECT_EQ(f.option1_clicks, 1);
  f.Option2.click();
  EXPECT_FALSE(f.Option1.value());
  EXPECT_TRUE(f.Option2.value());
  f.Frame1.set_visible(false);
  EXPECT_FALSE(f.Option1.click());  // hidden with its frame
}

TEST(HeadlessForm, UnloadCanBeCancelledAndLoadsAnew) {
  HeadlessHost host;
  TinyForm f;
  f.show();
  f.refuse_close = true;
  EXPECT_FALSE(f.close_box());
  EXPECT_TRUE(f.loaded());
  f.refuse_close = false;
  EXPECT_TRUE(f.close_box());
  EXPECT_FALSE(f.loaded());
  EXPECT_EQ(f.unloads, 1);
  f.show();
  EXPECT_EQ(f.loads, 2);
}

TEST(HeadlessForm, ModalFormRunsItsScriptAndReturnsWhenGone) {
  HeadlessHost host;
  TinyForm dialog;
  host.on_modal([](Form& form) {
    auto& d = static_cast<TinyForm&>(form);
    d.Text1.type(L"typed");
    d.unload();
  });
  dialog.show(ShowMode::Modal);
  EXPECT_FALSE(dialog.loaded());
  EXPECT_EQ(dialog.Text1.text(), L"typed");
  // A modal form left open by its script is closed as by its close box.
  host.on_modal([](Form&) {});
  dialog.show(ShowMode::Modal);
  EXPECT_FALSE(dialog.loaded());
  EXPECT_TRUE(host.script_done());
}

TEST(HeadlessForm, InputBoxesAndListView) {
  HeadlessHost host;
  TinyForm f;
  f.show();
  host.answer_input(L"Иванов");
  host.cancel_input();
  EXPECT_EQ(input_box(L"Кто?", L"Исполнитель", L"x", 6000, 3000), L"Иванов");
  EXPECT_EQ(input_box(L"Кто?"), L"");
  ASSERT_EQ(host.inputs().size(), 2u);
  EXPECT_EQ(host.inputs()[0].request.left, 6000);
  EXPECT_TRUE(host.inputs()[1].cancelled);

  f.List1.add_item({L"  1-R", {L"12", L"Склад"}});
  f.List1.add_item({L"  2-T", {L"13", L"Цех"}});
  EXPECT_EQ(f.List1.find_item(L"  2-T"), 1);
  EXPECT_EQ(f.List1.items()[1].sub_item(3), L"Цех");
  host.answer_message(MsgResult::Yes);
  EXPECT_TRUE(f.List1.dbl_click_item(1));
  EXPECT_EQ(f.List1.selected(), 1);
  EXPECT_EQ(f.Text1.text(), L"да");
}

TEST(HeadlessForm, PictureBoxKeepsWhatWasDrawn) {
  HeadlessHost host;
  TinyForm f;
  auto& p = f.Picture1;
  p.scale(0, 100, 100, 0);  // y grows upwards
  p.draw_width = 2;
  p.line(0, 0, 100, 100, rgb(255, 0, 0));
  p.fill_solid = true;
  p.circle(50, 50, 5);
  p.current_x = 10;
  p.current_y = 90;
  p.text_font.size = 12;
  p.print(L"Узел 1");
  ASSERT_EQ(p.ops().size(), 3u);
  EXPECT_EQ(p.ops()[0].color, 0xFF0000u);
  EXPECT_EQ(p.ops()[0].draw_width, 2);
  EXPECT_EQ(p.ops()[0].scale_height, -100);
  EXPECT_TRUE(p.ops()[1].filled);
  EXPECT_EQ(p.ops()[2].text, L"Узел 1");
  EXPECT_EQ(p.ops()[2].font.size, 12);
  EXPECT_EQ(p.current_x, 0);  // print moved to the next line
  EXPECT_LT(p.current_y, 90);
  p.cls();
  EXPECT_TRUE(p.ops().empty());
}

TEST(HeadlessForm, ExceptionInAnEventProcedureReachesTheHost) {
  HeadlessHost host;
  TinyForm f;
  f.show();
  f.Command1.on_click = [] { throw std::runtime_error("boom"); };
  EXPECT_THROW(f.Command1.click(), std::runtime_error);
}

TEST(HeadlessForm, EndProgramLeavesEveryProcedure) {
  HeadlessHost host;
  TinyForm f;
  f.Command1.on_click = [] { dorv::ui::end_program(75); };
  f.show();
  try {
    f.Command1.click();
    FAIL() << "the program did not end";
  } catch (const ProgramEnd& e) {
    EXPECT_EQ(e.exit_code, 75);
  }
}

TEST(HeadlessForm, ObserverLearnsThatTheFormIsGone) {
  struct Watcher : FormObserver {
    int changes = 0;
    Form* gone = nullptr;
    void control_changed(Control&) override { ++changes; }
    void form_changed(Form&) override { ++changes; }
    void focus_requested(Control&) override {}
    void form_destroyed(Form& f) override { gone = &f; }
  } watcher;
  HeadlessHost host;
  Form* address = nullptr;
  {
    TinyForm f;
    f.set_observer(&watcher);
    f.Text1.set_text(L"x");
    address = &f;
  }
  EXPECT_GT(watcher.changes, 0);
  EXPECT_EQ(watcher.gone, address);
}
