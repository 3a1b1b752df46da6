#include "solvers/common/nodesolver.h"

#include <cmath>
#include <utility>

namespace dorv::solvers {

namespace {

double two_links(double ha, double hb, double ka, double kb) {
  const double wa = ka * ka;
  const double wb = kb * kb;
  if (wa + wb == 0.0) return ha;
  return (ha * wa + hb * wb) / (wa + wb);
}

constexpr double kSame = 1e-6;  // heads closer than this act as one
constexpr double kFit = 1e-6;   // a candidate must balance to this

}  // namespace

const wchar_t* node_warning_text(NodeWarning w) {
  switch (w) {
    case NodeWarning::NoRootBelow: return L"\nСТРАННО! (1)";
    case NodeWarning::NoRealRoots: return L"\nСТРАННО! (2)";
    case NodeWarning::None: break;
  }
  return L"";
}

double SolveNode(double ha, double hb, double hc, double ka, double kb, double kc, NodeWarning* warning) {
  if (warning) *warning = NodeWarning::None;
  if (kc == 0.0) return two_links(ha, hb, ka, kb);

  double h0 = ha, h1 = hb, h2 = hc;
  double k0 = ka, k1 = kb, k2 = kc;
  if (h1 < h0) std::swap(h0, h1), std::swap(k0, k1);
  if (h2 < h1) std::swap(h1, h2), std::swap(k1, k2);
  if (h1 < h0) std::swap(h0, h1), std::swap(k0, k1);
  if (std::fabs(h0 - h1) < kSame) return two_links(h0, h2, k0 + k1, k2);
  if (std::fabs(h1 - h2) < kSame) return two_links(h0, h1, k0, k1 + k2);

  // In units of h1 - h0 from h1: H = h1 + (h1 - h0) * x, h2 at x = d.
  const double w2 = k2 * k2;
  const double A = (k0 * k0) / w2;
  const double B = (k1 * k1) / w2;
  const double d = (h2 - h1) / (h1 - h0);
  auto head = [&](double x) { return h1 + (h1 - h0) * x; };

  // H above h1: sqrt(d - x) = sqrt(A(1 + x)) + sqrt(B x), 0 <= x <= d. The
  // smaller root is tried first; with no candidate at all the node stays at
  // the middle head, and with none that fits the larger root is the guess.
  const double P = (B - 1 - A) * A + (A + 1 + B) * d;
  const double D = A * B * ((d + 1 + B - A) * d - A);
  const double E = (B + 1) * (B + 1) + (A + 2 - 2 * B) * A;
  double guess = 0.0;
  if (D >= 0) {
    const double root = 2 * std::sqrt(D);
    const double low = (P - root) / E;
    const double high = (P + root) / E;
    auto fits = [&](double x) {
      return x >= 0 && x <= d && std::fabs(std::sqrt((x + 1) * A) + std::sqrt(B * x) - std::sqrt(d - x)) <= kFit;
    };
    if (fits(low)) return head(low);
    if (fits(high)) return head(high);
    guess = high;
  }

  // H below h1: sqrt(A(1 + x)) = sqrt(d - x) + sqrt(-B x), -1 <= x <= 0.
  const double P2 = (-1 - B - A) * A + (A + 1 - B) * d;
  const double D2 = A * B * ((B + A - d - 1) * d + A);
  const double E2 = (1 - B) * (1 - B) + (2 * B + A + 2) * A;
  if (D2 < 0) {
    if (warning) *warning = NodeWarning::NoRealRoots;
    return head(guess);
  }
  const double root2 = 2 * std::sqrt(D2);
  const double low2 = (P2 - root2) / E2;
  const double high2 = (P2 + root2) / E2;
  auto fits2 = [&](double x) {
    return x >= -1 && x <= 0 && std::fabs(std::sqrt((x + 1) * A) - std::sqrt(-B * x) - std::sqrt(d - x)) <= kFit;
  };
  if (fits2(low2)) return head(low2);
  if (fits2(high2)) return head(high2);
  if (warning) *warning = NodeWarning::NoRootBelow;
  return head(high2);
}

}  // namespace dorv::solvers
