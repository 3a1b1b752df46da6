#include "register/catalog.h"

#include <cmath>

#include "platform/files.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::reg {

std::vector<CatalogRecord> parse_catalog(const std::vector<std::wstring>& lines) {
  std::vector<CatalogRecord> records;
  std::size_t i = 0;
  while (i < lines.size()) {
    if (trim(lines[i]).empty()) {
      ++i;
      continue;
    }
    CatalogRecord r;
    r.id = lines[i++];
    if (i < lines.size()) r.contract = lines[i++];
    if (i < lines.size()) r.object = lines[i++];
    records.push_back(std::move(r));
  }
  return records;
}

std::vector<std::wstring> catalog_lines(const std::vector<CatalogRecord>& records) {
  std::vector<std::wstring> lines;
  lines.reserve(records.size() * 3);
  for (const auto& r : records) {
    lines.push_back(r.id);
    lines.push_back(r.contract);
    lines.push_back(r.object);
  }
  return lines;
}

std::vector<CatalogRecord> read_catalog(std::wstring_view name) {
  auto lines = try_read_lines(sys::resolve(name));
  return lines ? parse_catalog(*lines) : std::vector<CatalogRecord>{};
}

void write_catalog(std::wstring_view name, const std::vector<CatalogRecord>& records) {
  write_lines_atomic(sys::resolve(name), catalog_lines(records));
}

long long calc_number(std::wstring_view id) {
  const double v = num_value(id);
  return std::isfinite(v) ? static_cast<long long>(v) : 0;
}

std::wstring calc_number_text(std::wstring_view id) { return whole_text(calc_number(id)); }

void replace_record(std::wstring_view name, const CatalogRecord& record) {
  auto records = read_catalog(name);
  const std::wstring id = trim(record.id);
  std::erase_if(records, [&](const CatalogRecord& r) { return trim(r.id) == id; });
  records.push_back(record);
  write_catalog(name, records);
}

bool remove_record(std::wstring_view name, std::wstring_view id) {
  if (!sys::file_exists(name)) return false;
  auto records = read_catalog(name);
  const std::wstring key = trim(id);
  const auto removed = std::erase_if(records, [&](const CatalogRecord& r) { return trim(r.id) == key; });
  if (removed == 0) return false;
  write_catalog(name, records);
  return true;
}

}  // namespace dorv::reg
