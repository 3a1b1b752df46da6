#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QLibraryInfo>
#include <QScrollBar>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "platform/form.h"
#include "qtfront/convert.h"
#include "qtfront/qthost.h"
#include "qtfront/qtprinters.h"
#include "support.h"
#include "text/codepage.h"

using namespace dorv::ui;
using dorv::front::QtHost;
using dorv::front::px_x;
using dorv::front::px_y;
using namespace dorv::test;

namespace {

// A small dialog shown modally by the demo form.
class Dialog : public Form {
 public:
  Dialog() : Form(L"Dialog") {
    set_caption(L"Подтверждение");
    move({0, 0, 3600, 1600});
    Text1.set_text(L"1");
    Command1.set_caption(L"OK");
    Command1.on_click = [this] {
      accepted = Text1.text();
      unload();
    };
  }
  TextBox& Text1 = add<TextBox>(L"Text1", {240, 240, 1200, 300});
  CommandButton& Command1 = add<CommandButton>(L"Command1", {1800, 240, 1200, 375});
  std::wstring accepted;
};

// A form with one control of every kind, laid out like the register window.
class DemoForm : public Form {
 public:
  DemoForm() : Form(L"Demo") {
    set_caption(L"Проба - Перечень выполненных расчетов");
    move({0, 0, 9600, 6000});
    List1.add_column(L"Номер", 800);
    List1.add_column(L"Дог.", 800);
    List1.add_column(L"Объект", 6000);
    List1.on_item_click = [this](int i) { List1.set_tool_tip(List1.items()[static_cast<std::size_t>(i)].sub_item(3)); };
    List1.on_dbl_click = [this] { ++dbl_clicks; };
    Command1.set_caption(L"Записать");
    Command1.on_click = [this] {
      const auto answer = msg_box(L"Записать расчет?", MsgButtons::YesNo, MsgIcon::Question, L"Сообщение", 1);
      Text1.set_text(answer == MsgResult::Yes ? L"да" : L"нет");
    };
    Command2.set_caption(L" Исполнитель  ");
    Command2.on_click = [this] {
      Label1.set_caption(input_box(L"Укажите инициалы и фамилию исполнителя", L"Исполнитель", L"Иванов", 6000, 3000));
    };
    Command3.set_caption(L"   Редактир.    расчета");
    Command3.on_click = [this] {
      Dialog dialog;
      if (modal_ok) dialog.Command1.on_click = modal_ok;
      dialog.show(ShowMode::Modal);
      Label1.set_caption(dialog.accepted + L" принято");
    };
    Command4.set_caption(L" Выход");
    Command4.on_click = [this] { unload(); };
    Command5.set_caption(L"Стоп");
    Command5.on_click = [] { end_program(7); };
    Text1.on_change = [this] { ++changes; };
    Text1.on_lost_focus = [this] { ++lost_focus; };
    Frame1.set_caption(L"Выбор версии печати");
    Option1.set_caption(L"Русскоязычная");
    Option2.set_caption(L"Англоязычная");
    Option1.set_value(true);
    Combo1.add_item(L"Принтер 1");
    Combo1.add_item(L"Принтер 2");
    Combo1.set_list_index(0);
    Combo1.on_click = [this] { ++combo_clicks; };
    set_default_button(&Command1);
    set_cancel_button(&Command4);
  }

  ListView& List1 = add<ListView>(L"ListView1", {120, 120, 7200, 3000});
  CommandButton& Command1 = add<CommandButton>(L"Command1", {7560, 120, 1800, 495});
  CommandButton& Command2 = add<CommandButton>(L"Command2", {7560, 720, 1800, 495});
  CommandButton& Command3 = add<CommandButton>(L"Command3", {7560, 1320, 1200, 615});
  CommandButton& Command4 = add<CommandButton>(L"Command4", {7560, 2040, 1800, 495});
  CommandButton& Command5 = add<CommandButton>(L"Command5", {7560, 2640, 1800, 495});
  TextBox& Text1 = add<TextBox>(L"Text1", {120, 3240, 2400, 315});
  Label& Label1 = add<Label>(L"Label1", {2640, 3240, 4680, 315});
  Frame& Frame1 = add<Frame>(L"Frame1", {120, 3720, 3600, 1080});
  OptionButton& Option1 = add<OptionButton>(L"Option1", {120, 300, 3000, 300}, &Frame1);
  OptionButton& Option2 = add<OptionButton>(L"Option2", {120, 660, 3000, 300}, &Frame1);
  ComboBox& Combo1 = add<ComboBox>(L"Combo1", {3840, 3720, 3480, 315});
  PictureBox& Picture1 = add<PictureBox>(L"Picture1", {3840, 4200, 3480, 1200});

  int dbl_clicks = 0, changes = 0, lost_focus = 0, combo_clicks = 0, loads = 0;
  bool refuse_close = false;
  std::function<void()> modal_ok;  // replaces the modal dialog's OK procedure

 protected:
  void form_load() override {
    ++loads;
    List1.clear_items();
    List1.add_item({L"   11-R", {L"7", L"Склад готовой продукции"}});
    List1.add_item({L"   12-T", {L"8", L"Цех"}});
    List1.add_item({L"   13-R", {L"9/2", L"Административное здание с подземной автостоянкой"}});
    List1.select(2);
    List1.ensure_visible(2);
  }
  void query_unload(bool& cancel, UnloadMode) override { cancel = refuse_close; }
};

template <class W>
W* widget(QtHost& host, const Control& c) {
  auto* w = qobject_cast<W*>(host.widget_of(c));
  EXPECT_NE(w, nullptr) << dorv::to_utf8(c.name());
  return w;
}

class QtFront : public ::testing::Test {
 protected:
  QtFront() { app(); }
  ~QtFront() override { settle(); }
};

}  // namespace

TEST_F(QtFront, WindowShowsEveryControlAtItsPlace) {
  QtHost host;
  DemoForm form;
  form.show();
  QWidget* window = host.window_of(form);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Проба - Перечень выполненных расчетов"));

  auto* list = widget<QTreeWidget>(host, form.List1);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->columnCount(), 3);
  EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Номер"));
  EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("Объект"));
  EXPECT_EQ(list->columnWidth(0), px_x(800));
  EXPECT_EQ(list->columnWidth(2), px_x(6000));
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("   12-T"));
  EXPECT_EQ(list->topLevelItem(1)->text(2), QStringLiteral("Цех"));
  EXPECT_EQ(list->currentItem(), list->topLevelItem(2));
  EXPECT_EQ(list->geometry(), QRect(px_x(120), px_y(120), px_x(7200), px_y(3000)));

  QStringList captions;
  for (QPushButton* b : buttons_in_order(window)) captions << b->text();
  EXPECT_EQ(captions, (QStringList{"Записать", " Исполнитель  ", "   Редактир.    расчета", " Выход", "Стоп"}));

  // Option buttons sit inside their frame, at the frame's coordinates.
  auto* frame = widget<QGroupBox>(host, form.Frame1);
  auto* option2 = widget<QRadioButton>(host, form.Option2);
  ASSERT_TRUE(frame && option2);
  EXPECT_EQ(frame->title(), QStringLiteral("Выбор версии печати"));
  EXPECT_EQ(option2->parentWidget(), frame);
  EXPECT_EQ(option2->pos(), QPoint(px_x(120), px_y(660)));
  EXPECT_TRUE(widget<QRadioButton>(host, form.Option1)->isChecked());

  auto* combo = widget<QComboBox>(host, form.Combo1);
  ASSERT_NE(combo, nullptr);
  EXPECT_TRUE(combo->isEditable());
  EXPECT_EQ(combo->count(), 2);
  EXPECT_EQ(combo->currentText(), QStringLiteral("Принтер 1"));

  // Changes made by code show at once.
  form.List1.add_item({L"   14-T", {L"10", L"Гараж"}});
  form.Command2.set_enabled(false);
  form.Frame1.set_visible(false);
  EXPECT_EQ(list->topLevelItemCount(), 4);
  EXPECT_FALSE(widget<QPushButton>(host, form.Command2)->isEnabled());
  EXPECT_FALSE(option2->isVisible());
  form.Frame1.set_visible(true);
  form.Command2.set_enabled(true);
  screenshot(window, QStringLiteral("demo-window.png"));
  form.unload();
}

TEST_F(QtFront, MessageBoxFromAProcedureAnswersThroughQt) {
  QtHost host;
  DemoForm form;
  form.show();
  QStringList seen;
  QString title, default_caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  when_modal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    icon = box->icon();
    default_caption = box->defaultButton() ? box->defaultButton()->text() : QString();
    const auto buttons = buttons_in_order(box);
    for (auto* b : buttons) seen << b->text();
    screenshot(box, QStringLiteral("message-box.png"));
    button_with_text(box, QStringLiteral("Да"))->click();
  });
  QTest::mouseClick(widget<QPushButton>(host, form.Command1), Qt::LeftButton);
  EXPECT_EQ(title, QStringLiteral("Сообщение"));
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(seen, (QStringList{"Да", "Нет"}));
  EXPECT_EQ(default_caption, QStringLiteral("Нет"));
  EXPECT_EQ(form.Text1.text(), L"да");
  EXPECT_EQ(widget<QLineEdit>(host, form.Text1)->text(), QStringLiteral("да"));

  // An error escaping a procedure is shown in a critical box; the program goes on.
  form.Command5.on_click = [] { throw std::runtime_error("disk full"); };
  QString error;
  when_modal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    error = box->text();
    box->accept();
  });
  widget<QPushButton>(host, form.Command5)->click();
  EXPECT_TRUE(error.contains(QStringLiteral("disk full")));
  EXPECT_TRUE(form.loaded());
  form.unload();
}

// A box with a short text is made as wide as its title needs in the
// desktop's title bar, a bold title beside the bar's icon and buttons, so
// that the desktop does not cut the title short.
TEST_F(QtFront, MessageBoxIsWideEnoughForItsTitle) {
  QtHost host;
  for (const QString& title : {QStringLiteral("Сохранение расчета"), QStringLiteral("Невозможно работать с графикой")}) {
    SCOPED_TRACE(title.toStdString());
    int width = 0;
    when_modal([&](QWidget* w) {
      width = w->width();
      if (title.size() < 20) screenshot(w, QStringLiteral("message-box-title.png"));
      button_with_text(w, QStringLiteral("Нет"))->click();
    });
    msg_box(L"Сохранить расчет?", MsgButtons::YesNo, MsgIcon::Question, dorv::front::ws(title));
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    // An icon and three buttons, each a square a line and a half high.
    EXPECT_GE(width, metrics.horizontalAdvance(title) + 4 * metrics.height() * 3 / 2);
  }
}

TEST_F(QtFront, InputBoxShowsPromptDefaultAndPlace) {
  QtHost host;
  DemoForm form;
  form.show();
  QString prompt, initial;
  QPoint place;
  QStringList captions;
  when_modal([&](QWidget* w) {
    prompt = w->findChild<QLabel*>(QStringLiteral("prompt"))->text();
    auto* edit = w->findChild<QLineEdit*>();
    initial = edit->text();
    place = w->pos();
    for (auto* b : buttons_in_order(w)) captions << b->text();
    screenshot(w, QStringLiteral("input-box.png"));
    edit->clear();
    type_text(edit, QStringLiteral("Петров П.П."));
    QTest::keyClick(edit, Qt::Key_Return);
  });
  widget<QPushButton>(host, form.Command2)->click();
  EXPECT_EQ(prompt, QStringLiteral("Укажите инициалы и фамилию исполнителя"));
  EXPECT_EQ(initial, QStringLiteral("Иванов"));
  EXPECT_EQ(place, QPoint(px_x(6000), px_y(3000)));
  EXPECT_EQ(captions, (QStringList{"OK", "Отмена"}));
  EXPECT_EQ(form.Label1.caption(), L"Петров П.П.");
  EXPECT_EQ(widget<QLabel>(host, form.Label1)->text(), QStringLiteral("Петров П.П."));

  // Cancel answers the empty text.
  when_modal([](QWidget* w) { button_with_text(w, QStringLiteral("Отмена"))->click(); });
  widget<QPushButton>(host, form.Command2)->click();
  EXPECT_EQ(form.Label1.caption(), L"");
  form.unload();
}

TEST_F(QtFront, UserInputReachesTheControls) {
  QtHost host;
  DemoForm form;
  form.show();
  QWidget* window = host.window_of(form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));

  // Typing runs Change for every keystroke; leaving the box runs LostFocus.
  auto* text = widget<QLineEdit>(host, form.Text1);
  text->setFocus();
  settle();
  QTest::keyClicks(text, QStringLiteral("5,5"));
  EXPECT_EQ(form.Text1.text(), L"5,5");
  EXPECT_EQ(form.changes, 3);
  auto* combo = widget<QComboBox>(host, form.Combo1);
  combo->setFocus();
  settle();
  EXPECT_EQ(form.lost_focus, 1);
  EXPECT_EQ(form.focused(), &form.Combo1);

  // The combo box takes a choice from its list and a typed text.
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(form.Combo1.list_index(), 1);
  EXPECT_EQ(form.combo_clicks, 1);
  combo->lineEdit()->selectAll();
  type_text(combo->lineEdit(), QStringLiteral("Свой"));
  EXPECT_EQ(form.Combo1.text(), L"Свой");
  EXPECT_EQ(form.Combo1.list_index(), -1);

  // A click in the list selects and runs ItemClick; a double click DblClick.
  auto* list = widget<QTreeWidget>(host, form.List1);
  const QRect row0 = list->visualItemRect(list->topLevelItem(0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row0.center());
  EXPECT_EQ(form.List1.selected(), 0);
  EXPECT_EQ(list->toolTip(), QStringLiteral("Склад готовой продукции"));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row0.center());
  EXPECT_EQ(form.dbl_clicks, 1);

  // One option of a frame at a time.
  QTest::mouseClick(widget<QRadioButton>(host, form.Option2), Qt::LeftButton);
  EXPECT_TRUE(form.Option2.value());
  EXPECT_FALSE(form.Option1.value());
  EXPECT_FALSE(widget<QRadioButton>(host, form.Option1)->isChecked());
  QTest::mouseClick(widget<QRadioButton>(host, form.Option2), Qt::LeftButton);
  EXPECT_TRUE(widget<QRadioButton>(host, form.Option2)->isChecked());

  // Enter presses the default button, Esc the cancel button.
  text->setFocus();
  settle();
  when_modal([](QWidget* w) { button_with_text(w, QStringLiteral("Нет"))->click(); });
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(form.Text1.text(), L"нет");
  QTest::keyClick(text, Qt::Key_Escape);
  EXPECT_FALSE(form.loaded());
}

// A one-line field shows and holds a pasted line break as a blank, its
// text being one line of the files that store it, and the cursor stays
// after what was pasted.
TEST_F(QtFront, ALineBreakInAOneLineFieldIsABlank) {
  QtHost host;
  DemoForm form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(host.window_of(form)));
  form.Text1.set_text(L"СкладСТРОКА");
  form.Combo1.set_text(L"СкладСТРОКА");
  settle();
  QApplication::clipboard()->setText(QStringLiteral("\r\nВТОРАЯ\r\n"));
  for (QLineEdit* edit : {widget<QLineEdit>(host, form.Text1), widget<QComboBox>(host, form.Combo1)->lineEdit()}) {
    edit->setFocus();
    edit->setCursorPosition(5);
    edit->paste();
    EXPECT_EQ(edit->text(), QStringLiteral("Склад ВТОРАЯ СТРОКА"));
    EXPECT_EQ(edit->cursorPosition(), 13);
  }
  EXPECT_EQ(form.Text1.text(), L"Склад ВТОРАЯ СТРОКА");
  EXPECT_EQ(form.Combo1.text(), L"Склад ВТОРАЯ СТРОКА");
}

TEST_F(QtFront, CloseBoxMayBeRefusedAndUnloadDropsTheWindow) {
  QtHost host;
  DemoForm form;
  form.show();
  QWidget* window = host.window_of(form);
  form.refuse_close = true;
  window->close();
  EXPECT_TRUE(form.loaded());
  EXPECT_TRUE(window->isVisible());
  form.refuse_close = false;
  window->close();
  EXPECT_FALSE(form.loaded());
  EXPECT_EQ(host.window_of(form), nullptr);
  EXPECT_FALSE(window->isVisible());

  // Hidden, disabled and shown again.
  form.show();
  EXPECT_EQ(form.loads, 2);
  window = host.window_of(form);
  form.set_enabled(false);
  EXPECT_FALSE(window->isEnabled());
  form.hide();
  EXPECT_FALSE(window->isVisible());
  form.set_enabled(true);
  form.show();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isEnabled());
  EXPECT_EQ(form.loads, 2);
  form.unload();

  // A form destroyed while on the screen takes its window with it.
  {
    DemoForm shown;
    shown.show();
  }
  settle();
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(QtFront, ModalFormHoldsTheProcedureUntilItIsUnloaded) {
  QtHost host;
  DemoForm form;
  form.show();
  bool was_modal = false;
  when_modal([&](QWidget* w) {
    was_modal = w->isModal();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Подтверждение"));
    screenshot(w, QStringLiteral("modal-form.png"));
    auto* edit = w->findChild<QLineEdit*>(QStringLiteral("Text1"));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("3"));
    button_with_text(w, QStringLiteral("OK"))->click();
  });
  widget<QPushButton>(host, form.Command3)->click();
  EXPECT_TRUE(was_modal);
  EXPECT_EQ(form.Label1.caption(), L"3 принято");
  form.unload();
}

TEST_F(QtFront, ProgramEndsWithItsCodeOrWithTheMainWindow) {
  {
    QtHost host;
    DemoForm form;
    QTimer::singleShot(0, [&] { widget<QPushButton>(host, form.Command5)->click(); });
    EXPECT_EQ(host.run(form), 7);
    EXPECT_TRUE(host.ending());
  }
  settle();
  {
    QtHost host;
    DemoForm form;
    QTimer::singleShot(0, [&] { host.window_of(form)->close(); });
    EXPECT_EQ(host.run(form), 0);
    EXPECT_FALSE(form.loaded());
  }
  settle();
  {
    // Ended from a modal form: the procedure that showed it goes no further.
    QtHost host;
    DemoForm form;
    form.modal_ok = [] { end_program(9); };
    QTimer::singleShot(0, [&] {
      when_modal([](QWidget* w) { button_with_text(w, QStringLiteral("OK"))->click(); });
      widget<QPushButton>(host, form.Command3)->click();
    });
    EXPECT_EQ(host.run(form), 9);
    EXPECT_EQ(form.Label1.caption(), L"");
  }
}

TEST_F(QtFront, PictureBoxPaintsWhatWasDrawn) {
  QtHost host;
  DemoForm form;
  auto& p = form.Picture1;
  p.scale(0, 100, 100, 0);  // y grows upwards
  p.draw_width = 3;
  p.line(0, 0, 100, 100, rgb(255, 0, 0));
  p.fill_solid = true;
  p.fill_color = rgb(0, 160, 0);
  p.circle(25, 75, 8, rgb(0, 160, 0));
  p.current_x = 60;
  p.current_y = 30;
  p.text_font.size = 10;
  p.print(L"Узел 1");
  form.show();
  auto* w = host.widget_of(p);
  ASSERT_NE(w, nullptr);
  const QImage image = w->grab().toImage();
  screenshot(w, QStringLiteral("picture-box.png"));
  const auto at = [&](double x, double y) {
    return image.pixelColor(static_cast<int>(x / 100 * image.width()), static_cast<int>((100 - y) / 100 * image.height()));
  };
  EXPECT_EQ(at(50, 50), QColor(255, 0, 0));
  EXPECT_EQ(at(25, 75), QColor(0, 160, 0));
  EXPECT_EQ(at(90, 10), QColor(255, 255, 255));
  // Text is measured with the font it is painted in: the dark pixels of
  // "Узел 1" span the width that text_width reported.
  int left = image.width(), right = -1;
  for (int y = static_cast<int>(0.70 * image.height()); y < image.height(); ++y)
    for (int x = static_cast<int>(0.55 * image.width()); x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() < 100 && c.green() < 100 && c.blue() < 100) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  ASSERT_GE(right, left);
  EXPECT_NEAR(left, 0.60 * image.width(), 2);
  EXPECT_NEAR(right - left + 1, px_x(host.text_width(L"Узел 1", p.text_font)), 3);
  form.unload();
}

TEST_F(QtFront, ShellOpenShowsTheProgramsTextFilesDecoded) {
  QtHost host;
  const auto dir = std::filesystem::temp_directory_path() / ("qtfront-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "flrez.txt";
  std::ofstream(file, std::ios::binary) << dorv::to_cp1251(L"Расчет N 12\r\nНапор 45.5 м\r\n");
  ASSERT_TRUE(host.shell_open(file, dir.wstring()));
  ASSERT_EQ(host.viewers().size(), 1u);
  QWidget* viewer = host.viewers()[0];
  EXPECT_EQ(viewer->windowTitle(), QStringLiteral("flrez.txt"));
  EXPECT_EQ(viewer->findChild<QPlainTextEdit*>()->toPlainText(), QStringLiteral("Расчет N 12\nНапор 45.5 м\n"));
  screenshot(viewer, QStringLiteral("text-viewer.png"));
  // It opens inside the screen's free area, with room above it for the
  // title bar that the desktop adds, a line high at least.
  const QRect area = viewer->screen()->availableGeometry();
  const QRect at = viewer->geometry();
  EXPECT_TRUE(area.contains(at)) << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
  EXPECT_GE(at.top(), area.top() + viewer->fontMetrics().height());
  // The same file opened again: one viewer, showing the file as it is now.
  std::ofstream(file, std::ios::binary) << dorv::to_cp1251(L"Расчет N 13\r\n");
  ASSERT_TRUE(host.shell_open(file, dir.wstring()));
  ASSERT_EQ(host.viewers().size(), 1u);
  EXPECT_EQ(host.viewers()[0], viewer);
  EXPECT_EQ(viewer->findChild<QPlainTextEdit*>()->toPlainText(), QStringLiteral("Расчет N 13\n"));
  // Escape closes it, from the text too.
  QTest::keyClick(viewer->findChild<QPlainTextEdit*>(), Qt::Key_Escape);
  settle();
  EXPECT_TRUE(host.viewers().empty());
  EXPECT_FALSE(host.shell_open(dir / "missing.txt", L""));
  std::filesystem::remove_all(dir);

  // The printers always include the PDF file.
  auto names = host.printers().device_names();
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.back(), dorv::front::kPdfPrinterName);
  EXPECT_GE(host.printers().current(), 0);
}

TEST_F(QtFront, EveryButtonSetInItsOrderAndEscOnlyWhereItMayCancel) {
  QtHost host;
  struct Case {
    MsgButtons set;
    QStringList captions;
    std::optional<MsgResult> on_escape;  // nothing: Esc leaves the box open
  };
  const std::vector<Case> cases = {
      {MsgButtons::OK, {"OK"}, MsgResult::OK},
      {MsgButtons::OKCancel, {"OK", "Отмена"}, MsgResult::Cancel},
      {MsgButtons::AbortRetryIgnore, {"Прервать", "Повтор", "Пропустить"}, std::nullopt},
      {MsgButtons::YesNoCancel, {"Да", "Нет", "Отмена"}, MsgResult::Cancel},
      {MsgButtons::YesNo, {"Да", "Нет"}, std::nullopt},
      {MsgButtons::RetryCancel, {"Повтор", "Отмена"}, MsgResult::Cancel},
      {MsgButtons::CancelTryContinue, {"Отмена", "Повторить", "Продолжить"}, MsgResult::Cancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.captions.join(QChar('/')).toStdString());
    QStringList captions;
    bool stayed_open = false;
    when_modal([&](QWidget* w) {
      for (auto* b : buttons_in_order(w)) captions << b->text();
      QTest::keyClick(w, Qt::Key_Escape);
      stayed_open = w->isVisible();
      if (stayed_open) buttons_in_order(w).back()->click();
    });
    const MsgResult answer = msg_box(L"Текст", c.set, MsgIcon::Exclamation, L"Сообщение");
    EXPECT_EQ(captions, c.captions);
    EXPECT_EQ(stayed_open, !c.on_escape.has_value());
    EXPECT_EQ(answer, c.on_escape.value_or(buttons_of(c.set).back()));
  }
}

TEST_F(QtFront, OpenFileDialogWithTitleAndFilterAndTheOneSecondWait) {
  QtHost host;
  const auto dir = std::filesystem::temp_directory_path() / ("qtfront-open-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "set.ko2") << "x";
  QString title;
  QStringList filters, buttons;
  when_modal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    for (auto* b : dialog->findChildren<QPushButton*>()) buttons << b->text();
    dialog->selectFile(QString::fromStdString((dir / "set.ko2").string()));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  const auto chosen = host.open_file_dialog({L"Открытие файла", L"*.ko2|*.ko2", dir});
  EXPECT_EQ(title, QStringLiteral("Открытие файла"));
  EXPECT_EQ(filters, QStringList{QStringLiteral("*.ko2 (*.ko2 *.KO2)")});
  // The stock dialog speaks Russian where the toolkit's translation is installed.
  if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm"))) {
    EXPECT_TRUE(buttons.contains(QStringLiteral("Отмена"))) << buttons.join(QChar(',')).toStdString();
  }
  // A folder in its list is a "Папка".
  EXPECT_EQ(QFileIconProvider().type(QFileInfo(QString::fromStdString(dir.string()))), QStringLiteral("Папка"));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, dir / "set.ko2");
  when_modal([](QWidget* w) { qobject_cast<QFileDialog*>(w)->reject(); });
  EXPECT_FALSE(host.open_file_dialog({L"Открытие файла", L"*.ko2|*.ko2", dir}).has_value());
  std::filesystem::remove_all(dir);

  // The wait keeps the window alive: events arriving meanwhile are handled.
  bool handled = false;
  QTimer::singleShot(50, [&] { handled = true; });
  host.wait_one_second();
  EXPECT_TRUE(handled);
}

TEST_F(QtFront, PictureClickFrontmostControlButtonColourAndTheBusyForm) {
  QtHost host;
  DemoForm form;
  int picture_clicks = 0;
  form.Picture1.on_click = [&] {
    ++picture_clicks;
    form.Picture1.bring_to_front();
  };
  form.show();
  auto* picture = host.widget_of(form.Picture1);
  ASSERT_NE(picture, nullptr);
  form.Text1.bring_to_front();
  EXPECT_EQ(picture->parentWidget()->children().last(), host.widget_of(form.Text1));
  QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(picture_clicks, 1);
  EXPECT_EQ(picture->parentWidget()->children().last(), picture);

  // A mode kept in a button's back colour shows, and the button face returns.
  auto* button = widget<QPushButton>(host, form.Command5);
  const QColor face = button->palette().color(QPalette::Button);
  form.Command5.set_back_color(colour_number(33023));
  EXPECT_EQ(button->palette().color(QPalette::Button), QColor(255, 128, 0));
  form.Command5.set_back_color(kButtonFace);
  EXPECT_EQ(button->palette().color(QPalette::Button), face);

  // While "Записать" waits, a second press and the close box do nothing.
  int runs = 0;
  form.Command1.on_click = [&] {
    ++runs;
    host.wait_one_second();
  };
  auto* write = widget<QPushButton>(host, form.Command1);
  bool busy_cursor = true;
  QTimer::singleShot(200, [&] {
    // Waiting, the window keeps the ordinary pointer and its buttons.
    busy_cursor = QGuiApplication::overrideCursor() || host.window_of(form)->cursor().shape() != Qt::ArrowCursor ||
                  !write->isEnabled();
    QTest::mouseClick(write, Qt::LeftButton);
    host.window_of(form)->close();
  });
  QTest::mouseClick(write, Qt::LeftButton);
  EXPECT_FALSE(busy_cursor);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(form.loaded());
  EXPECT_FALSE(form.busy());
  QTest::mouseClick(write, Qt::LeftButton);
  EXPECT_EQ(runs, 2);
  form.unload();
}

TEST_F(QtFront, ClickOnAWideColumnKeepsTheListStillSidewaysAndNoMaximiseButton) {
  // The register's layout: narrow number and contract columns, then an
  // object column wider than the whole list.
  struct Register : Form {
    Register() : Form(L"Register") {
      List1.add_column(L"Номер", 700);
      List1.add_column(L"Дог.", 700);
      List1.add_column(L"Объект", 9000);
      for (int i = 0; i < 40; ++i)
        List1.add_item({L"   " + std::to_wstring(i) + L"-R", {L"7", std::wstring(150, L'ж')}});
    }
    ListView& List1 = add<ListView>(L"ListView1", {120, 120, 6000, 3000});
  } form;
  QtHost host;
  form.show();
  settle();
  auto* list = widget<QTreeWidget>(host, form.List1);
  ASSERT_GT(list->horizontalScrollBar()->maximum(), 0);
  const QRect cell = list->visualItemRect(list->topLevelItem(3));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(list->viewport()->width() - 10, cell.center().y()));
  EXPECT_EQ(form.List1.selected(), 3);
  QTest::qWait(QApplication::doubleClickInterval() + 300);  // the view scrolls to a clicked cell after a delay
  EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
  // Code bringing a row far down into view scrolls up and down only.
  form.List1.ensure_visible(39);
  EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
  EXPECT_GT(list->verticalScrollBar()->value(), 0);

  const Qt::WindowFlags flags = host.window_of(form)->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  form.unload();
}
