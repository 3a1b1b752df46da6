// The pieces both printed reports (grid and arbitrary network) build their
// text pages from: the report font, the page header that opens every page
// after the first, and an inch size set as a stacked fraction. All positions
// are twips on a printer left in twips (scale mode 0 with no user scale), the
// report font "Courier New" with the Cyrillic character set.
#pragma once
#include <string>

#include "platform/printer.h"

namespace dorv::report {

// Where a page's text begins: the title on page 1, the header on later pages.
inline constexpr double kPageTop = 500;

// The report's monospaced font, in the Cyrillic character set, at its current
// size and weight.
void use_report_font(ui::Printer& printer);

// The header text of a page: "Расчет №" / "Calculation N", the calculation
// number as typed, "  Стр." / "  Page" and the page number with its leading
// blank ("  Стр. 2"), behind 52 (Russian) or 47 (English) blanks.
std::wstring page_header_text(bool english, const std::wstring& calculation_number, int page_number);

// The page header every page after the first begins with. The first header
// shows page 2; every header printed raises the number by one.
class PageBreak {
 public:
  PageBreak(ui::Printer& printer, std::wstring calculation_number, bool english)
      : printer_(printer), number_(std::move(calculation_number)), english_(english) {}

  // Ends the page and starts the next: the header at y 500, bold, in the font
  // size in force, then an empty line; bold is off afterwards. The header
  // and the empty line take the new page's slots 0 and 1.
  void operator()();

  // The number the next header will show.
  int next_page_number() const { return next_page_; }

 private:
  ui::Printer& printer_;
  std::wstring number_;
  bool english_;
  int next_page_ = 2;
};

// Where the pieces of a stacked fraction stand across the page (twips).
struct FractionColumns {
  double numerator_x = 0;
  double slash_x = 0;
  double denominator_x = 0;
};

// Prints a line that holds an inch size whose fraction the caller has blanked
// out of it (size and weight as the caller set them), then sets the fraction
// over that line: the numerator at 10 points 50 twips above the line, a
// 12-point slash on the line, the denominator at 10 points 50 twips below.
// Each piece ends its line, so the next line begins one 10-point line below
// the denominator, and the font size is left at 10 points. Returns the y the
// line was printed at.
double StackedFraction(ui::Printer& printer, const std::wstring& blanked_line, wchar_t numerator, wchar_t denominator,
                       const FractionColumns& columns);

}  // namespace dorv::report
