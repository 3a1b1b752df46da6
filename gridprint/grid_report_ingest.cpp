#include "gridprint/grid_report_text.h"

#include <algorithm>

namespace dorv::gridprint {

namespace {
wchar_t marker(const std::wstring& line) { return line.empty() ? L'\0' : line[0]; }
}  // namespace

ReportScan scan_report(const std::vector<std::wstring>& lines) {
  ReportScan scan;
  scan.ReportLineCount = static_cast<int>(lines.size());
  for (int n = 1; n <= scan.ReportLineCount; ++n) {
    switch (marker(lines[static_cast<std::size_t>(n - 1)])) {
      case L'&': scan.LastAmpLine = n; break;
      case L'$': scan.LastDollarLine = n; break;
      case L'%': scan.LastPercentLine = n; break;
      default: break;
    }
  }
  return scan;
}

const std::wstring& GridReportRows::row(int r) const {
  static const std::wstring kNone;
  return r >= 0 && r < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(r)] : kNone;
}

GridReportRows ingest_grid_report(const std::vector<std::wstring>& lines) {
  GridReportRows rows;
  rows.scan = scan_report(lines);
  const ReportScan& s = rows.scan;
  const auto count = static_cast<std::size_t>(std::max(s.ReportLineCount, 0) + 1);
  rows.text.assign(count, std::wstring());
  rows.line_class.assign(count, kPlainRow);
  bool in_node_table = false;
  bool after_feed_caption = false;
  // The header line (file line 1) is not a row.
  for (int r = 1; r < s.ReportLineCount; ++r) {
    const std::wstring& line = lines[static_cast<std::size_t>(r)];
    int& c = rows.line_class[static_cast<std::size_t>(r)];
    // Table rows by place, up to the lines that close their tables: the
    // node table ends two rows before the feed caption, the feed table three
    // rows before the totals caption.
    if (in_node_table && r < s.LastAmpLine - 2) c = kNodeRow;
    if (after_feed_caption && r < s.LastDollarLine - 3) c = kFeedRow;
    // A marker overrides the class by place.
    switch (marker(line)) {
      case L'1':
        rows.LastOneRow = r;
        [[fallthrough]];
      case L'*': c = kBoldRow; break;
      case L'@':
        c = kNodeCaption;
        in_node_table = true;
        break;
      case L'&':
        c = kFeedCaption;
        in_node_table = false;
        after_feed_caption = true;
        rows.FeedHeadingRow = r;
        break;
      case L'$': c = kTotalsCaption; break;
      case L'%': c = kClosingBlock; break;
      case L'^': c = line.size() > 1 ? kSprinklerSeparator : kNodeSeparator; break;
      default: break;
    }
    if (!line.empty()) rows.text[static_cast<std::size_t>(r)] = line.substr(1);
  }
  return rows;
}

}  // namespace dorv::gridprint
