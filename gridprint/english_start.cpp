#include "gridprint/english_start.h"

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

}  // namespace dorv::report
