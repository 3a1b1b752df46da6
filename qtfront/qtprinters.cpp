#include "qtfront/qtprinters.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrinterInfo>

#include "platform/files.h"
#include "qtfront/convert.h"
#include "qtfront/qtprint.h"

namespace dorv::front {

const wchar_t* const kPdfPrinterName = L"Файл PDF";

namespace {
std::vector<std::wstring> installed_printers() {
  std::vector<std::wstring> names;
  for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(ws(name));
  return names;
}
}  // namespace

QtPrinters::QtPrinters() : QtPrinters(installed_printers()) {
  const std::wstring default_name = ws(QPrinterInfo::defaultPrinterName());
  const auto names = device_names();
  for (std::size_t i = 0; i + 1 < names.size(); ++i)
    if (names[i] == default_name) set_current(static_cast<int>(i));
}

QtPrinters::QtPrinters(const std::vector<std::wstring>& installed) {
  std::vector<std::wstring> names = installed;
  names.push_back(kPdfPrinterName);
  set_names(std::move(names), 0);
}

QtPrinters::~QtPrinters() = default;

ui::PrintDevice* QtPrinters::device(int index) {
  const auto names = device_names();
  if (index < 0 || index >= static_cast<int>(names.size())) return nullptr;
  const std::wstring& name = names[static_cast<std::size_t>(index)];
  auto& device = devices_[name];
  if (!device)
    device = name == kPdfPrinterName ? QtPrintDevice::pdf_file(choose_pdf_file) : QtPrintDevice::system_printer(qs(name));
  return device.get();
}

std::optional<std::filesystem::path> choose_pdf_file(const ui::PrintedDocument& document) {
  const std::wstring stem = document.name.empty() ? std::wstring(L"Расчет") : document.name;
  const std::filesystem::path proposed = std::filesystem::absolute(sys::resolve(stem + L".pdf"));
  QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Сохранение в файл PDF"),
                     QString::fromStdString(proposed.string()), QStringLiteral("Файл PDF (*.pdf)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return std::filesystem::path(dialog.selectedFiles().first().toStdString());
}

}  // namespace dorv::front
