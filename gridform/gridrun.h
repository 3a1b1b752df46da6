// The grid calculation behind "Пуск": the values it works on and the stages
// it runs. The stages are plain functions over these structures, so that the
// form hands them its controls' texts and its form-level values, and the
// tests drive them without a form. Questions go through the host's message
// and input boxes.
#pragma once
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tables/pipe_standard.h"

namespace dorv::grid {

using tables::PipeRow;
using tables::PipeTable;

// The captions of the input fields (Form2's Label1), as the form shows them.
inline constexpr std::array<const wchar_t*, 19> kGridFieldCaptions{
    L"Мин. своб. напор перед оросителем, м в.cт",
    L"Коэффициент К-фактор оросителя",
    L"Расчетная площадь орошения, м2",
    L"Количество рядков оросит. в решетке",
    L"Количество оросителей в рядке",
    L"   из них  на тупике за основной трубой",
    L"   из них на тупике за дополнит. трубой",
    L"Расстояние между оросителями в рядке, м",
    L"Расстояние между рядками оросителей, м",
    L"Переп. высот между оросит. и рядком, м",
    L"Условный диаметр патрубка оросителя, мм",
    L"Условный диаметр трубы рядка, мм",
    L"Усл. диаметр основной трубы решетки, мм",
    L"Усл. диаметр дополнит. трубы решетки, мм",
    L"Усл. диаметр параллельной трубы, мм",
    L"Условн. диаметр кольцующей трубы, мм",
    L"Расст. от осн. трубы до места ввода в реш., м",
    L"Перепад высот между рядками и трубами, м",
    L"Интенсивность орошения, л/с.м2",
};

// The texts of Form2's controls that a run reads and writes.
struct GridFormTexts {
  std::array<std::wstring, 19> Text1;   // the input fields
  std::array<std::wstring, 19> Label1;  // their captions, used in the prompts
  std::wstring Text2;                   // calculation number
  std::wstring Text3;                   // object
  std::wstring Text8;                   // contract
  std::wstring Combo1_0;                // main pipe standard
  std::wstring Combo1_1;                // valve: a name, a size line or a typed coefficient
  std::wstring Combo2;                  // second pipe standard
  std::wstring Text4;                   // feed pipeline
  std::array<std::wstring, 4> Text5;    // results of this run
  std::array<std::wstring, 4> Text6;    // results of the previous one
};

// GridFieldValues: rows 0..18 (the fields), columns 0..3: column 1 the
// value taken for the run as text (" нет" when absent), column 2 the field's
// absence class ("1" may be given as absent, "2" the branch pipe whose
// diameter may be chosen automatically, empty when required), column 3 "1"
// for a diameter field.
using GridFieldTable = std::array<std::array<std::wstring, 4>, 19>;
enum class FieldClass { Required, MayBeAbsent, BranchPipe };
inline FieldClass field_class(const GridFieldTable& t, int i) {
  return t[i][2] == L"1" ? FieldClass::MayBeAbsent : t[i][2] == L"2" ? FieldClass::BranchPipe : FieldClass::Required;
}
inline bool is_diameter_field(const GridFieldTable& t, int i) { return t[i][3] == L"1"; }

// One section of the feed pipeline as the run computed it.
struct FeedSection {
  int number = 0;
  double head_end = 0;    // head at the control-unit end, rounded to 0.01
  double head_start = 0;  // head at the grid end: the previous row's head_end
  double flow = 0;        // rounded to 0.01
  double length = 0;
  double height = 0;
  std::wstring diameter;  // the diameter computed, with "*" for the second standard
  std::wstring text;      // the section as written in the feed pipeline string
  bool second_table = false;
  int row = 0;  // row of the pipe table used (from 1)
};

struct FeedSectionTable {
  double total_head = 0;  // row 0: head at the grid inlet
  double total_flow = 0;
  std::vector<FeedSection> sections;
};

// The form-level values that live while the form is loaded.
struct GridFormState {
  int ResultsValidFlag = 0;
  int GridSolutionValid = 0;
  int EarlierRunFlag = 0;
  int SolverChoice = 0;
  int BranchRowWritten = 0;
  double EffectiveK = 0;
  double TotalHead = 0;
  double TotalFlow = 0;
  double RowPipeHeight = 0;
  std::wstring ValveSelection;
  GridFieldTable GridFieldValues{};
  std::wstring LastContractAnswer;
  std::wstring LastObjectAnswer;
  PipeTable MainPipeTable;
  PipeTable SecondPipeTable;
  std::wstring MainStandardPhrase;
  std::wstring SecondStandardPhrase;
  FeedSectionTable FeedSectionResults;
  // Total height difference of the last completed run: the rows' height over
  // the pipes plus the feed sections' heights (line 28 of the record).
  double TotalHeightDifference = 0;
  // The last completed run, whose report and grid result lie in the program
  // folder: the form's input as the run left it (input_texts), and the
  // solver choice of the run that wrote spr.out, whose layout it tells.
  std::vector<std::wstring> ResultsInput;
  int ResultsSolverChoice = 0;
};

// The form's input texts in one list: header, fields, standards, valve and
// feed pipeline; the results and captions are not input.
std::vector<std::wstring> input_texts(const GridFormTexts& form);

// Values one run hands from stage to stage.
struct GridRunLocals {
  std::wstring KFactorText;
  long long SprinklersInFireSquare = 0;
  // Table rows found for the pipe fields 10 to 15 (index field - 10), in the
  // main and in the second table; 0 when none.
  std::array<int, 6> MainRow{};
  std::array<int, 6> SecondRow{};
  double FeedHead = 0;     // running head of the feed pipeline
  double FeedHeight = 0;   // running static height
  double ValveLoss = 0;
};

// How a stage ends.
enum class StageEnd {
  Continue,    // the next stage follows
  CommonExit,  // the run ends; the form keeps what it shows
  ShortExit,   // the run ends without counting as a run
  GiveUp,      // the user gave up: the input record is written, then the common exit
};

// What the run asks of the form and the program around it.
struct GridRunHooks {
  // The contract of the entry selected in the register.
  std::wstring selected_contract;
  // Loads MainPipeTable (and SecondPipeTable) from the pipe standard file;
  // Continue, or ShortExit after its message.
  std::function<StageEnd(GridFormTexts&, GridFormState&)> load_pipe_tables;
  // Draws the scheme from the form's texts (without results when the run
  // has not completed).
  std::function<void()> draw_scheme;
  // Writes the grid input record from the form; given_up for the record of a
  // run the user gave up.
  std::function<void(bool given_up)> write_input_record;
  // Hides the scheme (after the drawing that marks a completed run's results).
  std::function<void()> hide_scheme;
  // The version named in the report's first line and the executor who signs it.
  std::wstring program_version;
  std::wstring executor_name;
  // Shows the texts on the form (before the solver's wait, so that the user
  // sees the completed fields while it runs).
  std::function<void()> show_texts;
  // Starts a command file of the program folder without waiting; false when
  // it could not be started.
  std::function<bool(const std::wstring& name)> start_command_file;
  // True while the command file last started is still running.
  std::function<bool()> command_file_running;
  // The pause that keeps the window alive while the solver runs (the
  // form's one-second wait): the solver's flag is looked for after each.
  std::function<void()> pause;
};

// Everything one run works on. The files of the run (spr.in, spr.out,
// prom.in, rezult2.txt, trub.inf, klap.inf) lie in the program folder.
struct GridRun {
  GridFormTexts& form;
  GridFormState& state;
  const GridRunHooks& hooks;
  std::filesystem::path folder;
  GridRunLocals local{};
  std::filesystem::path file(const std::filesystem::path& name) const { return folder / name; }
};

// The table row found by the field stage for a grid pipe (field 10 to 15):
// in the main table when only a main row was found, in the second when only
// a second row was; nothing otherwise.
std::optional<PipeRow> grid_pipe_row(const GridRun& run, int field);

// "Пуск": every stage in order, leaving through the common exit, the short
// exit or the give-up path.
void RunGridCalculation(GridFormTexts& form, GridFormState& state, const GridRunHooks& hooks,
                        const std::filesystem::path& folder);

// ---- the stages, in the order the run takes them ----
// Entry: flags cleared, results shifted, a main standard chosen.
StageEnd run_entry(GridRun& run);
// Field classes set; the input compared with the stored record.
StageEnd compare_with_record(GridRun& run);
// Contract, object, valve, free head or intensity.
StageEnd ask_header_and_valve(GridRun& run);
// Fields 1 to 18, the sprinklers in the fire square, the solver choice and
// the refusals of implausible input.
StageEnd take_grid_fields(GridRun& run);
// The feed pipeline asked for when empty, checked, and the run confirmed.
StageEnd AskFeedPipeline(GridRun& run);
// spr.in (17 lines).
StageEnd WriteGridParameterFile(GridRun& run);
// spr.out emptied, prom.in created, the command file started and waited for.
StageEnd RunGridSolver(GridRun& run);
// Totals and the branch-line table of spr.out, with the velocity checks.
StageEnd ReadGridResult(GridRun& run);
// The feed pipeline from the grid inlet to the control unit.
StageEnd CalculateFeedPipeline(GridRun& run);
// The control unit's valve and the four results.
StageEnd show_results(GridRun& run);
// The report rezres.txt (gridreport.h).
StageEnd BuildGridReport(GridRun& run);

}  // namespace dorv::grid
