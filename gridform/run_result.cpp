// The grid result file spr.out: the grid's total head and flow, and the
// flows at the ends of every branch line and in the ring and parallel
// pipes, from which the water velocity in each grid pipe is checked.
//
// The two solvers write two layouts. gridio's (solver choice 0) has an error
// line after the totals, one head a side in the end table and its flows at
// other columns than gridsolve's (solver choice 1); both are read here at
// their own columns.
#include <cmath>
#include <optional>

#include "gridform/gridreport.h"
#include "gridform/gridrun.h"
#include "gridform/pipe_check.h"
#include "gridform/prompts.h"
#include "gridform/reportnumbers.h"
#include "platform/host.h"
#include "text/linefile.h"
#include "text/numtext.h"

namespace dorv::grid {
namespace {

// The number in a text, blanks skipped wherever they stand.
double read_number(std::wstring_view text) {
  std::wstring packed;
  for (wchar_t c : text)
    if (c != L' ') packed += c;
  return num_value(packed);
}

struct Layout {
  std::size_t lines_to_head;    // lines after the shift line up to the total head
  std::size_t lines_to_table;   // lines after the total flow up to the first table line
  std::size_t ring_first, ring_last;
  std::size_t left_first, left_last, right_first, right_last;
  std::size_t par1_first, par1_last, par2_first, par2_last;
};
constexpr Layout kGridIoLayout{3, 6, 18, 26, 15, 24, 27, 35, 17, 26, 28, 37};
constexpr Layout kGridSolveLayout{2, 5, 22, 31, 23, 31, 33, 42, 24, 32, 35, 43};

// Checks one pipe; the common exit when the user will not go on.
StageEnd check_pipe(const GridRun& run, int field, double q, const std::wstring& wording, bool outer_shown) {
  const auto row = grid_pipe_row(run, field);
  if (!row || !(row->inner() > 0)) return StageEnd::Continue;
  const double v = velocity(std::fabs(q), row->inner());
  if (!(v > kVelocityLimit)) return StageEnd::Continue;
  return warn_grid_velocity(wording, v, outer_shown ? row->outer : row->nominal);
}

StageEnd interrupted() {
  ui::msg_box(L"Работа программы прервана. Нажмите ОК для возврата к началу расчета.", ui::MsgButtons::OK,
              ui::MsgIcon::None, L"Прерывание расчета");
  return StageEnd::CommonExit;
}

}  // namespace

StageEnd ReadGridResult(GridRun& run) {
  auto& s = run.state;
  const auto lines = try_read_lines(run.file("spr.out"), CodePage::Cp866);
  if (!lines || lines->empty()) return interrupted();
  const Layout& layout = s.SolverChoice == 1 ? kGridSolveLayout : kGridIoLayout;

  std::size_t next = 1;  // the title line is passed over
  while (next < lines->size() && (*lines)[next].find(L':') == std::wstring::npos) ++next;
  // A file cut short before its table, or with a total line shorter than its
  // label, is no result.
  const std::size_t head_line = next + layout.lines_to_head;
  const std::size_t flow_line = head_line + 1;
  const std::size_t table_line = flow_line + layout.lines_to_table;
  if (table_line >= lines->size()) return interrupted();
  const std::wstring& head_text = (*lines)[head_line];
  const std::wstring& flow_text = (*lines)[flow_line];
  if (head_text.size() <= 13 || flow_text.size() <= 14) return interrupted();
  s.TotalHead = round_half_up(read_number(std::wstring_view(head_text).substr(13)), 2);
  s.TotalFlow = round_half_up(read_number(std::wstring_view(flow_text).substr(14)), 2);
  if (refuses_too_large(s.TotalHead, L"Полный напор в файле результатов spr.out") ||
      refuses_too_large(s.TotalFlow, L"Полный расход в файле результатов spr.out"))
    return StageEnd::CommonExit;
  // The heads of the operating sprinklers go into the report with their flows.
  if (const auto tables = read_grid_result_tables(*lines, s.SolverChoice))
    for (const std::wstring& line : tables->grid_lines)
      for (const double head : numbers_of(line))
        if (refuses_too_large(head, L"Напор в оросителе в файле результатов spr.out")) return StageEnd::CommonExit;

  double main1 = 0;
  double main2 = 0;
  std::size_t k = table_line;
  const std::wstring& first = (*lines)[k];
  if (read_number(columns(first, 1, 3)) == 0) {
    const double ring = read_number(columns(first, layout.ring_first, layout.ring_last));
    main1 = ring;
    main2 = -ring;
    if (check_pipe(run, 15, ring, L" в кольцующей трубе решетки ", true) != StageEnd::Continue)
      return StageEnd::CommonExit;
    ++k;
  }
  for (; k < lines->size(); ++k) {
    const std::wstring& line = (*lines)[k];
    const double n = read_number(columns(line, 1, 3));
    if (n < 0) continue;
    if (n == 0) {
      const double q1 = read_number(columns(line, layout.par1_first, layout.par1_last));
      const double q2 = read_number(columns(line, layout.par2_first, layout.par2_last));
      if (check_pipe(run, 14, std::max(std::fabs(q1), std::fabs(q2)), L" в параллельной трубе решетки ", false) !=
          StageEnd::Continue)
        return StageEnd::CommonExit;
      continue;
    }
    const std::wstring label = columns(line, 1, 3);
    const double ql = read_number(columns(line, layout.left_first, layout.left_last));
    const double qr = read_number(columns(line, layout.right_first, layout.right_last));
    if (check_pipe(run, 11, std::max(std::fabs(ql), std::fabs(qr)), L"в рядке решетки N " + label, false) !=
        StageEnd::Continue)
      return StageEnd::CommonExit;
    main1 += ql;
    if (check_pipe(run, 12, main1, L"на участке N " + label + L" основной трубы решетки ", false) !=
        StageEnd::Continue)
      return StageEnd::CommonExit;
    main2 += qr;
    if (check_pipe(run, 13, main2, L"на участке N " + label + L" дополнительной трубы решетки ", false) !=
        StageEnd::Continue)
      return StageEnd::CommonExit;
  }
  return StageEnd::Continue;
}

}  // namespace dorv::grid
