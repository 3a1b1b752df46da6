#include "platform/printer.h"

#include "platform/host.h"

namespace dorv::ui {

namespace {
// A4 in twips.
constexpr int kA4Width = 11906;
constexpr int kA4Height = 16838;

const PrintDevice& fallback_device() {
  static RecordingPrintDevice device;
  return device;
}
}  // namespace

TwipPoint to_twips(const PrintedPage& page, const DrawOp& op, double x, double y) {
  TwipPoint p;
  p.x = op.scale_width != 0 ? (x - op.scale_left) * page.width / op.scale_width : x;
  p.y = op.scale_height != 0 ? (y - op.scale_top) * page.height / op.scale_height : y;
  return p;
}

double to_twips(const PrintedPage& page, const DrawOp& op, double length) {
  return op.scale_width != 0 ? length * page.width / op.scale_width : length;
}

// ---- the recording device ----

int RecordingPrintDevice::printable_width(int orientation) const {
  return orientation == kLandscape ? kA4Height : kA4Width;
}

int RecordingPrintDevice::printable_height(int orientation) const {
  return orientation == kLandscape ? kA4Width : kA4Height;
}

double RecordingPrintDevice::text_width(const std::wstring& text, const Font& font) const {
  return static_cast<double>(text.size()) * font.size * 20.0 * 0.6;
}

double RecordingPrintDevice::text_height(const Font& font) const { return font.size * 20.0 * 1.1328; }

PrintOutcome RecordingPrintDevice::print(const PrintedDocument& document) {
  if (!failure_.empty()) return {false, failure_};
  documents_.push_back(document);
  return {true, L""};
}

// ---- the printer object ----

Printer::Printer(Printers& printers) : printers_(printers) {
  // What a printer offers before the program chooses: a plain face.
  text_font = Font{L"Arial", 10, false, 204};
}

const PrintDevice& Printer::measuring_device() const {
  if (device_) return *device_;
  if (const PrintDevice* d = printers_.device(printers_.current())) return *d;
  return fallback_device();
}

int Printer::area_width() const { return measuring_device().printable_width(orientation_); }
int Printer::area_height() const { return measuring_device().printable_height(orientation_); }

double Printer::device_text_width(const std::wstring& text, const Font& font) const {
  return measuring_device().text_width(text, font);
}

double Printer::device_text_height(const Font& font) const { return measuring_device().text_height(font); }

double Printer::twips_per_pixel_x() const { return measuring_device().twips_per_pixel_x(); }
double Printer::twips_per_pixel_y() const { return measuring_device().twips_per_pixel_y(); }

void Printer::set_scale_mode(int mode) {
  if (mode == 1) scale_twips();
}

void Printer::set_orientation(int orientation) {
  if (orientation == kPortrait || orientation == kLandscape) orientation_ = orientation;
}

void Printer::begin_document(std::size_t first_op) {
  started_ = true;
  // The document stays with the printer it was begun on.
  device_ = printers_.device(printers_.current());
  device_name_ = printers_.current_device_name();
  pages_.assign(1, PageMark{first_op, orientation_, false});
}

void Printer::drawn() {
  if (clearing_) return;
  // The operation just drawn is the document's first.
  if (!started_) begin_document(ops().size() - 1);
  PageMark& page = pages_.back();
  if (!page.oriented) {
    page.orientation = orientation_;
    page.oriented = true;
  }
}

void Printer::new_page() {
  if (!started_) begin_document(ops().size());
  pages_.back().oriented = true;
  if (pages_.back().first_op == ops().size()) pages_.back().orientation = orientation_;
  pages_.push_back(PageMark{ops().size(), orientation_, false});
  current_x = scale_left();
  current_y = scale_top();
}

void Printer::reset() {
  clearing_ = true;
  Surface::cls();
  clearing_ = false;
  pages_.clear();
  started_ = false;
  device_ = nullptr;
  device_name_.clear();
}

void Printer::kill_doc() { reset(); }

bool Printer::end_doc() {
  if (!started_) return true;
  PrintedDocument document;
  document.device_name = device_name_;
  document.name = document_name_;
  document.copies = printers_.copies();
  const PrintDevice& measure = measuring_device();
  for (std::size_t k = 0; k < pages_.size(); ++k) {
    const PageMark& mark = pages_[k];
    PrintedPage page;
    page.orientation = mark.oriented ? mark.orientation : orientation_;
    page.width = measure.printable_width(page.orientation);
    page.height = measure.printable_height(page.orientation);
    const std::size_t end = k + 1 < pages_.size() ? pages_[k + 1].first_op : ops().size();
    page.ops.assign(ops().begin() + static_cast<std::ptrdiff_t>(mark.first_op),
                    ops().begin() + static_cast<std::ptrdiff_t>(end));
    document.pages.push_back(std::move(page));
  }
  PrintDevice* device = device_;
  reset();
  const PrintOutcome outcome =
      device ? device->print(document) : PrintOutcome{false, L"Принтер не выбран. Документ не напечатан."};
  if (!outcome.printed && !outcome.failure.empty())
    msg_box(outcome.failure, MsgButtons::OK, MsgIcon::Exclamation, L"Предупреждение");
  return outcome.printed;
}

// ---- the printer lists ----

Printers::Printers() : printer_(std::make_unique<Printer>(*this)) {}
Printers::~Printers() = default;

std::wstring Printers::current_device_name() const {
  const auto names = device_names();
  const int i = current();
  return i >= 0 && i < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(i)] : std::wstring();
}

ListedPrinters::ListedPrinters(std::vector<std::wstring> names, int current)
    : names_(std::move(names)), current_(current) {
  if (current_ < 0 && !names_.empty()) current_ = 0;
}

void ListedPrinters::set_current(int index) {
  if (index >= 0 && index < static_cast<int>(names_.size())) current_ = index;
}

bool ListedPrinters::set_copies(int copies) {
  if (copies < 1 || copies > 9999) return false;
  copies_ = copies;
  return true;
}

PrintDevice* ListedPrinters::device(int index) {
  return index >= 0 && index < static_cast<int>(names_.size()) ? &recorder_ : nullptr;
}

void ListedPrinters::set_names(std::vector<std::wstring> names, int current) {
  names_ = std::move(names);
  current_ = current;
}

}  // namespace dorv::ui
