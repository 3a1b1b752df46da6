// spr.out of gridsolve read back by character column, and held against an
// exact solution of the same grid.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "solvers/common/gridparams.h"
#include "tests/solvers/grid_reference.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace dorv::testing::gridsolve_report {

using solvers::ParameterRecord;

// The record of spr.in values in file order, checked and sized.
inline ParameterRecord sized(const std::vector<double>& values) {
  std::vector<std::optional<double>> v(values.begin(), values.end());
  ParameterRecord r = *solvers::record_from_values(v);
  solvers::SizeFireSquare(r);
  return r;
}

// The report read back by character column, the way the grid form reads it;
// every separator and width is checked on the way.
struct Report {
  std::vector<std::vector<double>> square_rows;
  std::vector<double> partial_row;
  int shift = 0;
  double total_head = 0, total_flow = 0;
  std::vector<std::vector<double>> rows;  // head, end, flow, flow, head, end
  std::vector<double> ring, cross;
};

inline double field(const std::wstring& line, std::size_t from, std::size_t width) {
  EXPECT_LE(from + width, line.size()) << to_utf8(line);
  const std::wstring f = line.substr(from, width);
  EXPECT_EQ(f.find_first_not_of(L" 0123456789.-"), std::wstring::npos) << to_utf8(line);
  EXPECT_NE(f[0], L'.') << "field wider than its column: " << to_utf8(line);
  return std::stod(to_utf8(f));
}
inline void gap(const std::wstring& line, std::size_t from, std::size_t width) {
  EXPECT_EQ(line.substr(from, width), std::wstring(width, L' ')) << to_utf8(line);
}

inline std::vector<double> cells_of(const std::wstring& line, int width) {
  EXPECT_EQ(line.size(), static_cast<std::size_t>(9 * width)) << to_utf8(line);
  std::vector<double> cells;
  for (int j = 0; j < width; ++j) {
    cells.push_back(field(line, 9 * j, 6));
    gap(line, 9 * j + 6, 3);
  }
  return cells;
}

inline Report read_report(const std::string& bytes, const ParameterRecord& r) {
  // CR LF line ends only, and none after the last line.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
    } else if (bytes[i] == '\r') {
      EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
    }
  }
  EXPECT_NE(bytes.back(), '\n');
  const std::vector<std::wstring> lines = split_lines(from_cp866(bytes));
  const std::size_t SL = static_cast<std::size_t>(r.SquareLines);
  const std::size_t q = static_cast<std::size_t>(r.LineCount);
  const std::size_t count = SL + 11 + q + (r.RingPipeK ? 1 : 0) + (r.CrossPipeK ? 1 : 0);
  Report rep;
  EXPECT_EQ(lines.size(), count);
  if (lines.size() != count) return rep;
  EXPECT_EQ(lines[0], L"Давления во вскрывшихся спринклерах:");
  for (std::size_t i = 1; i <= SL; ++i) rep.square_rows.push_back(cells_of(lines[i], r.SquareWidth));
  rep.partial_row = cells_of(lines[SL + 1], r.SquareWidth);
  EXPECT_EQ(lines[SL + 2], L"");
  const std::wstring shift_label = L"Смещение вправо квадрата пожара: ";
  EXPECT_EQ(lines[SL + 3].substr(0, shift_label.size()), shift_label);
  EXPECT_EQ(lines[SL + 3].size(), shift_label.size() + 2);
  rep.shift = static_cast<int>(field(lines[SL + 3], shift_label.size(), 2));
  EXPECT_EQ(lines[SL + 4], L"");
  EXPECT_EQ(lines[SL + 5].substr(0, 16), L"Полный напор:   ");
  EXPECT_EQ(lines[SL + 5].size(), 22u);
  rep.total_head = field(lines[SL + 5], 16, 6);
  EXPECT_EQ(lines[SL + 6].substr(0, 15), L"Полный расход: ");
  EXPECT_EQ(lines[SL + 6].size(), 22u);
  rep.total_flow = field(lines[SL + 6], 15, 7);
  EXPECT_EQ(lines[SL + 7], L"");
  EXPECT_EQ(lines[SL + 8], L"Параметры концов рядков:");
  EXPECT_EQ(lines[SL + 9], L"           Напоры         Расход     Расход        Напоры");
  EXPECT_EQ(lines[SL + 10], L"           слева          слева      справа        справа");
  std::size_t k = SL + 11;
  if (r.RingPipeK) {
    const std::wstring& l = lines[k++];
    EXPECT_EQ(l.size(), 53u) << to_utf8(l);
    EXPECT_EQ(l.substr(0, 5), L"маг  ");
    rep.ring = {field(l, 5, 8), field(l, 23, 8), field(l, 45, 8)};
    gap(l, 13, 10);
    gap(l, 31, 14);
  }
  for (std::size_t i = 0; i < q; ++i) {
    const std::wstring& l = lines[k++];
    EXPECT_EQ(l.size(), 61u) << to_utf8(l);
    if (l.size() != 61u) continue;
    EXPECT_EQ(field(l, 0, 2), static_cast<double>(i + 1));  // the far-end line is number 1
    gap(l, 2, 3);
    gap(l, 21, 2);
    gap(l, 31, 3);
    gap(l, 42, 3);
    rep.rows.push_back({field(l, 5, 8), field(l, 13, 8), field(l, 23, 8), field(l, 34, 8), field(l, 45, 8),
                        field(l, 53, 8)});
  }
  if (r.CrossPipeK) {
    const std::wstring& l = lines[k++];
    EXPECT_EQ(l.size(), 53u) << to_utf8(l);
    EXPECT_EQ(l.substr(0, 5), L"маг  ");
    rep.cross = {field(l, 5, 8), field(l, 24, 8), field(l, 35, 8), field(l, 45, 8)};
    gap(l, 13, 11);
    gap(l, 32, 3);
    gap(l, 43, 2);
  }
  return rep;
}

// Printed with two decimals: the relaxation may be 0.02 m off, the print 0.005.
inline constexpr double kHead = 0.025;
// Flows: 0.5 % of the exact value, and an absolute slack: the print's 0.0005
// at a tight tolerance; at the form's tolerance 0.01 a flow of almost
// nothing may be off by a few thousandths.
inline double flow_tolerance(double exact, double slack) { return 0.005 * std::fabs(exact) + slack; }

inline void expect_matches(const Report& rep, const ReferenceSolution& ref, double min_head,
                           double flow_slack = 0.0006) {
  auto flow_tolerance = [flow_slack](double exact) { return gridsolve_report::flow_tolerance(exact, flow_slack); };
  ASSERT_EQ(rep.square_rows.size(), ref.square_rows.size());
  for (std::size_t i = 0; i < ref.square_rows.size(); ++i)
    for (std::size_t j = 0; j < ref.square_rows[i].size(); ++j)
      EXPECT_NEAR(rep.square_rows[i][j], ref.square_rows[i][j], kHead) << "square row " << i << " column " << j;
  for (std::size_t j = 0; j < ref.partial_row.size(); ++j)
    EXPECT_NEAR(rep.partial_row[j], ref.partial_row[j], kHead) << "partial row column " << j;
  EXPECT_NEAR(rep.total_head, ref.total_head, kHead);
  EXPECT_NEAR(rep.total_flow, ref.total_flow, flow_tolerance(ref.total_flow));
  ASSERT_EQ(rep.rows.size(), ref.rows.size());
  for (std::size_t i = 0; i < ref.rows.size(); ++i) {
    const auto& e = ref.rows[i];
    const auto& g = rep.rows[i];
    SCOPED_TRACE(::testing::Message() << "end table row " << i + 1);
    EXPECT_NEAR(g[0], e.head1, kHead);
    EXPECT_NEAR(g[1], e.end1, kHead);
    EXPECT_NEAR(g[2], e.flow1, flow_tolerance(e.flow1));
    EXPECT_NEAR(g[3], e.flow2, flow_tolerance(e.flow2));
    EXPECT_NEAR(g[4], e.head2, kHead);
    EXPECT_NEAR(g[5], e.end2, kHead);
  }
  ASSERT_EQ(rep.ring.empty(), !ref.ring);
  if (ref.ring) {
    EXPECT_NEAR(rep.ring[0], (*ref.ring)[0], kHead);
    EXPECT_NEAR(rep.ring[1], (*ref.ring)[1], flow_tolerance((*ref.ring)[1]));
    EXPECT_NEAR(rep.ring[2], (*ref.ring)[2], kHead);
  }
  ASSERT_EQ(rep.cross.empty(), !ref.cross);
  if (ref.cross) {
    EXPECT_NEAR(rep.cross[0], (*ref.cross)[0], kHead);
    EXPECT_NEAR(rep.cross[1], (*ref.cross)[1], flow_tolerance((*ref.cross)[1]));
    EXPECT_NEAR(rep.cross[2], (*ref.cross)[2], flow_tolerance((*ref.cross)[2]));
    EXPECT_NEAR(rep.cross[3], (*ref.cross)[3], kHead);
  }
  // The dictating sprinkler has the required head, no open sprinkler less.
  double weakest_far = 1e300, weakest = 1e300;
  for (double h : rep.square_rows.front()) weakest_far = std::min(weakest_far, h);
  for (const auto& row : rep.square_rows)
    for (double h : row) weakest = std::min(weakest, h);
  for (double h : rep.partial_row)
    if (h > 0) weakest = std::min(weakest, h);
  EXPECT_NEAR(weakest_far, min_head, 0.0051);
  EXPECT_GE(weakest, min_head - 0.0051);
  EXPECT_NEAR(ref.weakest_open, min_head, 1e-9);
  // What enters the branch lines through the risers is the whole flow.
  double row_sum = 0;
  for (const auto& row : rep.rows) row_sum += row[2] + row[3];
  EXPECT_NEAR(row_sum, rep.total_flow, 0.005 * rep.total_flow + 0.001 * rep.rows.size());
}

}  // namespace dorv::testing::gridsolve_report
