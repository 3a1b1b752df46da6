#include "solvers/gridio/gridio.h"

#include <algorithm>
#include <cctype>

#include "solvers/common/gridparams.h"
#include "solvers/common/resultfile.h"
#include "solvers/gridio/position.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace dorv::solvers {

bool IsShiftText(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

int RunGridIo(const std::vector<std::string>& args, const std::filesystem::path& folder, const ConsoleOut& out) {
  const auto parsed = ParseGridIoArguments(args);
  if (!parsed) {
    out(kGridIoUsage);
    return kExitUsage;
  }
  const ParameterLoad load = LoadGridParameters(folder / "spr.in", GridProgram::GridIo);
  if (load.exitCode != kExitDone) {
    out(load.message);
    return load.exitCode;
  }
  // A single branch line has no main to speak of: the network needs two.
  if (load.record.LineCount < 2) {
    out(kBadInputMessage);
    return kExitBadInput;
  }
  // The shift texts become part of the file names, so only whole numbers
  // from 1 on pass.
  if (!IsShiftText(parsed->alongText) || !IsShiftText(parsed->acrossText) ||
      !GridIoShiftInRange(load.record, parsed->along, parsed->across)) {
    out(kBadShiftMessage);
    return kExitBadShift;
  }
  const PositionNetwork net(load.record, parsed->along, parsed->across);
  const std::string stem = PositionStem(parsed->alongText, parsed->acrossText);
  if (parsed->mode == 'i') {
    const double tolerance = parsed->tolerance.value_or(net.record.Tolerance);
    if (!WriteResultFile(folder / (stem + ".in"), ProblemFileText(net, tolerance))) {
      out(L"\n\n\nНе удается записать файл  " + from_utf8(stem) + L".in !\n\n");
      return kExitNoOutput;
    }
    return kExitDone;
  }
  const auto bytes = try_read_bytes(folder / (stem + ".out"));
  const auto answer = bytes ? ReadPositionAnswer(*bytes, net) : std::nullopt;
  if (!answer) {
    EmptyResultFile(folder / "spr.out");
    out(L"\n\n\nНет полного ответа расчета сети в файле  " + from_utf8(stem) + L".out !\n\n");
    return kExitNoAnswer;
  }
  if (!WriteResultFile(folder / "spr.out", PositionReport(net, *answer))) {
    out(kNoOutputMessage);
    return kExitNoOutput;
  }
  return kExitDone;
}

}  // namespace dorv::solvers
