// The import of the network data: the export of the graphics application
// (rezult.ko2) converted into the network data file, its head lines into
// the form's fields, its tables, the problem file spr.in and the main pipe
// table. It works on the form's texts and values; what the form shows of it
// besides its fields (which rows, the section table, the scheme) and what it
// tells the user come back as values, for the form to show in that order.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "arbmodel/form4_state.h"
#include "arbmodel/network_file.h"

namespace dorv::arb {

struct NetworkFormTexts;

// One message of the import: about a file that cannot be read or written or
// is damaged (shown with the exclamation mark), or a warning about the
// network.
struct ImportMessage {
  std::wstring text;
  bool file_fault = false;
};

// How far an import got, as the form shows it.
struct NetworkImport {
  // The export was converted: the result captions name the heads by where
  // the control unit sits.
  bool export_converted = false;
  // The head lines were read into the fields: the rows of the outlet groups
  // whose lines (by number, 1 to 15) RowShown marks show, every other row of
  // the groups is hidden, and SectionText replaces the section table.
  bool head_lines_read = false;
  std::array<bool, kHeadLines + 1> RowShown{};
  std::wstring SectionText;
  // The groups the network holds are known: they move up into the rows of
  // the groups it lacks.
  bool groups_stacked = false;
  // The scheme is to be drawn (the form shows it: SchemeShown).
  bool scheme = false;
  // What to tell the user, once the form shows the rest.
  std::vector<ImportMessage> messages;
};

// Imports the network data into the form's values `s` and the fields of
// `f`. A damaged file of a calculation opened from the register is named by
// `stored_input_path` (empty otherwise).
NetworkImport import_network(Form4State& s, NetworkFormTexts& f, const std::wstring& stored_input_path);

}  // namespace dorv::arb
