// The register window as a person sees it: built by the Qt front end from a
// prepared program folder, used through Qt's widgets.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "qtfront/qthost.h"
#include "qtfront/qtprinters.h"
#include "register/form1.h"
#include "register/form5.h"
#include "register/form6.h"
#include "register/modul1.h"
#include "support.h"
#include "text/codepage.h"

namespace fs = std::filesystem;
using namespace dorv::test;
namespace Modul1 = dorv::reg::Modul1;

namespace {

void write_cp1251(const fs::path& file, const std::wstring& text) {
  std::ofstream(file, std::ios::binary) << dorv::to_cp1251(text);
}

// A program folder on its first start: the example pack, an executor, and
// the mirror switched off.
class RegisterWindow : public ::testing::Test {
 protected:
  RegisterWindow() : dir_(fs::temp_directory_path() / ("dorv-register-" + std::to_string(::getpid()))) {
    app();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const char* f : {"demo.ini", "demo"}) fs::copy_file(fs::path(DORV_DATA_DIR) / f, dir_ / f);
    write_cp1251(dir_ / "sign.txt", L"Иванов И.И.\r\n");
    write_cp1251(dir_ / "nozapas.txt", L"");
    previous_folder_ = fs::current_path();
    Modul1::reset();
    Modul1::ProgramFolder = dir_;
  }
  ~RegisterWindow() override {
    settle();
    Modul1::reset();
    fs::current_path(previous_folder_);
    fs::remove_all(dir_);
  }
  fs::path dir_;
  fs::path previous_folder_;
};

}  // namespace

TEST_F(RegisterWindow, ShowsTheCatalogAndAnswersThroughQt) {
  dorv::front::QtHost host;
  dorv::reg::Form1 form;
  form.show();
  QWidget* window = host.window_of(form);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("ВИРН-Дорв 5.4.0 - Перечень выполненных расчетов"));

  auto* list = window->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->columnCount(), 3);
  EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Номер"));
  EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Дог."));
  EXPECT_EQ(list->headerItem()->text(2), QStringLiteral("Объект"));
  ASSERT_EQ(list->topLevelItemCount(), 4);
  EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("    1-R"));
  EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("17/05-1"));
  EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("Склад готовой продукции"));
  EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("    2-T"));
  EXPECT_EQ(list->currentItem(), list->topLevelItem(3));

  QStringList captions;
  for (QPushButton* b : buttons_in_order(window)) captions << b->text();
  EXPECT_EQ(captions, (QStringList{"   Редактир.    расчета", "Новый  расчет", "Поиск", "Удаление", " Исполнитель  ",
                                   " Выход"}));
  screenshot(window, QStringLiteral("register.png"));

  // The executor button asks in an input box; the answer is written to sign.txt.
  QString prompt;
  when_modal([&](QWidget* w) {
    prompt = w->findChild<QLabel*>(QStringLiteral("prompt"))->text();
    auto* edit = w->findChild<QLineEdit*>();
    EXPECT_EQ(edit->text(), QStringLiteral("Иванов И.И."));
    edit->clear();
    type_text(edit, QStringLiteral("Петров П.П."));
    button_with_text(w, QStringLiteral("OK"))->click();
  });
  QTest::mouseClick(button_with_text(window, QStringLiteral(" Исполнитель  ")), Qt::LeftButton);
  EXPECT_TRUE(prompt.startsWith(QStringLiteral("Исполнитель расчетов на данном компьютере")));
  EXPECT_EQ(form.ExecutorName, L"Петров П.П.");
  std::ifstream sign(dir_ / "sign.txt", std::ios::binary);
  std::string line;
  std::getline(sign, line);
  EXPECT_EQ(dorv::from_cp1251(line), L"Петров П.П.\r");

  // Deleting asks first; "Нет" keeps the calculation.
  QString title;
  QStringList answers;
  when_modal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    for (auto* b : buttons_in_order(box)) answers << b->text();
    button_with_text(box, QStringLiteral("Нет"))->click();
  });
  QTest::mouseClick(button_with_text(window, QStringLiteral("Удаление")), Qt::LeftButton);
  EXPECT_EQ(title, QStringLiteral("Удаление расчета"));
  EXPECT_EQ(answers, (QStringList{"Да", "Нет"}));
  EXPECT_EQ(list->topLevelItemCount(), 4);
  EXPECT_TRUE(fs::exists(dir_ / "perform" / "4in.prr"));

  // The close box runs the register's closing sequence.
  EXPECT_TRUE(fs::exists(dir_ / "prr2.kat"));
  window->close();
  EXPECT_FALSE(form.loaded());
  EXPECT_FALSE(fs::exists(dir_ / "prr2.kat"));
}

TEST_F(RegisterWindow, KindChoiceAndPrintSetUpAreWindowsOfTheirOwn) {
  dorv::front::QtHost host;
  dorv::reg::Form1 form;
  form.show();
  QWidget* window = host.window_of(form);

  // "Новый  расчет": the register gives way to the kind choice; its Cancel
  // brings the register back.
  QTest::mouseClick(button_with_text(window, QStringLiteral("Новый  расчет")), Qt::LeftButton);
  QWidget* kind = host.window_of(form.form5());
  ASSERT_NE(kind, nullptr);
  EXPECT_TRUE(kind->isVisible());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(kind->windowTitle(), QStringLiteral("Характер расчета"));
  screenshot(kind, QStringLiteral("kind-choice.png"));
  QTest::mouseClick(button_with_text(kind, QStringLiteral("Cancel")), Qt::LeftButton);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isEnabled());

  // The print set-up offers the printers, the PDF file among them; Esc cancels.
  dorv::reg::Form6 setup;
  QStringList printers;
  when_modal([&](QWidget* w) {
    auto* combo = w->findChild<QComboBox*>(QStringLiteral("Combo1"));
    for (int i = 0; i < combo->count(); ++i) printers << combo->itemText(i);
    screenshot(w, QStringLiteral("print-setup.png"));
    QTest::keyClick(w, Qt::Key_Escape);
  });
  Modul1::Register.PrintLanguage = L"1";
  setup.show(dorv::ui::ShowMode::Modal);
  EXPECT_TRUE(printers.contains(QString::fromStdWString(dorv::front::kPdfPrinterName)));
  EXPECT_EQ(Modul1::Register.PrintLanguage, L"");
  EXPECT_FALSE(setup.loaded());

  // On a machine without a printer the PDF file is offered, and chosen.
  host.use_printers(std::make_unique<dorv::front::QtPrinters>(std::vector<std::wstring>{}));
  printers.clear();
  when_modal([&](QWidget* w) {
    auto* combo = w->findChild<QComboBox*>(QStringLiteral("Combo1"));
    for (int i = 0; i < combo->count(); ++i) printers << combo->itemText(i);
    EXPECT_EQ(combo->currentText(), QString::fromStdWString(dorv::front::kPdfPrinterName));
    QTest::mouseClick(button_with_text(w, QStringLiteral("Печать")), Qt::LeftButton);
  });
  setup.show(dorv::ui::ShowMode::Modal);
  EXPECT_EQ(printers, QStringList{QString::fromStdWString(dorv::front::kPdfPrinterName)});
  EXPECT_EQ(Modul1::Register.PrintLanguage, L"1");
  EXPECT_EQ(host.printers().current_device_name(), dorv::front::kPdfPrinterName);
  form.unload();
}
