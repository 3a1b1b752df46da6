#include "solvers/common/gridparams.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "solvers/common/console.h"
#include "solvers/common/linktable.h"
#include "text/linefile.h"
#include "text/number.h"

namespace dorv::solvers {

const wchar_t* const kNoInputMessage = L"\n\n\nНе найден файл  spr.in !\n\n";
const wchar_t* const kBadInputMessage = L"\n\n\nНедопустимые параметры в файле  spr.in !\n\n";
const wchar_t* const kBadShiftMessage = L"\n\n\nНедопустимые значения сдвига квадрата пожара!\n\n";
const wchar_t* const kNoOutputMessage = L"\n\n\nНе удается записать файл  spr.out !\n\n";

const wchar_t* const kGridIoUsage =
    L"\n\nНеправильные параметры программы gridio.exe! Должно быть:\n"
    L"    gridio i A B pog  или  gridio i A B\n"
    L"для создания входного файла для расчета;\n"
    L"    gridio o A B\n"
    L"для вывода результатов расчета;\n"
    L"где A и B - координаты квадрата пожара (сдвиг вправо и вниз),\n"
    L"а pog - погрешность (если опущена, то берется из файла spr.in).\n";

const wchar_t* const kGridScanUsage =
    L"\n\nНеправильные параметры программы gridscan.exe! Должно быть:\n"
    L"    gridscan   или   gridscan t\n"
    L"для перебора места пожара вверху и (если необходимо) внизу решетки;\n"
    L"    gridscan u   или   gridscan u t\n"
    L"для перебора места пожара вверху решетки;\n"
    L"    gridscan d   или   gridscan d t\n"
    L"для перебора места пожара внизу решетки;\n"
    L"    gridscan b   или   gridscan b t\n"
    L"для перебора места пожара вверху и внизу решетки;\n"
    L"    gridscan a   или   gridscan a t\n"
    L"для перебора всех возможных мест пожара (большое время расчета!);\n"
    L"\n"
    L"при этом наличие параметра  t  означает необходимость не удалять\n"
    L"промежуточные файлы, соответствующие разным положениям пожара.\n";

namespace {

constexpr int kValueCount = 17;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number at pos (an optional "-", digits with at most one
// ".", an optional exponent). Returns false, having consumed a lone "-", when
// no digit follows.
bool read_number(std::string_view s, std::size_t& pos, double& value) {
  const std::size_t n = scan_decimal(s.substr(pos), value);
  if (n == 0) {
    if (pos < s.size() && s[pos] == '-') ++pos;
    return false;
  }
  pos += n;
  return true;
}

bool whole_in_range(double v) { return std::isfinite(v) && std::fabs(v) <= 1e9; }

int whole(double v) { return static_cast<int>(std::trunc(v)); }

}  // namespace

std::vector<std::optional<double>> read_parameter_values(std::string_view bytes, bool need_separator) {
  std::vector<std::optional<double>> values(kValueCount);
  std::size_t pos = 0;
  for (int field = 0; field < kValueCount; ++field) {
    const std::size_t start = pos;
    while (pos < bytes.size() && !is_digit(bytes[pos]) && bytes[pos] != '-') ++pos;
    if (need_separator && pos == start) break;  // the read is stuck here for good
    if (pos >= bytes.size()) break;
    double v = 0.0;
    if (read_number(bytes, pos, v)) values[static_cast<std::size_t>(field)] = v;
  }
  return values;
}

std::optional<ParameterRecord> record_from_values(const std::vector<std::optional<double>>& v) {
  if (v.size() != kValueCount) return std::nullopt;
  for (const auto& x : v)
    if (!x || !std::isfinite(*x)) return std::nullopt;
  auto f = [&v](int line) { return *v[static_cast<std::size_t>(line - 1)]; };
  for (int line : {3, 4, 9, 16, 17})
    if (!whole_in_range(f(line))) return std::nullopt;
  ParameterRecord r;
  r.SprinklerSpacing = f(1);
  r.LineSpacing = f(2);
  r.SprinklersPerLine = whole(f(3));
  r.LineCount = whole(f(4));
  r.LinePipeK = f(5);
  r.MainPipeK = f(6);
  r.MinHead = f(7);
  r.SprinklerK = f(8);
  r.OpenCount = whole(f(9));
  r.Tolerance = f(10);
  r.CrossPipeK = f(11);
  r.FeedOffset = f(12);
  r.RiserHeight = f(13);
  r.SecondMainK = f(14);
  r.RingPipeK = f(15);
  r.DeadEnds1 = whole(f(16));
  r.DeadEnds2 = whole(f(17));
  return r;
}

double mains_distance(const ParameterRecord& r) {
  return (r.SprinklersPerLine - r.DeadEnds1 - r.DeadEnds2) * r.SprinklerSpacing;
}

bool parameters_acceptable(const ParameterRecord& r, GridProgram program) {
  const bool solve = program == GridProgram::GridSolve;
  for (double x : {r.SprinklerSpacing, r.LineSpacing, r.LinePipeK, r.MainPipeK, r.MinHead, r.SprinklerK,
                   r.Tolerance})
    if (!(x > 0)) return false;
  if (r.SprinklersPerLine < 1) return false;
  // One branch line gives no main to speak of: every program needs two.
  if (r.LineCount < 2) return false;
  const std::int64_t positions = std::int64_t{r.SprinklersPerLine} * r.LineCount;
  if (positions > kMaxSprinklerPositions) return false;
  if (r.OpenCount < 1 || r.OpenCount > positions) return false;
  if (r.CrossPipeK < 0 || r.SecondMainK < 0 || r.RingPipeK < 0) return false;
  if (r.DeadEnds1 < 0 || r.DeadEnds2 < 0) return false;
  if (std::int64_t{r.DeadEnds1} + r.DeadEnds2 >= r.SprinklersPerLine) return false;
  const double L = mains_distance(r);
  if (solve) {
    if (r.FeedOffset < 0 || r.FeedOffset > L + kSameLength) return false;
    if (r.CrossPipeK == 0 && r.FeedOffset != 0) return false;
    if (r.RiserHeight == 0) return false;
    if (r.DeadEnds1 == 0 && r.DeadEnds2 == 0) return false;
  } else {
    // The far end of main 1 and of the cross-pipe as typed to a few decimals
    // may lie a rounding beyond the computed one.
    if (r.FeedOffset < -r.LineCount * r.LineSpacing - kSameLength || r.FeedOffset > L + kSameLength) return false;
    if (r.CrossPipeK == 0 && r.FeedOffset > 0) return false;
    if (r.RiserHeight != 0 && (r.DeadEnds1 > 0 || r.DeadEnds2 > 0)) return false;
  }
  return true;
}

std::optional<AbsurdValue> find_absurd_value(const std::vector<std::optional<double>>& values) {
  // Bounds far beyond any installation and well inside the arithmetic: a
  // conductance sqrt(K / length) and the heads and flows built on it stay
  // finite within them.
  constexpr double kMinLength = 0.001, kMaxLength = 1000;  // m
  constexpr double kMinK = 1e-6, kMaxK = 1e9;
  constexpr double kMinHead = 0.001, kMaxHead = 10000;      // m
  auto value = [&values](int line) {
    const auto& v = values[static_cast<std::size_t>(line - 1)];
    return v ? *v : 0.0;
  };
  auto outside = [](double x, double low, double high) {
    const double m = std::fabs(x);
    return m != 0 && (m < low || m > high);
  };
  for (int line = 1; line <= static_cast<int>(values.size()); ++line) {
    const double x = value(line);
    if (!std::isfinite(x))
      return AbsurdValue{line, c_format("Строка %d: число вне пределов представимых чисел.", line)};
    switch (line) {
      case 1:
      case 2:
      case 13:
        if (outside(x, kMinLength, kMaxLength))
          return AbsurdValue{line, c_format("Строка %d: длина %g м вне пределов от %g до %g м.", line, x, kMinLength,
                                           kMaxLength)};
        break;
      case 5:
      case 6:
      case 11:
      case 14:
      case 15:
        if (outside(x, kMinK, kMaxK))
          return AbsurdValue{line, c_format("Строка %d: характеристика трубы %g вне пределов от %g до %g.", line, x,
                                           kMinK, kMaxK)};
        break;
      case 7:
        if (outside(x, kMinHead, kMaxHead))
          return AbsurdValue{
              line, c_format("Строка %d: напор %g м вне пределов от %g до %g м.", line, x, kMinHead, kMaxHead)};
        break;
      case 8:
        if (outside(x, kMinK, 1 / kMinK))
          return AbsurdValue{line, c_format("Строка %d: коэффициент спринклера %g вне пределов от %g до %g.", line, x,
                                           kMinK, 1 / kMinK)};
        break;
      default:
        break;
    }
  }
  // Main 2's share of the feed-end cross-pipe and of the ring is half a
  // spacing of main 2: a main 2 of no capacity would carry nothing to them.
  if (values.size() >= 15 && values[13] && value(14) == 0 && (value(11) != 0 || value(15) != 0))
    return AbsurdValue{14, L"Строка 14: при поперечной или кольцевой трубе характеристика второй магистрали "
                           L"должна быть больше 0."};
  return std::nullopt;
}

void SizeFireSquare(ParameterRecord& r) {
  const double a = r.SprinklerSpacing;
  const double b = r.LineSpacing;
  const int n = r.OpenCount;
  const int q = r.LineCount;
  // The square's length along the lines is 1.2 times the side of the area
  // of N sprinklers, in whole sprinklers rounded up, never more than N.
  const double w = 1.2 * std::sqrt(a * b * n) / a;
  if (w > n) {
    r.SquareWidth = n;
  } else {
    r.SquareWidth = whole(w);
    if (r.SquareWidth < w) ++r.SquareWidth;
  }
  if (r.SquareWidth < static_cast<double>(n) / q) r.SquareWidth = whole(static_cast<double>(n) / q + 1);
  if (r.SquareWidth > r.SprinklersPerLine) r.SquareWidth = r.SprinklersPerLine;
  r.SquareLines = n / r.SquareWidth;
  r.PartialOffset = 0;
  if (r.SquareLines < q) {
    r.PartialCount = n - r.SquareLines * r.SquareWidth;
    r.PartialOffset = whole((r.SquareWidth - r.PartialCount) * 0.5);
  } else {
    r.SquareLines = q;
    r.PartialCount = 0;
  }
}

int NodeCount(const ParameterRecord& r) {
  return 2 * r.LineCount + r.SquareLines * r.SquareWidth + r.PartialCount;
}

ParameterLoad load_grid_parameters(const std::filesystem::path& spr_in, GridProgram program) {
  ParameterLoad load;
  const auto bytes = try_read_bytes(spr_in);
  if (!bytes) {
    load.exit_code = kExitNoInput;
    load.message = kNoInputMessage;
    return load;
  }
  const auto values = read_parameter_values(*bytes, program != GridProgram::GridSolve);
  const auto record = record_from_values(values);
  const auto absurd = find_absurd_value(values);
  if (!record || !parameters_acceptable(*record, program) || absurd) {
    load.exit_code = kExitBadInput;
    load.message = kBadInputMessage;
    if (absurd) load.message += absurd->reason + L"\n\n";
    return load;
  }
  load.record = *record;
  SizeFireSquare(load.record);
  return load;
}

namespace {

// The whole number at the start of an argument (0 when there is none),
// clamped to the range of int.
int whole_argument(const std::string& text) {
  long long v = 0;
  scan_whole(text, v);
  return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

std::optional<GridIoArguments> parse_grid_io_arguments(const std::vector<std::string>& args) {
  if (args.size() < 3 || args.size() > 4) return std::nullopt;
  if (args[0].empty() || (args[0][0] != 'i' && args[0][0] != 'o')) return std::nullopt;
  GridIoArguments a;
  a.mode = args[0][0];
  a.along_text = args[1];
  a.across_text = args[2];
  a.along = whole_argument(args[1]);
  a.across = whole_argument(args[2]);
  if (args.size() == 4 && a.mode == 'i') {
    // The tolerance the solver is to reach: a positive number and nothing else.
    double pog = 0.0;
    if (scan_decimal(args[3], pog) != args[3].size() || !std::isfinite(pog) || !(pog > 0)) return std::nullopt;
    a.tolerance = pog;
  }
  return a;
}

bool grid_io_shift_in_range(const ParameterRecord& r, int along, int across) {
  if (along < 1 || across < 1) return false;
  if (along > r.SprinklersPerLine - r.SquareWidth + 1) return false;
  if (across > r.LineCount - r.SquareLines + 1) return false;
  if (r.PartialCount != 0 && across > r.LineCount - r.SquareLines) return false;
  return true;
}

std::optional<GridScanArguments> parse_grid_scan_arguments(const std::vector<std::string>& args) {
  static const std::string_view kModes = "abcdu";
  GridScanArguments a;
  if (args.empty()) return a;
  if (args.size() > 2) return std::nullopt;
  for (const auto& arg : args)
    if (arg.size() != 1) return std::nullopt;
  const char first = args[0][0];
  if (args.size() == 1) {
    if (first == 't') {
      a.keep_files = true;
      return a;
    }
    if (kModes.find(first) == std::string_view::npos) return std::nullopt;
    a.mode = first;
    return a;
  }
  if (kModes.find(first) == std::string_view::npos || args[1][0] != 't') return std::nullopt;
  a.mode = first;
  a.keep_files = true;
  return a;
}

}  // namespace dorv::solvers
