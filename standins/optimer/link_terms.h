// What one Newton step computes for each link, written once for a single
// link (double) and for two links side by side (DoublePair). The pair takes
// the same operations lane by lane, and each is rounded as the single one is,
// so both give the same bits; the pair halves the cost of the divisions,
// which dominate a step's pass over the links.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace dorv::optimer {

using DoublePair = double __attribute__((vector_size(16)));
using PairMask = std::int64_t __attribute__((vector_size(16)));

inline double abs_of(double x) { return std::abs(x); }
inline DoublePair abs_of(DoublePair x) {
  // Clearing the sign bit, as the single abs does (also of -0 and NaN).
  constexpr std::int64_t kAllButSign = INT64_MAX;
  return reinterpret_cast<DoublePair>(reinterpret_cast<PairMask>(x) & kAllButSign);
}

// std::max's choice: a unless a < b.
inline double max_of(double a, double b) { return std::max(a, b); }
inline DoublePair max_of(DoublePair a, DoublePair b) { return a < b ? b : a; }

// a where c holds, else b; for a pair, c is a lane mask (all ones or all
// zeros) and the choice is made bit by bit.
inline double choose(bool c, double a, double b) { return c ? a : b; }
inline DoublePair choose(PairMask c, DoublePair a, DoublePair b) {
  return reinterpret_cast<DoublePair>((c & reinterpret_cast<PairMask>(a)) | (~c & reinterpret_cast<PairMask>(b)));
}

// Whether two conditions agree.
inline bool agree(bool a, bool b) { return a == b; }
inline PairMask agree(PairMask a, PairMask b) { return ~(a ^ b); }

// The head loss of a link, Q|Q|/k^2, from its flow scaled by its conductance
// (u = Q/k): so written it neither overflows for wide links nor underflows
// for narrow ones.
template <class T>
[[gnu::always_inline]] inline T head_loss(T u) {
  return u * abs_of(u);
}

// A link's share of the content's change when its flow q moves by step
// (the content r|Q|^3/3 less Q times the given heads' drop; along a step
// that keeps the balance of every free node, the free heads add nothing, so
// each link's term uses its own head drop dh, which is small where it
// matters). In flows scaled by the conductance, which keep the cubes in
// range; |x|^3 - |q|^3 is factored where x and q share their sign.
template <class T>
[[gnu::always_inline]] inline T content_term(T flow, T step_flow, T k, T dh) {
  const T q = flow / k, step = step_flow / k, x = q + step;
  const auto x_up = x >= 0.0;
  const T same_sign = choose(x_up, step, -step) * (x * x + x * q + q * q);
  const T opposite = abs_of(x) * x * x - abs_of(q) * q * q;
  const T cubes = choose(agree(x_up, q >= 0.0), same_sign, opposite);
  return k * (cubes / 3.0 - step * dh);
}

// The Newton slope dH/dQ of a link at u = Q/k, kept from vanishing at zero
// flow: least is the least slope times k. max(2|u|, least)/k is
// max(2|u|/k, least/k) to the bit, as division by a positive number keeps
// the order of what it divides, and it takes one division instead of two.
template <class T>
[[gnu::always_inline]] inline T newton_slope(T u, T k, T least) {
  return max_of(2.0 * abs_of(u), least) / k;
}

// A link's part of a Newton step between free heads: from the head
// corrections ca, cb at its ends, its head-balance error e and slope g of
// the system just solved, its flow step d and what that step gives.
template <class T>
struct StepTerms {
  T d;           // the flow step
  T descent;     // g*d^2, its share of the content's slope along the step
  T content;     // the content's change over the full step
  T next;        // the flow after the full step
  T signed_e;    // the head-balance error there
  T g, w;        // the slope there and its inverse, for the next system
};

template <class T>
[[gnu::always_inline]] inline StepTerms<T> step_terms(T q, T k, T dh, T ca, T cb, T e, T g, T least) {
  StepTerms<T> t;
  t.d = (ca - cb - e) / g;
  t.descent = g * t.d * t.d;
  t.content = content_term(q, t.d, k, dh);
  t.next = q + t.d;
  const T u = t.next / k;
  t.signed_e = head_loss(u) - dh;
  t.g = newton_slope(u, k, least);
  t.w = 1.0 / t.g;
  return t;
}

}  // namespace dorv::optimer
