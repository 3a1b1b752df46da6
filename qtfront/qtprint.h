// The printing back end: printed documents go through Qt to a printer of the
// system's print service or into a PDF file. Used by the desktop front end and
// by the scenario runner (which has no windows of its own).
#pragma once
#include <QFont>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "platform/printer.h"

class QPrinter;

namespace dorv::front {

// The face a report names, as the printer draws it: the classic faces are
// drawn with their metric-compatible free faces, so that text laid out in
// twips for the one lands in the same place with the other.
QFont printer_font(const ui::Font& font);

// Makes sure a Qt application exists (printing needs one): a program without
// windows gets one on the offscreen platform, kept to the program's end.
void ensure_qt_application();

class QtPrintDevice : public ui::PrintDevice {
 public:
  // The PDF file of a document; nothing when the user chose none.
  using ChooseFile = std::function<std::optional<std::filesystem::path>(const ui::PrintedDocument&)>;

  // A printer of the system's print service, by its name.
  static std::unique_ptr<QtPrintDevice> system_printer(const QString& name);
  // A PDF file on A4 paper (595 by 842 points) at 600 dots to the inch, the
  // whole sheet printable, its fonts embedded.
  static std::unique_ptr<QtPrintDevice> pdf_file(ChooseFile choose);
  ~QtPrintDevice() override;

  int printable_width(int orientation) const override;
  int printable_height(int orientation) const override;
  double twips_per_pixel_x() const override;
  double twips_per_pixel_y() const override;
  double text_width(const std::wstring& text, const ui::Font& font) const override;
  double text_height(const ui::Font& font) const override;
  ui::PrintOutcome print(const ui::PrintedDocument& document) override;

 private:
  QtPrintDevice(QString printer_name, ChooseFile choose);
  std::unique_ptr<QPrinter> make_printer() const;
  QRectF printable_points(int orientation) const;

  QString printer_name_;  // empty for a PDF file
  ChooseFile choose_;
  std::unique_ptr<QPrinter> measure_;  // for the page and the metrics
};

}  // namespace dorv::front
