// Every form as the Qt front end lays it out: no visible control lies over
// another, except the boxes that are meant to cover others while they are
// shown (a scheme, a section table), and every caption and field text fits
// its control in the font it is shown in. The pictures are kept as artifacts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/calcforms.h"
#include "arbform/form4.h"
#include "gridform/form2.h"
#include "qtfront/qthost.h"
#include "register/form1.h"
#include "register/form5.h"
#include "register/form6.h"
#include "register/modul1.h"
#include "program_folder.h"
#include "support.h"
#include "text/codepage.h"

namespace fs = std::filesystem;
using namespace dorv::test;
namespace Modul1 = dorv::reg::Modul1;
namespace ui = dorv::ui;

namespace {

std::string name_of(const ui::Control& c) {
  std::string name = dorv::to_utf8(c.name());
  if (c.index() >= 0) name += "(" + std::to_string(c.index()) + ")";
  return name;
}

// Checks the window of a form as a person sees it; `covering` names the
// controls that may lie over others, and must then lie in front of them.
void expect_laid_out(dorv::front::QtHost& host, const ui::Form& form, const std::set<std::string>& covering) {
  SCOPED_TRACE(dorv::to_utf8(form.name()));
  QWidget* window = host.window_of(form);
  ASSERT_NE(window, nullptr);
  struct Shown {
    const ui::Control* control;
    QWidget* widget;
  };
  std::vector<Shown> shown;
  for (const auto& c : form.controls()) {
    QWidget* w = host.widget_of(*c);
    if (w && !c->container() && w->isVisible()) shown.push_back({c.get(), w});
  }
  const QObjectList stacking = window->children();  // from back to front
  for (std::size_t i = 0; i < shown.size(); ++i)
    for (std::size_t j = i + 1; j < shown.size(); ++j) {
      const Shown& a = shown[i];
      const Shown& b = shown[j];
      if (!a.widget->geometry().intersects(b.widget->geometry())) continue;
      const Shown& front = stacking.indexOf(a.widget) > stacking.indexOf(b.widget) ? a : b;
      EXPECT_TRUE(covering.count(name_of(*front.control)))
          << name_of(*a.control) << " and " << name_of(*b.control) << " overlap";
    }
  for (const Shown& s : shown) {
    const std::string name = name_of(*s.control);
    const QFontMetrics fm(s.widget->font());
    // Readable: no caption had to shrink to a tiny size to fit.
    EXPECT_GE(s.widget->font().pointSizeF(), 7.0) << name;
    if (auto* label = qobject_cast<QLabel*>(s.widget)) {
      const QRect needed = fm.boundingRect(label->rect(), Qt::TextWordWrap, label->text());
      EXPECT_LE(needed.width(), label->width()) << name << ": " << label->text().toStdString();
      EXPECT_LE(needed.height(), label->height()) << name << ": " << label->text().toStdString();
    } else if (auto* button = qobject_cast<QPushButton*>(s.widget)) {
      const QString caption = button->text().simplified();
      const bool one_line = fm.horizontalAdvance(caption) <= button->width() - 8;
      const QRect needed =
          fm.boundingRect(button->rect().adjusted(3, 2, -3, -2), Qt::TextWordWrap | Qt::AlignCenter, caption);
      EXPECT_TRUE(one_line || (needed.width() <= button->width() - 6 && needed.height() <= button->height() - 4))
          << name << ": " << caption.toStdString();
    } else if (auto* edit = qobject_cast<QLineEdit*>(s.widget)) {
      const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
      EXPECT_LE(fm.height() + 2 + 2 * frame, edit->height()) << name;
      EXPECT_LE(fm.horizontalAdvance(edit->text()) + 4 + 2 * frame, edit->width()) << name << ": "
                                                                                     << edit->text().toStdString();
    }
  }
}

class FormLayout : public ProgramFolderTest {
 protected:
  FormLayout() : ProgramFolderTest("dorv-layout") {}
};

}  // namespace

TEST_F(FormLayout, NothingOverlapsAndEveryTextFits) {
  dorv::front::QtHost host;
  dorv::reg::Form1 register_window;
  dorv::app::CalcForms calc_forms;
  register_window.show();
  settle();
  expect_laid_out(host, register_window, {});
  screenshot(host.window_of(register_window), QStringLiteral("layout-register.png"));

  dorv::reg::Form6 print_setup;
  print_setup.show();
  settle();
  expect_laid_out(host, print_setup, {});
  print_setup.unload();

  // The grid form of the first example, with the longest text a run writes
  // into its fields.
  register_window.ListView1.select(register_window.ListView1.find_item(L"    1-R"));
  register_window.Command1.click();
  settle();
  dorv::grid::Form2* grid = calc_forms.grid_form();
  ASSERT_NE(grid, nullptr);
  grid->Text1(2).set_text(L"120 (14 оросит.)");
  settle();
  expect_laid_out(host, *grid, {"Picture1"});
  screenshot(host.window_of(*grid), QStringLiteral("layout-form2.png"));
  when_modal([](QWidget* w) { button_with_text(w, QStringLiteral("Нет"))->click(); });
  grid->unload();
  settle();

  // A network with outlets of all four kinds, its section table shown over
  // the results, then its scheme over the groups.
  const std::string command = "'" + std::string(NETEXPORT_EXE) + "' -t '" + (dir_ / "trub.inf").string() + "' -o '" +
                              dir_.string() + "' '" + NETEXPORT_EXAMPLE + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  register_window.OpenedFromRegister = false;
  Modul1::Register.NewCalcId = L" 5-T";
  dorv::arb::Form4& form4 = calc_forms.form4();
  form4.show();
  settle();
  ASSERT_TRUE(form4.Label13.visible() && form4.Label14.visible() && form4.Label12.visible());
  form4.Command7.click();  // the scheme hidden: the groups show
  form4.Command8.click();  // the section table shown
  settle();
  expect_laid_out(host, form4, {"Text4"});
  screenshot(host.window_of(form4), QStringLiteral("layout-form4-table.png"));
  form4.Command7.click();
  settle();
  expect_laid_out(host, form4, {"Text4", "Picture1"});
  screenshot(host.window_of(form4), QStringLiteral("layout-form4-scheme.png"));
  when_modal([](QWidget* w) { button_with_text(w, QStringLiteral("Нет"))->click(); });
  form4.unload();
  settle();
}
