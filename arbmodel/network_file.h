// The network data file rezult1.txt and the export rezult.ko2 that the
// graphics application writes: 15 head lines, "#####1", the network section
// (the solver's problem lines), "#####2", four node lists, "#####3", one
// line per drawn node, "#####4" and the results block. The export may carry
// a three-line header in front ("#####...", its version, one more line).
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace dorv::arb {

constexpr int kHeadLines = 15;

struct ConvertedExport {
  std::vector<std::wstring> body;     // the lines of rezult1.txt
  std::optional<double> data_version;  // the header's version without its points ("5.4.0" -> 540)
};
ConvertedExport convert_export(const std::vector<std::wstring>& export_lines);

// What is wrong with a network data file, in words for the user; empty when
// its sections stand as the import needs them: 15 head lines and "#####1",
// problem lines up to "#####2" whose link pairs are complete, four node
// lists whose outlets are node rows, "#####3", node lines with their pipes
// (complete, naming rows that exist) and "#####4". Link counts above four are
// left to the node check, which names the node.
std::wstring check_network_data(const std::vector<std::wstring>& lines);

// A stored network data file without "#####4" is the whole record of an
// earlier version of the program only when nothing else is missing: what is
// wrong with it otherwise (cut short, or malformed before "#####4"), empty
// when it is such a record. `ends_with_line_end`: the file's last line has
// its line end (a file cut inside a line lacks it).
std::wstring check_record_without_results(const std::vector<std::wstring>& lines, bool ends_with_line_end);

// The first two lines after the line "#####4" as the control unit's section
// ends ("nil" and a missing line give ""); a block of three lines is the
// export's own.
struct ControlSection {
  std::wstring start, end;
  bool on_section() const { return !start.empty() && !end.empty(); }
};
ControlSection read_export_results(const std::vector<std::wstring>& lines);

// The stored results of a calculation opened from the register: the five
// lines after the first line that contains "#####4" (missing lines empty),
// and how many of them the file holds; nothing when there is no such line.
struct StoredResults {
  std::vector<std::wstring> lines;  // five
  std::size_t present = 0;
  // Three lines or fewer are the export's own block (the control unit's
  // section ends and an unused line), stored without a calculation.
  bool is_export_block() const { return present <= 3; }
};
std::optional<StoredResults> read_stored_results(const std::vector<std::wstring>& lines);

// Brings a stored file of the previous layout to the current one: in lines
// 1 to 13 "ГОСТ 10704-76" becomes "ГОСТ 10704-91" and a line "#####1" gets
// three empty lines before it; a fourth node list is added before "#####3"
// when only three stand after "#####2". A current file passes unchanged
// apart from the standard's name.
std::vector<std::wstring> upgrade_layout(const std::vector<std::wstring>& lines);

}  // namespace dorv::arb
