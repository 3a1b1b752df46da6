#include "tests/scenario/pdfprinters.h"

#include "qtfront/qtprint.h"

namespace dorv::scenario {

// The PDF back end for one document; the list goes back to recording once
// it has been sent.
class ScenarioPrinters::NextJob : public ui::PrintDevice {
 public:
  NextJob(ScenarioPrinters& list, const std::filesystem::path& file)
      : list_(list), pdf_(front::QtPrintDevice::pdf_file([file](const ui::PrintedDocument&) { return file; })) {}
  int printable_width(int orientation) const override { return pdf_->printable_width(orientation); }
  int printable_height(int orientation) const override { return pdf_->printable_height(orientation); }
  double twips_per_pixel_x() const override { return pdf_->twips_per_pixel_x(); }
  double twips_per_pixel_y() const override { return pdf_->twips_per_pixel_y(); }
  double text_width(const std::wstring& text, const ui::Font& font) const override {
    return pdf_->text_width(text, font);
  }
  double text_height(const ui::Font& font) const override { return pdf_->text_height(font); }
  ui::PrintOutcome print(const ui::PrintedDocument& document) override {
    list_.pending_.reset();
    return pdf_->print(document);
  }

 private:
  ScenarioPrinters& list_;
  std::unique_ptr<front::QtPrintDevice> pdf_;
};

ScenarioPrinters::ScenarioPrinters(std::vector<std::wstring> names, int current)
    : ListedPrinters(std::move(names), current) {}

ScenarioPrinters::~ScenarioPrinters() = default;

void ScenarioPrinters::send_next_job_to(std::filesystem::path pdf) {
  jobs_.push_back(std::make_unique<NextJob>(*this, pdf));
  pending_ = std::move(pdf);
}

ui::PrintDevice* ScenarioPrinters::device(int index) {
  ui::PrintDevice* listed = ListedPrinters::device(index);
  return listed && pending_ ? jobs_.back().get() : listed;
}

}  // namespace dorv::scenario
