#include "qtfront/qtprint.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <clocale>
#include <cmath>

#include "platform/files.h"
#include "qtfront/convert.h"

namespace dorv::front {

namespace {

QPageLayout::Orientation page_orientation(int orientation) {
  return orientation == ui::kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// Draws a page's operations; the painter's origin is the top-left corner of
// the page's printable area, its unit the device pixel.
void paint_page(QPainter& painter, const ui::PrintedPage& page, const QPaintDevice& device) {
  const double kx = device.logicalDpiX() / 1440.0, ky = device.logicalDpiY() / 1440.0;
  for (const ui::DrawOp& op : page.ops) {
    const auto at = [&](double x, double y) {
      const ui::TwipPoint t = ui::to_twips(page, op, x, y);
      return QPointF(t.x * kx, t.y * ky);
    };
    // Pen widths are device pixels, as the program sizes them.
    QPen pen(qcolor(op.color), std::max(1, op.draw_width), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (op.kind) {
      case ui::DrawOp::Kind::Line:
        painter.setPen(pen);
        painter.drawLine(at(op.x1, op.y1), at(op.x2, op.y2));
        break;
      case ui::DrawOp::Kind::Circle: {
        const double r = ui::to_twips(page, op, op.radius);
        painter.setPen(pen);
        painter.setBrush(op.filled ? QBrush(qcolor(op.fill_color)) : QBrush(Qt::NoBrush));
        painter.drawEllipse(at(op.x1, op.y1), r * kx, r * ky);
        painter.setBrush(Qt::NoBrush);
        break;
      }
      case ui::DrawOp::Kind::Text: {
        if (op.text.empty()) break;
        const QFont font = printer_font(op.font);
        painter.setFont(font);
        painter.setPen(qcolor(op.color));
        // The position is the top-left corner of the text's cell.
        const QPointF top_left = at(op.x1, op.y1);
        const QFontMetricsF metrics(font, &device);
        painter.drawText(QPointF(top_left.x(), top_left.y() + metrics.ascent()), qs(op.text));
        break;
      }
    }
  }
}

}  // namespace

QFont printer_font(const ui::Font& font) {
  const QString name = qs(font.name);
  QStringList families;
  if (name.compare(QStringLiteral("Courier New"), Qt::CaseInsensitive) == 0)
    families << QStringLiteral("Liberation Mono");
  else if (name.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0)
    families << QStringLiteral("Liberation Sans");
  else if (name.compare(QStringLiteral("Times New Roman"), Qt::CaseInsensitive) == 0)
    families << QStringLiteral("Liberation Serif");
  families << name;
  QFont f;
  f.setFamilies(families);
  f.setPointSizeF(font.size > 0 ? font.size : 10);
  f.setBold(font.bold);
  // Widths as the font's own metrics give them, without pair kerning, so that
  // a text measured in twips is drawn as wide. The character set needs no
  // mapping: the text is Unicode and the embedded faces carry Cyrillic.
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

void ensure_qt_application() {
  if (QCoreApplication::instance()) return;
  static int argc = 3;
  static char name[] = "dorv", option[] = "-platform", platform[] = "offscreen";
  static char* argv[] = {name, option, platform, nullptr};
  // Kept to the program's end: printing may happen at any time.
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
  // Creating the application set the C library's locale from the
  // environment; numbers in files always use the point.
  std::setlocale(LC_NUMERIC, "C");
}

QtPrintDevice::QtPrintDevice(QString printer_name, ChooseFile choose)
    : printer_name_(std::move(printer_name)), choose_(std::move(choose)) {
  ensure_qt_application();
  measure_ = make_printer();
}

QtPrintDevice::~QtPrintDevice() = default;

std::unique_ptr<QtPrintDevice> QtPrintDevice::system_printer(const QString& name) {
  return std::unique_ptr<QtPrintDevice>(new QtPrintDevice(name, nullptr));
}

std::unique_ptr<QtPrintDevice> QtPrintDevice::pdf_file(ChooseFile choose) {
  return std::unique_ptr<QtPrintDevice>(new QtPrintDevice(QString(), std::move(choose)));
}

std::unique_ptr<QPrinter> QtPrintDevice::make_printer() const {
  std::unique_ptr<QPrinter> printer;
  if (printer_name_.isEmpty()) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(600);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    printer->setFullPage(true);
    printer->setFontEmbeddingEnabled(true);
  } else {
    printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(printer_name_), QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
  }
  printer->setPageOrientation(QPageLayout::Portrait);
  return printer;
}

QRectF QtPrintDevice::printable_points(int orientation) const {
  QPageLayout layout = measure_->pageLayout();
  layout.setOrientation(page_orientation(orientation));
  // In points, as the PDF's pages are sized (A4 is 595 by 842).
  return measure_->fullPage() ? layout.fullRect(QPageLayout::Point) : layout.paintRect(QPageLayout::Point);
}

int QtPrintDevice::printable_width(int orientation) const {
  return static_cast<int>(std::lround(printable_points(orientation).width() * 20.0));
}

int QtPrintDevice::printable_height(int orientation) const {
  return static_cast<int>(std::lround(printable_points(orientation).height() * 20.0));
}

double QtPrintDevice::twips_per_pixel_x() const { return 1440.0 / measure_->logicalDpiX(); }
double QtPrintDevice::twips_per_pixel_y() const { return 1440.0 / measure_->logicalDpiY(); }

double QtPrintDevice::text_width(const std::wstring& text, const ui::Font& font) const {
  const QFontMetricsF metrics(printer_font(font), measure_.get());
  return metrics.horizontalAdvance(qs(text)) * twips_per_pixel_x();
}

double QtPrintDevice::text_height(const ui::Font& font) const {
  const QFontMetricsF metrics(printer_font(font), measure_.get());
  return metrics.height() * twips_per_pixel_y();
}

ui::PrintOutcome QtPrintDevice::print(const ui::PrintedDocument& document) {
  const bool pdf = printer_name_.isEmpty();
  std::unique_ptr<QPrinter> out = make_printer();
  out->setDocName(qs(document.name.empty() ? std::wstring(L"ВИРН-Дорв") : document.name));
  std::filesystem::path file;
  if (pdf) {
    const auto chosen = choose_ ? choose_(document) : std::nullopt;
    if (!chosen) return {false, L""};  // the user chose not to save it
    file = *chosen;
    out->setOutputFileName(QString::fromStdString(file.string()));
  } else {
    // The copies are the printer's to make; a file is written once.
    out->setCopyCount(std::max(1, document.copies));
  }
  const std::wstring failure = pdf ? L"Не удалось записать файл PDF «" + sys::name_of(file) + L"». Документ не сохранен."
                                   : L"Не удалось напечатать документ на принтере «" + ws(printer_name_) +
                                         L"». Документ не напечатан.";
  const auto discard = [&] {
    std::error_code ec;
    if (pdf) std::filesystem::remove(file, ec);
  };

  if (!document.pages.empty()) out->setPageOrientation(page_orientation(document.pages.front().orientation));
  QPainter painter;
  if (!painter.begin(out.get())) return {false, failure};
  bool ok = true;
  for (std::size_t k = 0; k < document.pages.size() && ok; ++k) {
    if (k > 0) {
      // A page takes its own orientation; the layout must change before
      // the page is begun.
      out->setPageOrientation(page_orientation(document.pages[k].orientation));
      ok = out->newPage();
    }
    if (ok) paint_page(painter, document.pages[k], *out);
  }
  if (!ok) out->abort();
  if (!painter.end()) ok = false;
  if (ok && pdf) {
    std::error_code ec;
    ok = std::filesystem::is_regular_file(file, ec) && std::filesystem::file_size(file, ec) > 0 && !ec;
  }
  if (!ok) {
    discard();
    return {false, failure};
  }
  return {true, L""};
}

}  // namespace dorv::front
