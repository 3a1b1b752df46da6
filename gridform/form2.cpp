#include "gridform/form2.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "gridform/fieldrules.h"
#include "gridform/scheme.h"
#include "platform/files.h"
#include "platform/host.h"
#include "register/catalog.h"
#include "register/fileops.h"
#include "register/modul1.h"
#include "tables/pipe_standard.h"
#include "tables/valve_file.h"
#include "text/fileerror.h"
#include "text/linefile.h"
#include "text/number.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
using ui::MsgButtons;
using ui::MsgIcon;
using ui::MsgResult;
namespace Modul1 = reg::Modul1;

namespace {

const wchar_t* const kResultCaptions[4] = {L"Расход секции", L"Напор на вводе в решетку",
                                           L"Напор выше узла управления", L"Напор перед узлом управления"};

// A field's value: its leading number, when it has one, and the text after it.
std::pair<std::optional<double>, std::wstring> field_value(std::wstring_view text) {
  const std::wstring t = trim(text);
  double value = 0;
  const std::size_t n = scan_decimal(t, value, false);
  if (n == 0) return {std::nullopt, t};
  return {value, trim(std::wstring_view(t).substr(n))};
}

// Whether line `index` (from 0) of two records holds the same input. A run
// writes the fields' numbers in its own form (".47" becomes "0.47"), and
// notes the sprinklers after the design area: a field counts by its value,
// the design area by its number alone.
bool same_record_line(std::size_t index, const std::wstring& a, const std::wstring& b) {
  constexpr std::size_t kFirstField = 2, kAreaLine = kFirstField + 2;
  if (index == kAreaLine) return num_value(a) == num_value(b);
  if (index >= kFirstField && index < kFirstField + kGridFieldCount) return field_value(a) == field_value(b);
  return a == b;
}

}  // namespace

Form2::Form2() : Form(L"Form2") {
  move({0, 0, 11900, 7300});
  set_caption(L"Расчет объекта с решеткой");
  Label2.set_caption(L"Расчет №");
  Label3.set_caption(L"Договор №");
  Label4.set_caption(L"Объект:");
  Label5.set_caption(L"Трубы");
  Label6.set_caption(L"Трубы*");
  Label8.set_caption(L"Клапан");
  Label9.set_caption(L"Данные питающего трубопровода");
  Label10.set_caption(L"По тек. расчету");
  Label11.set_caption(L"По пред. расчету");
  for (std::size_t i = 0; i < kGridFieldCount; ++i) Label1(static_cast<int>(i)).set_caption(kGridFieldCaptions[i]);
  for (int i = 0; i < 4; ++i) Label7(i).set_caption(kResultCaptions[i]);
  Command1.set_caption(L"Пуск");
  Command2.set_caption(L"Печать");
  Command3.set_caption(L"ВЫХОД");
  Command4.set_caption(L"Результ. файл");
  Command5.set_caption(L"Расч. схема Результаты");

  Command1.on_click = [this] { Command1_Click(); };
  Command2.on_click = [this] { Command2_Click(); };
  Command3.on_click = [this] { Command3_Click(); };
  Command4.on_click = [this] { Command4_Click(); };
  Command5.on_click = [this] { Command5_Click(); };
  Picture1.on_click = [this] { Picture1_Click(); };
  Text1.on_lost_focus = [this](int i) { Text1_LostFocus(i); };
}

std::array<std::wstring, kGridFieldCount> Form2::field_texts() const {
  std::array<std::wstring, kGridFieldCount> texts;
  for (std::size_t i = 0; i < kGridFieldCount; ++i) texts[i] = Text1(static_cast<int>(i)).text();
  return texts;
}

GridRecordSource Form2::record_source() const {
  GridRecordSource s;
  s.calc_id = OwnCalcId;
  s.object = Text3.text();
  s.fields = field_texts();
  s.main_standard = Combo1(0).text();
  s.second_standard = Combo2.text();
  s.valve = Combo1(1).text();
  s.valve_selection = State.ValveSelection;
  s.feed_pipeline = Text4.text();
  s.total_head = State.TotalHead;
  s.total_flow = State.TotalFlow;
  for (int i = 0; i < 4; ++i) s.results[static_cast<std::size_t>(i)] = Text5(i).text();
  return s;
}

// ---------------------------------------------------------------- load

std::wstring Form2::FillMainPipeStandards(const std::vector<std::wstring>* pipe_file) {
  Combo1(0).set_text(tables::kNoStandard);
  if (!pipe_file) return L"нет файла ГОСТов на трубы trub.inf";
  const auto names = tables::pipe_standard_names(*pipe_file);
  for (const auto& name : names) Combo1(0).add_item(name);
  Combo1(0).set_text(tables::kNoStandard);
  return names.empty() ? L"в файле trub.inf нет ни одного ГОСТа на трубы" : L"";
}

void Form2::FillSecondPipeStandards(const std::vector<std::wstring>* pipe_file) {
  if (!pipe_file) return;
  for (const auto& name : tables::pipe_standard_names(*pipe_file)) Combo2.add_item(name);
}

std::wstring Form2::FillValveTypes() {
  const auto lines = try_read_lines(sys::resolve(tables::kValveFile));
  if (!lines) return L"нет файла клапанов klap.inf";
  const auto names = tables::valve_names(*lines);
  for (const auto& name : names) Combo1(1).add_item(name);
  Combo1(1).set_text(L"");
  return names.empty() ? L"в файле klap.inf нет ни одного клапана" : L"";
}

std::wstring Form2::load_grid_record() {
  // The register copied the stored record to rezult1.txt; the form works on it as rezult2.txt.
  try {
    if (sys::file_exists(L"rezult1.txt")) sys::replace_file(L"rezult1.txt", L"rezult2.txt");
  } catch (const FileError&) {
    // The working record was cleared before the register copied the stored
    // one, so a record that could not be moved is not there to read: the
    // reading below says so, and the form opens without it.
  }
  const auto lines = try_read_lines(sys::resolve(L"rezult2.txt"));
  if (!lines) return L"нет файла исходных данных расчета";
  // Another kind's data (a network's, under a record that calls it a grid)
  // is never taken for a grid record: saved, it would replace that data.
  if (!lines->empty() && !reg::is_grid_record(*lines)) {
    RecordRefused = true;
    return L"";
  }
  const GridRecordRead r = parse_grid_record(*lines);
  for (std::size_t i = 0; i < kGridFieldCount; ++i) {
    if (i + 3 > r.lines_read) break;
    Text1(static_cast<int>(i)).set_text(r.fields[i]);
    State.GridFieldValues[i][1] = r.field_lines[i];
  }
  if (r.lines_read >= 22) {
    Combo1(0).set_text(r.main_standard);
    if (!r.second_standard.empty()) Combo2.set_text(r.second_standard);
  }
  if (r.lines_read >= 23) Combo1(1).set_text(r.valve);
  if (r.lines_read >= 24) State.ValveSelection = r.valve_selection;
  if (r.lines_read >= 25) Text4.set_text(r.feed_pipeline);
  State.TotalHead = r.total_head;
  State.TotalFlow = r.total_flow;
  for (int i = 0; i < 4; ++i) Text6(i).set_text(r.previous_results[static_cast<std::size_t>(i)]);
  // The stored results belong to the input as the form shows it now.
  if (r.lines_read == kGridRecordLines) keep_record_of_results(grid_record_at_closing(record_source()), *lines);
  if (r.lines_read < kGridRecordLines)
    return L"файл исходных данных расчета неполон: в нем " + whole_text(static_cast<long long>(r.lines_read)) +
           L" строк из " + whole_text(static_cast<long long>(kGridRecordLines));
  return L"";
}

void Form2::form_load() {
  State = GridFormState{};
  RecordRefused = false;
  // What could not be read is told in one message; the form opens with the rest.
  std::vector<std::wstring> missing;
  const auto note = [&missing](std::wstring what) {
    if (!what.empty()) missing.push_back(std::move(what));
  };
  const auto pipe_file = tables::read_pipe_standard_file(sys::resolve(tables::kPipeStandardFile));
  note(FillMainPipeStandards(pipe_file ? &*pipe_file : nullptr));
  note(FillValveTypes());
  FillSecondPipeStandards(pipe_file ? &*pipe_file : nullptr);
  Picture1.set_visible(false);
  State.GridSolutionValid = 0;

  const Modul1::RegisterState& register_window = Modul1::Register;
  if (register_window.OpenedFromRegister) {
    Text2.set_text(L" " + ltrim(register_window.SelectedCalcNumber));
    OwnCalcId = Text2.text();
    Text8.set_text(L" " + ltrim(register_window.SelectedContract));
    Text3.set_text(register_window.SelectedObject);
    note(load_grid_record());
    if (RecordRefused) {
      ui::msg_box(L"Файл исходных данных расчета " + Modul1::Register.StoredInputPath +
                      L" поврежден: в нем нет записи расчета решетчатой системы. Данные расчета не загружены; "
                      L"сохраненные файлы расчета не изменены.",
                  MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
      unload();
      return;
    }
  } else {
    Text2.set_text(Modul1::Register.NewCalcId);
    OwnCalcId = Text2.text();
    Text8.set_text(L" " + Modul1::Register.NewCalcContract);
    Text3.set_text(L" " + ltrim(Modul1::Register.NewCalcObject));
  }
  if (!missing.empty()) {
    std::wstring text = L"Не удалось прочитать все данные расчета:";
    for (const auto& m : missing) text += L"\r\n- " + m + L";";
    text.back() = L'.';
    text += L"\r\nФорма открыта с теми данными, которые удалось прочитать.";
    ui::msg_box(text, MsgButtons::OK, MsgIcon::Exclamation, L"Предупреждение");
  }
}

// ---------------------------------------------------------------- buttons

void Form2::Command1_Click() { RunGridCalculation(); }

void Form2::Command2_Click() {
  if (print_report) print_report(*this);
}

void Form2::Command3_Click() { unload(); }

void Form2::Command4_Click() { Modul1::open_results_view(Modul1::EmptyReport::Open); }

void Form2::Command5_Click() {
  if (Picture1.visible()) {
    Picture1.set_visible(false);
    return;
  }
  Picture1.set_visible(true);
  DrawGridScheme();
}

// A click on the scheme brings it in front of the fields it covers.
void Form2::Picture1_Click() { Picture1.bring_to_front(); }

void Form2::Text1_LostFocus(int index) {
  auto texts = field_texts();
  if (!apply_field_rule(index, texts, State.EffectiveK)) return;
  for (int i : {0, 1, 7, 8, 18}) Text1(i).set_text(texts[static_cast<std::size_t>(i)]);
}

void Form2::DrawGridScheme() {
  Picture1.set_visible(false);
  Picture1.set_visible(true);
  Picture1.bring_to_front();
  Picture1.cls();
  const auto fields = field_texts();
  if (!grid::DrawGridScheme(Scheme, fields, Text4.text(), Picture1, Picture1.rect().width, Picture1.rect().height))
    return;
  if (const auto inlet = draw_feed_pipeline(Scheme, fields, Picture1)) Text1(16).set_text(*inlet);
  if (State.ResultsValidFlag != 1) return;
  // The operating sprinklers of the last valid calculation, from its report.
  const auto report = try_read_lines(sys::resolve(L"rezres.txt"));
  const MarkResult marked = report ? mark_operating_sprinklers(Scheme, *report) : MarkResult::NoTable;
  draw_operating_sprinklers(Scheme, Picture1);
  if (marked != MarkResult::Marked)
    ui::msg_box(L"Отчет о расчете rezres.txt отсутствует или неполон: вскрывшиеся оросители отмечены на схеме не "
                L"все или не отмечены.",
                MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
}

// ---------------------------------------------------------------- closing

void Form2::store_calculation() {
  Modul1::StoreOptions options;
  options.input_file = L"rezult2.txt";
  options.scheme_and_drawing = false;
  options.mirror = false;
  Modul1::Register.store_calculation({OwnCalcId, ltrim(Text8.text()), ltrim(Text3.text())}, options);
}

void Form2::keep_record_of_results(const std::vector<std::wstring>& input, const std::vector<std::wstring>& record) {
  RecordOfResults = {};
  if (input.size() < kGridRecordLines || record.size() < kGridRecordLines) return;
  RecordOfResults.input.assign(input.begin(), input.begin() + kGridRecordInputLines);
  RecordOfResults.results.assign(record.begin() + kGridRecordInputLines, record.begin() + kGridRecordLines);
}

std::vector<std::wstring> Form2::closing_record() const {
  auto lines = grid_record_at_closing(record_source());
  // Input data saved unchanged keep the results computed for them.
  const auto& kept = RecordOfResults;
  std::size_t line = 0;
  const auto same = [&line](const std::wstring& a, const std::wstring& b) { return same_record_line(line++, a, b); };
  if (!kept.input.empty() && std::equal(kept.input.begin(), kept.input.end(), lines.begin(), same))
    std::copy(kept.results.begin(), kept.results.end(), lines.begin() + kGridRecordInputLines);
  return lines;
}

void Form2::close_calculation() {
  const bool results_valid = State.ResultsValidFlag != 0;
  if (!results_valid) write_lines_atomic(sys::resolve(L"rezult2.txt"), closing_record());
  const MsgResult answer =
      results_valid ? ui::msg_box(L"Сохранить расчет?", MsgButtons::YesNo, MsgIcon::Question, L"Сохранение расчета")
                    : ui::msg_box(L"Расчет не выполнялся. Сохранить исходные данные?", MsgButtons::YesNo,
                                  MsgIcon::Question, L"Сохранение исходных данных");
  if (answer == MsgResult::Yes) {
    try {
      store_calculation();
    } catch (const std::exception& e) {
      ui::msg_box(L"Расчет сохранен не полностью: " + from_utf8(e.what()), MsgButtons::OK, MsgIcon::Critical,
                  L"Сохранение расчета");
    }
  }
}

void Form2::form_unload() {
  // A record that cannot be written is told, and nothing is stored; the
  // register comes back whatever happened. A refused record leaves nothing
  // to store.
  try {
    if (!RecordRefused) close_calculation();
  } catch (const FileError& e) {
    ui::show_file_error(e);
  } catch (const std::exception& e) {
    ui::msg_box(L"Расчет не сохранен: " + from_utf8(e.what()), MsgButtons::OK, MsgIcon::Critical,
                L"Сохранение расчета");
  }
  Modul1::Register.calculation_closed();
}

}  // namespace dorv::grid
