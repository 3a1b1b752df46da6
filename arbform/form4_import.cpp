// Form4's import: the network export converted into the network data file,
// its head lines into the fields, its tables and scheme, and the pipe tables
// of the chosen standards.
#include "arbform/form4.h"

#include <algorithm>
#include <cmath>

#include "arbmodel/field_values.h"
#include "arbmodel/form4_files.h"
#include "arbmodel/head_lines.h"
#include "arbmodel/network_file.h"
#include "arbmodel/pipe_tables.h"
#include "arbform/scheme.h"
#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "register/modul1.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace Modul1 = reg::Modul1;
using ui::MsgButtons;
using ui::MsgIcon;

namespace {

// A free head that the import computed, shown when it lies in the range of
// a free head: what lies outside is no head of a building, and the run
// refuses the value it came from.
void show_computed_head(ui::TextBox& field, std::optional<double> head, ComputedField& computed) {
  const bool shown = head && in_range(*head, kFreeHeadRange);
  field.set_text(shown ? field_number_text(*head) : L"");
  computed = shown ? ComputedField::FreeHead : ComputedField::None;
}

}  // namespace

void Form4::apply_head_lines(const std::vector<std::wstring>& lines, const GroupFlags& g) {
  auto line = [&](int n) { return n - 1 < static_cast<int>(lines.size()) ? lines[n - 1] : std::wstring(); };
  auto given = [&](int n) { return !trim(line(n)).empty(); };
  Text8.set_text(L" " + ltrim(line(1)));
  Text3.set_text(line(2));

  // Main sprinklers.
  const std::wstring intensity = intensity_part(line(3));
  if (!given(3)) {
    Text1[0]->set_text(L"");
  } else if (g.main) {
    state.imported.LoadedMainIntensity = head_number(intensity);
    show_controls({&Label11, Label1[0], Text1[0], &Text20, &Text21});
    Text1[0]->set_text(leading_zero_form(number_text(intensity)));
  }
  if (!given(4)) {
    Text1[1]->set_text(L"");
  } else if (g.main) {
    show_controls({Label1[1], Text1[1]});
    Text1[1]->set_text(number_text(line(4)));
  }
  if (!given(5)) {
    Text1[2]->set_text(L"");
    Text1[3]->set_text(L"");
    state.imported.SprinklerComputedField[kMainKind] = ComputedField::None;
  } else if (g.main) {
    show_controls({Label1[2], Label1[3], Text1[2], Text1[3]});
    Text1[2]->set_text(number_text(line(5)));
    const auto s = sprinkler_rule(head_number(intensity), head_number(line(4)), head_number(line(5)));
    state.imported.OutletDataInFile[kMainKind].k = s.k;
    state.imported.OutletDataInFile[kMainKind].head = s.free_head.value_or(0);
    show_computed_head(*Text1[3], s.free_head, state.imported.SprinklerComputedField[kMainKind]);
  }
  // Pipes and valve.
  const PipeLine pipe = split_pipe_line(line(6));
  Text9.set_text(pipe.standard);
  if (pipe.given_inlet_head) state.imported.GivenInletHead = *pipe.given_inlet_head;
  const ValveLine valve = split_valve_line(line(7));
  Text15.set_text(valve.shown);
  state.imported.LoadedValveLine = valve.loaded;
  if (given(8)) {
    show_controls({Label2[3], &Text10});
    Text10.set_text(line(8));
  } else {
    Label2[3]->set_visible(false);
    Text10.set_visible(false);
    Text10.set_text(L"");
  }
  // Deluge heads and fire cocks.
  auto flow_group = [&](int flow_line, bool present, ui::TextBox& flow, ui::TextBox& head, OutletKindIndex kind,
                        std::initializer_list<ui::Control*> flow_controls, std::initializer_list<ui::Control*> head_controls) {
    if (!given(flow_line)) flow.set_text(L"");
    else if (present && head_number(line(flow_line)) > 0) {
      show_controls(flow_controls);
      flow.set_text(number_text(line(flow_line)));
    }
    if (!given(flow_line + 1)) head.set_text(L"");
    else if (present && head_number(line(flow_line + 1)) > 0) {
      state.imported.OutletDataInFile[kind].head = head_number(line(flow_line + 1));
      show_controls(head_controls);
      head.set_text(number_text(line(flow_line + 1)));
    }
  };
  flow_group(9, g.deluge, Text11, Text12, kDelugeKind, {&Label12, &Label5, &Text11, &Text24, &Text25}, {&Label9, &Text12});
  flow_group(11, g.fire_cock, Text13, Text14, kFireCockKind, {&Label13, &Label8, &Text13, &Text26, &Text27},
             {&Label10, &Text14});
  // Rack sprinklers.
  if (!given(13)) {
    Text16.set_text(L"");
  } else if (g.rack) {
    show_controls({&Label14, &Label15, &Text16, &Text22, &Text23});
    Text16.set_text(leading_zero_form(number_text(line(13))));
  }
  if (!given(14)) {
    Text17.set_text(L"");
  } else if (g.rack) {
    show_controls({&Label16, &Text17});
    Text17.set_text(L" " + all_commas_to_point(ltrim(line(14))));
  }
  if (!given(15)) {
    Text18.set_text(L"");
    Text19.set_text(L"");
    state.imported.SprinklerComputedField[kRackKind] = ComputedField::None;
  } else if (g.rack) {
    show_controls({&Label17, &Label18, &Text18, &Text19});
    Text18.set_text(number_text(line(15)));
    const auto s = sprinkler_rule(head_number(line(13)), head_number(line(14)), head_number(line(15)));
    state.imported.OutletDataInFile[kRackKind].k = s.k;
    state.imported.OutletDataInFile[kRackKind].head = s.free_head.value_or(0);
    show_computed_head(Text19, s.free_head, state.imported.SprinklerComputedField[kRackKind]);
  }
}

void Form4::LoadGraphicsData() {
  ResetGroupLayout();
  if (!Text5[0]->text().empty()) {
    for (int i = 0; i < 3; ++i) {
      Text6[i]->set_text(Text5[i]->text());
      Text5[i]->set_text(L"");
    }
  }
  Picture1.set_visible(false);

  if (sys::file_exists(L"rezult.ko2")) {
    const auto exported = read_file_lines(L"rezult.ko2");
    const ConvertedExport c = convert_export(exported.value_or(std::vector<std::wstring>{}));
    const std::wstring fault = exported ? check_network_data(c.body) : L"файл не читается";
    if (!fault.empty()) {
      ui::msg_box(L"Данные, подготовленные графическим приложением (rezult.ko2), не могут быть загружены: " + fault +
                      L". Исходные данные расчета не изменены.",
                  MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
      return;
    }
    if (!write_file_lines(state.imported.NetworkFileName, c.body)) {
      ui::msg_box(L"Не удается записать файл " + state.imported.NetworkFileName + L".", MsgButtons::OK, MsgIcon::Exclamation,
                  L"Сообщение");
      return;
    }
    reg::delete_quietly(L"rezult.ko2");
    state.imported.ExportImported = true;
    if (c.data_version) state.imported.DataVersion = *c.data_version;
    state.imported.ControlUnitOnSection = 0;
    Label7[2]->set_caption(L"Напор выше узла управления");
    Label7[1]->set_caption(L"Напор перед узлом управления");
    const ControlSection cs = read_export_results(c.body);
    state.imported.ControlUnitSectionStart = cs.start;
    state.imported.ControlUnitSectionEnd = cs.end;
    if (cs.on_section()) {
      state.imported.ControlUnitOnSection = 1;
      Label7[1]->set_caption(L"Необх. напор на входе в систему");
      Label7[2]->set_caption(L"Напор перед узлом управления");
    }
  }

  const auto read = read_file_lines(state.imported.NetworkFileName);
  if (!read || read->empty()) return;
  const std::vector<std::wstring>& lines = *read;
  if (const std::wstring fault = check_network_data(lines); !fault.empty()) {
    // Named as the user knows it: the stored file of a calculation from the register.
    const std::wstring file =
        Modul1::Register.OpenedFromRegister && !state.imported.ExportImported ? Modul1::StoredInputPath : state.imported.NetworkFileName;
    ui::msg_box(L"Файл исходных данных расчета " + file + L" поврежден: " + fault + L".", MsgButtons::OK,
                MsgIcon::Exclamation, L"Сообщение");
    return;
  }

  // First run: every group counts as present.
  HideOutletGroups();
  state.imported.NodeNumberMap = node_number_map(lines);
  apply_head_lines(lines, GroupFlags{});
  auto& d = state.imported.OutletDataInFile;
  const double deluge_flow = head_number(lines[8]), cock_flow = head_number(lines[10]);
  if (deluge_flow > 0 && d[kDelugeKind].head > 0) d[kDelugeKind].k = round_half_even(deluge_flow / std::sqrt(d[kDelugeKind].head), 8);
  if (cock_flow > 0 && d[kFireCockKind].head > 0)
    d[kFireCockKind].k = round_half_even(cock_flow / std::sqrt(d[kFireCockKind].head), 8);
  state.imported.LoadedHighestFreeHead =
      highest_free_head({d[kMainKind].head, d[kRackKind].head, d[kDelugeKind].head, d[kFireCockKind].head});
  Text4.set_text(L"");

  const ProblemLines problem = network_section(lines);
  write_file_lines(L"spr.in", problem.lines);
  if (problem.refused_node) {
    for (const auto& m : node_check_messages(state.imported.NodeNumberMap, *problem.refused_node))
      ui::msg_box(m, MsgButtons::OK, MsgIcon::None, L"Предупреждение");
    return;
  }
  state.imported.ImportedProblem = problem.lines;
  if (!problem.has_junction) {
    write_file_lines(L"spr1.in", problem.lines);
    state.imported.ImportedProblem = add_feed_node(problem.lines, problem.last_node);
    write_file_lines(L"spr.in", state.imported.ImportedProblem);
  }
  std::size_t lists = 0;
  while (lists < lines.size() && !contains(lines[lists], L"#####2")) ++lists;
  const OutletList outlets = read_outlet_lists(std::vector<std::wstring>(
      lines.begin() + static_cast<std::ptrdiff_t>(lists + 1), lines.begin() + static_cast<std::ptrdiff_t>(lists + 5)));
  state.imported.OutletTable = outlets.table;
  state.imported.OutletListSize = outlets.list_size;
  state.imported.OutletGroups = outlets.groups;

  // Second run: the groups that the network holds.
  HideOutletGroups();
  apply_head_lines(lines, outlets.groups);
  RestackOutletGroups(outlets.groups);

  state.imported.NodeTable = read_node_table(lines);
  state.imported.NodeCount = static_cast<double>(state.imported.NodeTable.size() - 1);
  const Sections sections = build_sections(state.imported.NodeTable);
  state.imported.SectionTable = sections.table;
  state.imported.SectionCount = static_cast<double>(sections.table.size() - 1);
  std::wstring text4;
  for (const auto& l : sections.text4) text4 += l + L"\r\n";
  Text4.set_text(text4);
  if (sections.refused_node) {
    ui::msg_box(too_many_pipes(*sections.refused_node), MsgButtons::OK, MsgIcon::None, L"Предупреждение");
    return;
  }

  // The scheme.
  const bool empty_scheme = !reg::nonempty_file(L"rezult.kms");
  // In front even when there is nothing to draw: the box hides the groups.
  Picture1.bring_to_front();
  if (Modul1::Register.OpenedFromRegister && empty_scheme && !sys::file_exists(Modul1::StoredSchemePath)) {
    Picture1.cls();
  } else {
    DrawCalcScheme(Picture1, Picture1.rect().width, Picture1.rect().height, sys::resolve(L"rezult.kms"));
  }
  Picture1.set_visible(true);

  if (Text9.text() != kNoStandard) LoadMainPipeTable();
  state.imported.ImportedOutletData = state.imported.OutletDataInFile;
  state.printout.ResultsValid = 0;
  state.imported.NetworkLoaded = 1;
}

void Form4::LoadMainPipeTable() {
  std::wstring standard = Text9.text();
  load_main_pipe_table(state.imported, standard);
  if (standard != Text9.text()) Text9.set_text(standard);
}

void Form4::Command4_Click() {
  if (!sys::file_exists(L"rezult.ko2") || !reg::nonempty_file(L"rezult.kms")) {
    ui::msg_box(L"Внимание! Подготовленные приложением ВИРН-Дорв Графика данные отсутствуют.", MsgButtons::OK,
                MsgIcon::None, L"Сообщение");
    return;
  }
  if (ui::msg_box(L"Загрузить исходные данные для расчета, подготовленные с помощью графического приложения?",
                  MsgButtons::YesNo, MsgIcon::Question, L"Загрузка данных") != ui::MsgResult::Yes)
    return;
  Command5.set_enabled(false);
  std::wstring version = Modul1::ProgramVersion;
  std::erase(version, L'.');
  state.imported.DataVersion = num_value(version);
  LoadGraphicsData();
  state.imported.LoadedInputTexts = input_texts();
}

}  // namespace dorv::arb
