// The grid parameter file spr.in that the grid solvers read: 17 numbers, one
// a line. The solvers find a number by skipping every character that is
// neither "-" nor a digit, so every number is written with a digit before
// its point (".32" would be read back as 32) and with the point, never a
// typed comma (which would split it into two numbers).
#include <cmath>

#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "text/linefile.h"
#include "text/numtext.h"

namespace dorv::grid {
namespace {

// A value as the solvers read it back: a leading blank when not negative.
std::wstring solver_number(double v) { return zero_before_point(num_text(v)); }

// A field's value as taken for the run; " нет" gives 0.
std::wstring field_number(const GridRun& run, int i) {
  return solver_number(num(first_comma_to_point(run.state.GridFieldValues[i][1])));
}

// Values between 0 and 1 are written without the leading blank.
std::wstring fraction_text(double v) {
  if (v > 0 && v < 1) return L"0" + num_text_trim(v);
  return solver_number(v);
}

// K_T of a grid pipe (field 10 to 15), or nothing when the pipe has none.
bool pipe_kt(const GridRun& run, int field, double& kt) {
  const auto row = grid_pipe_row(run, field);
  if (row) kt = row->kt;
  return row.has_value();
}

std::wstring kt_line(const GridRun& run, int field) {
  double kt = 0;
  return pipe_kt(run, field, kt) ? fraction_text(kt) : L"0";
}

}  // namespace

StageEnd WriteGridParameterFile(GridRun& run) {
  const auto& s = run.state;
  std::wstring head_line = field_number(run, 0);
  std::wstring k_line = run.local.KFactorText;
  const double h = num(s.GridFieldValues[9][1]);
  if (h != 0) {
    // The sprinkler seen from its branch line through a branch pipe of
    // length |h|: the head and the K-factor that give the same flow there.
    const double h0 = num(s.GridFieldValues[0][1]);
    const double q = s.EffectiveK * std::sqrt(h0);
    double kt = 0;
    if (!pipe_kt(run, 10, kt) || !(kt > 0)) {
      refuse(L"Внимание! Не определена характеристика патрубка оросителя. Нажмите ОК для возврата к началу "
             L"расчета.");
      return StageEnd::CommonExit;
    }
    const double head = round_half_up(h0 + std::fabs(h) * q * q / kt + h, 2);
    if (!(head > 0)) {
      refuse(L"Внимание! Напор у рядка, приведенный через патрубок оросителя, получается не больше нуля: "
             L"проверьте перепад высот между оросителем и рядком. Нажмите ОК для возврата к началу расчета.");
      return StageEnd::CommonExit;
    }
    head_line = fraction_text(head);
    k_line = fraction_text(round_half_up(q / std::sqrt(head), 2));
  } else {
    k_line = zero_before_point(k_line);
  }

  const std::vector<std::wstring> lines{
      field_number(run, 7),
      field_number(run, 8),
      field_number(run, 4),
      field_number(run, 3),
      kt_line(run, 11),
      kt_line(run, 12),
      head_line,
      k_line,
      solver_number(static_cast<double>(run.local.SprinklersInFireSquare)),
      s.SolverChoice == 1 ? L"0.01" : L"0.0005",
      kt_line(run, 14),
      field_number(run, 16),
      field_number(run, 17),
      kt_line(run, 13),
      kt_line(run, 15),
      field_number(run, 5),
      field_number(run, 6),
  };
  try {
    write_lines(run.file("spr.in"), lines);
  } catch (const FileError&) {
    refuse(L"Не удалось записать файл исходных данных spr.in. Нажмите ОК для возврата к началу расчета.");
    return StageEnd::CommonExit;
  }
  return StageEnd::Continue;
}

}  // namespace dorv::grid
