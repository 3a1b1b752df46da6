// Reading the report file for the pages: the pre-pass that counts its lines
// and finds the last "$" and "%" lines, and the class of every body line.
#include "arbprint/report_text.h"

namespace dorv::arbprint {

ReportFile prepass(std::vector<std::wstring> lines) {
  ReportFile f;
  f.line_count = static_cast<int>(lines.size());
  for (int n = 1; n <= f.line_count; ++n) {
    const std::wstring& line = lines[static_cast<std::size_t>(n - 1)];
    if (line.empty()) continue;
    if (line[0] == L'$') f.last_dollar_line = n;
    if (line[0] == L'%') f.last_percent_line = n;
  }
  f.lines = std::move(lines);
  return f;
}

std::vector<ReportLine> classify_lines(const ReportFile& file) {
  const int n = file.line_count;
  // A file without even its version line still has the closing entry.
  std::vector<ReportLine> rows(static_cast<std::size_t>(n > 0 ? n + 1 : 2));
  // The pipe table's rows run from its caption to five lines before the
  // totals marker (its closing rule and footnote are no rows); the last "$"
  // line keeps its file-line number here, as the keep-together rules do.
  bool pipe_caption_seen = false;
  for (int k = 1; k <= n - 1; ++k) {
    const std::wstring& line = file.lines[static_cast<std::size_t>(k)];
    ReportLine& row = rows[static_cast<std::size_t>(k)];
    if (pipe_caption_seen && k < file.last_dollar_line - 4) row.line_class = ReportLineClass::PipeRow;
    const wchar_t marker = line.empty() ? L'\0' : line[0];
    if (marker == L'*') row.line_class = ReportLineClass::Heading;
    if (marker == L'&') {
      row.line_class = ReportLineClass::PipeCaption;
      pipe_caption_seen = true;
    }
    if (marker == L'$') row.line_class = ReportLineClass::Totals;
    if (marker == L'^' && line.size() > 1) row.line_class = ReportLineClass::SprinklerSeparator;
    row.text = line.empty() ? line : line.substr(1);
  }
  return rows;
}

}  // namespace dorv::arbprint
