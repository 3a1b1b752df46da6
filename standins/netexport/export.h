// Turns a network description into the two files that the graphics
// application exports: the network data file with its export header
// (rezult.ko2) and the scheme file (rezult.kms).
#pragma once
#include <string>
#include <vector>

#include "standins/netexport/description.h"
#include "tables/pipe_standard.h"

namespace dorv::netexport {

// The network file holds its numbers to eight decimals.
constexpr int kNetworkFileDecimals = 8;
// x as the network file holds it: rounded half to even to its decimals. A
// positive value that comes out as 0 would be written as none.
double network_file_value(double x);

struct Export {
  std::vector<std::wstring> network;  // the lines of rezult.ko2
  std::vector<std::wstring> scheme;   // the lines of rezult.kms
};

// The conductance of a pipe of length l (m) with the specific characteristic
// kt: the flow through it at a head difference dH is C*sqrt(dH). The loss
// carries the 20 % reserve for local losses that the calculation applies to
// every section, so that the solver's flows and the section flows agree.
double pipe_conductance(double kt, double length);

// Builds the export. main and second are the pipe standards named in the
// description (second may be empty when no pipe uses it). Throws
// DescriptionError when a pipe's diameter is missing from its standard, a
// node has no way to the feed, or the outlet data cannot give a K-factor.
Export build_export(const Description& d, const tables::PipeTable& main, const tables::PipeTable& second);

}  // namespace dorv::netexport
