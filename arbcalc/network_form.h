// What a run of "Пуск" works on: the arbitrary network form's fields,
// captions and buttons, its values, and the form's own procedures that the
// run calls (the import, the pipe tables, the field rules, the inlet-head
// mode). The form hands one in; the calculation never needs the form class.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "arbform/form4_state.h"
#include "platform/controls.h"

namespace dorv::arb {

struct NetworkForm {
  Form4State& state;

  // ---- fields and their captions ----
  ui::TextBox& Text2;
  ui::TextBox& Text3;
  ui::TextBox& Text8;
  ui::TextBox& Text9;
  ui::TextBox& Text10;
  ui::TextBox& Text15;
  // Main sprinklers (Text1, Label1), rack sprinklers (Text16 to Text19,
  // Label15 to Label18), deluge heads (Text11, Text12, Label5, Label9) and
  // fire cocks (Text13, Text14, Label8, Label10), each group under its
  // heading (Label11, Label14, Label12, Label13).
  std::array<ui::TextBox*, 4> Text1;
  std::array<ui::Label*, 4> Label1;
  ui::TextBox& Text11;
  ui::TextBox& Text12;
  ui::TextBox& Text13;
  ui::TextBox& Text14;
  ui::TextBox& Text16;
  ui::TextBox& Text17;
  ui::TextBox& Text18;
  ui::TextBox& Text19;
  ui::Label& Label5;
  ui::Label& Label8;
  ui::Label& Label9;
  ui::Label& Label10;
  ui::Label& Label11;
  ui::Label& Label12;
  ui::Label& Label13;
  ui::Label& Label14;
  ui::Label& Label15;
  ui::Label& Label16;
  ui::Label& Label17;
  ui::Label& Label18;
  // The design values by the groups: intensity and head of the main and the
  // rack sprinklers, flow and head of the deluge heads and the fire cocks.
  ui::TextBox& Text20;
  ui::TextBox& Text21;
  ui::TextBox& Text22;
  ui::TextBox& Text23;
  ui::TextBox& Text24;
  ui::TextBox& Text25;
  ui::TextBox& Text26;
  ui::TextBox& Text27;
  // The results of this run and of the one before.
  std::array<ui::TextBox*, 3> Text5;
  std::array<ui::TextBox*, 3> Text6;
  ui::PictureBox& Picture1;
  ui::CommandButton& Command5;
  ui::CommandButton& Command6;

  // ---- the form's procedures ----
  std::function<void()> LoadGraphicsData;
  std::function<void()> LoadMainPipeTable;
  std::function<void()> LoadSecondPipeTable;
  std::function<std::vector<std::wstring>()> head_lines_from_fields;
  std::function<void(int)> Text1_LostFocus;
  std::function<void()> Text16_LostFocus;
  std::function<void()> Text19_LostFocus;
  // Shows every row of the outlet groups of these kinds (by OutletKindIndex).
  std::function<void(const std::array<bool, 4>&)> show_outlet_groups;
  std::function<bool()> GivenInletPressureMode;
  std::function<void(bool)> set_given_inlet_pressure_mode;
};

}  // namespace dorv::arb
