// The last stage of a completed grid run: the report rezres.txt from the
// form's texts, the run's results and the solver's spr.out. The report is
// put together in memory and replaces the earlier one whole; when spr.out is
// gone or cut short the run ends with a message and the earlier report stays.
#include "gridform/gridreport.h"
#include "gridform/reportnumbers.h"
#include "platform/host.h"
#include "text/linefile.h"
#include "tables/k_factor.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {

std::optional<GridResultTables> read_grid_result_tables(const std::vector<std::wstring>& lines, int solver_choice) {
  // After the title, the pressure grid runs up to the shift line, the first
  // line with a colon.
  std::size_t shift_line = 1;
  while (shift_line < lines.size() && lines[shift_line].find(L':') == std::wstring::npos) ++shift_line;
  // The totals and captions between the shift line and the end table.
  const bool scan_layout = solver_choice != 1;
  const std::size_t table = shift_line + (scan_layout ? 10 : 8);
  if (table >= lines.size()) return std::nullopt;

  GridResultTables t;
  t.grid_lines.assign(lines.begin() + 1, lines.begin() + static_cast<std::ptrdiff_t>(shift_line));
  t.end_lines.assign(lines.begin() + static_cast<std::ptrdiff_t>(table), lines.end());
  if (scan_layout) {
    // " вправо  -   2,        вниз  -   3": the right shift, and the first
    // branch line of the fire square in the last three characters.
    const std::wstring& where = lines[shift_line + 1];
    t.shift = num_value(columns(where, 11, 15));
    t.first_row = num_value(right(where, 3));
  } else {
    t.shift = num_value(columns(lines[shift_line], 33, lines[shift_line].size()));
    t.first_row = 1;
  }
  return t;
}

void write_report_totals(ReportLines& out, const GridFormTexts& form, const std::wstring& executor_name) {
  const std::wstring reserve = L"*          (с учетом 20%-го запаса на местные потери)  - ";
  out.push_back(L"%");
  out.push_back(L"*              Расход секции - " + form.Text5[0] + L" л/с");
  out.push_back(L"*              Напор на вводе в решетку");
  out.push_back(reserve + form.Text5[1] + L" м в.ст.");
  out.push_back(L"*              Напор выше узла управления ");
  out.push_back(reserve + form.Text5[2] + L" м в.ст.");
  out.push_back(L"*              Напор перед узлом управления");
  out.push_back(reserve + form.Text5[3] + L" м в.ст.");
  out.push_back(L"");
  out.push_back(L"");
  out.push_back(L"           Расчет подготовил                      " + trim(executor_name));
}

std::optional<ReportLines> grid_report_lines(const GridFormTexts& form, GridFormState& state,
                                             const std::vector<std::wstring>& spr_out,
                                             const std::wstring& program_version, const std::wstring& executor_name) {
  const auto tables = read_grid_result_tables(spr_out, state.SolverChoice);
  if (!tables) return std::nullopt;
  state.EffectiveK = tables::sprinkler_k_factor(num_value(form.Text1[1]), tables::KRounding::DividedCut2);

  ReportLines out;
  write_report_title(out, form, program_version);
  write_report_input(out, form, state);
  out.push_back(L"");
  out.push_back(L"*         РЕЗУЛЬТАТЫ РАСЧЕТА:");
  out.push_back(L"");
  write_sprinkler_table(out, *tables, state.EffectiveK);
  write_node_table(out, *tables, state);
  write_feed_table(out, state.FeedSectionResults);
  write_pipe_quantities(out, form, state);
  write_report_totals(out, form, executor_name);
  return out;
}

StageEnd BuildGridReport(GridRun& run) {
  const auto stop = [&run](const std::wstring& text) {
    // The next run solves the grid again rather than reuse what is gone.
    run.state.GridSolutionValid = 0;
    ui::msg_box(text, ui::MsgButtons::OK, ui::MsgIcon::Exclamation, L"Прерывание расчета");
    return StageEnd::CommonExit;
  };
  const auto spr_out = try_read_lines(run.file("spr.out"), CodePage::Cp866);
  const auto lines = spr_out ? grid_report_lines(run.form, run.state, *spr_out, run.hooks.program_version,
                                                 run.hooks.executor_name)
                             : std::nullopt;
  if (!lines)
    return stop(L"Файл результатов расчета spr.out отсутствует или неполон. Отчет о расчете не записан, "
                L"прежний отчет сохранен. Нажмите ОК для возврата к началу расчета.");
  try {
    write_lines_atomic(run.file("rezres.txt"), *lines);
  } catch (const std::exception&) {
    return stop(L"Не удалось записать отчет о расчете rezres.txt в каталог программы. Прежний отчет сохранен. "
                L"Нажмите ОК для возврата к началу расчета.");
  }
  return StageEnd::Continue;
}

}  // namespace dorv::grid
