// The iterations of a run: problem file, outlet data and solve, repeated in
// a run for a given inlet head until the solved inlet head lies within 1 m
// of the given one. The sprinkler heads are scaled about a reference level
// so that the inlet head moves to the given one. The loop is bounded, and a
// scaling that cannot be computed (or would turn the heads over) ends the
// run with a message instead of dividing by zero or repeating for ever.
#include <cmath>

#include "arbcalc/arbrun.h"
#include "platform/files.h"
#include "platform/host.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace {

StageEnd refuse_given_head(ArbRun& run, const std::wstring& text) {
  run.s.imported.GivenInletHead = 0;
  ui::msg_box(text, ui::MsgButtons::OK, ui::MsgIcon::Critical, L"Предупреждение");
  return StageEnd::Stop;
}

// The least given head that the margin check takes, rounded up to the cent
// so that typing the shown value passes.
double least_given_head(double needed) {
  const double least = 1.05 * needed;
  return std::ceil(round_half_even(least * 100, 6)) / 100;
}

StageEnd cannot_scale(const std::wstring& why) {
  ui::msg_box(L"Расчет при заданном напоре на входе в систему невозможен: " + why +
                  L" Выполните обычный расчет с определением напора на входе в систему.",
              ui::MsgButtons::OK, ui::MsgIcon::Critical, L"Предупреждение");
  return StageEnd::Stop;
}

}  // namespace

StageEnd decide_inlet_head(ArbRun& run, bool& again) {
  Form4State& s = run.s;
  again = false;
  const double given = s.imported.GivenInletHead;
  if (given > 0) {
    const std::wstring given_text = L"Заданный напор на входе в систему (" + num_text(given) + L" м в.ст.) ";
    const std::wstring needed_text = num_text(round_half_even(run.NeededInletHead, 2)) + L" м в.ст.";
    if (given < run.NeededInletHead)
      return refuse_given_head(run, given_text +
                                        L"не может быть меньше необходимого для обеспечения заданной интенсивности "
                                        L"орошения напора " +
                                        needed_text);
    // A head of exactly 1.05 times the need is what the message asks for.
    if (given < 1.05 * run.NeededInletHead * (1 - 1e-12))
      return refuse_given_head(
          run, given_text +
                   L"недостаточен для расчета. Заданный напор должен быть как минимум на 5 процентов больше "
                   L"необходимого для обеспечения заданной интенсивности орошения напора " +
                   needed_text + L", т.е. не менее " + num_text(least_given_head(run.NeededInletHead)) + L" м в.ст.");
  }
  if (!(given > 0 && std::fabs(given - run.InletHead) > 1)) return StageEnd::Continue;

  double sum = 0, count = 0;
  for (std::size_t i = 1; i < s.imported.NodeTable.size(); ++i) {
    const double network = s.imported.NodeTable[i][2].number_value();
    if (network == -1) continue;
    if (network < 0 || network >= static_cast<double>(run.ProblemRows.size())) continue;
    if (run.ProblemRows[static_cast<std::size_t>(network)][2] == L"v") continue;
    sum += s.imported.NodeTable[i][3].number_value();
    ++count;
  }
  if (count < 2) return cannot_scale(L"в сети меньше двух узлов с заданным напором.");
  s.run.ReferenceLevel = sum / (count - 1);
  if (run.InletHead == s.run.ReferenceLevel) return cannot_scale(L"напор на входе равен уровню приведения напоров.");
  run.HeadScaleFactor = (given - s.run.ReferenceLevel) / (run.InletHead - s.run.ReferenceLevel);
  if (!(run.HeadScaleFactor > 0) || !std::isfinite(run.HeadScaleFactor))
    return cannot_scale(L"заданный напор лежит ниже уровня приведения напоров.");
  again = true;
  return StageEnd::Continue;
}

StageEnd GivenPressureLoop(ArbRun& run) {
  Form4State& s = run.s;
  s.printout.ResultsValid = 0;
  run.HeadScaleFactor = 0;
  run.NeededInletHead = 0;
  // Every run starts from the problem file as the import made it.
  if (!s.imported.ImportedProblem.empty()) {
    try {
      write_lines(sys::resolve(L"spr.in"), s.imported.ImportedProblem);
    } catch (const FileError&) {
      return refuse(L"Не удается записать файл задачи расчета spr.in.", L"Остановка расчета из-за ошибки");
    }
    s.imported.OutletDataInFile = s.imported.ImportedOutletData;
  }
  for (run.Iteration = 1;; ++run.Iteration) {
    if (run.Iteration > kMaxHeadIterations) {
      ui::msg_box(L"Расчет при заданном напоре на входе в систему не сошелся за " + whole_text(kMaxHeadIterations) +
                      L" итераций: напор на входе отличается от заданного на" +
                      num_text(round_half_even(std::fabs(s.imported.GivenInletHead - run.InletHead), 2)) +
                      L" м в.ст. Выполните обычный расчет с определением напора на входе в систему.",
                  ui::MsgButtons::OK, ui::MsgIcon::Critical, L"Предупреждение");
      return StageEnd::Stop;
    }
    bool again = false;
    for (auto stage : {rebuild_problem_file, write_outlet_data, solve_network})
      if (stage(run) == StageEnd::Stop) return StageEnd::Stop;
    if (decide_inlet_head(run, again) == StageEnd::Stop) return StageEnd::Stop;
    if (!again) return StageEnd::Continue;
  }
}

}  // namespace dorv::arb
