// The page loop of the arbitrary network's report: 60 lines to a page, the
// title on page 1 and a page header on every later page, the pipe table's
// caption and the totals kept off a page's foot, the block from the totals
// to the closing block and the closing block itself kept on one page, and a
// table cut at a page's foot closed by a rule and continued under its
// repeated caption.
#include <algorithm>

#include "arbprint/continuation.h"
#include "arbprint/report_text.h"
#include "reportkit/report_pages.h"

namespace dorv::arbprint {

namespace {

constexpr int kLastPageLine = 60;

bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool is_bold(ReportLineClass c) {
  return c == ReportLineClass::Heading || c == ReportLineClass::PipeCaption || c == ReportLineClass::Totals ||
         c == ReportLineClass::SprinklerSeparator;
}

// A line of the US-unit English report holding an inch size: the line with
// the five characters around the slash blanked, and the fraction set over it.
void print_stacked_line(ui::Printer& printer, const std::wstring& text, std::size_t slash) {
  const std::size_t p = slash - 1;  // 0-based
  std::wstring line = text.substr(0, p - 2) + std::wstring(5, L' ');
  if (p + 3 < text.size()) line += text.substr(p + 3);
  const double y0 = report::StackedFraction(printer, line, text[p - 1], text[p + 1], {3790, 3860, 3960});
  // A second-standard size keeps its mark beside the fraction: the "*"
  // written right after the size, not the "**" of the control unit's section
  // further along the line.
  if (p + 2 < text.size() && text[p + 2] == L'*') {
    printer.text_font.size = 12;
    printer.current_x = 4060;
    printer.current_y = y0 - 50;
    printer.print(L"*");
  }
}

}  // namespace

std::size_t inch_fraction_slash(std::wstring_view text) {
  for (std::size_t q = 3; q + 1 < text.size(); ++q) {
    if (text[q] != L'/') continue;
    const bool numerator = is_digit(text[q - 1]) && text[q - 2] == L' ' && (is_digit(text[q - 3]) || text[q - 3] == L' ');
    const bool denominator = is_digit(text[q + 1]) && (q + 2 >= text.size() || !is_digit(text[q + 2]));
    if (numerator && denominator) return q + 1;
  }
  return 0;
}

int print_report_text(ui::Printer& printer, const ReportFile& file, const ReportPagesInput& input) {
  const std::vector<ReportLine> rows = classify_lines(file);
  // The text ends on the closing entry, which even a file without its
  // version line has.
  const int n = std::max(file.line_count, 1);
  const int dollar = file.last_dollar_line;
  const int percent = file.last_percent_line;
  const bool fractions = input.english && !input.metric;

  report::use_report_font(printer);
  printer.print(std::wstring(10, L' ') + (input.english ? L"Calculationprogram ВИРН-Дорв " : L"Программа ВИРН-Дорв ") +
                input.program_version);

  report::PageBreak page_break(printer, input.calculation_number, input.english);
  int first_line = 1;
  int i = 0;  // the body line being printed
  for (;;) {
    for (int j = first_line; j <= kLastPageLine; ++j) {
      ++i;
      const ReportLine& row = rows[static_cast<std::size_t>(i)];
      const ReportLineClass c = row.line_class;
      printer.text_font.size = i == 1 ? 14 : 12;
      printer.text_font.bold = i == 1 || is_bold(c);
      if (i == n) {
        printer.print(L"");
        return page_break.next_page_number();
      }
      // A line already at the top of its page is never carried again: a
      // block longer than a page prints across pages instead of pushing
      // itself onto new pages for ever.
      const bool can_carry = j > first_line;
      bool carry = false;
      bool end_page = false;
      if (c == ReportLineClass::PipeCaption && j >= 54) carry = true;
      else if (i == dollar && j > kLastPageLine - (percent - dollar)) carry = true;
      else if (i == percent && j > kLastPageLine - (n - percent)) carry = true;
      else if (c == ReportLineClass::Totals && j >= 50) carry = true;
      if (carry && can_carry) {
        --i;
        break;
      }
      if (c == ReportLineClass::SprinklerSeparator && j >= 56) {
        printer.print(kCutTableRule);  // in place of the separator
        end_page = true;
      } else if (c == ReportLineClass::PipeRow && j == 58) {
        printer.print(kCutTableRule);
        --i;
        end_page = true;
      } else if (row.text.empty() && j > 58) {
        end_page = true;  // an empty line at a page's foot is dropped
      }
      if (end_page) break;
      const std::size_t slash = fractions && i > 20 && row.text.find(L"with", 1) == std::wstring::npos
                                    ? inch_fraction_slash(row.text)
                                    : 0;
      if (slash)
        print_stacked_line(printer, row.text, slash);
      else
        printer.print(row.text);
    }
    page_break();
    // The last line the page took tells which table the break has cut.
    const ReportLineClass last = rows[static_cast<std::size_t>(i)].line_class;
    if (last == ReportLineClass::PipeRow)
      first_line = PipeTableContinuation(printer, input.english, input.metric);
    else if (last == ReportLineClass::SprinklerSeparator)
      first_line = SprinklerTableContinuation(printer, input.english);
    else
      first_line = 2;
  }
}

}  // namespace dorv::arbprint
