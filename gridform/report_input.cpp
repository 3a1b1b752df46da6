// The report's header and input section: the program line, the title, the
// object and contract, the pipe standards and valve, and one value line for
// each input field, the caption on the left and the value ending in column 60.
#include "gridform/gridreport.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

constexpr std::size_t kValueLineWidth = 60;

std::wstring blanks(std::size_t n) { return std::wstring(n, L' '); }

// A field as the report shows it: no blanks around it, so " нет" is "нет".
std::wstring shown(const std::wstring& field) { return trim(field); }

}  // namespace

std::wstring report_value_line(const std::wstring& caption, const std::wstring& value) {
  const std::size_t used = 10 + caption.size() + value.size();
  // A caption and value too long for the line keep one blank between them.
  const std::size_t gap = used < kValueLineWidth ? kValueLineWidth - used : 1;
  return blanks(10) + caption + blanks(gap) + value;
}

void write_report_title(ReportLines& out, const GridFormTexts& form, const std::wstring& program_version) {
  out.push_back(L"          Программа ВИРН-Дорв " + program_version);
  out.push_back(L"");
  out.push_back(L"                     Гидравлический расчет №" + form.Text2);
  out.push_back(L"                         (объект с решеткой)");
  out.push_back(L"");
  for (auto& line : wrap_object_line(L"          Объект: " + form.Text3)) out.push_back(std::move(line));
  out.push_back(L"          Договор: " + form.Text8);
  out.push_back(L"");
}

void write_report_input(ReportLines& out, const GridFormTexts& form, const GridFormState& state) {
  out.push_back(L"*         ИСХОДНЫЕ ДАННЫЕ:");
  out.push_back(L"          Трубы" + state.MainStandardPhrase);
  if (!form.Combo2.empty()) out.push_back(L"          Трубы(*)" + state.SecondStandardPhrase);
  out.push_back(L"          Коэфф. потерь и тип клапана узла управления - " + trim(form.Combo1_1));
  out.push_back(L"");

  // The design area field holds the area and, in brackets, the number of
  // sprinklers opened in it.
  const std::wstring& area = form.Text1[2];
  const std::size_t bracket = area.find(L'(');
  const std::wstring opened =
      bracket == std::wstring::npos ? L"0" : num_text_trim(num_value(std::wstring_view(area).substr(bracket + 1)));
  out.push_back(report_value_line(form.Label1[18], shown(form.Text1[18])));
  out.push_back(report_value_line(form.Label1[2], shown(area.substr(0, bracket))));
  out.push_back(report_value_line(L"Количество вскрывшихся оросителей", opened));
  out.push_back(report_value_line(form.Label1[1], shown(form.Text1[1])));
  out.push_back(report_value_line(form.Label1[0], shown(form.Text1[0])));
  for (int i = 3; i <= 17; ++i) out.push_back(report_value_line(form.Label1[i], shown(form.Text1[i])));
}

}  // namespace dorv::grid
