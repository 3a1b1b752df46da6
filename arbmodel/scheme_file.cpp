#include "arbmodel/scheme_file.h"

#include <cmath>
#include <optional>

#include "text/codepage.h"
#include "text/fileerror.h"
#include "text/itemreader.h"
#include "text/linefile.h"

namespace dorv::arb {
namespace {

// An item counts as a number when its text reads wholly as one, or is blank
// (an empty item reads as zero); the value is its leading number.
bool readable_number(const Item& item) {
  Item bare{item.text, false};
  if (bare.is_number()) return std::isfinite(bare.number());
  for (wchar_t c : item.text)
    if (c != L' ' && c != L'\t') return false;
  return true;
}

}  // namespace

int scheme_record_items(int code) {
  static const int counts[] = {-1, 4, 4, 2, 2, 4, 2, 2, 2, 2, 2, 8, 2, 2};
  return code >= 1 && code <= 13 ? counts[code] : -1;
}

SchemeFile read_scheme_file(const std::filesystem::path& file) {
  SchemeFile out;
  std::optional<std::string> bytes;
  try {
    bytes = read_bytes_if_exists(file);
  } catch (const FileError&) {
    out.fault = SchemeFault::kUnreadable;
    return out;
  }
  if (!bytes) {
    out.fault = SchemeFault::kMissing;
    return out;
  }
  ItemReader in(from_cp1251(*bytes));
  auto note = [&](SchemeFault f) {
    if (out.fault == SchemeFault::kNone) out.fault = f;
  };

  double* head[] = {&out.x0, &out.y0, &out.w, &out.h};
  for (double* v : head) {
    const auto item = in.next();
    if (!item) {
      out.fault = SchemeFault::kNoHeader;
      return out;
    }
    if (!readable_number(*item)) note(SchemeFault::kBadHeader);
    *v = item->number();
  }
  out.has_header = true;
  if (!(out.w >= kSmallestSchemeExtent) || !(out.h >= kSmallestSchemeExtent)) note(SchemeFault::kNoExtent);

  while (!in.eof()) {
    const auto code_item = in.next();
    if (!code_item) break;
    if (!readable_number(*code_item)) note(SchemeFault::kBadItem);
    const double code = code_item->number();
    if (code < 1 || code > 13 || code != std::floor(code)) continue;
    const int items = scheme_record_items(static_cast<int>(code));
    SchemeRecord r;
    r.code = static_cast<int>(code);
    for (int i = 0; i < items; ++i) {
      const auto item = in.next();
      if (!item) {
        note(SchemeFault::kCutShort);
        return out;
      }
      if (r.code == kLabel && i == 2) {
        r.text = item->text;
        continue;
      }
      if (!readable_number(*item)) note(SchemeFault::kBadItem);
      r.v[i] = item->number();
    }
    out.records.push_back(std::move(r));
  }
  return out;
}

}  // namespace dorv::arb
