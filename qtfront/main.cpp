// dorv: the desktop program. Starts the register window in the program
// folder with its calculation forms; the program ends when the register
// window is unloaded.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/calcforms.h"
#include "qtfront/qthost.h"
#include "register/form1.h"

namespace {
bool has_display() {
  const auto set = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}
}  // namespace

int main(int argc, char** argv) {
  if (!has_display()) {
    std::fputs(
        "dorv: no display is available (DISPLAY is not set).\n"
        "Start it on a desktop, or under a virtual display: xvfb-run -a ./dorv\n",
        stderr);
    return 2;
  }
  QApplication app(argc, argv);
  dorv::front::QtHost host;
  dorv::reg::Form1 register_window;
  dorv::app::CalcForms calculation_forms;
  return host.run(register_window);
}
