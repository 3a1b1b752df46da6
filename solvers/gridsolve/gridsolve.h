// gridsolve: solves a grid system for every position of the fire square
// along the branch lines by a random-order relaxation of its own, and leaves
// the report of the worst position in spr.out.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "solvers/common/console.h"
#include "solvers/common/gridparams.h"
#include "solvers/common/linktable.h"

namespace dorv::solvers {

// The relaxation's pseudo-random numbers: state = state * 22695477 + 1,
// each number bits 16..30 of the state (0..32767).
class RelaxRandom {
 public:
  explicit RelaxRandom(std::uint32_t seed) : state_(seed) {}
  int next() {
    state_ = state_ * 22695477u + 1u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_;
};

// The draw of the next node to relax, 1..R. The draw
// trunc((sin(r) + 0.999999) * R * 0.5 + 1) favours the ends of the range and
// reaches every node of a small network; where it would leave some node
// undrawn (beyond about 600 nodes) every node is drawn with equal chance
// from two numbers of the generator instead.
class NodeDraw {
 public:
  static constexpr int kRange = 32768;  // of the generator's numbers

  explicit NodeDraw(int R);
  int next(RelaxRandom& random) const {
    if (!table_.empty()) return table_[static_cast<std::size_t>(random.next())];
    const long long high = random.next();  // drawn first
    const long long wide = high * kRange + random.next();
    return 1 + static_cast<int>(wide % R_);
  }
  bool favours_ends() const { return !table_.empty(); }

 private:
  int R_;
  std::vector<int> table_;  // node for each r, when that draw reaches every node
};

// One grid network: nodes 0 (feed), 1..q main 1, q+1..2q main 2, 2q+1..M the
// square's sprinklers, M+1..M+2q the branch ends, M+2q+1..2M the outlets.
struct GridNetwork {
  explicit GridNetwork(const ParameterRecord& sized);
  ParameterRecord record;
  int M = 0;
  int R = 0;                  // nodes relaxed: 1..R = M + 2q
  LinkTable table;            // nodes 0..R, three slots each
  std::vector<double> heads;  // nodes 0..2M
};

// Feed 100, nodes 1..R 10, outlets 0: the heads the first shift starts from.
void set_start_heads(GridNetwork& net);

// The links of the network for the shift in record.ShiftAlong.
void BuildNetwork(GridNetwork& net);

// sqrt of the sum over nodes 1..R of the squared sum of the flows leaving
// the node.
double residual(const GridNetwork& net);

// The residual that rounding alone may leave at the present heads: a head
// is held only to its last binary place, so a link's head difference dh may
// be off by u, a unit in the last place of the larger head, and its flow
// k * sqrt(|dh|) by k * (sqrt(|dh| + u) - sqrt(|dh|)); summed as residual()
// sums the flows. Near a link of almost no flow this is k * sqrt(u), far
// above the rounding of the heads themselves.
double residual_rounding_level(const GridNetwork& net);

// Why a relaxation ended.
enum class RelaxStop {
  Converged,   // the residual fell below the tolerance
  NotFinite,   // the residual is not a finite number: the heads left the range of the arithmetic
  BelowRounding,  // the tolerance lies below what rounding the heads may leave, and no step lowers the residual
  Limit,       // the overall bound on relaxations was reached
};

struct RelaxResult {
  bool converged = false;
  RelaxStop stop = RelaxStop::Converged;
  long long relaxations = 0;
  double residual = 0;
};

// The most relaxations one shift may take before it is given up: a bound
// beyond what any grid reaches in hours of relaxing (some 40 million
// relaxations a second). A relaxation that cannot converge ends long before,
// on a residual at the rounding level or one that is not finite; a run that
// is not wanted is stopped by closing its console window.
inline constexpr long long kRelaxationLimit = 1'000'000'000'000;

// A relaxation not converged after this many relaxations a node is finished
// by Newton steps (newtonsolver.h).
inline constexpr long long kNewtonAfterPerNode = 2000;

// Newton steps are taken once their factorisations cost no more multiply-adds
// than this many per relaxation made: a relaxation costs some twenty, and a
// finish takes a handful of steps.
inline constexpr double kNewtonWorkPerRelaxation = 2;

// Relaxes until the residual is below the tolerance (at least up to the first
// residual check), finishing with Newton steps where the relaxation is slow.
// Gives up, not converged, on a residual that is not finite, on one that
// rounding keeps above the tolerance, or after `limit` relaxations; a
// residual that still falls, however slowly, goes on. Prints progress and
// the closing "Сдвиг: ..." line.
RelaxResult RelaxNetwork(GridNetwork& net, const NodeDraw& draw, RelaxRandom& random, const ConsoleOut& out,
                         long long limit);

// The console line that says why a relaxation was given up.
const wchar_t* relax_stop_text(RelaxStop stop);

// The text of spr.out for scale c (heads times c, flows times sqrt(c)),
// with "\n" line breaks.
std::wstring grid_report_text(double c, const GridNetwork& net);

// NotFinite: a shift converged to heads that give no finite report (a
// dictating head of 0, a scale or a value beyond any installation).
enum class ScanOutcome { Done, NoConvergence, NotFinite, NoOutput };
struct ScanResult {
  ScanOutcome outcome = ScanOutcome::Done;
  int worst_shift = 0;
  long long relaxations = 0;  // over all shifts
  RelaxResult failed;         // the shift that did not converge
  int failed_shift = 0;
};

// Slides the square over the whole line; writes spr.out at each new worst
// shift. Stops at a shift that does not converge or a report that cannot be
// written. limit 0 means kRelaxationLimit.
ScanResult ScanShifts(GridNetwork& net, RelaxRandom& random, const std::filesystem::path& spr_out,
                      const ConsoleOut& out, long long limit = 0);

// The whole program in `folder`; returns its exit code. relaxation_limit
// bounds each shift's relaxation as ScanShifts' limit does (0:
// kRelaxationLimit); a lower one keeps a run short where many grids are
// tried one after another.
int RunGridSolveProgram(const std::filesystem::path& folder, std::uint32_t seed, const ConsoleOut& out,
                        long long relaxation_limit = 0);

}  // namespace dorv::solvers
