// Item-by-item reading of a text file: items are separated by commas or line
// ends, a text item may be enclosed in double quotes (then it may hold commas).
// The look-up table kltr.inf and the example pack's index are read this way.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "text/codepage.h"

namespace dorv {

struct Item {
  std::wstring text;
  bool quoted = false;
  // An unquoted item that reads wholly as a number (blanks around it allowed).
  bool is_number() const;
  double number() const;  // the leading number of the text, 0 when there is none
};

// Values compare as the look-up table compares keys: two numbers numerically,
// otherwise the texts exactly.
bool same_value(const Item& a, const Item& b);

class ItemReader {
 public:
  explicit ItemReader(std::wstring text);
  static ItemReader from_file(const std::filesystem::path& path, CodePage cp = CodePage::Cp1251);  // throws FileError

  // True when nothing but blanks and line ends is left.
  bool eof() const;
  // The next item, or nothing at the end.
  std::optional<Item> next();

 private:
  std::wstring text_;
  std::size_t pos_ = 0;
};

}  // namespace dorv
