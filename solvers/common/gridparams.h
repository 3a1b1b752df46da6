// The grid parameter file spr.in as the three grid solver programs read and
// check it, the size of the fire square, and the programs' messages and exit
// codes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorv::solvers {

// One run's grid. The comment gives the value's line in spr.in; the last six
// fields are computed (SizeFireSquare) or set by the program.
struct ParameterRecord {
  double SprinklerSpacing = 0;  // 1: a, along a branch line, m
  double LineSpacing = 0;       // 2: b, between branch lines, m
  int SprinklersPerLine = 0;    // 3
  int LineCount = 0;            // 4: q
  int DeadEnds1 = 0;            // 16: positions beyond main 1
  int DeadEnds2 = 0;            // 17: positions beyond main 2
  double LinePipeK = 0;         // 5
  double MainPipeK = 0;         // 6: main 1
  double SecondMainK = 0;       // 14: main 2
  double CrossPipeK = 0;        // 11: feed-end cross-pipe, 0 = none
  double RingPipeK = 0;         // 15: far-end cross-pipe, 0 = none
  double RiserHeight = 0;       // 13
  double FeedOffset = 0;        // 12
  double MinHead = 0;           // 7
  double SprinklerK = 0;        // 8
  int OpenCount = 0;            // 9: N
  double Tolerance = 0;         // 10
  int SquareLines = 0;
  int SquareWidth = 0;
  int PartialOffset = 0;
  int PartialCount = 0;
  int ShiftAlong = 0;
  int ShiftAcross = 0;
};

enum class GridProgram { GridSolve, GridIo, GridScan };

// Exit codes of the grid solver programs.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUsage = 1;         // bad command line
inline constexpr int kExitNoInput = 2;       // spr.in missing
inline constexpr int kExitBadInput = 3;      // invalid values in spr.in
inline constexpr int kExitBadShift = 4;      // invalid fire-square shift
inline constexpr int kExitNoConvergence = 5; // no solution: it did not converge or is not finite
inline constexpr int kExitNoOutput = 6;      // spr.out could not be written

extern const wchar_t* const kNoInputMessage;
extern const wchar_t* const kBadInputMessage;
extern const wchar_t* const kBadShiftMessage;
extern const wchar_t* const kNoOutputMessage;
extern const wchar_t* const kGridIoUsage;
extern const wchar_t* const kGridScanUsage;

// A grid of more sprinkler positions (sprinklers a line times lines) than
// this is refused as invalid: its tables and work would be out of all
// proportion to any installation.
inline constexpr std::int64_t kMaxSprinklerPositions = 250000;

// The 17 numbers of spr.in, in file order. Before each number every
// character that is neither "-" nor a digit is skipped; then a decimal
// number is read ("." and an exponent may continue it). A field that cannot
// be read (a "-" that starts no number, the end of the file) is left empty.
// With need_separator (gridio, gridscan) a number must be preceded by at least
// one skipped character: where none is, that read and every later one fail.
std::vector<std::optional<double>> read_parameter_values(std::string_view bytes, bool need_separator);

// The record from the 17 values; whole-number fields are truncated toward
// zero. Nothing when a value is missing or not finite, or a whole-number
// field is beyond any sensible range: such a file is refused as invalid.
std::optional<ParameterRecord> record_from_values(const std::vector<std::optional<double>>& values);

// The checks of the values each program accepts (computed fields unused).
bool parameters_acceptable(const ParameterRecord& r, GridProgram program);

// A value of spr.in that no installation has: its line (1..17) and the
// console line that says why.
struct AbsurdValue {
  int line = 0;
  std::wstring reason;
};

// Values the checks above admit but that make no physical sense and would
// make a conductance, a head or a flow of the network infinite or not a
// number: a number beyond the range of the arithmetic, a length, pipe
// characteristic, head or K-factor far outside anything built, a second
// main of no capacity that a cross-pipe or a ring joins. The first such
// value in file order; nothing when every value makes sense.
std::optional<AbsurdValue> find_absurd_value(const std::vector<std::optional<double>>& values);

// Distance between the mains: (SprinklersPerLine - DeadEnds1 - DeadEnds2) * a.
double mains_distance(const ParameterRecord& r);

// Fills SquareWidth, SquareLines, PartialCount and PartialOffset.
void SizeFireSquare(ParameterRecord& r);

// M = 2q + SquareLines * SquareWidth + PartialCount.
int NodeCount(const ParameterRecord& r);

// Outcome of loading spr.in: exit code kExitDone with the checked and sized
// record, or the refusal's exit code and message.
struct ParameterLoad {
  int exit_code = kExitDone;
  std::wstring message;
  ParameterRecord record;
};

// Reads, checks and sizes; the file is read whole and closed at once. A
// refusal for an absurd value names its line after the usual message.
ParameterLoad load_grid_parameters(const std::filesystem::path& spr_in, GridProgram program);

// gridio's command line (arguments after the program name).
struct GridIoArguments {
  char mode = 'i';                  // 'i' problem file, 'o' report
  std::string along_text;           // A as typed
  std::string across_text;          // B as typed
  int along = 0;                    // A, leading number truncated toward zero
  int across = 0;                   // B
  std::optional<double> tolerance;  // pog (mode i only; ignored in mode o)
};
// Nothing when the command line must get the usage text and exit 1.
std::optional<GridIoArguments> parse_grid_io_arguments(const std::vector<std::string>& args);

// True when the fire square at shift A along and B across lies on the grid.
// Shifts below 1 are refused as well: no network exists for them.
bool grid_io_shift_in_range(const ParameterRecord& r, int along, int across);

// gridscan's command line.
struct GridScanArguments {
  char mode = 'c';          // a, b, c, d or u
  bool keep_files = false;  // the letter t
};
std::optional<GridScanArguments> parse_grid_scan_arguments(const std::vector<std::string>& args);

}  // namespace dorv::solvers
