#include "arbmodel/network_import.h"

#include <algorithm>
#include <cmath>

#include "arbmodel/field_values.h"
#include "arbmodel/form4_files.h"
#include "arbmodel/form_texts.h"
#include "arbmodel/head_lines.h"
#include "arbmodel/pipe_tables.h"
#include "arbmodel/problem_file.h"
#include "platform/files.h"
#include "register/fileops.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

namespace {

// A free head that the import computed, shown when it lies in the range of
// a free head: what lies outside is no head of a building, and the run
// refuses the value it came from.
void show_computed_head(std::wstring& field, std::optional<double> head, ComputedField& computed) {
  const bool shown = head && in_range(*head, kFreeHeadRange);
  field = shown ? field_number_text(*head) : L"";
  computed = shown ? ComputedField::FreeHead : ComputedField::None;
}

// The head lines into the fields of the groups `g` marks as present; the
// rows they fill are marked shown.
void apply_head_lines(ImportedValues& v, NetworkFormTexts& f, NetworkImport& r, const std::vector<std::wstring>& lines,
                      const GroupFlags& g) {
  auto line = [&](int n) { return n - 1 < static_cast<int>(lines.size()) ? lines[n - 1] : std::wstring(); };
  auto given = [&](int n) { return !trim(line(n)).empty(); };
  auto show = [&](int n) { r.RowShown[static_cast<std::size_t>(n)] = true; };
  f.Text8 = L" " + ltrim(line(1));
  f.Text3 = line(2);

  // Main sprinklers.
  const std::wstring intensity = intensity_part(line(3));
  if (!given(3)) {
    f.Text1[0] = L"";
  } else if (g.main) {
    v.LoadedMainIntensity = field_value(intensity);
    show(3);
    f.Text1[0] = leading_zero_form(number_text(intensity));
  }
  if (!given(4)) {
    f.Text1[1] = L"";
  } else if (g.main) {
    show(4);
    f.Text1[1] = number_text(line(4));
  }
  if (!given(5)) {
    f.Text1[2] = L"";
    f.Text1[3] = L"";
    v.SprinklerComputedField[kMainKind] = ComputedField::None;
  } else if (g.main) {
    show(5);
    f.Text1[2] = number_text(line(5));
    const auto s = sprinkler_rule(field_value(intensity), field_value(line(4)), field_value(line(5)));
    v.OutletDataInFile[kMainKind].k = s.k;
    v.OutletDataInFile[kMainKind].head = s.free_head.value_or(0);
    show_computed_head(f.Text1[3], s.free_head, v.SprinklerComputedField[kMainKind]);
  }
  // Pipes and valve.
  const PipeLine pipe = split_pipe_line(line(6));
  f.Text9 = pipe.standard;
  if (pipe.given_inlet_head) v.GivenInletHead = *pipe.given_inlet_head;
  const ValveLine valve = split_valve_line(line(7));
  f.Text15 = valve.shown;
  v.LoadedValveLine = valve.loaded;
  r.RowShown[8] = given(8);
  f.Text10 = given(8) ? line(8) : L"";
  // Deluge heads and fire cocks.
  auto flow_group = [&](int flow_line, bool present, std::wstring& flow, std::wstring& head, OutletKindIndex kind) {
    if (!given(flow_line)) flow = L"";
    else if (present && field_value(line(flow_line)) > 0) {
      show(flow_line);
      flow = number_text(line(flow_line));
    }
    if (!given(flow_line + 1)) head = L"";
    else if (present && field_value(line(flow_line + 1)) > 0) {
      v.OutletDataInFile[kind].head = field_value(line(flow_line + 1));
      show(flow_line + 1);
      head = number_text(line(flow_line + 1));
    }
  };
  flow_group(9, g.deluge, f.Text11, f.Text12, kDelugeKind);
  flow_group(11, g.fire_cock, f.Text13, f.Text14, kFireCockKind);
  // Rack sprinklers.
  if (!given(13)) {
    f.Text16 = L"";
  } else if (g.rack) {
    show(13);
    f.Text16 = leading_zero_form(number_text(line(13)));
  }
  if (!given(14)) {
    f.Text17 = L"";
  } else if (g.rack) {
    show(14);
    f.Text17 = L" " + all_commas_to_point(ltrim(line(14)));
  }
  if (!given(15)) {
    f.Text18 = L"";
    f.Text19 = L"";
    v.SprinklerComputedField[kRackKind] = ComputedField::None;
  } else if (g.rack) {
    show(15);
    f.Text18 = number_text(line(15));
    const auto s = sprinkler_rule(field_value(line(13)), field_value(line(14)), field_value(line(15)));
    v.OutletDataInFile[kRackKind].k = s.k;
    v.OutletDataInFile[kRackKind].head = s.free_head.value_or(0);
    show_computed_head(f.Text19, s.free_head, v.SprinklerComputedField[kRackKind]);
  }
}

// The rows shown by a pass over the head lines: every row of the groups
// hidden first.
void read_head_lines(ImportedValues& v, NetworkFormTexts& f, NetworkImport& r, const std::vector<std::wstring>& lines,
                     const GroupFlags& g) {
  r.head_lines_read = true;
  r.RowShown = {};
  apply_head_lines(v, f, r, lines, g);
  // A group shows by its first row.
  f.GroupShown = {r.RowShown[3], r.RowShown[13], r.RowShown[9], r.RowShown[11]};
}

}  // namespace

NetworkImport import_network(Form4State& s, NetworkFormTexts& f, const std::wstring& stored_input_path) {
  ImportedValues& v = s.imported;
  NetworkImport r;
  for (std::wstring* t : {&f.Text20, &f.Text21, &f.Text22, &f.Text23, &f.Text24, &f.Text25, &f.Text26, &f.Text27})
    *t = L"";
  if (!f.Text5[0].empty()) {
    for (int i = 0; i < 3; ++i) {
      f.Text6[i] = f.Text5[i];
      f.Text5[i] = L"";
    }
  }
  f.SchemeShown = false;
  auto tell = [&](std::wstring text, bool file_fault) {
    r.messages.push_back({std::move(text), file_fault});
    return r;
  };

  if (sys::file_exists(L"rezult.ko2")) {
    const auto exported = read_file_lines(L"rezult.ko2");
    const ConvertedExport c = convert_export(exported.value_or(std::vector<std::wstring>{}));
    const std::wstring fault = exported ? check_network_data(c.body) : L"файл не читается";
    if (!fault.empty())
      return tell(L"Данные, подготовленные графическим приложением (rezult.ko2), не могут быть загружены: " + fault +
                      L". Исходные данные расчета не изменены.",
                  true);
    if (!write_file_lines(v.NetworkFileName, c.body)) return tell(L"Не удается записать файл " + v.NetworkFileName + L".", true);
    reg::delete_quietly(L"rezult.ko2");
    v.ExportImported = true;
    if (c.data_version) v.DataVersion = *c.data_version;
    r.export_converted = true;
    const ControlSection cs = read_export_results(c.body);
    v.ControlUnitSectionStart = cs.start;
    v.ControlUnitSectionEnd = cs.end;
    v.ControlUnitOnSection = cs.on_section() ? 1 : 0;
  }

  const auto read = read_file_lines(v.NetworkFileName);
  if (!read || read->empty()) return r;
  const std::vector<std::wstring>& lines = *read;
  if (const std::wstring fault = check_network_data(lines); !fault.empty()) {
    // Named as the user knows it: the stored file of a calculation from the register.
    const std::wstring file = !stored_input_path.empty() && !v.ExportImported ? stored_input_path : v.NetworkFileName;
    return tell(L"Файл исходных данных расчета " + file + L" поврежден: " + fault + L".", true);
  }

  // First pass: every group counts as present.
  v.NodeNumberMap = node_number_map(lines);
  read_head_lines(v, f, r, lines, GroupFlags{});
  auto& d = v.OutletDataInFile;
  const double deluge_flow = field_value(lines[8]), cock_flow = field_value(lines[10]);
  if (deluge_flow > 0 && d[kDelugeKind].head > 0) d[kDelugeKind].k = round_half_even(deluge_flow / std::sqrt(d[kDelugeKind].head), 8);
  if (cock_flow > 0 && d[kFireCockKind].head > 0)
    d[kFireCockKind].k = round_half_even(cock_flow / std::sqrt(d[kFireCockKind].head), 8);
  v.LoadedHighestFreeHead = highest_free_head({d[kMainKind].head, d[kRackKind].head, d[kDelugeKind].head, d[kFireCockKind].head});

  const ProblemLines problem = network_section(lines);
  write_file_lines(L"spr.in", problem.lines);
  if (problem.refused_node) {
    for (auto& m : node_check_messages(v.NodeNumberMap, *problem.refused_node)) tell(std::move(m), false);
    return r;
  }
  v.ImportedProblem = problem.lines;
  if (!problem.has_junction) {
    write_file_lines(L"spr1.in", problem.lines);
    v.ImportedProblem = add_feed_node(problem.lines, problem.last_node);
    write_file_lines(L"spr.in", v.ImportedProblem);
  }
  std::size_t lists = 0;
  while (lists < lines.size() && !contains(lines[lists], L"#####2")) ++lists;
  const OutletList outlets = read_outlet_lists(std::vector<std::wstring>(
      lines.begin() + static_cast<std::ptrdiff_t>(lists + 1), lines.begin() + static_cast<std::ptrdiff_t>(lists + 5)));
  v.OutletTable = outlets.table;
  v.OutletListSize = outlets.list_size;
  v.OutletGroups = outlets.groups;

  // Second pass: the groups that the network holds.
  read_head_lines(v, f, r, lines, outlets.groups);
  r.groups_stacked = true;

  v.NodeTable = read_node_table(lines);
  v.NodeCount = static_cast<double>(v.NodeTable.size() - 1);
  const Sections sections = build_sections(v.NodeTable);
  v.SectionTable = sections.table;
  v.SectionCount = static_cast<double>(sections.table.size() - 1);
  for (const auto& l : sections.text4) r.SectionText += l + L"\r\n";
  if (sections.refused_node) return tell(too_many_pipes(*sections.refused_node), false);

  r.scheme = true;
  f.SchemeShown = true;
  if (f.Text9 != kNoStandard) load_main_pipe_table(v, f.Text9);
  v.ImportedOutletData = v.OutletDataInFile;
  s.printout.ResultsValid = 0;
  v.NetworkLoaded = 1;
  return r;
}

}  // namespace dorv::arb
