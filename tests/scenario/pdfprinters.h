// The scenario runner's printers: the headless host's recording printers,
// with the next print job sent to a PDF file when the script asks for one.
#pragma once
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/printer.h"

namespace dorv::scenario {

class ScenarioPrinters : public ui::ListedPrinters {
 public:
  ScenarioPrinters(std::vector<std::wstring> names, int current);
  ~ScenarioPrinters() override;
  // The next document, on whichever printer, is written to this PDF file.
  void send_next_job_to(std::filesystem::path pdf);
  // A PDF job is asked for and has not been printed yet.
  bool pdf_pending() const { return pending_.has_value(); }
  ui::PrintDevice* device(int index) override;

 private:
  class NextJob;
  std::optional<std::filesystem::path> pending_;
  // Every job asked for stays, so that a document begun on one keeps it.
  std::vector<std::unique_ptr<NextJob>> jobs_;
};

}  // namespace dorv::scenario
