// The values of Form4 that its opening, import, calculation and printout
// share, apart from the texts of its fields. They hold no user interface, so
// that the calculation can work on them without the form.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "arbmodel/cells.h"
#include "arbmodel/network_tables.h"
#include "arbmodel/problem_file.h"
#include "tables/pipe_standard.h"

namespace dorv::arb {

using tables::kNoStandard;
using tables::PipeRow;
using tables::PipeTable;

// K-factor and required free head of main sprinklers, rack sprinklers,
// deluge heads and fire cocks.
struct OutletData {
  double k = 0, head = 0;
};

// The field of a sprinkler group that the import or a field rule computed
// from the others: the free head from intensity, area and K-factor, or the
// intensity from free head, area and K-factor.
enum class ComputedField { None, FreeHead, Intensity };

// What the opening and the import of the network data give the form, and
// the input values its fields' rules keep: every run starts from them.
struct ImportedValues {
  double DataVersion = 0;
  double GivenInletHead = 0;
  int NetworkLoaded = 0;
  std::wstring NetworkFileName = L"rezult1.txt";
  int ControlUnitOnSection = 0;
  std::wstring ControlUnitSectionStart, ControlUnitSectionEnd;
  std::wstring LoadedValveLine;
  double LoadedMainIntensity = 0;
  // By outlet kind, as the loaded file holds them.
  std::array<OutletData, 4> OutletDataInFile{};
  double LoadedHighestFreeHead = 0;
  double MainSprinklerK = 0;
  // Of the main (kMainKind) and the rack sprinklers (kRackKind): the field
  // last computed, which goes when a value it was computed from changes.
  std::array<ComputedField, 2> SprinklerComputedField{};
  // The outlet groups the network holds, as the import stacked them.
  GroupFlags OutletGroups;
  std::vector<NodeNumber> NodeNumberMap;
  Table NodeTable, OutletTable, SectionTable;
  double NodeCount = 0, OutletListSize = 0, SectionCount = 0;
  PipeTable MainPipeTable, SecondPipeTable;
  double MainPipeRows = 0, SecondPipeRows = 0;
  std::wstring MainStandardPhrase;
  // The problem file and its outlet data as the import made them: every run
  // starts from them, so that heads scaled for a given inlet head never
  // reach the next run.
  std::vector<std::wstring> ImportedProblem;
  std::array<OutletData, 4> ImportedOutletData{};
  // The export was converted in this opening of the form: the user's import
  // exists nowhere else until the calculation is stored.
  bool ExportImported = false;
  // The input fields as the last import left them: closing without a run
  // asks to keep them only when they were edited since.
  std::vector<std::wstring> LoadedInputTexts;
};

// Values of the calculation ("Пуск") that outlive one run: the printer and
// the next run read them.
struct RunValues {
  int CalculationStarted = 0;
  int CalculationEndedFlag = 0;
  Table AnswerRows;
  double BalanceFactor = 1, BalanceError = 0;
  std::wstring ValveTypeName;
  double ReferenceLevel = 0;
  std::wstring ValveDiameter;
  double ValveCoefficient = 0, ValveLoss = 0;
};

// What a completed run leaves for its report and the printout.
struct PrintoutValues {
  std::wstring SecondStandardNote;
  int ControlUnitSectionRow = 0;
  double MainFlowSum = 0, RackFlowSum = 0, DelugeFlowSum = 0, FireCockFlowSum = 0;
  // The tables, rezres.txt and the result fields belong to one completed run:
  // a run that stops half way leaves them mixed, and nothing may print them.
  int ResultsValid = 0;
};

// The form's values that its load, buttons, import, calculation and
// printing share.
struct Form4State {
  ImportedValues imported;
  RunValues run;
  PrintoutValues printout;
};

enum OutletKindIndex { kMainKind = 0, kRackKind = 1, kDelugeKind = 2, kFireCockKind = 3 };

}  // namespace dorv::arb
