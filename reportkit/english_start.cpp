#include "reportkit/english_start.h"

#include "platform/host.h"
#include "text/linefile.h"

namespace dorv::report {

std::optional<ReportUnits> ask_report_units() {
  const std::wstring question =
      L"      Выполнить распечатку англоязычной версии результатов расчета\r\n"
      L"в единицах США (кнопка ДА)?\r\n"
      L"      При нажатии кнопки НЕТ будет выполнена распечатка англоязычной\r\n"
      L" версии результатов расчета в западно-европейских единицах. ";
  switch (ui::msg_box(question, ui::MsgButtons::YesNoCancel, ui::MsgIcon::Question, L"Выбор версии печати", 0)) {
    case ui::MsgResult::Yes:
      return ReportUnits::US;
    case ui::MsgResult::No:
      return ReportUnits::WestEuropean;
    default:
      return std::nullopt;
  }
}

std::wstring english_object_name_in(const std::filesystem::path& folder) {
  const auto lines = try_read_lines(folder / "nazangl.txt");
  return lines && !lines->empty() ? lines->front() : std::wstring();
}

EnglishReportResult start_english_report(const std::filesystem::path& folder, std::wstring& english_object_name) {
  EnglishReportResult result;
  const auto units = ask_report_units();
  if (!units) {
    result.end = EnglishReportEnd::Cancelled;
    return result;
  }
  result.units = *units;
  english_object_name = english_object_name_in(folder);
  return result;
}

std::optional<std::wstring> valve_type_in(const std::wstring& valve) {
  const std::size_t open = valve.find(L'(');
  if (open == std::wstring::npos) return std::nullopt;
  const std::size_t close = valve.find(L')', open + 1);
  return valve.substr(open + 1, close == std::wstring::npos ? std::wstring::npos : close - open - 1);
}

}  // namespace dorv::report
