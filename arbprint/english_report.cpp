// The English report of an arbitrary network as a whole: the unit question,
// the English object name, the stages written in order, and rezangl.txt
// saved so that a failure leaves the previous one whole.
#include "arbprint/english_arbitrary_report.h"
#include "platform/host.h"
#include "text/fileerror.h"
#include "text/linefile.h"

namespace dorv::arbprint {

Lines english_arbitrary_report_lines(const arb::NetworkFormTexts& form, const arb::Form4State& s,
                                     const std::wstring& english_object_name, ReportUnits units) {
  Lines out;
  write_english_head(out, form, s, english_object_name, units);
  out.push_back(L"");
  out.push_back(L"*         RESULTS OF CALCULATION:");
  out.push_back(L"");
  out.push_back(L"*            Pressures and flows in sprinklers");
  write_english_outlet_table(out, s, units);
  out.push_back(L"");
  out.push_back(L"&            Pressures and flows in pipes");
  write_english_pipe_table(out, s, units);
  write_english_closing(out, form, s, units);
  return out;
}

EnglishReportResult make_english_arbitrary_report(const arb::NetworkFormTexts& form, const arb::Form4State& s,
                                                  const std::filesystem::path& folder, std::wstring& english_object_name) {
  EnglishReportResult result = report::start_english_report(folder, english_object_name);
  if (result.end == EnglishReportEnd::Cancelled) return result;
  try {
    write_lines_atomic(folder / "rezangl.txt", english_arbitrary_report_lines(form, s, english_object_name, result.units));
  } catch (const FileError& error) {
    ui::msg_box(error.message() + L" Англоязычная версия отчета не напечатана.", ui::MsgButtons::OK,
                ui::MsgIcon::None, L"Предупреждение");
    return result;
  }
  result.end = EnglishReportEnd::Written;
  return result;
}

}  // namespace dorv::arbprint
