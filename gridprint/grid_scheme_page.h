// The last page of the printed grid report: the calculation scheme. A title,
// a two-symbol legend (ordinary and operating sprinkler) and the isometric
// drawing of branch lines, mains, ring and parallel pipes, sprinklers and
// feed pipeline with their numbers, at the scale of the on-screen scheme, in
// twips on the printer as the report pages left it. Printing the page ends
// the print document.
//
// The page works on its own copy of everything it reads, so that printing
// never changes the form's scheme or the calculation's state.
#pragma once
#include <array>
#include <string>

#include "gridform/scheme.h"
#include "platform/printer.h"

namespace dorv::gridprint {

// The values of the scheme page that the print command reads back from
// rezres.txt after the report text.
struct SchemeReportValues {
  // The last 7 characters of the report's parallel-pipe and ring-pipe
  // diameter lines (" нет" when the pipe is absent).
  std::wstring ParallelPipeText;
  std::wstring RingPipeText;
  // The rows of the report's feed pipeline table.
  int FeedSectionCount = 0;
};

struct GridSchemePageInput {
  // The on-screen scheme as the form's drawing left it: SchemePoints with the
  // operating marks of the last valid calculation (column 4), FeedSections
  // with their drawn points, the main, additional, ring and parallel pipe
  // points, SchemeScale, the counts of rows and sprinklers per row, and
  // PipeLevelOffset (the drop from the branch lines to the mains).
  grid::GridScheme Scheme;
  // Dead-end sprinklers behind the main and behind the additional pipe
  // (fields 5 and 6; 0 for none).
  double DeadEndMain = 0;
  double DeadEndAdditional = 0;
  // Height of a sprinkler above its branch line in scheme units (field 9).
  double SprinklerRiseHeight = 0;
  // A parallel pipe is given (field 14).
  bool ParallelPipe = false;
  // The feed pipeline enters on the main pipe (a negative inlet distance,
  // field 16) rather than across the rows.
  bool InletOnMainPipe = false;
  SchemeReportValues Report;
  // The English report is printed: English title and legend.
  bool EnglishReportFlag = false;
};

// The page's input from the form's scheme model and fields (Text1(0..18))
// and the values read back from rezres.txt.
GridSchemePageInput grid_scheme_page_input(const grid::GridScheme& scheme,
                                           const std::array<std::wstring, 19>& fields,
                                           const SchemeReportValues& report, bool english);

// Prints the scheme page and ends the document. The caller has finished the
// report text and begun the page with its page header; the title starts at
// the print position the header left. Returns what ending the document
// returned: false when the job was not printed (the user has been told why).
bool print_grid_scheme_page(ui::Printer& printer, const GridSchemePageInput& input);

// ---- the stages of the page ----
// Where the drawing stands on the paper, in twips.
struct SchemePlacement {
  double LegendY = 0;  // the legend symbols' centre line
  double OriginY = 0;  // the paper y of scheme y = 0
  double OriginX = 500;
};
// Title, legend and the drawing font; the placement of the drawing.
SchemePlacement print_scheme_title_and_legend(ui::Printer& printer, const GridSchemePageInput& input);
// The drawing itself, on the placement the title left.
void draw_scheme_on_page(ui::Printer& printer, const GridSchemePageInput& input, const SchemePlacement& at);

}  // namespace dorv::gridprint
