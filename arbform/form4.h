// Form4 "Расчет секции произвольной конфигурации": one calculation of a
// system of arbitrary configuration. It imports the network that the
// graphics application exported, shows its fields, tables and scheme, and
// stores the calculation in the register when it closes.
#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "arbcalc/arbrun.h"
#include "arbmodel/form4_state.h"
#include "arbmodel/problem_file.h"
#include "platform/form.h"

namespace dorv::arb {

class Form4 : public ui::Form {
 public:
  Form4();

  Form4State state;
  // The results file has been opened once in this run of the program: a
  // click on the scheme then only brings it to the front.
  int ResultsShown = 0;
  // "Печать" prints through this: the program hands its print command in
  // here, which gets the form's texts, its values and the size of its
  // scheme's box in twips.
  std::function<void(const NetworkFormTexts&, const Form4State&, int scheme_width, int scheme_height)> print_report;
  bool GivenInletPressureMode() const;
  void set_given_inlet_pressure_mode(bool on);
  // The texts and values of the form that a run of "Пуск" works on, and
  // what comes back shown on the form.
  NetworkFormTexts run_texts() const;
  void show_run_texts(NetworkFormTexts& texts);

  // ---- controls ----
  ui::Label& Label3 = add<ui::Label>(L"Label3", {120, 150, 1000, 285});
  ui::TextBox& Text2 = add<ui::TextBox>(L"Text2", {1140, 120, 1300, 315});
  ui::Label& Label6 = add<ui::Label>(L"Label6", {2640, 150, 1100, 285});
  ui::TextBox& Text8 = add<ui::TextBox>(L"Text8", {3780, 120, 1500, 315});
  ui::Label& Label4 = add<ui::Label>(L"Label4", {5460, 150, 800, 285});
  ui::TextBox& Text3 = add<ui::TextBox>(L"Text3", {6300, 120, 6060, 675});
  ui::Label& Label19 = add<ui::Label>(L"Label19", {3600, 1320, 1700, 285});
  ui::Label& Label20 = add<ui::Label>(L"Label20", {5400, 1320, 1500, 285});

  // The outlet groups: a row every 240 twips, its field no higher than the
  // space the first row leaves below its field's top (2304).
  ui::Label& Label11 = add<ui::Label>(L"Label11", {480, 2040, 3200, 240});
  std::array<ui::Label*, 4> Label1{};
  std::array<ui::TextBox*, 4> Text1{};
  ui::TextBox& Text20 = add<ui::TextBox>(L"Text20", {5520, 2280, 1200, 216});
  ui::TextBox& Text21 = add<ui::TextBox>(L"Text21", {5520, 3000, 1200, 216});
  ui::Label& Label14 = add<ui::Label>(L"Label14", {480, 3360, 3200, 240});
  ui::Label& Label15 = add<ui::Label>(L"Label15", {720, 3600, 3060, 240});
  ui::Label& Label16 = add<ui::Label>(L"Label16", {720, 3840, 3060, 240});
  ui::Label& Label17 = add<ui::Label>(L"Label17", {720, 4080, 3060, 240});
  ui::Label& Label18 = add<ui::Label>(L"Label18", {720, 4320, 3060, 240});
  ui::TextBox& Text16 = add<ui::TextBox>(L"Text16", {3840, 3600, 1200, 216});
  ui::TextBox& Text17 = add<ui::TextBox>(L"Text17", {3840, 3840, 1200, 216});
  ui::TextBox& Text18 = add<ui::TextBox>(L"Text18", {3840, 4080, 1200, 216});
  ui::TextBox& Text19 = add<ui::TextBox>(L"Text19", {3840, 4320, 1200, 216});
  ui::TextBox& Text22 = add<ui::TextBox>(L"Text22", {5520, 3600, 1200, 216});
  ui::TextBox& Text23 = add<ui::TextBox>(L"Text23", {5520, 4320, 1200, 216});
  ui::Label& Label12 = add<ui::Label>(L"Label12", {480, 4680, 3200, 240});
  ui::Label& Label5 = add<ui::Label>(L"Label5", {720, 4920, 3060, 240});
  ui::Label& Label9 = add<ui::Label>(L"Label9", {720, 5160, 3060, 240});
  ui::TextBox& Text11 = add<ui::TextBox>(L"Text11", {3840, 4920, 1200, 216});
  ui::TextBox& Text12 = add<ui::TextBox>(L"Text12", {3840, 5160, 1200, 216});
  ui::TextBox& Text24 = add<ui::TextBox>(L"Text24", {5520, 4920, 1200, 216});
  ui::TextBox& Text25 = add<ui::TextBox>(L"Text25", {5520, 5160, 1200, 216});
  ui::Label& Label13 = add<ui::Label>(L"Label13", {480, 5520, 3200, 240});
  ui::Label& Label8 = add<ui::Label>(L"Label8", {720, 5760, 3060, 240});
  ui::Label& Label10 = add<ui::Label>(L"Label10", {720, 6000, 3060, 240});
  ui::TextBox& Text13 = add<ui::TextBox>(L"Text13", {3840, 5760, 1200, 216});
  ui::TextBox& Text14 = add<ui::TextBox>(L"Text14", {3840, 6000, 1200, 216});
  ui::TextBox& Text26 = add<ui::TextBox>(L"Text26", {5520, 5760, 1200, 216});
  ui::TextBox& Text27 = add<ui::TextBox>(L"Text27", {5520, 6000, 1200, 216});

  std::array<ui::Label*, 4> Label2{};
  // Pipes and valve, under the scheme's box like the groups above them.
  ui::TextBox& Text9 = add<ui::TextBox>(L"Text9", {1800, 6360, 5160, 285});
  ui::TextBox& Text10 = add<ui::TextBox>(L"Text10", {1800, 6720, 5160, 285});
  ui::TextBox& Text15 = add<ui::TextBox>(L"Text15", {1800, 7080, 5160, 285});

  std::array<ui::Label*, 10> Label7{};
  std::array<ui::TextBox*, 3> Text5{};
  std::array<ui::TextBox*, 3> Text6{};

  ui::CommandButton& Command4 = add<ui::CommandButton>(L"Command4", {7320, 5160, 2400, 495});
  ui::CommandButton& Command5 = add<ui::CommandButton>(L"Command5", {9960, 5160, 2400, 495});
  ui::CommandButton& Command8 = add<ui::CommandButton>(L"Command8", {7320, 5760, 2400, 495});
  ui::CommandButton& Command7 = add<ui::CommandButton>(L"Command7", {9960, 5760, 2400, 495});
  ui::CommandButton& Command1 = add<ui::CommandButton>(L"Command1", {7320, 6360, 2400, 495});
  ui::CommandButton& Command6 = add<ui::CommandButton>(L"Command6", {9960, 6360, 2400, 495});
  ui::CommandButton& Command2 = add<ui::CommandButton>(L"Command2", {7320, 6960, 2400, 495});
  ui::CommandButton& Command3 = add<ui::CommandButton>(L"Command3", {9960, 6960, 2400, 495});

  ui::TextBox& Text4 = add<ui::TextBox>(L"Text4", {7200, 1320, 5160, 3720});
  ui::PictureBox& Picture1 = add<ui::PictureBox>(L"Picture1", {120, 1680, 6960, 5880});

  // ---- procedures ----
  void LoadGraphicsData();
  void ResetGroupLayout();
  void HideOutletGroups();
  void RestackOutletGroups(const GroupFlags& present);
  // Every row of the groups of these outlet kinds (main sprinklers, rack
  // sprinklers, deluge heads, fire cocks) shown, the groups stacked as the
  // import stacks them.
  void show_outlet_groups(const std::array<bool, 4>& kinds);

  // ---- event procedures ----
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Command8_Click();
  void Picture1_Click();
  void Text1_LostFocus(int index);
  void Text16_LostFocus();
  void Text17_LostFocus();
  void Text18_LostFocus();
  void Text19_LostFocus();

 protected:
  void form_load() override;
  void form_unload() override;

 private:
  std::vector<ui::Control*> group_controls() const;
  // What the import hides before it shows the rows its head lines fill.
  std::vector<ui::Control*> hideable_controls() const;
  // The controls of one outlet group, by its kind.
  std::vector<ui::Control*> outlet_group(int kind) const;
  void restore_design_tops();
  // The field rules of the rack sprinklers' field `index` (0 to 3).
  void rack_field_left(int index);
  // The groups as the form is designed: every row shown.
  void show_design_groups();
  // The controls of the row that head line `line` fills.
  std::vector<ui::Control*> head_line_row(int line) const;
  // The single text boxes whose texts a run of "Пуск" reads and shows back,
  // each with its field of NetworkFormTexts.
  std::array<std::pair<std::wstring NetworkFormTexts::*, ui::TextBox*>, 22> run_text_boxes() const;
  void show_import(const NetworkImport& import);
  void tell_import_messages(const NetworkImport& import);
  // Where the calculation's stored input lies when it was opened from the
  // register's list; empty for one that is new.
  std::wstring stored_input_path() const;
  void upgrade_working_file();
  bool store_calculation();
  std::vector<std::wstring> input_texts() const;
  bool store_input_data();
  std::vector<int> saved_group_tops_;
};

}  // namespace dorv::arb
