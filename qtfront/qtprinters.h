// The printers of the desktop front end: the system's installed printers by
// name and, always, a PDF file as a printer of its own (the only one when
// none is installed). A PDF file is named by the user in a save dialog.
#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/printer.h"

namespace dorv::front {

class QtPrintDevice;

// The device name under which printing goes to a PDF file.
extern const wchar_t* const kPdfPrinterName;

class QtPrinters : public ui::ListedPrinters {
 public:
  // Lists the installed printers; the system's default printer is current.
  QtPrinters();
  // Lists these printers as the installed ones (the first is current).
  explicit QtPrinters(const std::vector<std::wstring>& installed);
  ~QtPrinters() override;

  ui::PrintDevice* device(int index) override;

 private:
  std::map<std::wstring, std::unique_ptr<QtPrintDevice>> devices_;
};

// The save dialog of a PDF file: proposes the document's name (the
// calculation number) in the program folder.
std::optional<std::filesystem::path> choose_pdf_file(const ui::PrintedDocument& document);

}  // namespace dorv::front
