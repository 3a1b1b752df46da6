#include "qtfront/qtprinters.h"

#include <QPrinterInfo>

#include "qtfront/convert.h"

namespace dorv::front {

const wchar_t* const kPdfPrinterName = L"Файл PDF";

QtPrinters::QtPrinters() {
  std::vector<std::wstring> names;
  for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(ws(name));
  const std::wstring default_name = ws(QPrinterInfo::defaultPrinterName());
  int current = 0;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == default_name) current = static_cast<int>(i);
  names.push_back(kPdfPrinterName);
  set_names(std::move(names), current);
}

}  // namespace dorv::front
