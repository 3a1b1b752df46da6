// The grid form as a person sees it: opened from the register through the Qt
// front end, with its scheme shown; its picture is kept as an artifact.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "app/calcforms.h"
#include "gridform/form2.h"
#include "qtfront/qthost.h"
#include "register/form1.h"
#include "register/modul1.h"
#include "program_folder.h"
#include "support.h"
#include "text/codepage.h"

namespace fs = std::filesystem;
using namespace dorv::test;
namespace Modul1 = dorv::reg::Modul1;

namespace {

class GridWindow : public ProgramFolderTest {
 protected:
  GridWindow() : ProgramFolderTest("dorv-grid-window") {}
};

}  // namespace

TEST_F(GridWindow, OpensFromTheRegisterAndShowsItsScheme) {
  dorv::front::QtHost host;
  dorv::reg::Form1 register_window;
  dorv::app::CalcForms calc_forms;
  register_window.show();
  QWidget* list_window = host.window_of(register_window);
  ASSERT_NE(list_window, nullptr);
  auto* list = list_window->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
  ASSERT_NE(list, nullptr);
  list->setCurrentItem(list->topLevelItem(0));
  QTest::mouseClick(button_with_text(list_window, QStringLiteral("   Редактир.    расчета")), Qt::LeftButton);
  settle();

  dorv::grid::Form2* form = calc_forms.grid_form();
  ASSERT_NE(form, nullptr);
  QWidget* window = host.window_of(*form);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Расчет объекта с решеткой"));
  EXPECT_FALSE(list_window->isVisible());
  auto* number = window->findChild<QLineEdit*>(QStringLiteral("Text2"));
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->text(), QStringLiteral(" 1-R"));
  for (int i = 0; i <= 18; ++i) {
    auto* label = window->findChild<QLabel*>(QStringLiteral("Label1(%1)").arg(i));
    ASSERT_NE(label, nullptr) << i;
    EXPECT_FALSE(label->text().isEmpty());
    EXPECT_NE(window->findChild<QLineEdit*>(QStringLiteral("Text1(%1)").arg(i)), nullptr) << i;
  }
  EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("Text6(0)"))->text(), QStringLiteral(" 4.38"));
  QWidget* picture = window->findChild<QWidget*>(QStringLiteral("Picture1"));
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->isVisible());
  screenshot(window, QStringLiteral("grid-form.png"));

  QTest::mouseClick(button_with_text(window, QStringLiteral("Расч. схема Результаты")), Qt::LeftButton);
  settle();
  EXPECT_TRUE(picture->isVisible());
  EXPECT_FALSE(form->Picture1.ops().empty());
  EXPECT_EQ(form->Scheme.SchemeRows, 3);
  screenshot(window, QStringLiteral("grid-form-scheme.png"));

  // Closing without saving brings the register back.
  when_modal([](QWidget* w) { button_with_text(w, QStringLiteral("Нет"))->click(); });
  QTest::mouseClick(button_with_text(window, QStringLiteral("ВЫХОД")), Qt::LeftButton);
  settle();
  EXPECT_TRUE(list_window->isVisible());
}
