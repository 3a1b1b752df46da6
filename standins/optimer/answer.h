// The answer file the solver leaves beside its problem file: the feed's
// number, head and inflow on line 1, then one line per node from node 1 in
// node order. A node of given head gets three numbers (number, head, the flow
// that leaves the network there); a sprinkler gets its number, head,
// discharge and error estimate; a junction its number, head, throughflow and
// error estimate. The error estimate (the node's flow imbalance by the link
// law) is never written as 0, so that readers can tell those lines from the
// three-number ones. Numbers are plain decimals, never with an exponent.
#pragma once
#include <string>

#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "text/linefile.h"

namespace dorv::optimer {

std::string format_answer(const Problem& problem, const Solution& solution);
// The same text handed to put in parts of some tens of kilobytes, so that a
// large network's answer is never held whole.
void write_answer(const Problem& problem, const Solution& solution, const ByteSink& put);

// The smallest error estimate written.
inline constexpr double kLeastErrorEstimate = 1e-12;

}  // namespace dorv::optimer
