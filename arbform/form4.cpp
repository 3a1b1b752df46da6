#include "arbform/form4.h"

#include <algorithm>
#include <cmath>

#include "arbform/head_lines.h"
#include "arbform/network_file.h"
#include "arbform/scheme.h"
#include "platform/files.h"
#include "platform/host.h"
#include "register/catalog.h"
#include "register/fileops.h"
#include "register/form1.h"
#include "register/modul1.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace Modul1 = reg::Modul1;
using ui::MsgButtons;
using ui::MsgIcon;

namespace {

const wchar_t* const kNoStandard = L"ГОСТ на трубы";

std::optional<std::vector<std::wstring>> read_file_lines(const std::wstring& name) {
  try {
    return try_read_lines(sys::resolve(name));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool write_file_lines(const std::wstring& name, const std::vector<std::wstring>& lines) {
  try {
    write_lines_atomic(sys::resolve(name), lines);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

Form4::Form4() : Form(L"Form4") {
  move({0, 0, 12600, 8100});
  set_caption(L"Расчет секции произвольной конфигурации");
  const wchar_t* row_captions[] = {L"Интенсивность орошения, л/с.м2", L"Средн. площадь, защ. одним оросит., м2",
                                   L"Коэффициент К-фактор оросителя", L"Своб. напор перед оросителем, м в.cт."};
  for (int i = 0; i < 4; ++i) {
    Label1[i] = &add<ui::Label>(L"Label1", {720, 2280 + 240 * i, 3060, 240}, i);
    Label1[i]->set_caption(row_captions[i]);
    Text1[i] = &add<ui::TextBox>(L"Text1", {3840, i == 0 ? 2304 : 2280 + 240 * i, 1200, 216}, i);
    Text1[i]->on_lost_focus = [this, i] { Text1_LostFocus(i); };
  }
  Label15.set_caption(row_captions[0]);
  Label16.set_caption(row_captions[1]);
  Label17.set_caption(row_captions[2]);
  Label18.set_caption(row_captions[3]);
  const std::pair<const wchar_t*, ui::Rect> pipes[] = {{L"Трубы", {240, 6390, 1500, 240}},
                                                       {L"Клапан", {240, 7080, 1500, 240}},
                                                       {L"(потери)", {240, 7320, 1500, 240}},
                                                       {L"Трубы*", {240, 6750, 1500, 240}}};
  for (int i = 0; i < 4; ++i) {
    Label2[i] = &add<ui::Label>(L"Label2", pipes[i].second, i);
    Label2[i]->set_caption(pipes[i].first);
  }
  // The rows' captions in a face small enough for the longest of them to fit
  // between the row's left edge and its field.
  for (ui::Label* l : {Label1[0], Label1[1], Label1[2], Label1[3], &Label15, &Label16, &Label17, &Label18, &Label5,
                       &Label9, &Label8, &Label10})
    l->set_font(ui::Font{L"Arial", 7.5, false, 204});
  // Results panel: a caption over each row, over each field its column.
  const wchar_t* result_rows[] = {L"Расход секции", L"Необх. напор на входе в систему", L" Напор перед узлом управления"};
  Label7[3] = &add<ui::Label>(L"Label7", {7320, 1800, 5040, 255}, 3);
  Label7[3]->set_caption(L"РЕЗУЛЬТАТЫ  РАСЧЕТА");
  const int row_label[] = {0, 2, 1};  // row 1 is captioned by Label7(2), row 2 by Label7(1)
  for (int row = 0; row < 3; ++row) {
    const int top = 2100 + 1000 * row;
    Label7[row_label[row]] = &add<ui::Label>(L"Label7", {7320, top, 5040, 255}, row_label[row]);
    Label7[4 + row] = &add<ui::Label>(L"Label7", {7320, top + 255, 2400, 255}, 4 + row);
    Label7[7 + row] = &add<ui::Label>(L"Label7", {9960, top + 255, 2400, 255}, 7 + row);
    Label7[4 + row]->set_caption(L"По тек. расчету");
    Label7[7 + row]->set_caption(L"По пред. расчету");
    Text5[row] = &add<ui::TextBox>(L"Text5", {7320, top + 510, 2400, 315}, row);
    Text6[row] = &add<ui::TextBox>(L"Text6", {9960, top + 510, 2400, 315}, row);
  }
  Label7[0]->set_caption(result_rows[0]);
  Label7[2]->set_caption(L" Напор перед узлом управления");
  Label7[1]->set_caption(L" Необх. напор на входе в систему");

  Label3.set_caption(L"Расчет №");
  Label6.set_caption(L"Договор №");
  Label4.set_caption(L"Объект:");
  Text3.set_multi_line(true);
  Label19.set_caption(L"Исходные данные");
  Label20.set_caption(L"По расчету");
  Label11.set_caption(L"Основные спринклеры");
  Label14.set_caption(L"Внутристеллажные спринклеры");
  Label12.set_caption(L"Дренчеры");
  Label5.set_caption(L"Нормативный расход дренчера, л/с");
  Label9.set_caption(L"Своб. напор перед дренчером, м в.ст.");
  Label13.set_caption(L"Пожарные краны");
  Label8.set_caption(L"Нормативный расход пож. крана, л/с");
  Label10.set_caption(L"Своб. напор перед пож. краном, м в.ст.");
  Text4.set_multi_line(true);
  // The section table is laid out in columns of characters, and lies over
  // the results panel while it is shown.
  Text4.set_font(ui::Font{L"Courier New", 8.25, false, 204});
  Text4.bring_to_front();
  Command4.set_caption(L"Загрузка данных");
  Command5.set_caption(L"Рез. файл");
  Command8.set_caption(L"Параметры участков");
  Command7.set_caption(L"Расч. схема Результаты");
  Command1.set_caption(L"Пуск");
  Command6.set_caption(L"Расчет при зад. напоре");
  Command2.set_caption(L"Печать");
  Command3.set_caption(L"ВЫХОД");

  Command1.on_click = [this] { Command1_Click(); };
  Command2.on_click = [this] { Command2_Click(); };
  Command3.on_click = [this] { Command3_Click(); };
  Command4.on_click = [this] { Command4_Click(); };
  Command5.on_click = [this] { Command5_Click(); };
  Command6.on_click = [this] { Command6_Click(); };
  Command7.on_click = [this] { Command7_Click(); };
  Command8.on_click = [this] { Command8_Click(); };
  Picture1.on_click = [this] { Picture1_Click(); };
  Text16.on_lost_focus = [this] { Text16_LostFocus(); };
  Text17.on_lost_focus = [this] { Text17_LostFocus(); };
  Text18.on_lost_focus = [this] { Text18_LostFocus(); };
  Text19.on_lost_focus = [this] { Text19_LostFocus(); };
}

// The mode lives in the button's colour, so that the user sees it: orange
// while the inlet head is given, the button face otherwise.
constexpr ui::Color kGivenHeadColour = ui::colour_number(33023);
bool Form4::GivenInletPressureMode() const { return Command6.back_color() == kGivenHeadColour; }
void Form4::SetGivenInletPressureMode(bool on) { Command6.set_back_color(on ? kGivenHeadColour : ui::kButtonFace); }

// ---------------------------------------------------------------- group layout

std::vector<ui::Control*> Form4::group_controls() const {
  return {&Label5,  &Label8,  &Label9,  &Label10, &Label12, &Label13, &Label14, &Label15, &Label16,
          &Label17, &Label18, &Text11,  &Text12,  &Text13,  &Text14,  &Text16,  &Text17,  &Text18,
          &Text19,  &Text22,  &Text23,  &Text24,  &Text25,  &Text26,  &Text27};
}

void Form4::ResetGroupLayout() {
  const auto controls = group_controls();
  for (std::size_t i = 0; i < controls.size() && i < saved_group_tops_.size(); ++i) {
    ui::Rect r = controls[i]->rect();
    r.top = saved_group_tops_[i];
    controls[i]->move(r);
  }
  for (ui::TextBox* t : {&Text20, &Text21, &Text22, &Text23, &Text24, &Text25, &Text26, &Text27}) t->set_text(L"");
}

void Form4::HideOutletGroups() {
  for (ui::Control* c : {static_cast<ui::Control*>(Label1[0]), static_cast<ui::Control*>(Label1[1]),
                         static_cast<ui::Control*>(Label1[2]), static_cast<ui::Control*>(Label1[3]),
                         static_cast<ui::Control*>(Label2[3]), static_cast<ui::Control*>(Text1[0]),
                         static_cast<ui::Control*>(Text1[1]), static_cast<ui::Control*>(Text1[2]),
                         static_cast<ui::Control*>(Text1[3]), static_cast<ui::Control*>(&Text10),
                         static_cast<ui::Control*>(&Label11)})
    c->set_visible(false);
  for (ui::Control* c : group_controls()) c->set_visible(false);
  for (ui::TextBox* t : {&Text20, &Text21}) t->set_visible(false);
}

void Form4::ShowControls(std::initializer_list<ui::Control*> controls) {
  for (ui::Control* c : controls) c->set_visible(true);
}

void Form4::RestackOutletGroups(const GroupFlags& present) {
  auto move_up = [](std::initializer_list<ui::Control*> group, int s) {
    for (ui::Control* c : group) {
      ui::Rect r = c->rect();
      r.top -= s;
      c->move(r);
    }
  };
  if (present.rack)
    move_up({&Label14, &Label15, &Label16, &Label17, &Label18, &Text16, &Text17, &Text18, &Text19, &Text22, &Text23},
            present.main ? 0 : 1320);
  if (present.deluge)
    move_up({&Label12, &Label5, &Label9, &Text11, &Text12, &Text24, &Text25},
            1320 * ((present.main ? 0 : 1) + (present.rack ? 0 : 1)));
  if (!trim(Text13.text()).empty()) {
    static const int moves[2][2][2] = {// [main][rack][deluge]
                                       {{3480, 2640}, {2160, 1300}},
                                       {{2160, 1300}, {840, 0}}};
    move_up({&Label13, &Label8, &Label10, &Text13, &Text14, &Text26, &Text27},
            moves[present.main][present.rack][present.deluge]);
  }
}

// ---------------------------------------------------------------- load

void Form4::form_load() {
  // The form lives as long as the program, and an import moves its groups:
  // every opening starts from the designed layout, or the moves of the last
  // opening would add up with this one's.
  if (saved_group_tops_.empty())
    for (ui::Control* c : group_controls()) saved_group_tops_.push_back(c->rect().top);
  ResetGroupLayout();
  // Nothing of an earlier calculation may reach this one: every value that
  // a run, a save or a printout reads is set afresh here.
  state = Form4State{};
  SetGivenInletPressureMode(false);
  Picture1.set_visible(false);
  Text4.set_visible(false);
  Command5.set_enabled(true);
  for (int i = 0; i < 3; ++i) Text5[i]->set_text(L"");
  // The fields too: a calculation without network data (a new "TN" one)
  // starts from an empty form, not from the last one's values.
  for (ui::TextBox* t : {Text1[0], Text1[1], Text1[2], Text1[3], &Text9, &Text10, &Text11, &Text12, &Text13, &Text14,
                         &Text15, &Text16, &Text17, &Text18, &Text19, &Text4})
    t->set_text(L"");

  reg::Form1& f1 = reg::form1();
  std::vector<std::wstring> results(5);
  bool stored = false;
  if (!f1.OpenedFromRegister) {
    Text2.set_text(L" " + ltrim(Modul1::NewCalcId));
    Text8.set_text(L" " + ltrim(Modul1::NewCalcContract));
    Text3.set_text(Modul1::NewCalcObject);
  } else {
    Text2.set_text(L" " + ltrim(f1.SelectedCalcNumber));
    Text8.set_text(L" " + f1.SelectedContract);
    Text3.set_text(f1.SelectedObject);
    UpgradeWorkingFile();
    const auto lines = read_file_lines(L"rezult1.txt").value_or(std::vector<std::wstring>{});
    const auto block = read_stored_results(lines);
    if (!block) {
      const std::string bytes = try_read_bytes(sys::resolve(L"rezult1.txt")).value_or("");
      const bool line_end = !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
      try {
        sys::create_empty(L"rezult1.txt");
      } catch (const std::exception&) {
      }
      if (const std::wstring fault = check_record_without_results(lines, line_end); !fault.empty()) {
        ui::msg_box(L"Файл исходных данных расчета " + Modul1::StoredInputPath + L" поврежден: " + fault +
                        L". Данные расчета не загружены; сохраненные файлы расчета не изменены.",
                    MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
        return;
      }
      ui::msg_box(L"Внимание!\r\nПоскольку данный расчет был выполнен в предыдущей версии программы, для его "
                  L"редактирования необходимо переключиться в AutoCad, где уже открыт чертеж расчетной схемы, и "
                  L"выбрать пункт \"Обработка\" меню \"Дорв 5.4\".\r\nПосле окончания обработки информации расчетной "
                  L"схемы вернитесь к основной панели расчета и нажмите кнопку \"Загрузка данных\".",
                  MsgButtons::OK, MsgIcon::None, L"Сообщение");
      return;
    }
    if (block->is_export_block()) {
      // Stored straight after an import: the block names the control
      // unit's section and holds no results.
      results[3] = block->lines[0] == L"nil" ? L"" : block->lines[0];
      results[4] = block->lines[1] == L"nil" ? L"" : block->lines[1];
    } else {
      results = block->lines;
      stored = true;
    }
  }
  if (!results[3].empty() && results[3] != L"nil") {
    state.ControlUnitOnSection = 1;
    state.ControlUnitSectionStart = results[3];
    state.ControlUnitSectionEnd = results[4];
    Label7[2]->set_caption(L" Напор перед узлом управления");
    Label7[1]->set_caption(L" Необх. напор на входе в систему");
  } else {
    Label7[2]->set_caption(L"Напор после узла управления");
    Label7[1]->set_caption(L"Напор перед узлом управления");
  }
  Text6[0]->set_text(stored && results[0] != L"nil" ? results[0] : L"");
  Text6[1]->set_text(stored && results[1] != L"nil" ? results[1] : L"");
  Text6[2]->set_text(stored ? results[2] : L"");
  LoadGraphicsData();
  state.LoadedInputTexts = InputTexts();
  // A stored calculation brings the report of its last completed run.
  if (stored && state.NetworkLoaded == 1 && reg::nonempty_file(L"rezres.txt")) state.ResultsValid = 1;
}

void Form4::UpgradeWorkingFile() {
  const auto lines = read_file_lines(L"rezult1.txt");
  if (!lines) return;
  const auto upgraded = upgrade_layout(*lines);
  if (upgraded != *lines) write_file_lines(L"rezult1.txt", upgraded);
  if (upgraded.size() > 5 && split_pipe_line(upgraded[5]).given_inlet_head) SetGivenInletPressureMode(true);
}

// ---------------------------------------------------------------- import

void Form4::ApplyHeadLines(const std::vector<std::wstring>& lines, const GroupFlags& g) {
  auto line = [&](int n) { return n - 1 < static_cast<int>(lines.size()) ? lines[n - 1] : std::wstring(); };
  auto given = [&](int n) { return !trim(line(n)).empty(); };
  Text8.set_text(L" " + ltrim(line(1)));
  Text3.set_text(line(2));

  // Main sprinklers.
  const std::wstring intensity = intensity_part(line(3));
  if (!given(3)) {
    Text1[0]->set_text(L"");
  } else if (g.main) {
    state.LoadedMainIntensity = head_number(intensity);
    ShowControls({&Label11, Label1[0], Text1[0], &Text20, &Text21});
    Text1[0]->set_text(leading_zero_form(number_text(intensity)));
  }
  if (!given(4)) {
    Text1[1]->set_text(L"");
  } else if (g.main) {
    ShowControls({Label1[1], Text1[1]});
    Text1[1]->set_text(number_text(line(4)));
  }
  if (!given(5)) {
    Text1[2]->set_text(L"");
    Text1[3]->set_text(L"");
  } else if (g.main) {
    ShowControls({Label1[2], Label1[3], Text1[2], Text1[3]});
    Text1[2]->set_text(number_text(line(5)));
    const auto s = sprinkler_rule(head_number(intensity), head_number(line(4)), head_number(line(5)));
    state.OutletDataInFile[kMainKind].k = s.k;
    state.OutletDataInFile[kMainKind].head = s.free_head.value_or(0);
    Text1[3]->set_text(s.free_head ? free_head_text(*s.free_head) : L"");
  }
  // Pipes and valve.
  const PipeLine pipe = split_pipe_line(line(6));
  Text9.set_text(pipe.standard);
  if (pipe.given_inlet_head) state.GivenInletHead = *pipe.given_inlet_head;
  const ValveLine valve = split_valve_line(line(7));
  Text15.set_text(valve.shown);
  state.LoadedValveLine = valve.loaded;
  if (given(8)) {
    ShowControls({Label2[3], &Text10});
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
      ShowControls(flow_controls);
      flow.set_text(number_text(line(flow_line)));
    }
    if (!given(flow_line + 1)) head.set_text(L"");
    else if (present && head_number(line(flow_line + 1)) > 0) {
      state.OutletDataInFile[kind].head = head_number(line(flow_line + 1));
      ShowControls(head_controls);
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
    ShowControls({&Label14, &Label15, &Text16, &Text22, &Text23});
    Text16.set_text(leading_zero_form(number_text(line(13))));
  }
  if (!given(14)) {
    Text17.set_text(L"");
  } else if (g.rack) {
    ShowControls({&Label16, &Text17});
    Text17.set_text(L" " + all_commas_to_point(ltrim(line(14))));
  }
  if (!given(15)) {
    Text18.set_text(L"");
    Text19.set_text(L"");
  } else if (g.rack) {
    ShowControls({&Label17, &Label18, &Text18, &Text19});
    Text18.set_text(number_text(line(15)));
    const auto s = sprinkler_rule(head_number(line(13)), head_number(line(14)), head_number(line(15)));
    state.OutletDataInFile[kRackKind].k = s.k;
    state.OutletDataInFile[kRackKind].head = s.free_head.value_or(0);
    Text19.set_text(s.free_head ? free_head_text(*s.free_head) : L"");
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
    if (!write_file_lines(state.NetworkFileName, c.body)) {
      ui::msg_box(L"Не удается записать файл " + state.NetworkFileName + L".", MsgButtons::OK, MsgIcon::Exclamation,
                  L"Сообщение");
      return;
    }
    reg::delete_quietly(L"rezult.ko2");
    state.ExportImported = true;
    if (c.data_version) state.DataVersion = *c.data_version;
    state.ControlUnitOnSection = 0;
    Label7[2]->set_caption(L"Напор выше узла управления");
    Label7[1]->set_caption(L"Напор перед узлом управления");
    const ControlSection cs = read_export_results(c.body);
    state.ControlUnitSectionStart = cs.start;
    state.ControlUnitSectionEnd = cs.end;
    if (cs.on_section()) {
      state.ControlUnitOnSection = 1;
      Label7[1]->set_caption(L"Необх. напор на входе в систему");
      Label7[2]->set_caption(L"Напор перед узлом управления");
    }
  }

  const auto read = read_file_lines(state.NetworkFileName);
  if (!read || read->empty()) return;
  const std::vector<std::wstring>& lines = *read;
  if (const std::wstring fault = check_network_data(lines); !fault.empty()) {
    // Named as the user knows it: the stored file of a calculation from the register.
    const std::wstring file =
        reg::form1().OpenedFromRegister && !state.ExportImported ? Modul1::StoredInputPath : state.NetworkFileName;
    ui::msg_box(L"Файл исходных данных расчета " + file + L" поврежден: " + fault + L".", MsgButtons::OK,
                MsgIcon::Exclamation, L"Сообщение");
    return;
  }

  // First run: every group counts as present.
  HideOutletGroups();
  state.NodeNumberMap = node_number_map(lines);
  ApplyHeadLines(lines, GroupFlags{});
  auto& d = state.OutletDataInFile;
  const double deluge_flow = head_number(lines[8]), cock_flow = head_number(lines[10]);
  if (deluge_flow > 0 && d[kDelugeKind].head > 0) d[kDelugeKind].k = round_half_even(deluge_flow / std::sqrt(d[kDelugeKind].head), 8);
  if (cock_flow > 0 && d[kFireCockKind].head > 0)
    d[kFireCockKind].k = round_half_even(cock_flow / std::sqrt(d[kFireCockKind].head), 8);
  double highest = std::max(d[kMainKind].head, d[kDelugeKind].head);
  if (d[kFireCockKind].head >= highest) highest = d[kFireCockKind].head;
  if (d[kRackKind].head >= highest) highest = d[kRackKind].head;
  state.LoadedHighestFreeHead = highest;
  Text4.set_text(L"");

  const ProblemLines problem = network_section(lines);
  write_file_lines(L"spr.in", problem.lines);
  if (problem.refused_node) {
    for (const auto& m : node_check_messages(state.NodeNumberMap, *problem.refused_node))
      ui::msg_box(m, MsgButtons::OK, MsgIcon::None, L"Предупреждение");
    return;
  }
  state.ImportedProblem = problem.lines;
  if (!problem.has_junction) {
    write_file_lines(L"spr1.in", problem.lines);
    state.ImportedProblem = add_feed_node(problem.lines, problem.last_node);
    write_file_lines(L"spr.in", state.ImportedProblem);
  }
  std::size_t lists = 0;
  while (lists < lines.size() && !contains(lines[lists], L"#####2")) ++lists;
  const OutletList outlets = read_outlet_lists(std::vector<std::wstring>(
      lines.begin() + static_cast<std::ptrdiff_t>(lists + 1), lines.begin() + static_cast<std::ptrdiff_t>(lists + 5)));
  state.OutletTable = outlets.table;
  state.OutletListSize = outlets.list_size;

  // Second run: the groups that the network holds.
  HideOutletGroups();
  ApplyHeadLines(lines, outlets.groups);
  RestackOutletGroups(outlets.groups);

  state.NodeTable = read_node_table(lines);
  state.NodeCount = static_cast<double>(state.NodeTable.size() - 1);
  const Sections sections = build_sections(state.NodeTable);
  state.SectionTable = sections.table;
  state.SectionCount = static_cast<double>(sections.table.size() - 1);
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
  if (reg::form1().OpenedFromRegister && empty_scheme && !sys::file_exists(Modul1::StoredSchemePath)) {
    Picture1.cls();
  } else {
    DrawCalcScheme(Picture1, Picture1.rect().width, Picture1.rect().height, sys::resolve(L"rezult.kms"));
  }
  Picture1.set_visible(true);

  if (Text9.text() != kNoStandard) LoadMainPipeTable();
  state.ImportedOutletData = state.OutletDataInFile;
  state.ResultsValid = 0;
  state.NetworkLoaded = 1;
}

void Form4::LoadMainPipeTable() {
  state.MainStandardPhrase = L" по " + Text9.text();
  const auto t = load_pipe_standard(sys::resolve(L"trub.inf"), Text9.text());
  if (!t || t->rows.empty()) {
    Text9.set_text(kNoStandard);
    return;
  }
  state.MainPipeTable = *t;
  state.MainPipeRows = static_cast<double>(t->rows.size());
}

void Form4::LoadSecondPipeTable() {
  const auto t = load_pipe_standard(sys::resolve(L"trub.inf"), Text10.text());
  if (!t || t->rows.empty()) {
    Text10.set_text(L"");
    return;
  }
  state.SecondPipeTable = *t;
  state.SecondPipeRows = static_cast<double>(t->rows.size());
}

// ---------------------------------------------------------------- buttons

void Form4::Command2_Click() {
  if (print_report) print_report(*this);
}

void Form4::Command3_Click() { unload(); }

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
  state.DataVersion = num_value(version);
  LoadGraphicsData();
  state.LoadedInputTexts = InputTexts();
}

void Form4::Command5_Click() {
  if (!sys::file_exists(L"rezres.txt")) return;
  Modul1::ResultsViewFile = L"flrez.txt";
  std::vector<std::wstring> out;
  for (const auto& l : read_file_lines(L"rezres.txt").value_or(std::vector<std::wstring>{}))
    out.push_back(l.size() > 6 ? l.substr(6) : std::wstring());
  write_file_lines(L"flrez.txt", out);
  if (out.empty()) return;
  Modul1::OpenWithAssociatedApp(L"flrez.txt");
  ResultsShown = 1;
}

void Form4::Command6_Click() { SetGivenInletPressureMode(!GivenInletPressureMode()); }

void Form4::Command7_Click() {
  if (Picture1.visible()) {
    Picture1.set_visible(false);
  } else {
    Picture1.set_visible(true);
    Picture1.bring_to_front();
  }
}

void Form4::Command8_Click() { Text4.set_visible(!Text4.visible()); }

void Form4::Picture1_Click() {
  Picture1.bring_to_front();
  if (ResultsShown == 0) Picture1.set_visible(false);
}

// ---------------------------------------------------------------- field rules

namespace {

void comma_to_point(ui::TextBox& t) { t.set_text(all_commas_to_point(t.text())); }

double k_used(double k) { return k > 20 ? k / 190 : round_half_even(k, 8); }

// Free head from intensity, area and K-factor.
void head_rule(ui::TextBox& i, ui::TextBox& s, ui::TextBox& k, ui::TextBox& h, double* k_out) {
  if (i.text().empty() || s.text().empty() || k.text().empty()) return;
  const double kk = k_used(num_value(k.text()));
  if (k_out) *k_out = kk;
  if (kk == 0) return;
  const double root = num_value(i.text()) * num_value(s.text()) / kk;
  h.set_text(free_head_text(round_half_even(root * root, 2)));
}

// Intensity from free head, area and K-factor.
void intensity_rule(ui::TextBox& i, ui::TextBox& s, ui::TextBox& k, ui::TextBox& h) {
  if (s.text().empty() || k.text().empty() || h.text().empty()) return;
  const double area = num_value(s.text());
  if (area == 0) return;
  const double v = round_half_even(k_used(num_value(k.text())) * std::sqrt(num_value(h.text())) / area, 3);
  i.set_text(leading_zero_form(num_text(v)));
}

}  // namespace

void Form4::Text1_LostFocus(int index) {
  for (ui::TextBox* t : Text1) comma_to_point(*t);
  if (index == 3)
    intensity_rule(*Text1[0], *Text1[1], *Text1[2], *Text1[3]);
  else
    head_rule(*Text1[0], *Text1[1], *Text1[2], *Text1[3], &state.MainSprinklerK);
}

void Form4::Text16_LostFocus() {
  comma_to_point(Text16);
  head_rule(Text16, Text17, Text18, Text19, nullptr);
}
void Form4::Text17_LostFocus() {
  comma_to_point(Text17);
  head_rule(Text16, Text17, Text18, Text19, nullptr);
}
void Form4::Text18_LostFocus() {
  comma_to_point(Text18);
  head_rule(Text16, Text17, Text18, Text19, nullptr);
}
void Form4::Text19_LostFocus() {
  comma_to_point(Text19);
  intensity_rule(Text16, Text17, Text18, Text19);
}

// ---------------------------------------------------------------- close

std::vector<std::wstring> Form4::HeadLinesFromFields() const {
  // The contract without the blank the field shows in front: the catalog
  // holds it so, and a catalog rebuilt from the stored records must agree.
  std::vector<std::wstring> out = {
      ltrim(Text8.text()),  Text3.text(),  Text1[0]->text(), Text1[1]->text(), Text1[2]->text(),
      Text9.text(),  state.LoadedValveLine.empty() ? trim(Text15.text()) : state.LoadedValveLine,
      Text10.text(), Text11.text(), Text12.text(), Text13.text(), Text14.text(),
      Text16.text(), Text17.text(), Text18.text()};
  if (state.GivenInletHead > 0) {
    out[2] += L"," + zero_before_point(num_text_trim(round_half_even(state.LoadedMainIntensity, 3)));
    out[5] += L"," + num_text_trim(state.GivenInletHead);
  }
  return out;
}

std::vector<std::wstring> Form4::InputTexts() const {
  std::vector<std::wstring> out;
  for (const ui::TextBox* t : {&Text8, &Text3, Text1[0], Text1[1], Text1[2], Text1[3], &Text9, &Text10, &Text11,
                               &Text12, &Text13, &Text14, &Text15, &Text16, &Text17, &Text18, &Text19})
    out.push_back(t->text());
  return out;
}

// The edited fields into the head lines of rezult1.txt; the network and the
// last run's results after them stay as they are.
bool Form4::StoreInputData() {
  auto lines = read_file_lines(L"rezult1.txt");
  if (lines && lines->size() >= static_cast<std::size_t>(kHeadLines)) {
    const auto head = HeadLinesFromFields();
    std::copy(head.begin(), head.end(), lines->begin());
    if (write_file_lines(L"rezult1.txt", *lines)) return true;
  }
  ui::msg_box(L"Исходные данные расчета не сохранены: файл исходных данных расчета (rezult1.txt) не удается "
              L"прочитать или записать.",
              MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
  return false;
}

bool Form4::StoreCalculation() {
  reg::Form1& f1 = reg::form1();
  // The identifier comes from the register, never from the editable field.
  const std::wstring id = f1.OpenedFromRegister ? Modul1::CurrentCalcId : Modul1::NewCalcId;
  // A network data file without its results block could never be opened
  // again: it must not replace the stored calculation.
  const auto data = read_file_lines(L"rezult1.txt");
  if (!data || std::none_of(data->begin(), data->end(), [](const std::wstring& l) { return contains(l, L"#####4"); })) {
    ui::msg_box(L"Расчет " + trim(id) + L" не сохранен: файл исходных данных расчета (rezult1.txt) пуст или неполон. "
                L"Сохраненный ранее расчет не изменен.",
                MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
    return false;
  }
  return f1.StoreCalculation({L" " + trim(id), ltrim(Text8.text()), ltrim(Text3.text())});
}

void Form4::form_unload() {
  // Input edited with no run since the import: the edits are offered for
  // storing as the grid form offers its input.
  if (state.CalculationStarted != 1 && state.NetworkLoaded == 1 && InputTexts() != state.LoadedInputTexts) {
    if (ui::msg_box(L"Расчет не выполнялся. Сохранить исходные данные?", MsgButtons::YesNo, MsgIcon::Question,
                    L"Сохранение исходных данных") == ui::MsgResult::Yes &&
        StoreInputData())
      StoreCalculation();
    state.GivenInletHead = 0;
    reg::form1().CalculationClosed();
    return;
  }
  state.GivenInletHead = 0;
  // A calculation is offered for storing once it has been run, or when this
  // opening imported an export, which exists nowhere else.
  if (state.CalculationStarted == 1 || (state.ExportImported && state.NetworkLoaded == 1)) {
    if (ui::msg_box(L"Сохранить расчет?", MsgButtons::YesNo, MsgIcon::Question, L"Сохранение расчета") ==
        ui::MsgResult::Yes)
      StoreCalculation();
  }
  reg::form1().CalculationClosed();
}

}  // namespace dorv::arb
