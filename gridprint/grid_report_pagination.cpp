#include "gridprint/grid_report_text.h"

#include <algorithm>

namespace dorv::gridprint {

namespace {

constexpr int kLastSlot = 58;

bool is_bold_class(int c) { return c >= kBoldRow && c <= kTotalsCaption; }

// A row that must not stand at this slot goes to the next page, so that a
// caption is not left alone at a page's foot and a closing block stays whole.
bool goes_to_next_page(int line_class, int slot, const ReportScan& s) {
  switch (line_class) {
    case kNodeCaption: return slot >= 50;
    case kFeedCaption: return slot >= 52;
    case kTotalsCaption: return slot > kLastSlot - (s.LastPercentLine - s.LastDollarLine);
    case kClosingBlock: return slot > kLastSlot - (s.ReportLineCount - s.LastPercentLine);
    default: return false;
  }
}

}  // namespace

void print_grid_report_text(ui::Printer& printer, const GridReportRows& rows, const GridTextStyle& style,
                            report::PageBreak& page_break) {
  const int last_row = rows.scan.ReportLineCount;
  report::use_report_font(printer);
  printer.print(L"");
  printer.print((style.english ? L"          Calculationprogram ВИРН-Дорв " : L"          Программа ВИРН-Дорв ") +
                style.program_version);

  int first_slot = 1;
  int current = 0;
  while (current <= last_row) {
    bool text_done = false;
    for (int slot = first_slot; slot <= kLastSlot; ++slot) {
      ++current;
      const int c = rows.line_class[static_cast<std::size_t>(std::min(current, last_row))];
      if (current == 1) {
        printer.text_font.size = 14;
        printer.text_font.bold = true;
      } else {
        printer.text_font.size = 12;
        printer.text_font.bold = is_bold_class(c);
      }
      if (current >= last_row) {
        printer.print(rows.row(last_row));
        text_done = true;
        break;
      }
      // A block that is kept together but longer than a page would move on
      // from page to page for ever: at the first slot of a page it stays.
      if (slot != first_slot && goes_to_next_page(c, slot, rows.scan)) {
        --current;
        break;
      }
      if (c == kSprinklerSeparator && slot >= 55) {
        // The table's header rule closes the page; the separator itself is dropped.
        printer.print(rows.row(rows.LastOneRow + 5));
        break;
      }
      if (c == kNodeSeparator && slot == kLastSlot) {
        printer.print(kNodeRule);
        break;
      }
      if (c == kNodeRow && slot == kLastSlot) {
        printer.print(kNodeRule);
        --current;
        break;
      }
      if (c == kFeedRow && slot == kLastSlot) {
        printer.print(rows.row(rows.FeedHeadingRow + 1));
        --current;
        break;
      }
      const std::wstring& text = rows.row(current);
      if (const std::size_t slash = stacked_fraction_slash(text))
        print_stacked_fraction_row(printer, text, slash, current > rows.FeedHeadingRow);
      else
        printer.print(text);
    }
    if (text_done) break;
    page_break();
    first_slot = 2;
    switch (rows.line_class[static_cast<std::size_t>(current)]) {
      case kNodeSeparator:
      case kNodeRow: first_slot = NodeTableContinuation(printer, style); break;
      case kSprinklerSeparator: first_slot = SprinklerTableContinuation(printer, rows, style); break;
      case kFeedRow: first_slot = FeedTableContinuation(printer, rows); break;
      default: break;
    }
  }
}

}  // namespace dorv::gridprint
