// The form's tables of an imported network: the outlets with their kinds,
// the drawn nodes with their elevations and pipes, and the pipe sections
// with the text of the section table that Text4 shows.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "arbmodel/cells.h"

namespace dorv::arb {

// Which outlet groups the network holds.
struct GroupFlags {
  bool main = true, deluge = true, fire_cock = true, rack = true;
};

struct OutletList {
  Table table;          // rows 1..size-1, column 1: row number and kind letters ("д", "п", "с")
  double list_size = 0; // OutletListSize: the outlets plus one
  GroupFlags groups;
};
// From the four list lines after "#####2": all outlets, deluge heads, fire
// cocks, rack sprinklers.
OutletList read_outlet_lists(const std::vector<std::wstring>& list_lines);

// NodeTable: rows 1..NodeCount, columns 1..17 (a field with "*" as text).
Table read_node_table(const std::vector<std::wstring>& lines);

struct Sections {
  Table table;  // rows 1..SectionCount, columns 1..9
  std::vector<std::wstring> text4;  // the section parameter table, header and rows
  // The drawn number of a node with more than four pipes: the import stops.
  std::optional<double> refused_node;
};
// Every pipe once, at its end with the lower row number; named with the
// lower end first.
Sections build_sections(const Table& nodes);

// One row of the section parameter table.
std::wstring text4_row(const std::wstring& name, const Cell& length, const Cell& diameter, double height);
extern const std::vector<std::wstring> kText4Header;

}  // namespace dorv::arb
