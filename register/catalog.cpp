#include "register/catalog.h"

#include <algorithm>

#include "platform/files.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/number.h"
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
  const auto bytes = read_catalog_bytes(name);
  return bytes ? parse_catalog(split_lines(from_cp1251(*bytes))) : std::vector<CatalogRecord>{};
}

std::optional<std::string> read_catalog_bytes(std::wstring_view name) {
  try {
    return read_bytes_if_exists(sys::resolve(name));
  } catch (const FileError& e) {
    throw sys::FsError(sys::FsError::PathFileAccess, std::wstring(name), e.step(), e.error_number());
  }
}

void write_catalog(std::wstring_view name, const std::vector<CatalogRecord>& records) {
  write_lines_atomic(sys::resolve(name), catalog_lines(records));
}

long long calc_number(std::wstring_view id) {
  const auto start = id.find_first_not_of(L' ');
  if (start == std::wstring_view::npos) return 0;
  long long n = 0;
  bool fits = true;
  // A number longer than any calculation's is no calculation number: taking
  // it would skip every later number or name stored files that never were.
  if (scan_whole(id.substr(start), n, &fits) == 0 || !fits) return 0;
  return n;
}

std::wstring calc_number_text(std::wstring_view id) { return whole_text(calc_number(id)); }

bool is_grid_record(const std::vector<std::wstring>& lines) {
  if (lines.empty()) return false;
  const std::wstring id = trim(lines[0]);
  if (id.size() < 2 || id.find(L"-R") != id.size() - 2) return false;
  return std::none_of(lines.begin(), lines.end(), [](const std::wstring& l) { return starts_with(ltrim(l), L"#####"); });
}

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
