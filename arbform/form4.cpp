// Form4's controls with their captions and events, its opening for a
// calculation from the register or a new one, and its buttons.
#include "arbform/form4.h"

#include "arbmodel/form4_files.h"
#include "arbmodel/head_lines.h"
#include "arbmodel/network_file.h"
#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "register/modul1.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::arb {
namespace Modul1 = reg::Modul1;
using ui::MsgButtons;
using ui::MsgIcon;

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
void Form4::set_given_inlet_pressure_mode(bool on) { Command6.set_back_color(on ? kGivenHeadColour : ui::kButtonFace); }

// ---------------------------------------------------------------- load

void Form4::form_load() {
  // The form lives as long as the program, and an import moves its groups:
  // every opening starts from the designed layout, or the moves of the last
  // opening would add up with this one's.
  if (saved_group_tops_.empty())
    for (ui::Control* c : group_controls()) saved_group_tops_.push_back(c->rect().top);
  ResetGroupLayout();
  // Shown as designed too: an import hides the groups its network lacks, and
  // a calculation without network data (a new "TN" one) imports nothing.
  show_design_groups();
  // Nothing of an earlier calculation may reach this one: every value that
  // a run, a save or a printout reads is set afresh here.
  state = Form4State{};
  set_given_inlet_pressure_mode(false);
  Picture1.set_visible(false);
  Text4.set_visible(false);
  Command5.set_enabled(true);
  for (int i = 0; i < 3; ++i) Text5[i]->set_text(L"");
  // The fields too: a calculation without network data (a new "TN" one)
  // starts from an empty form, not from the last one's values.
  for (ui::TextBox* t : {Text1[0], Text1[1], Text1[2], Text1[3], &Text9, &Text10, &Text11, &Text12, &Text13, &Text14,
                         &Text15, &Text16, &Text17, &Text18, &Text19, &Text4})
    t->set_text(L"");

  const Modul1::RegisterState& f1 = Modul1::Register;
  std::vector<std::wstring> results(5);
  bool stored = false;
  if (!f1.OpenedFromRegister) {
    Text2.set_text(L" " + ltrim(Modul1::Register.NewCalcId));
    Text8.set_text(L" " + ltrim(Modul1::Register.NewCalcContract));
    Text3.set_text(Modul1::Register.NewCalcObject);
  } else {
    Text2.set_text(L" " + ltrim(f1.SelectedCalcNumber));
    Text8.set_text(L" " + f1.SelectedContract);
    Text3.set_text(f1.SelectedObject);
    upgrade_working_file();
    const auto lines = read_file_lines(L"rezult1.txt").value_or(std::vector<std::wstring>{});
    const auto block = read_stored_results(lines);
    if (!block) {
      const std::string bytes = try_read_bytes(sys::resolve(L"rezult1.txt")).value_or("");
      const bool line_end = !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
      try {
        sys::create_empty(L"rezult1.txt");
      } catch (const FileError&) {
        // The working copy then keeps the stored record it was copied from:
        // nothing is lost, and the form loads no data either way.
      }
      if (const std::wstring fault = check_record_without_results(lines, line_end); !fault.empty()) {
        ui::msg_box(L"Файл исходных данных расчета " + Modul1::Register.StoredInputPath + L" поврежден: " + fault +
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
    state.imported.ControlUnitOnSection = 1;
    state.imported.ControlUnitSectionStart = results[3];
    state.imported.ControlUnitSectionEnd = results[4];
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
  state.imported.LoadedInputTexts = input_texts();
  // A stored calculation brings the report of its last completed run.
  if (stored && state.imported.NetworkLoaded == 1 && reg::nonempty_file(L"rezres.txt")) state.printout.ResultsValid = 1;
}

void Form4::upgrade_working_file() {
  const auto lines = read_file_lines(L"rezult1.txt");
  if (!lines) return;
  const auto upgraded = upgrade_layout(*lines);
  if (upgraded != *lines) write_file_lines(L"rezult1.txt", upgraded);
  if (upgraded.size() > 5 && split_pipe_line(upgraded[5]).given_inlet_head) set_given_inlet_pressure_mode(true);
}

// ---------------------------------------------------------------- buttons

void Form4::Command2_Click() {
  if (print_report) print_report(run_texts(), state, Picture1.rect().width, Picture1.rect().height);
}

void Form4::Command3_Click() { unload(); }

void Form4::Command5_Click() {
  if (Modul1::open_results_view(Modul1::EmptyReport::Skip)) ResultsShown = 1;
}

void Form4::Command6_Click() { set_given_inlet_pressure_mode(!GivenInletPressureMode()); }

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

}  // namespace dorv::arb
