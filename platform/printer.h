// The platform's printers as the program sees them: the installed printers by
// device name, the current printer and its number of copies, and the printer
// object that the reports draw on. The printer object keeps its settings
// between documents; a document begins with the first thing drawn and goes to
// the current printer's device, whole, when it is ended.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace dorv::ui {

enum Orientation { kPortrait = 1, kLandscape = 2 };

// A page of a finished document: what was drawn on it, each operation in the
// user coordinates and with the state (font, colours, pen) in force when it
// was drawn, and the page's printable size in twips.
struct PrintedPage {
  int orientation = kPortrait;
  int width = 0;   // twips
  int height = 0;  // twips
  std::vector<DrawOp> ops;
};

// A point of an operation in twips from the top-left corner of the page's
// printable area.
struct TwipPoint {
  double x = 0, y = 0;
};
TwipPoint to_twips(const PrintedPage& page, const DrawOp& op, double x, double y);
// A length along x in user units (a circle's radius) in twips.
double to_twips(const PrintedPage& page, const DrawOp& op, double length);

struct PrintedDocument {
  std::wstring device_name;
  std::wstring name;  // as the caller named it (a calculation number), may be empty
  int copies = 1;
  std::vector<PrintedPage> pages;
};

// What became of a document sent to a device.
struct PrintOutcome {
  bool printed = false;
  // Why it was not printed, for the user; empty when the user chose not to
  // (a cancelled save dialog).
  std::wstring failure;
};

// A printer's device: its paper and resolution, how it measures text, and
// where a finished document goes.
class PrintDevice {
 public:
  virtual ~PrintDevice() = default;
  // The printable width and height in twips of a page in an orientation.
  virtual int printable_width(int orientation) const = 0;
  virtual int printable_height(int orientation) const = 0;
  virtual double twips_per_pixel_x() const = 0;
  virtual double twips_per_pixel_y() const = 0;
  // A text's width and a line's height in twips in a font on this device.
  virtual double text_width(const std::wstring& text, const Font& font) const = 0;
  virtual double text_height(const Font& font) const = 0;
  virtual PrintOutcome print(const PrintedDocument& document) = 0;
};

// A device for tests: A4 paper at 600 dots to the inch, the whole sheet
// printable, text measured as fixed-pitch (0.6 of the size a character, lines
// 1.133 of it, as the classic fixed-pitch face), and every document kept.
class RecordingPrintDevice : public PrintDevice {
 public:
  int printable_width(int orientation) const override;
  int printable_height(int orientation) const override;
  double twips_per_pixel_x() const override { return 2.4; }
  double twips_per_pixel_y() const override { return 2.4; }
  double text_width(const std::wstring& text, const Font& font) const override;
  double text_height(const Font& font) const override;
  PrintOutcome print(const PrintedDocument& document) override;

  const std::vector<PrintedDocument>& documents() const { return documents_; }
  void clear() { documents_.clear(); }
  // Every later document fails with this message, as a printer that refuses
  // the job (empty: documents print again).
  void fail_with(std::wstring message) { failure_ = std::move(message); }

 private:
  std::vector<PrintedDocument> documents_;
  std::wstring failure_;
};

class Printers;

// The printer object: a drawing surface whose area is the printable part of
// the current page, in twips until a user scale is set. Text goes out at the
// current position in the current font, lines and circles as on a picture
// box; new_page and end_doc page and end the document.
class Printer : public Surface {
 public:
  explicit Printer(Printers& printers);

  // 1 sets twips again (and the position to the top-left); 0 keeps the user
  // scale, which is twips until one is set.
  void set_scale_mode(int mode);
  int orientation() const { return orientation_; }
  // 1 portrait, 2 landscape; other values are refused. A page takes the
  // orientation in force when the first thing is drawn on it; the printable
  // size follows the setting at once.
  void set_orientation(int orientation);
  double twips_per_pixel_x() const;
  double twips_per_pixel_y() const;
  // The name the document is given: the print queue shows it, and a PDF
  // file is proposed under it (the calculation number).
  void set_document_name(std::wstring name) { document_name_ = std::move(name); }

  // Ends the page and starts the next, the position at its top-left.
  void new_page();
  // Sends the document to the current printer. False when it was not
  // printed: the user has been told why (unless they cancelled), and nothing
  // of it counts as printed. A document with nothing drawn is no job.
  bool end_doc();
  // Drops the document drawn so far.
  void kill_doc();
  // A document has begun and not yet ended.
  bool in_document() const { return started_; }
  // The 1-based number of the page being drawn.
  int page() const { return static_cast<int>(pages_.size()); }

  // Not for a printer: a page is cleared by ending it.
  void cls() = delete;

 protected:
  int area_width() const override;
  int area_height() const override;
  double device_text_width(const std::wstring& text, const Font& font) const override;
  double device_text_height(const Font& font) const override;
  void drawn() override;

 private:
  struct PageMark {
    std::size_t first_op = 0;
    int orientation = kPortrait;
    bool oriented = false;  // something drawn: the orientation is fixed
  };
  const PrintDevice& measuring_device() const;
  void begin_document(std::size_t first_op);
  void reset();

  Printers& printers_;
  PrintDevice* device_ = nullptr;  // of the document begun
  std::wstring device_name_;
  bool started_ = false;
  bool clearing_ = false;
  std::vector<PageMark> pages_;
  int orientation_ = kPortrait;
  std::wstring document_name_;
};

class Printers {
 public:
  Printers();
  virtual ~Printers();
  Printers(const Printers&) = delete;
  Printers& operator=(const Printers&) = delete;
  // The installed printers' device names, in the platform's order.
  virtual std::vector<std::wstring> device_names() const = 0;
  // Index into device_names() of the current printer, -1 when there is none.
  virtual int current() const = 0;
  virtual void set_current(int index) = 0;
  virtual int copies() const = 0;
  // False when the printer refuses the value; the number stays as it was.
  virtual bool set_copies(int copies) = 0;
  // The device of a listed printer; null when the index lists none.
  virtual PrintDevice* device(int index) = 0;

  std::wstring current_device_name() const;
  // The printer object, drawing for the current printer.
  Printer& printer() { return *printer_; }

 private:
  std::unique_ptr<Printer> printer_;
};

// A printer list held in memory: the headless host's, and the base of the
// front end's (which fills it from the system's printers). Its printers record
// what they are sent.
class ListedPrinters : public Printers {
 public:
  explicit ListedPrinters(std::vector<std::wstring> names = {}, int current = -1);
  std::vector<std::wstring> device_names() const override { return names_; }
  int current() const override { return current_; }
  void set_current(int index) override;
  int copies() const override { return copies_; }
  bool set_copies(int copies) override;
  PrintDevice* device(int index) override;
  void set_names(std::vector<std::wstring> names, int current);

  RecordingPrintDevice& recorder() { return recorder_; }

 private:
  std::vector<std::wstring> names_;
  int current_ = -1;
  int copies_ = 1;
  RecordingPrintDevice recorder_;
};

}  // namespace dorv::ui
