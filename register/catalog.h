// The catalog of completed calculations and the files of the same layout
// (the search result karman1 and the list's copies): records of three lines,
// identifier, contract number, object name.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorv::reg {

struct CatalogRecord {
  std::wstring id;        // "12-R", " 42-T"...; may carry leading blanks
  std::wstring contract;  // free text
  std::wstring object;    // free text
};

// Records of a catalog text. A blank line where a record's first line is
// expected is skipped; a record cut short by the end of the file gets empty
// lines for what is missing, so that every later append stays aligned.
std::vector<CatalogRecord> parse_catalog(const std::vector<std::wstring>& lines);
std::vector<std::wstring> catalog_lines(const std::vector<CatalogRecord>& records);

// Reads a catalog-layout file; a missing file has no records. A file that
// exists but cannot be read throws sys::FsError: taking it for an empty one
// would let the next save write the catalog anew without its records.
std::vector<CatalogRecord> read_catalog(std::wstring_view name);
// The file's bytes, nothing when it is missing; sys::FsError as above.
std::optional<std::string> read_catalog_bytes(std::wstring_view name);
// Writes the new file beside the old one and renames it over it, so that the
// catalog is at every moment either the old or the complete new file.
void write_catalog(std::wstring_view name, const std::vector<CatalogRecord>& records);

// The highest number a calculation can have: the stored files' names are
// read back with at most 15 digits, and a number of 15 digits is exact
// wherever the program reads it as a decimal number.
constexpr long long kLargestCalcNumber = 999'999'999'999'999;
// Its digits: a longer leading number in a stored file's name is no
// calculation's.
constexpr std::size_t kLargestCalcNumberDigits = 15;
static_assert(
    [] {
      std::size_t digits = 0;
      for (long long n = kLargestCalcNumber; n > 0; n /= 10) ++digits;
      return digits;
    }() == kLargestCalcNumberDigits);

// The calculation number of an identifier or list text: its leading whole
// number, blanks and the "-R"/"-T" ignored; 0 when there is none or when it
// is too long for a whole number.
long long calc_number(std::wstring_view id);
// The same as decimal text without blanks, as the stored file names use it.
std::wstring calc_number_text(std::wstring_view id);

// Whether the lines of a stored input file are a grid calculation's record:
// line 1, blanks removed at both ends, ends in its first "-R" (the record
// begins with its identifier), and no line opens a section of a network's
// data ("#####1" ...), which a contract ending in "-R" could not hide.
// Everything else stored is an arbitrary network's data.
bool is_grid_record(const std::vector<std::wstring>& lines);

// Replaces a calculation's record: every record whose identifier, blanks
// removed at both ends, equals the new one's is left out, and the new record
// is appended at the end. A missing file is created with the record alone.
void replace_record(std::wstring_view name, const CatalogRecord& record);
// Leaves out every record whose trimmed identifier equals id. A missing file
// stays missing. True when a record was removed.
bool remove_record(std::wstring_view name, std::wstring_view id);

}  // namespace dorv::reg
