// The stages of the printed scheme of an arbitrary network, in the order they
// run: where the scheme goes and at which scale, the lines before the legend,
// the legend, the drawing. All page lengths are twips; the scale is
// millimetres of paper per scheme unit, 56.7 twips to the millimetre.
#pragma once
#include "arbmodel/scheme_file.h"
#include "arbprint/arb_scheme_page.h"
#include "platform/printer.h"

namespace dorv::arbprint {

inline constexpr double kTwipsPerMm = 56.7;
// A legend row, or any line reserved above the drawing.
inline constexpr double kReservedRow = 275;

enum class SchemePlacement { kUnderText, kPortraitPage, kLandscapePage };

// The room the placement weighs: where the text ended and the usable page
// sizes in both orientations.
struct SchemePageRoom {
  double text_end_y = 0;
  double portrait_width = 0, portrait_height = 0;
  double landscape_width = 0, landscape_height = 0;
};

struct SchemeLayout {
  SchemePlacement placement = SchemePlacement::kUnderText;
  double scale = 0;  // mm per scheme unit, before the drawing's cap
  // The drawing's top: reserved on a new page, the position after the
  // legend under the text.
  double ytop = 0;
  double width = 0, height = 0;  // the usable area of the page drawn on
};

// The rows the legend prints under the text, and on a page of its own.
int legend_rows_under_text(const ArbitrarySchemeInput& input);
int legend_rows_on_page(const ArbitrarySchemeInput& input);

// The usable page sizes in both orientations and the end of the text; the
// printer's orientation is left as it was.
SchemePageRoom measure_scheme_room(ui::Printer& printer);
// Under the text when 5 units take at least 2 mm there, else a new portrait
// page, or a landscape page when that gives a strictly larger scale. The
// scale may stay below that limit (or even be negative on a page too small).
SchemeLayout choose_scheme_layout(const SchemePageRoom& room, double w, double h, int rows_under_text,
                                  int rows_on_page);
// Starts the page the layout chose and prints the lines before the legend:
// the page header on a page of its own, the scheme's title.
void start_scheme_page(ui::Printer& printer, const ArbitrarySchemeInput& input, const SchemeLayout& layout);

// Prints the legend rows of the outlet groups and the empty line after them;
// returns the position below it.
double PrintSchemeLegend(ui::Printer& printer, const ArbitrarySchemeInput& input, SchemePlacement placement);

// Draws every record of the scheme file, centred across the page's usable
// width with its top at the layout's ytop, its labels in the screen's
// proportion to a picture of the given size. Leaves the printer in the
// scheme's coordinate system.
void draw_scheme_records(ui::Printer& printer, const arb::SchemeFile& scheme, const SchemeLayout& layout,
                         double picture_width, double picture_height);

}  // namespace dorv::arbprint
