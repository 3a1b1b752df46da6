// The calculation scheme that the graphics application writes (rezult.kms),
// read whole: a header x0, y0, W, H (the area of the drawing in scheme units,
// y growing downward), then records of a numeric code and its items: lines,
// outlet symbols, labels and marks. Both the on-screen scheme and the printed
// one draw from it.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace dorv::arb {

// Record codes of the scheme file.
enum SchemeCode {
  kRedLine = 1,
  kBlackLine = 2,
  kOpenMainSprinkler = 3,
  kClosedMainSprinkler = 4,
  kLabel = 5,
  kStarMark = 6,
  kOpenDelugeHead = 7,
  kClosedDelugeHead = 8,
  kOpenFireCock = 9,
  kClosedFireCock = 10,
  kThreeSegmentMark = 11,
  kOpenRackSprinkler = 12,
  kClosedRackSprinkler = 13,
};

// The smallest width and height of a drawing, in scheme units: the pen
// widths grow as the drawing shrinks, and an extent below this one is no
// drawing but a damaged header.
inline constexpr double kSmallestSchemeExtent = 1e-3;

struct SchemeRecord {
  int code = 0;
  // The record's numbers in file order: the end points of a line, the centre
  // of a symbol, the four points of the three-segment mark; a label's x, y
  // in v[0], v[1] and its height in v[3].
  double v[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  std::wstring text;  // a label's text
};

// What kept the file from being read whole.
enum class SchemeFault {
  kNone,
  kMissing,       // no such file
  kUnreadable,    // the file exists but cannot be read
  kNoHeader,      // fewer than four items before the records (an empty file)
  kBadHeader,     // a header item that is not a number
  kNoExtent,      // a width or height below kSmallestSchemeExtent (zero, negative, or too small to draw)
  kBadItem,       // an item of a record that is not a number where one is due
  kCutShort,      // the file ends inside a record
};

struct SchemeFile {
  bool has_header = false;  // four header items were read
  double x0 = 0, y0 = 0, w = 0, h = 0;
  // The whole records up to the end of the file or to a record cut short,
  // in file order; an unknown code is one item and no record.
  std::vector<SchemeRecord> records;
  // The first fault met; reading goes on past an item that is not a number
  // (it counts as its leading number, 0 when it has none) and stops at a
  // record cut short.
  SchemeFault fault = SchemeFault::kNone;
};

// The number of items that follow a record code; -1 for an unknown code.
int scheme_record_items(int code);

SchemeFile read_scheme_file(const std::filesystem::path& file);

}  // namespace dorv::arb
