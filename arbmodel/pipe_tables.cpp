#include "arbmodel/pipe_tables.h"

#include <optional>

#include "platform/files.h"

namespace dorv::arb {

namespace {

std::optional<PipeTable> network_pipe_table(const std::wstring& name) {
  const auto lines = tables::read_pipe_standard_file(sys::resolve(tables::kPipeStandardFile));
  if (!lines) return std::nullopt;
  return tables::load_pipe_table(*lines, name, tables::StandardName::PartOfHeader, tables::RowNumbers::PerLine);
}

}  // namespace

void load_main_pipe_table(ImportedValues& v, std::wstring& standard) {
  v.MainStandardPhrase = L" по " + standard;
  const auto t = network_pipe_table(standard);
  if (!t || t->rows.empty()) {
    standard = kNoStandard;
    return;
  }
  v.MainPipeTable = *t;
  v.MainPipeRows = static_cast<double>(t->rows.size());
}

void load_second_pipe_table(ImportedValues& v, std::wstring& standard) {
  const auto t = network_pipe_table(standard);
  if (!t || t->rows.empty()) {
    standard = L"";
    return;
  }
  v.SecondPipeTable = *t;
  v.SecondPipeRows = static_cast<double>(t->rows.size());
}

}  // namespace dorv::arb
