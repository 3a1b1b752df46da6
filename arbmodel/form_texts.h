// The network form's texts as values: what the calculation and the printout
// read of the form's controls, without the form.
#pragma once
#include <array>
#include <optional>
#include <string>

#include "arbmodel/network_import.h"

namespace dorv::arb {

// The texts of Form4's controls that a run of "Пуск" reads and writes and
// the printout reads, and what else of the form they read and change: the
// form hands them out and shows what comes back.
struct NetworkFormTexts {
  std::wstring Text2;   // calculation number
  std::wstring Text3;   // object
  std::wstring Text8;   // contract
  std::wstring Text9;   // main pipe standard
  std::wstring Text10;  // second pipe standard
  std::wstring Text15;  // valve
  // Main sprinklers (Text1, Label1), rack sprinklers (Text16 to Text19,
  // Label15 to Label18), deluge heads (Text11, Text12, Label5, Label9) and
  // fire cocks (Text13, Text14, Label8, Label10): the fields and their
  // captions, each group under its heading (Label11, Label14, Label12,
  // Label13).
  std::array<std::wstring, 4> Text1, Label1;
  std::wstring Text11, Text12, Text13, Text14, Text16, Text17, Text18, Text19;
  std::wstring Label5, Label8, Label9, Label10, Label15, Label16, Label17, Label18;
  std::wstring Label11, Label12, Label13, Label14;
  // The design values by the groups: intensity and head of the main and the
  // rack sprinklers, flow and head of the deluge heads and the fire cocks.
  std::wstring Text20, Text21, Text22, Text23, Text24, Text25, Text26, Text27;
  // The results of this run and of the one before.
  std::array<std::wstring, 3> Text5, Text6;

  // By OutletKindIndex: the group's heading shows.
  std::array<bool, 4> GroupShown{};
  // The groups of the kinds whose missing values the run asked for: the form
  // shows every row of them, as the import shows a group whose values it read.
  std::array<bool, 4> GroupsToShow{};
  // The inlet head is given (Command6's colour).
  bool GivenInletPressureMode = false;
  // The scheme (Picture1) shows.
  bool SchemeShown = false;
  // An import the form has not shown yet: its rows, section table and
  // scheme, and its messages after them.
  std::optional<NetworkImport> ImportToShow;
};

}  // namespace dorv::arb
