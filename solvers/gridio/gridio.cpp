#include "solvers/gridio/gridio.h"

#include <algorithm>
#include <cctype>

#include "solvers/common/gridparams.h"
#include "solvers/common/resultfile.h"
#include "solvers/gridio/position.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace dorv::solvers {

bool is_shift_text(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

namespace {

int run_grid_io_steps(const std::vector<std::string>& args, const std::filesystem::path& folder, const ConsoleOut& out) {
  const auto parsed = parse_grid_io_arguments(args);
  if (!parsed) {
    out(kGridIoUsage);
    return kExitUsage;
  }
  const ParameterLoad load = load_grid_parameters(folder / "spr.in", GridProgram::GridIo);
  if (load.exit_code != kExitDone) {
    out(load.message);
    return load.exit_code;
  }
  // A single branch line has no main to speak of: the network needs two.
  if (load.record.LineCount < 2) {
    out(kBadInputMessage);
    return kExitBadInput;
  }
  // The shift texts become part of the file names, so only whole numbers
  // from 1 on pass.
  if (!is_shift_text(parsed->along_text) || !is_shift_text(parsed->across_text) ||
      !grid_io_shift_in_range(load.record, parsed->along, parsed->across)) {
    out(kBadShiftMessage);
    return kExitBadShift;
  }
  const PositionNetwork net(load.record, parsed->along, parsed->across);
  const std::string stem = position_stem(parsed->along_text, parsed->across_text);
  if (parsed->mode == 'i') {
    const double tolerance = parsed->tolerance.value_or(net.record.Tolerance);
    const std::wstring problem = problem_file_text(net, tolerance);
    if (!numbers_sensible(problem, 0)) {
      out(L"\n\n\nЗадача положения  " + from_utf8(stem) +
          L"  не может быть составлена: проводимости или напоры вне пределов представимых чисел.\n\n");
      return kExitNoConvergence;
    }
    if (!write_result_file(folder / (stem + ".in"), problem)) {
      out(L"\n\n\nНе удается записать файл  " + from_utf8(stem) + L".in !\n\n");
      return kExitNoOutput;
    }
    return kExitDone;
  }
  const auto bytes = try_read_bytes(folder / (stem + ".out"));
  const auto answer = bytes ? read_position_answer(*bytes, net) : std::nullopt;
  if (!answer) {
    out(L"\n\n\nНет полного ответа расчета сети в файле  " + from_utf8(stem) + L".out !\n\n");
    return kExitNoAnswer;
  }
  const std::wstring report = position_report(net, *answer);
  if (!numbers_sensible(report, kMaxResultValue)) {
    out(L"\n\n\nОтвет в файле  " + from_utf8(stem) +
        L".out  не является решением: напоры или расходы вне всяких пределов.\nРезультат не получен, файл  "
        L"spr.out  пуст.\n\n");
    return kExitNoConvergence;
  }
  if (!write_result_file(folder / "spr.out", report)) {
    out(kNoOutputMessage);
    return kExitNoOutput;
  }
  return kExitDone;
}

}  // namespace

int run_grid_io(const std::vector<std::string>& args, const std::filesystem::path& folder, const ConsoleOut& out) {
  const int code = run_grid_io_steps(args, folder, out);
  if (code == kExitDone) return code;
  // Whatever ended the run, no earlier output may pass for this run's: mode
  // o leaves spr.out empty, mode i leaves no problem file of the position.
  const char mode = args.empty() || args[0].empty() ? 0 : args[0][0];
  if (mode == 'o') {
    empty_result_file(folder / "spr.out");
  } else if (mode == 'i' && args.size() >= 3 && is_shift_text(args[1]) && is_shift_text(args[2])) {
    std::error_code ec;
    std::filesystem::remove(folder / (position_stem(args[1], args[2]) + ".in"), ec);
  }
  return code;
}

}  // namespace dorv::solvers
