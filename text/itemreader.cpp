#include "text/itemreader.h"

#include "text/linefile.h"
#include "text/numtext.h"

namespace dorv {
namespace {
bool is_blank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool is_eol(wchar_t c) { return c == L'\r' || c == L'\n'; }
}  // namespace

bool Item::is_number() const {
  if (quoted) return false;
  std::size_t b = 0, e = text.size();
  while (b < e && is_blank(text[b])) ++b;
  while (e > b && is_blank(text[e - 1])) --e;
  if (b == e) return false;
  std::size_t i = b;
  if (text[i] == L'-' || text[i] == L'+') ++i;
  bool digit = false, point = false;
  for (; i < e; ++i) {
    if (text[i] >= L'0' && text[i] <= L'9')
      digit = true;
    else if (text[i] == L'.' && !point)
      point = true;
    else
      return false;
  }
  return digit;
}

double Item::number() const { return num_value(text); }

bool same_value(const Item& a, const Item& b) {
  if (a.is_number() && b.is_number()) return a.number() == b.number();
  return a.text == b.text;
}

ItemReader::ItemReader(std::wstring text) : text_(std::move(text)) {}

ItemReader ItemReader::from_file(const std::filesystem::path& path, CodePage cp) {
  return ItemReader(decode(read_bytes(path), cp));
}

bool ItemReader::eof() const {
  for (std::size_t i = pos_; i < text_.size(); ++i)
    if (!is_blank(text_[i]) && !is_eol(text_[i])) return false;
  return true;
}

std::optional<Item> ItemReader::next() {
  if (eof()) {
    pos_ = text_.size();
    return std::nullopt;
  }
  while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
  Item item;
  if (pos_ < text_.size() && text_[pos_] == L'"') {
    item.quoted = true;
    const auto close = text_.find(L'"', pos_ + 1);
    const auto end = close == std::wstring::npos ? text_.size() : close;
    item.text = text_.substr(pos_ + 1, end - pos_ - 1);
    pos_ = close == std::wstring::npos ? text_.size() : close + 1;
    // Whatever stands between the closing quote and the separator is dropped.
    while (pos_ < text_.size() && text_[pos_] != L',' && !is_eol(text_[pos_])) ++pos_;
  } else {
    const auto start = pos_;
    while (pos_ < text_.size() && text_[pos_] != L',' && !is_eol(text_[pos_])) ++pos_;
    auto end = pos_;
    while (end > start && is_blank(text_[end - 1])) --end;
    item.text = text_.substr(start, end - start);
  }
  // Consume one separator: a comma, or a line end (CR LF as one).
  if (pos_ < text_.size()) {
    if (text_[pos_] == L',') {
      ++pos_;
    } else if (text_[pos_] == L'\r') {
      ++pos_;
      if (pos_ < text_.size() && text_[pos_] == L'\n') ++pos_;
    } else if (text_[pos_] == L'\n') {
      ++pos_;
    }
  }
  return item;
}

}  // namespace dorv
