// The scheme page's title block and legend, and the mapping of scheme units
// onto the paper: the drawing hangs 1500 twips below the legend, 500 twips
// from the left edge, at the on-screen scheme's scale.
#include "gridprint/grid_scheme_page.h"

#include <algorithm>
#include <cmath>

#include "text/numtext.h"

namespace dorv::gridprint {

namespace {

constexpr double kLegendAboveLine = 410;  // from the print position after the title block up to the symbols
constexpr double kDrawingBelowLegend = 1500;
constexpr double kOrdinarySymbolX = 2850;
constexpr double kOperatingSymbolX = 5700;
// The legend's symbols have the heads' sizes, one twip to a model unit.
constexpr double kOrdinarySymbolRadius = grid::kHeadRadius;
constexpr double kOperatingSymbolRadius = grid::kOperatingRadius;

// The printer takes coordinates and sizes in single precision.
double single(double v) { return static_cast<double>(static_cast<float>(v)); }

}  // namespace

GridSchemePageInput grid_scheme_page_input(const grid::GridScheme& scheme,
                                           const std::array<std::wstring, 19>& fields,
                                           const SchemeReportValues& report, bool english) {
  GridSchemePageInput in;
  in.Scheme = scheme;
  in.DeadEndMain = num_value(fields[5]);
  in.DeadEndAdditional = num_value(fields[6]);
  in.SprinklerRiseHeight = num_value(fields[9]) * 150;
  in.ParallelPipe = num_value(fields[14]) > 0;
  in.InletOnMainPipe = num_value(fields[16]) < 0;
  in.Report = report;
  in.EnglishReportFlag = english;
  return in;
}

SchemePlacement print_scheme_title_and_legend(ui::Printer& printer, const GridSchemePageInput& input) {
  printer.text_font.name = L"Courier New";
  printer.text_font.charset = 204;
  printer.text_font.size = 12;
  printer.text_font.bold = true;
  // The legend's two dashes stand in columns 22 and 42, the symbols just left of them.
  if (input.EnglishReportFlag) {
    printer.print(L"                     THE SCHEME FOR HIDRAULIC CALCULATION");
    printer.print(L"");
    printer.print(L"                     - sprinkler         - calculated sprinkler");
  } else {
    printer.print(L"                                РАСЧЕТНАЯ СХЕМА");
    printer.print(L"");
    printer.print(L"                     - ороситель         - расчетный ороситель");
  }
  printer.print(L"");

  SchemePlacement at;
  at.LegendY = printer.current_y - kLegendAboveLine;
  printer.fore_color = ui::kBlack;
  printer.fill_color = ui::qb_color(7);
  printer.fill_solid = true;
  printer.circle(kOrdinarySymbolX, single(at.LegendY), kOrdinarySymbolRadius);
  printer.fill_color = grid::kOperatingColor;
  printer.circle(kOperatingSymbolX, single(at.LegendY), kOperatingSymbolRadius, grid::kOperatingColor);
  printer.fill_solid = false;
  printer.print(L"");
  printer.print(L"");

  printer.text_font.name = L"Arial";
  printer.text_font.size = single(10 * std::sqrt(std::max(input.Scheme.SchemeScale, 0.0)));
  printer.text_font.bold = false;
  at.OriginY = at.LegendY + kDrawingBelowLegend;
  return at;
}

bool print_grid_scheme_page(ui::Printer& printer, const GridSchemePageInput& input) {
  const SchemePlacement at = print_scheme_title_and_legend(printer, input);
  draw_scheme_on_page(printer, input, at);
  return printer.end_doc();
}

}  // namespace dorv::gridprint
