// The calculation scheme that the graphics application writes (rezult.kms):
// a header x0, y0, W, H (the area to show, in drawing units), then records
// of a code and its values: lines, outlet symbols, labels. DrawCalcScheme
// fits it into a picture box keeping its proportions.
#pragma once
#include <filesystem>

#include "platform/controls.h"

namespace dorv::arb {

struct SchemeFit {
  double k = 0;        // twips per drawing unit
  int pen = 1;         // base pen width, pixels
  int double_pen = 2;  // the pen of symbols and thick lines
  bool drawn = false;  // the header could be read
};

// Draws the scheme file onto the surface, whose drawing area is box_width by
// box_height twips. A file that cannot be read, or ends inside a record,
// leaves what was drawn up to there.
SchemeFit DrawCalcScheme(ui::Surface& surface, int box_width, int box_height, const std::filesystem::path& file);

}  // namespace dorv::arb
