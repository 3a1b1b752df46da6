// The English grid report as a whole: the unit question, the sources read,
// the stages written in order, and rezangl.txt saved safely.
#include <system_error>

#include "gridprint/english_grid_report.h"
#include "platform/host.h"
#include "text/fileerror.h"
#include "text/linefile.h"
#include "text/numtext.h"

namespace dorv::gridprint {

std::vector<double> free_format_numbers(std::wstring_view line) {
  std::vector<double> numbers;
  std::size_t pos = 0;
  const auto separator = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L','; };
  while (pos < line.size()) {
    while (pos < line.size() && separator(line[pos])) ++pos;
    if (pos == line.size()) break;
    std::size_t end = pos;
    while (end < line.size() && !separator(line[end])) ++end;
    numbers.push_back(num_value(line.substr(pos, end - pos)));
    pos = end;
  }
  return numbers;
}

ScratchNumbers::ScratchNumbers(const std::filesystem::path& folder) : a_(folder / "a"), b_(folder / "b") {}

ScratchNumbers::~ScratchNumbers() {
  std::error_code ignored;
  std::filesystem::remove(a_, ignored);
  std::filesystem::remove(b_, ignored);
}

std::vector<double> ScratchNumbers::round_trip(const std::filesystem::path& file, const std::wstring& line) {
  write_lines(file, {line});
  std::vector<double> numbers;
  for (const std::wstring& read_back : read_lines(file)) {
    const std::vector<double> more = free_format_numbers(read_back);
    numbers.insert(numbers.end(), more.begin(), more.end());
  }
  return numbers;
}

std::optional<Lines> english_grid_report_lines(EnglishGridSource& src, const std::vector<std::wstring>& spr_out,
                                               ReportUnits units, ScratchNumbers& scratch) {
  const int dead_end_flag = src.state.SolverChoice;
  const auto tables = grid::read_grid_result_tables(spr_out, dead_end_flag);
  if (!tables) return std::nullopt;
  Lines out;
  write_english_head(out, src, units);
  write_english_sprinkler_table(out, *tables, src.state.EffectiveK, units, scratch);
  write_english_node_table(out, *tables, dead_end_flag, units);
  write_english_feed_table(out, src.state.FeedSectionResults, units);
  write_english_closing(out, src.form, units);
  return out;
}

namespace {

const wchar_t* const kWarning = L"Предупреждение";

}  // namespace

EnglishReportResult MakeEnglishGridReport(const grid::GridFormTexts& form, grid::GridFormState& state,
                                          const std::filesystem::path& folder, const std::wstring& program_version,
                                          std::wstring& english_object_name) {
  EnglishReportResult result = report::start_english_report(folder, english_object_name);
  if (result.end == EnglishReportEnd::Cancelled) return result;

  const auto spr_out = try_read_lines(folder / "spr.out", CodePage::Cp866);
  EnglishGridSource src{form, state, program_version, english_object_name};
  try {
    std::optional<Lines> lines;
    {
      ScratchNumbers scratch(folder);
      if (spr_out) lines = english_grid_report_lines(src, *spr_out, result.units, scratch);
    }
    if (!lines) {
      ui::msg_box(L"Файл результатов расчета spr.out отсутствует или неполон. Англоязычная версия отчета не "
                  L"записана. Выполните расчет заново.",
                  ui::MsgButtons::OK, ui::MsgIcon::None, kWarning);
      return result;
    }
    write_lines_atomic(folder / "rezangl.txt", *lines);
  } catch (const FileError& error) {
    ui::msg_box(error.message() + L" Англоязычная версия отчета не напечатана.", ui::MsgButtons::OK,
                ui::MsgIcon::None, kWarning);
    return result;
  }
  result.end = EnglishReportEnd::Written;
  return result;
}

}  // namespace dorv::gridprint
