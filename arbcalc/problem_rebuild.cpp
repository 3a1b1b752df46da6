// Each iteration starts here: every pipe section is marked as not yet
// computed, spr.in is read into ProblemRows, every junction with four links
// is split into two junctions of three links joined by a link of high
// conductance (the solver takes at most three links at a junction), and the
// rows are written back.
#include "arbcalc/arbrun.h"
#include "arbmodel/form4_files.h"
#include "platform/files.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace {

// Fields cut from the left at the first blank, each trimmed, at most 12: a
// run of blanks is one separator, but a blank at the line's start gives an
// empty first field.
ProblemRow cut_fields(std::wstring_view line) {
  ProblemRow row;
  std::wstring rest(line);
  for (int n = 1; n <= 12; ++n) {
    const std::size_t blank = rest.find(L' ');
    if (blank == std::wstring::npos) {
      row[n] = rest;
      break;
    }
    row[n] = trim(rest.substr(0, blank));
    rest = trim(rest.substr(blank + 1));
  }
  return row;
}

bool four_link_junction(const ProblemRow& r) { return starts_with(r[2], L"v") && starts_with(r[4], L"4"); }

// The neighbour's side of a link: the first of its positions 5, 7, 9, 11
// that names `node` with `conductance` gets `replacement`.
void rename_link_end(std::vector<ProblemRow>& rows, double neighbour, const std::wstring& node,
                     const std::wstring& conductance, const std::wstring& replacement) {
  if (neighbour < 0 || neighbour >= static_cast<double>(rows.size())) return;
  ProblemRow& q = rows[static_cast<std::size_t>(neighbour)];
  for (int p = 5; p <= 11; p += 2)
    if (q[p] == node && q[p + 1] == conductance) {
      q[p] = replacement;
      return;
    }
}

}  // namespace

StageEnd rebuild_problem_file(ArbRun& run) {
  for (auto& row : run.s.imported.SectionTable)
    if (row.size() > 5) row[5] = Cell::of_text(L"");
  const auto lines = read_file_lines(L"spr.in").value_or(std::vector<std::wstring>{});
  if (lines.empty())
    return refuse(L"Файл задачи расчета spr.in отсутствует или пуст. Загрузите данные заново.",
                  L"Остановка расчета из-за ошибки");
  std::vector<ProblemRow> node_rows;
  std::size_t junctions = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    node_rows.push_back(cut_fields(lines[i]));
    if (four_link_junction(node_rows.back())) ++junctions;
  }
  std::vector<ProblemRow> rows(node_rows.size() + junctions + 2);
  std::copy(node_rows.begin(), node_rows.end(), rows.begin());

  std::size_t last_used = node_rows.empty() ? 0 : node_rows.size() - 1;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    ProblemRow& row = rows[r];
    if (row[2] != L"v" || row[4] != L"4") continue;
    double most = 0;
    for (int p = 6; p <= 12; p += 2) most = std::max(most, num_value(row[p]));
    const std::wstring link = 10 * most < 150 ? L"150" : num_text_trim(10 * most);
    if (last_used + 1 >= rows.size()) break;
    const std::size_t n = ++last_used;
    const std::wstring new_node = whole_text(static_cast<long long>(n));
    rename_link_end(rows, num_value(row[9]), row[1], row[10], new_node);
    rename_link_end(rows, num_value(row[11]), row[1], row[12], new_node);
    ProblemRow& added = rows[n];
    added[1] = new_node;
    added[2] = row[2];
    added[3] = row[3];
    added[4] = L"3";
    for (int p = 5; p <= 8; ++p) added[p] = row[p + 4];
    added[9] = whole_text(static_cast<long long>(r));
    added[10] = link;
    row[9] = new_node;
    row[10] = link;
    row[11] = L"";
    row[12] = L"";
    row[4] = L"3";
  }

  std::vector<std::wstring> out{lines[0]};
  for (const ProblemRow& row : rows) {
    std::wstring line;
    for (int p = 1; p <= 12; ++p) line += row[p] + L" ";
    out.push_back(line);
  }
  try {
    write_lines(sys::resolve(L"spr.in"), out);
  } catch (const FileError&) {
    return refuse(L"Не удается записать файл задачи расчета spr.in.", L"Остановка расчета из-за ошибки");
  }
  run.ProblemRows = std::move(rows);
  return StageEnd::Continue;
}

}  // namespace dorv::arb
