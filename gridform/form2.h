// Form2, "Расчет объекта с решеткой": the window of one grid-system
// calculation. The register prepares the working files and shows it for a
// calculation opened from the list or for a new one; closing it stores the
// calculation or not and returns to the register.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "gridform/gridrecord.h"
#include "gridform/gridrun.h"
#include "gridform/scheme.h"
#include "platform/form.h"

namespace dorv::grid {

class Form2 : public ui::Form {
 public:
  Form2();

  // ---- controls ----
  // Header.
  ui::Label& Label2 = add<ui::Label>(L"Label2", {120, 150, 900, 255});
  ui::TextBox& Text2 = add<ui::TextBox>(L"Text2", {1020, 120, 1000, 315});
  ui::Label& Label3 = add<ui::Label>(L"Label3", {2200, 150, 1000, 255});
  ui::TextBox& Text8 = add<ui::TextBox>(L"Text8", {3200, 120, 1500, 315});
  ui::Label& Label4 = add<ui::Label>(L"Label4", {4900, 150, 700, 255});
  ui::TextBox& Text3 = add<ui::TextBox>(L"Text3", {5600, 120, 6000, 315});
  // The 19 input fields, each under the label of the same index; a field is
  // wide enough for what a run writes into it ("120 (14 оросит.)").
  ui::ControlArray<ui::Label>& Label1 =
      add_array<ui::Label>(L"Label1", 0, 18, [](int i) { return ui::Rect{120, 600 + i * 315, 3700, 255}; });
  ui::ControlArray<ui::TextBox>& Text1 =
      add_array<ui::TextBox>(L"Text1", 0, 18, [](int i) { return ui::Rect{3900, 570 + i * 315, 1600, 300}; });
  // Pipe standards and valve.
  ui::Label& Label5 = add<ui::Label>(L"Label5", {5800, 630, 900, 255});
  ui::ControlArray<ui::ComboBox>& Combo1 =
      add_array<ui::ComboBox>(L"Combo1", 0, 1, [](int i) { return ui::Rect{6700, i == 0 ? 600 : 1440, 4900, 315}; });
  ui::Label& Label6 = add<ui::Label>(L"Label6", {5800, 1050, 900, 255});
  ui::ComboBox& Combo2 = add<ui::ComboBox>(L"Combo2", {6700, 1020, 4900, 315});
  ui::Label& Label8 = add<ui::Label>(L"Label8", {5800, 1470, 900, 255});
  // Feed pipeline.
  ui::Label& Label9 = add<ui::Label>(L"Label9", {5800, 1950, 5800, 255});
  ui::TextBox& Text4 = add<ui::TextBox>(L"Text4", {5800, 2220, 5800, 315});
  // Results of the current and of the previous calculation.
  ui::Label& Label10 = add<ui::Label>(L"Label10", {8950, 2760, 1400, 255});
  ui::Label& Label11 = add<ui::Label>(L"Label11", {10350, 2760, 1450, 255});
  ui::ControlArray<ui::Label>& Label7 =
      add_array<ui::Label>(L"Label7", 0, 3, [](int i) { return ui::Rect{5800, 3090 + i * 390, 3100, 255}; });
  ui::ControlArray<ui::TextBox>& Text5 =
      add_array<ui::TextBox>(L"Text5", 0, 3, [](int i) { return ui::Rect{8950, 3060 + i * 390, 1250, 315}; });
  ui::ControlArray<ui::TextBox>& Text6 =
      add_array<ui::TextBox>(L"Text6", 0, 3, [](int i) { return ui::Rect{10350, 3060 + i * 390, 1250, 315}; });
  // The on-screen scheme, over the input fields while it is shown.
  ui::PictureBox& Picture1 = add<ui::PictureBox>(L"Picture1", {120, 570, 5400, 5970});
  // Buttons.
  ui::CommandButton& Command1 = add<ui::CommandButton>(L"Command1", {5800, 4800, 1800, 495});
  ui::CommandButton& Command2 = add<ui::CommandButton>(L"Command2", {7750, 4800, 1800, 495});
  ui::CommandButton& Command4 = add<ui::CommandButton>(L"Command4", {9700, 4800, 1900, 495});
  ui::CommandButton& Command5 = add<ui::CommandButton>(L"Command5", {5800, 5500, 3750, 495});
  ui::CommandButton& Command3 = add<ui::CommandButton>(L"Command3", {9700, 5500, 1900, 495});

  // ---- module-level values ----
  // Those the calculation stages share with the form.
  GridFormState State;
  // The scheme as the last drawing left it; the report printer reads it.
  GridScheme Scheme;
  // The calculation's identifier as the register gave it at load. The record
  // and the catalog entry are stored under it, whatever the editable number
  // field shows by then.
  std::wstring OwnCalcId;
  // The record whose totals and results belong to the working report: the
  // stored one as loaded, or the one the last completed run wrote, split
  // into its input lines and the lines after them. Closing without a run
  // keeps those results while the form's input is still theirs.
  struct RecordParts {
    std::vector<std::wstring> input;
    std::vector<std::wstring> results;
  } RecordOfResults;
  // The stored input opened is no grid record: the form closes at once and
  // stores nothing.
  bool RecordRefused = false;

  // The form's fields as the input record stores them, and back.
  GridRecordSource record_source() const;
  std::array<std::wstring, kGridFieldCount> field_texts() const;

  // "Печать" prints through this; the printed report builds on the form, so
  // the program hands its print command in here.
  std::function<void(Form2&)> print_report;

  // ---- procedures ----
  void Command1_Click();  // "Пуск"
  void Command2_Click();  // "Печать"
  void Command3_Click();  // "ВЫХОД"
  void Command4_Click();  // "Результ. файл"
  void Command5_Click();  // "Расч. схема Результаты"
  void Picture1_Click();
  void Text1_LostFocus(int index);
  // The calculation behind "Пуск".
  void RunGridCalculation();
  // Draws the scheme of the fields into Picture1 and leaves its model in State.
  void DrawGridScheme();

 protected:
  void form_load() override;
  void form_unload() override;

 private:
  // The list fills; each returns what it could not read, empty when all was well.
  std::wstring FillMainPipeStandards(const std::vector<std::wstring>* pipe_file);
  std::wstring FillValveTypes();
  void FillSecondPipeStandards(const std::vector<std::wstring>* pipe_file);
  // Fills the form from the stored record; what could not be read, or empty.
  std::wstring load_grid_record();
  // Stores the record into the catalog and the calculation's storage.
  void store_calculation();
  // Writes the record of a form closed without a completed run, asks whether
  // to keep the calculation and stores it on Yes.
  void close_calculation();
  // The record the form writes when it closes without a completed run.
  std::vector<std::wstring> closing_record() const;
  // RecordOfResults: the input lines of `input` and the result lines of
  // `record` (both whole records).
  void keep_record_of_results(const std::vector<std::wstring>& input, const std::vector<std::wstring>& record);
};

// The texts of the form's controls as the calculation and the reports read them.
GridFormTexts texts_of(const Form2& form);

}  // namespace dorv::grid
