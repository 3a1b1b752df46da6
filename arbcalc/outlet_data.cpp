// The outlets' data in spr.in: every sprinkler's link to its outlet node
// gets the K-factor of its kind, its required head the free head of its kind
// now on the form, and in a run for a given inlet head the sprinkler heads
// are scaled about the reference level. OutletDataInFile says what spr.in
// holds, so that a changed input is applied once.
#include "arbcalc/arbrun.h"
#include "arbmodel/cells.h"
#include "platform/files.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace {

// A number as spr.in takes it: no blanks, "0" before a leading point.
std::wstring file_number(double v) { return zero_before_point(num_text_trim(v)); }

// The kind of the outlet whose sprinkler is network node `owner`.
int outlet_kind(const Form4State& s, double owner) {
  int kind = kMainKind;
  for (std::size_t k = 1; k < s.imported.OutletTable.size(); ++k) {
    const std::wstring& t = s.imported.OutletTable[k][1].text;
    if (t.empty()) continue;
    const double drawn = num_value(t);
    if (drawn < 1 || drawn >= static_cast<double>(s.imported.NodeTable.size())) continue;
    if (s.imported.NodeTable[static_cast<std::size_t>(drawn)][2].number_value() != owner) continue;
    if (contains(t, L"д")) kind = kDelugeKind;
    if (contains(t, L"п")) kind = kFireCockKind;
    if (contains(t, L"с")) kind = kRackKind;
  }
  return kind;
}

}  // namespace

StageEnd write_outlet_data(ArbRun& run) {
  Form4State& s = run.s;
  bool changed = run.HeadScaleFactor > 0;
  for (int kind = 0; kind < 4; ++kind)
    changed = changed || run.current_k(kind) != s.imported.OutletDataInFile[static_cast<std::size_t>(kind)].k ||
              run.FreeHead[static_cast<std::size_t>(kind)] != s.imported.OutletDataInFile[static_cast<std::size_t>(kind)].head;
  if (!changed) return StageEnd::Continue;

  std::array<std::wstring, 4> k_text;
  for (int kind = 0; kind < 4; ++kind) k_text[static_cast<std::size_t>(kind)] = file_number(run.current_k(kind));
  const double outlets = s.imported.OutletListSize - 1;
  std::vector<std::wstring> lines;
  try {
    lines = read_lines(sys::resolve(L"spr.in"));
  } catch (const FileError&) {
    return refuse(L"Файл задачи расчета spr.in отсутствует или пуст. Загрузите данные заново.",
                  L"Остановка расчета из-за ошибки");
  }
  std::vector<std::wstring> out;
  if (!lines.empty()) out.push_back(lines[0]);
  for (std::size_t i = 1; i < lines.size() && !trim(lines[i]).empty(); ++i) {
    const std::wstring& line = lines[i];
    const std::size_t letter = line.find_first_of(L"opv");
    const auto f = blank_fields(line);
    if (letter == std::wstring::npos || f.size() < 6 || num_value(f[0]) == 0) {
      out.push_back(line);
      continue;
    }
    const wchar_t kind_letter = line[letter];
    const double node = num_value(f[0]);
    const int kind = kind_letter == L'v' ? kMainKind : outlet_kind(s, kind_letter == L'o' ? node : node + outlets);
    const auto& in_file = s.imported.OutletDataInFile[static_cast<std::size_t>(kind)];
    std::wstring text = line.substr(0, letter + 1) + L" ";
    const double old_head = num_value(f[2]);
    if (kind_letter == L'v') {
      text += file_number(old_head + (run.HighestFreeHead - s.imported.LoadedHighestFreeHead));
    } else if (kind_letter == L'p') {
      text += f[2];
    } else if (run.HeadScaleFactor > 0) {
      const double head =
          round_half_even(s.run.ReferenceLevel + run.HeadScaleFactor * (old_head - s.run.ReferenceLevel), 8);
      run.FreeHead[static_cast<std::size_t>(kind)] = in_file.head + (head - old_head);
      text += file_number(head);
    } else if (in_file.k > 0) {
      text += file_number(old_head - in_file.head + run.FreeHead[static_cast<std::size_t>(kind)]);
    } else {
      text += file_number(old_head);
    }
    text += L" " + f[3] + L" " + f[4] + L" ";
    if (kind_letter == L'v')
      text += f[5];
    else
      text += in_file.k > 0 ? k_text[static_cast<std::size_t>(kind)] : file_number(num_value(f[5]));
    for (std::size_t k = 6; k < f.size(); ++k) text += L" " + f[k];
    out.push_back(text);
  }
  for (int kind = 0; kind < 4; ++kind)
    s.imported.OutletDataInFile[static_cast<std::size_t>(kind)] = {run.current_k(kind), run.FreeHead[static_cast<std::size_t>(kind)]};
  try {
    write_lines(sys::resolve(L"prrm1"), out);
    write_lines(sys::resolve(L"spr.in"), out);
  } catch (const FileError&) {
    return refuse(L"Не удается записать файл задачи расчета spr.in.", L"Остановка расчета из-за ошибки");
  }
  return StageEnd::Continue;
}

}  // namespace dorv::arb
