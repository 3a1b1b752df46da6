// One position of the fire square for the network solver: the position's
// network (the square anywhere on the grid, the feed on the cross-pipe or on
// main 1), its problem file, the reading of the solver's answer and the
// position report that becomes spr.out.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "solvers/common/gridparams.h"
#include "solvers/common/linktable.h"

namespace dorv::solvers {

// Where the feed joins the grid. With FeedOffset >= 0 it lies on the feed-end
// cross-pipe (Lf = 0, Md = 0, FeedNode 0). With FeedOffset < 0 it lies on
// main 1, Md beyond main node Lf (before node 1 when Lf = 0); a feed within
// 0.2 m of a main node is that node (Md = 0, FeedNode = Lf).
struct FeedPlace {
  int Lf = 0;
  double Md = 0.0;
  int FeedNode = 0;
};
FeedPlace locate_feed(const ParameterRecord& r);

// The network of the position in r.ShiftAlong (A) and r.ShiftAcross (B):
// nodes 0..M with four link slots each; sprinkler s links to its outlet M+s.
struct PositionNetwork {
  PositionNetwork(const ParameterRecord& sized, int along, int across);
  ParameterRecord record;
  FeedPlace feed;
  int M = 0;
  LinkTable table;
  std::vector<double> heads;  // nodes 0..M
};

// The node's number in the problem file: feed 0, outlets 1..n, sprinklers
// n+1..2n, main nodes from 2n+1 (n = M - 2q), the main nodes after a feed
// main node closing up by one.
int RenumberNode(int node, int M, int q, int feed_node);

// The problem file's text; tolerance is the one to reach (pog or Tolerance).
std::wstring problem_file_text(const PositionNetwork& net, double tolerance);

// What the answer file of a position holds for the report.
struct PositionAnswer {
  double feed_head = 0.0;
  double total_flow = 0.0;
  double error = 0.0;         // largest error estimate of the main nodes
  std::vector<double> heads;  // nodes 0..M (node 0 and a feed main node: the feed head)
};

// Reads the answer text. Nothing when it is not complete: too few numbers, a
// number that is not finite, or records that do not carry the node numbers
// of this position's problem file (an answer to another problem).
std::optional<PositionAnswer> read_position_answer(std::string_view text, const PositionNetwork& net);

// The report of the position (spr.out in the layout the grid form reads for
// the scan), as program text with "\n" line breaks.
std::wstring position_report(const PositionNetwork& net, const PositionAnswer& answer);

// The stem of a position's files: "spr" + A + "_" + B.
std::string position_stem(std::string_view along, std::string_view across);

}  // namespace dorv::solvers
