// The grid input record rezult2.txt (stored as <N>in.prr): a grid
// calculation's header, 19 input fields, pipe standards, valve, feed
// pipeline, the grid's totals and the four results, one item a line, 32 lines.
#pragma once
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace dorv::grid {

constexpr std::size_t kGridRecordLines = 32;
// Lines 1 to 25 hold the input; the totals and the results follow.
constexpr std::size_t kGridRecordInputLines = 25;
constexpr std::size_t kGridFieldCount = 19;

// What the form holds when it writes the record.
struct GridRecordSource {
  std::wstring calc_id;                                  // Text2
  std::wstring object;                                   // Text3
  std::array<std::wstring, kGridFieldCount> fields;      // Text1(0..18) as shown
  std::wstring main_standard;                            // Combo1(0)
  std::wstring second_standard;                          // Combo2, empty when none
  std::wstring valve;                                    // Combo1(1)
  std::wstring valve_selection;                          // ValveSelection
  std::wstring feed_pipeline;                            // Text4
  double total_head = 0;                                 // TotalHead
  double total_flow = 0;                                 // TotalFlow
  std::array<std::wstring, 4> results;                   // Text5(0..3)
};

// The 32 lines a run writes; total_height is the rows-to-pipes height plus
// the feed pipeline's heights (0 when the run was given up).
std::vector<std::wstring> grid_record_of_run(const GridRecordSource& s, double total_height);
// The 32 lines the form writes when it closes without a completed run: the
// total height is " 0".
std::vector<std::wstring> grid_record_at_closing(const GridRecordSource& s);

// The record as the form reads it back.
struct GridRecordRead {
  std::array<std::wstring, kGridFieldCount> field_lines;  // lines 3..21 as read
  std::array<std::wstring, kGridFieldCount> fields;       // " " + line without leading blanks
  std::wstring main_standard;                             // line 22, old standard name upgraded
  std::wstring second_standard;                           // after its comma, when there is one
  std::wstring valve;                                     // line 23
  std::wstring valve_selection;                           // line 24
  std::wstring feed_pipeline;                             // line 25
  double total_head = 0;                                  // line 26
  double total_flow = 0;                                  // line 27
  std::array<std::wstring, 4> previous_results;           // lines 29..32
  std::size_t lines_read = 0;  // lines the file held, up to 32; fewer: the rest stay empty
};

// Reads the record's lines; a shorter list fills what it holds.
GridRecordRead parse_grid_record(const std::vector<std::wstring>& lines);

// Line 22 of a record: the old name of the welded-pipe standard becomes the
// current one, then the main and the second standard (split at the first
// comma, each trimmed; none after a line without a comma).
std::pair<std::wstring, std::wstring> split_standards(std::wstring line);

}  // namespace dorv::grid
