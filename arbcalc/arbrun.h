// The calculation behind Form4's "Пуск": the values one run hands from stage
// to stage and the stages themselves, each in a file of its own. The stages
// are plain functions over the form's texts and values, so that the form
// hands them in and shows what comes back, and the tests drive them without a
// form; questions go through the host's message and input boxes. A stage
// works on them and on the working files of the program folder; a stage that
// refuses has told the user why and ends the run.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "arbmodel/field_values.h"
#include "arbmodel/form4_state.h"
#include "arbmodel/form_texts.h"
#include "platform/command_wait.h"

namespace dorv::arb {

// What the run asks of the form around it.
struct NetworkRunHooks {
  // Shows the texts on the form: after an import, before a question about
  // them and before the solver's wait, so that the user sees what the run
  // works on. An import and the groups to show are shown once (an import's
  // messages after it): ImportToShow and GroupsToShow come back empty.
  std::function<void(NetworkFormTexts&)> show_texts;
  // The command file's start, its end and the pause; empty: the host's own.
  ui::CommandFileCalls calls;
  // What the register knows of the calculation: its kind code while it is
  // new ("TI": a network imported now), where its stored input lies when it
  // was opened from the list (empty otherwise), the version the report names
  // and the executor who signs it.
  std::wstring calc_id;
  std::wstring stored_input_path;
  std::wstring program_version;
  std::wstring executor_name;
};

enum class StageEnd { Continue, Stop };

// One row of spr.in: fields 1 to 12 (index 0 unused), as text.
using ProblemRow = std::array<std::wstring, 13>;

struct ArbRun {
  ArbRun(NetworkFormTexts& texts, Form4State& state, const NetworkRunHooks& hooks)
      : f(texts), s(state), hooks(hooks) {}
  NetworkFormTexts& f;
  Form4State& s;
  const NetworkRunHooks& hooks;

  // Values of this run only.
  std::wstring GivenHeadText;
  std::array<double, 4> FreeHead{};  // required free heads by kind (main, rack, deluge, fire cock)
  double RackSprinklerK = 0, DelugeK = 0, FireCockK = 0;
  double HighestFreeHead = 0;
  double HeadScaleFactor = 0, NeededInletHead = 0, InletHead = 0, InletFlow = 0;
  std::vector<ProblemRow> ProblemRows;
  // The lines of spr.out as the last solve read them, and how many.
  std::vector<std::wstring> AnswerLines;
  int AnswerLineCount = 0;
  int Iteration = 0;
  std::wstring ErrorText;  // the balance error in per cent, as the report writes it

  // The current K-factor of an outlet kind.
  double current_k(int kind) const;
};

// The most iterations of the given-inlet-head loop before the run gives up.
inline constexpr int kMaxHeadIterations = 30;

// The valve text of a valve designation: between "(" and "-", before "-"
// without "(", the whole text with neither, nothing with "(" alone.
std::wstring valve_text(const std::wstring& designation);

// Refuses: an OK-only box with the title, the run ends.
StageEnd refuse(const std::wstring& text, const std::wstring& title);
// Refuses a value outside its range as too small or too large, naming what
// it is; a value read as an infinity (a number longer than any double holds)
// is too large.
StageEnd refuse_out_of_range(const std::wstring& what, RangeFault fault);
StageEnd refuse_too_large(const std::wstring& what);

// ---- the stages, in the order the run takes them ----
// Checks of loaded data and version, the given inlet head, the form's data.
StageEnd check_and_take_input(ArbRun& run);
// The iterations of problem file, outlet data, solve and inlet-head decision.
StageEnd GivenPressureLoop(ArbRun& run);
//   spr.in read into ProblemRows, four-link junctions split, written back.
StageEnd rebuild_problem_file(ArbRun& run);
//   the outlets' K-factors and heads brought into spr.in, heads scaled.
StageEnd write_outlet_data(ArbRun& run);
//   result fields prepared, valve type taken, solver run, head line read.
StageEnd solve_network(ArbRun& run);
//   given head checks; true in `again` when another iteration is needed.
StageEnd decide_inlet_head(ArbRun& run, bool& again);
// spr.out into AnswerRows; the flow balance.
StageEnd read_answer_rows(ArbRun& run);
// Free heads, flows and velocities of every pipe section.
StageEnd SectionFlows(ArbRun& run);
// The velocity of one section, with the warning above 10 m/s.
StageEnd VelocityCheck(ArbRun& run, std::size_t row, double flow);
// The valve loss, the heads around the control unit, outlet flows, result fields.
StageEnd control_unit_and_results(ArbRun& run);
// rezult1.txt: the head lines from the fields, the results after "#####4".
StageEnd update_network_record(ArbRun& run);
// rezres.txt.
StageEnd WriteNetworkReport(ArbRun& run);

// The whole run of "Пуск"; true when every stage ran.
bool run_arbitrary_calculation(NetworkFormTexts& texts, Form4State& state, const NetworkRunHooks& hooks);

}  // namespace dorv::arb
