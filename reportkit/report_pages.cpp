#include "reportkit/report_pages.h"

namespace dorv::report {

void use_report_font(ui::Printer& printer) {
  printer.text_font.name = L"Courier New";
  printer.text_font.charset = 204;
}

std::wstring page_header_text(bool english, const std::wstring& calculation_number, int page_number) {
  // The page number as the report writes every whole number: a blank where
  // a minus sign would stand.
  const std::wstring page = (page_number < 0 ? L"" : L" ") + std::to_wstring(page_number);
  if (english) return std::wstring(47, L' ') + L"Calculation N" + calculation_number + L"  Page" + page;
  return std::wstring(52, L' ') + L"Расчет №" + calculation_number + L"  Стр." + page;
}

void PageBreak::operator()() {
  printer_.new_page();
  printer_.current_y = kPageTop;
  printer_.text_font.bold = true;
  printer_.print(page_header_text(english_, number_, next_page_));
  printer_.print(L"");
  printer_.text_font.bold = false;
  ++next_page_;
}

double StackedFraction(ui::Printer& printer, const std::wstring& blanked_line, wchar_t numerator, wchar_t denominator,
                       const FractionColumns& columns) {
  const double y0 = printer.current_y;
  printer.print(blanked_line);
  printer.text_font.size = 10;
  printer.current_x = columns.numerator_x;
  printer.current_y = y0 - 50;
  printer.print(std::wstring(1, numerator));
  printer.text_font.size = 12;
  printer.current_y = y0;
  printer.current_x = columns.slash_x;
  printer.print(L"/");
  printer.text_font.size = 10;
  printer.current_x = columns.denominator_x;
  printer.current_y = y0 + 50;
  printer.print(std::wstring(1, denominator));
  return y0;
}

}  // namespace dorv::report
