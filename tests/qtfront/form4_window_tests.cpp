// Form4 as a person sees it: the Qt front end renders the form from its
// controls after it has imported an export written by netexport, scheme
// included.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "arbform/form4.h"
#include "qtfront/qthost.h"
#include "register/form1.h"
#include "register/modul1.h"
#include "support.h"

namespace fs = std::filesystem;
using namespace dorv::test;
namespace Modul1 = dorv::reg::Modul1;

TEST(Form4Window, ShowsTheImportedNetworkAndItsScheme) {
  app();
  const fs::path dir = fs::temp_directory_path() / ("dorv-form4-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy_file(fs::path(DORV_DATA_DIR) / "trub.inf", dir / "trub.inf");
  std::ofstream(dir / "nozapas.txt");
  std::ofstream(dir / "sign.txt") << "I\r\n";
  const fs::path previous = fs::current_path();
  Modul1::reset();
  Modul1::ProgramFolder = dir;
  {
    dorv::front::QtHost host;
    dorv::reg::Form1 register_window;
    register_window.show();
    // The export arrives after the register's start-up has cleared the working files.
    const std::string command = "'" + std::string(NETEXPORT_EXE) + "' -t '" + (dir / "trub.inf").string() + "' -o '" +
                                dir.string() + "' '" + NETEXPORT_EXAMPLE + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    dorv::arb::Form4 form;
    register_window.OpenedFromRegister = false;
    Modul1::Register.NewCalcId = L" 1-T";
    form.show();
    QWidget* window = host.window_of(form);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Расчет секции произвольной конфигурации"));
    EXPECT_EQ(form.state.imported.NetworkLoaded, 1);
    EXPECT_TRUE(form.Picture1.visible());
    // Every pipe and outlet of the description is drawn: 9 pipes, 6 outlets.
    int lines = 0, circles = 0;
    for (const auto& op : form.Picture1.ops()) {
      lines += op.kind == dorv::ui::DrawOp::Kind::Line && op.color == dorv::ui::kBlack;
      circles += op.kind == dorv::ui::DrawOp::Kind::Circle;
    }
    EXPECT_GE(lines, 9);
    EXPECT_EQ(circles, 5);  // the fire cock is a square
    settle();
    screenshot(window, QStringLiteral("form4.png"));
    form.hide();
    settle();
  }
  Modul1::reset();
  fs::current_path(previous);
  fs::remove_all(dir);
}
