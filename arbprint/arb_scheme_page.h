// The calculation scheme that closes the printed report of an arbitrary
// network: drawn from the scheme file rezult.kms under the report text, on a
// new portrait page or on a landscape page, with the legend of the outlet
// symbols above it.
#pragma once
#include <filesystem>
#include <string>

#include "platform/printer.h"

namespace dorv::arbprint {

// What the scheme needs of the form and of the text printed before it.
struct ArbitrarySchemeInput {
  std::wstring calculation_number;  // as typed on the form, for a separate page's header
  bool english = false;             // the English report is printed
  // The number a separate scheme page's header shows: the page after the
  // last text page (the pagination's next header number).
  int page_number = 2;
  // The form's fields that decide the legend rows under the text: the main
  // sprinklers' intensity and the deluge heads' flow are filled in.
  bool main_intensity_given = false;
  bool deluge_flow_given = false;
  // The outlet groups the loaded network holds (their captions are shown).
  bool main_sprinklers = false;
  bool rack_sprinklers = false;
  bool deluge_heads = false;
  bool fire_cocks = false;
  std::filesystem::path scheme_file;  // rezult.kms of the calculation
  // The form's picture that shows the scheme on the screen, twips: the
  // printed labels keep the size against the drawing that they have there.
  double picture_width = 0, picture_height = 0;
};

// Prints the scheme into the document being drawn: the printer is in twips,
// in the report font, its current position just below the last text line.
// Leaves the document open for the caller to end. True when the scheme was
// printed. False when there is none to print: a missing scheme file is
// passed over in silence; a file that is empty, unreadable, has no usable
// extent or a record the drawing cannot read prints nothing of the scheme
// and the user is told in one message.
bool print_arbitrary_scheme(ui::Printer& printer, const ArbitrarySchemeInput& input);

}  // namespace dorv::arbprint
