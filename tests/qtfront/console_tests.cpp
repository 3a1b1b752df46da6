// A command file started by a form runs with a console window of its own
// under the desktop front end.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/form.h"
#include "qtfront/console.h"
#include "qtfront/qthost.h"
#include "support.h"
#include "tests/support/grid_files.h"
#include "tests/support/program_folder.h"

using namespace dorv::ui;
using dorv::front::ConsoleWindow;
using dorv::front::QtHost;
using dorv::testing::ProgramFolder;

namespace {

// A button that starts a command file and waits, a second at a time, until
// the command file has removed the flag file prom.in.
class Waiter : public Form {
 public:
  Waiter(std::filesystem::path folder, std::wstring command)
      : Form(L"Waiter"), folder_(std::move(folder)), command_(std::move(command)) {
    Command1.on_click = [this] {
      started = host().start_command_file(folder_, command_);
      while (started && std::filesystem::exists(folder_ / "prom.in") && seconds < 60) {
        host().wait_one_second();
        ++seconds;
      }
    };
  }
  CommandButton& Command1 = add<CommandButton>(L"Command1", {120, 120, 1200, 400});
  bool started = false;
  int seconds = 0;

 private:
  std::filesystem::path folder_;
  std::wstring command_;
};

// Members of a process group that have not ended.
int live_members(qint64 group) {
  int live = 0;
  for (const auto& e : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(e.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (name) state ppid pgrp ...
    const auto close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    long long ppid = 0, pgrp = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %lld %lld", &state, &ppid, &pgrp) == 3 && pgrp == group &&
        state != 'Z')
      ++live;
  }
  return live;
}

// Watches the console windows while the form's procedure waits.
struct ConsoleWatch {
  QtHost& host;
  QTimer timer;
  QString seen;
  bool shown = false;
  qint64 group = 0;
  std::function<void(ConsoleWindow*)> on_output;  // once output arrived
  explicit ConsoleWatch(QtHost& h) : host(h) {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const auto consoles = host.consoles();
      if (consoles.empty()) return;
      ConsoleWindow* c = consoles.front();
      shown = shown || c->isVisible();
      group = c->process_group();
      seen = c->output();
      if (!seen.isEmpty() && on_output) std::exchange(on_output, nullptr)(c);
    });
    timer.start(50);
  }
};

class Console : public ::testing::Test {
 protected:
  Console() { dorv::test::app(); }
  ~Console() override { dorv::test::settle(); }
};

}  // namespace

TEST_F(Console, ShowsTheCommandFilesOutputAndClosesWhenItEnds) {
  QtHost host;
  ProgramFolder f;
  f.put("prom.in", "");
  f.put("hello.bat", "echo 'Расчет начат'\nsleep 1\necho 'Расчет закончен'\nrm -f prom.in\n");
  Waiter form(f.dir(), L"hello.bat");
  form.show();
  ConsoleWatch watch(host);
  form.Command1.click();
  EXPECT_TRUE(form.started);
  EXPECT_TRUE(watch.shown);
  EXPECT_TRUE(watch.seen.contains(QStringLiteral("Расчет начат"))) << watch.seen.toStdString();
  for (int i = 0; i < 40 && !host.consoles().empty(); ++i) QTest::qWait(50);
  EXPECT_TRUE(host.consoles().empty());
  EXPECT_FALSE(host.command_file_running());
  EXPECT_FALSE(host.start_command_file(f.dir(), L"missing.bat"));
  form.unload();
}

TEST_F(Console, ClosingTheWindowStopsTheSolverAndTheWaitEnds) {
  QtHost host;
  ProgramFolder f;
  f.install(GRIDSOLVE_EXE, "gridsolve");
  f.install(PROM2_BAT, "prom2.bat");
  // A grid slow enough to be stopped halfway: 195 shifts, seconds of work.
  f.put("spr.in", dorv::testing::grid_parameter_text({3, 3, 200, 40, 13.97, 110, 10, 0.47, 24, 0.01, 0, 0, 1.5, 110, 0, 2, 1}));
  f.put("spr.out", "stale");
  f.put("prom.in", "");
  Waiter form(f.dir(), L"prom2.bat");
  form.show();
  ConsoleWatch watch(host);
  bool closed_while_running = false;
  watch.on_output = [&](ConsoleWindow* c) {
    // The solver's heading is there; the user closes the window meanwhile.
    closed_while_running = c->running();
    c->close();
  };
  form.Command1.click();
  ASSERT_TRUE(form.started);
  EXPECT_TRUE(watch.shown);
  EXPECT_TRUE(closed_while_running) << "the solver ended before its window could be closed";
  EXPECT_TRUE(watch.seen.contains(QStringLiteral("Программа расчета"))) << watch.seen.toStdString();
  EXPECT_LT(form.seconds, 30);
  EXPECT_FALSE(f.has("prom.in"));      // the command file's own clean-up ran
  EXPECT_EQ(f.get("spr.out"), "");     // and left no result of a stopped run
  for (int i = 0; i < 40 && live_members(watch.group) > 0; ++i) QTest::qWait(50);
  EXPECT_EQ(live_members(watch.group), 0);  // the solver is gone too
  form.unload();
}
