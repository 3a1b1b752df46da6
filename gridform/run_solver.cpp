// The solver run: spr.out emptied, the flag file prom.in created, the
// command file of the chosen solver started, and a wait in short pauses that
// keep the window alive until the command file has removed prom.in. The
// pauses are short so that a quick solver is not kept waiting for the rest
// of a second. A command file that cannot be
// started, or that ends without removing prom.in, ends the wait too: the run
// is then told to have failed instead of waiting for ever.
#include <filesystem>

#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "platform/command_wait.h"
#include "platform/host.h"
#include "text/linefile.h"

namespace dorv::grid {
namespace {

StageEnd solver_failed(GridRun& run) {
  std::error_code ec;
  std::filesystem::remove(run.file("prom.in"), ec);
  ui::msg_box(L"Расчет решетки не выполнен: программа расчета завершилась, не выдав результатов. Нажмите ОК для "
              L"возврата к началу расчета.",
              ui::MsgButtons::OK, ui::MsgIcon::Critical, L"Прерывание расчета");
  return StageEnd::CommonExit;
}

}  // namespace

StageEnd RunGridSolver(GridRun& run) {
  try {
    write_bytes(run.file("spr.out"), "");
    write_bytes(run.file("prom.in"), "");
  } catch (const FileError&) {
    refuse(L"Не удалось подготовить файлы расчета spr.out и prom.in. Нажмите ОК для возврата к началу расчета.");
    return StageEnd::CommonExit;
  }
  const std::wstring command = run.state.SolverChoice == 1 ? L"prom2.bat" : L"prom1.bat";
  if (!run.hooks.start_command_file) return solver_failed(run);
  // Without a way to tell that the command file has ended, only its flag ends the wait.
  const ui::CommandFileCalls calls{
      run.hooks.start_command_file,
      run.hooks.command_file_running ? run.hooks.command_file_running : std::function<bool()>([] { return true; }),
      run.hooks.pause};
  const ui::CommandWaitEnd end = ui::run_command_file_until_flag_removed(run.folder, command, run.file("prom.in"), calls);
  if (end == ui::CommandWaitEnd::NotStarted) {
    std::error_code ec;
    std::filesystem::remove(run.file("prom.in"), ec);
    ui::msg_box(L"Не удается запустить командный файл " + command + L". Расчет не выполнен.", ui::MsgButtons::OK,
                ui::MsgIcon::None, L"Остановка расчета из-за ошибки");
    return StageEnd::CommonExit;
  }
  if (end != ui::CommandWaitEnd::FlagRemoved) return solver_failed(run);
  return StageEnd::Continue;
}

}  // namespace dorv::grid
