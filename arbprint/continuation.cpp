// The repeated captions of a table cut by a page break.
#include "arbprint/continuation.h"

#include "arbmodel/report_tables.h"
#include "arbprint/english_arbitrary_report.h"

namespace dorv::arbprint {

namespace {

void print_caption(ui::Printer& printer, const std::wstring& caption) {
  printer.text_font.bold = true;
  printer.print(caption);
  printer.text_font.bold = false;
}

}  // namespace

int PipeTableContinuation(ui::Printer& printer, bool english, bool metric) {
  if (!english) {
    const std::wstring rule = std::wstring(7, L' ') + std::wstring(71, L'-');
    print_caption(printer, std::wstring(12, L' ') + L"Напоры и расходы на участках трубопроводов (продолжение)");
    printer.print(rule);
    for (const auto& head : arb::section_table_heads()) printer.print(head);
    printer.print(rule);
    return 8;
  }
  const std::wstring rule = std::wstring(7, L' ') + std::wstring(64, L'-');
  print_caption(printer, std::wstring(16, L' ') + L"Pressures and flows in pipes (continuation)");
  printer.print(rule);
  for (const auto& head : english_pipe_table_heads(metric ? ReportUnits::WestEuropean : ReportUnits::US))
    printer.print(head);
  printer.print(rule);
  return 8;
}

int SprinklerTableContinuation(ui::Printer& printer, bool english) {
  print_caption(printer, english ? std::wstring(13, L' ') + L"Pressures and flows in sprinklers (continuation)"
                                 : std::wstring(12, L' ') + L"Напоры и расходы в расчетных оросителях (продолжение)");
  printer.print(std::wstring(7, L' ') + std::wstring(71, L'-'));
  return 5;
}

}  // namespace dorv::arbprint
