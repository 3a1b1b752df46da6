// The printers of the desktop front end: the system's installed printers by
// name and, always, a PDF file as a printer of its own (the only one when
// none is installed).
#pragma once
#include "platform/printer.h"

namespace dorv::front {

// The device name under which printing goes to a PDF file.
extern const wchar_t* const kPdfPrinterName;

class QtPrinters : public ui::ListedPrinters {
 public:
  // Lists the installed printers; the system's default printer is current.
  QtPrinters();
};

}  // namespace dorv::front
