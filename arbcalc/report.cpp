// rezres.txt, the Russian report of an arbitrary network: the input data as
// the form shows them, the outlets' heads and flows, the design results,
// the pipe sections, the pipe totals and the closing block. Every line but
// the first begins with the class marker that tells the printer its
// typeface; an empty line has none.
#include "arbcalc/arbrun.h"
#include "arbmodel/report_tables.h"
#include "platform/files.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace {

std::wstring input_row(const std::wstring& caption, const std::wstring& field) {
  return L"          " + caption + std::wstring(caption.size() < 50 ? 50 - caption.size() : 1, L' ') + ltrim(field);
}

}  // namespace

StageEnd WriteNetworkReport(ArbRun& run) {
  NetworkFormTexts& f = run.f;
  Form4State& s = run.s;
  std::vector<std::wstring> out;
  auto line = [&](std::wstring l) { out.push_back(std::move(l)); };

  line(L"          Программа ВИРН-Дорв " + run.hooks.program_version);
  line(L"");
  line(L"                     Гидравлический расчет №" + f.Text2);
  line(L"                   (объект произвольной конфигурации)");
  line(L"");
  for (auto& l : wrap_object_line(L"          Объект: " + f.Text3)) line(std::move(l));
  line(L"          Договор: " + f.Text8);
  line(L"");
  line(L"*         ИСХОДНЫЕ ДАННЫЕ:");
  if (!run.GivenHeadText.empty()) {
    line(L"");
    line(L"*          Заданный напор на входе в систему " + run.GivenHeadText + L" м в.ст.");
    line(L"");
  }
  if (s.imported.MainStandardPhrase != L" по ГОСТ СОВМ") {
    line(L"          Трубы" + s.imported.MainStandardPhrase);
  } else {
    line(L"          Трубы с усл. диаметрами менее 50 мм по ГОСТ 3262-75(ср)");
    line(L"             и с усл. диаметрами 50 мм и более по ГОСТ 10704-76");
  }
  line((contains(f.Text15, L"(") ? L"          Коэфф. потерь и тип клапана узла управления - "
                                        : L"          Коэфф. потерь клапана узла управления - ") +
       f.Text15);
  line(L"");
  struct Group {
    bool shown;
    const std::wstring& caption;
    std::vector<std::pair<const std::wstring*, const std::wstring*>> rows;
  };
  const Group groups[] = {
      {f.GroupShown[kMainKind], f.Label11,
       {{&f.Label1[0], &f.Text1[0]}, {&f.Label1[1], &f.Text1[1]}, {&f.Label1[2], &f.Text1[2]}, {&f.Label1[3], &f.Text1[3]}}},
      {f.GroupShown[kRackKind], f.Label14,
       {{&f.Label15, &f.Text16}, {&f.Label16, &f.Text17}, {&f.Label17, &f.Text18}, {&f.Label18, &f.Text19}}},
      {f.GroupShown[kDelugeKind], f.Label12, {{&f.Label5, &f.Text11}, {&f.Label9, &f.Text12}}},
      {f.GroupShown[kFireCockKind], f.Label13, {{&f.Label8, &f.Text13}, {&f.Label10, &f.Text14}}}};
  for (const Group& g : groups) {
    if (!g.shown) continue;
    line(L"");
    line(L"          " + g.caption);
    for (const auto& [caption, field] : g.rows) line(input_row(*caption, *field));
  }

  line(L"");
  line(L"*         РЕЗУЛЬТАТЫ РАСЧЕТА:");
  line(L"");
  // A balance error of one per cent or more is footnoted, and its heading starred.
  const bool footnote = num_value(run.ErrorText) >= 1;
  line(footnote ? L"*            Напоры и расходы в расчетных оросителях***"
                : L"*            Напоры и расходы в расчетных оросителях");
  for (auto& l : outlet_table_lines(s)) line(l);
  if (footnote) {
    line(L"                *** Из-за сложности системы напоры и расходы в оросителях");
    line(L"             определены с погрешностью не более" + run.ErrorText + L" процентов");
  }
  line(L"");
  if (f.GroupShown[kMainKind]) {
    line(L"          Расчетная интенсивность орошения ");
    line(L"          основными спринклерами                              - " + trim(f.Text20) + L" л/с.м2");
    line(L"          Расчетный минимальный свободный напор ");
    line(L"          основных спринклеров                                - " + trim(f.Text21) + L" м в.ст.");
  }
  if (f.GroupShown[kRackKind]) {
    line(L"          Расчетная интенсивность орошения ");
    line(L"          внутристеллажными спринклерами                      - " + trim(f.Text22) + L" л/с.м2");
    line(L"          Расчетный минимальный свободный напор ");
    line(L"          внутристеллажных спринклеров                        - " + trim(f.Text23) + L" м в.ст.");
  }
  if (f.GroupShown[kDelugeKind]) {
    line(L"          Расчетный минимальный расход дренчера               - " + trim(f.Text24) + L" л/с");
    line(L"          Расчетный минимальный своб. напор перед дренчером   - " + trim(f.Text25) + L" м в.ст.");
  }
  if (f.GroupShown[kFireCockKind]) {
    line(L"          Расчетный минимальный расход пожарного крана        - " + trim(f.Text26) + L" л/с");
    line(L"          Расчетный минимальный своб. напор перед пож. краном - " + trim(f.Text27) + L" м в.ст.");
  }
  line(L"");

  const std::wstring rule = L"        " + std::wstring(70, L'-');
  line(L"&            Напоры и расходы на участках трубопроводов");
  line(rule);
  for (const auto& head : section_table_heads()) line(head);
  line(rule);
  for (auto& l : section_row_lines(s, s.imported.ControlUnitOnSection == 1 ? s.printout.ControlUnitSectionRow : 0)) line(l);
  line(rule + L"-");
  if (!s.printout.SecondStandardNote.empty()) line(L"               *Tрубы" + s.printout.SecondStandardNote);
  if (s.imported.ControlUnitOnSection == 1) line(L"               **Эквивалентная длина узла управления");

  const std::wstring columns = L"                  Усл. диаметр, мм            Кол, м";
  double volume = 0;
  line(L"$");
  line(L"*                Суммарное количество труб" + s.imported.MainStandardPhrase + L":");
  line(columns);
  for (auto& l : total_rows(s, false, volume)) line(l);
  if (!f.Text10.empty()) {
    line(L"");
    line(L"*                Суммарное количество труб" + s.printout.SecondStandardNote + L":");
    line(columns);
    for (auto& l : total_rows(s, true, volume)) line(l);
  }
  line(L"");
  line(L"*                 Суммарный объем труб: " + volume_text(volume) + L" м3");
  line(L"");

  line(L"%");
  line(L"*          Расход секции                         - " + f.Text5[0] + L" л/с");
  if (!f.Text16.empty() || !f.Text11.empty() || !f.Text13.empty()) {
    if (!f.Text20.empty()) line(L"*          Расход основных спринклеров           - " + zero_led(s.printout.MainFlowSum) + L" л/с");
    if (!f.Text22.empty()) line(L"*          Расход внутристеллажных спринклеров   - " + zero_led(s.printout.RackFlowSum) + L" л/с");
    if (!f.Text24.empty()) line(L"*          Расход дренчеров                      - " + zero_led(s.printout.DelugeFlowSum) + L" л/с");
    if (!f.Text26.empty()) line(L"*          Расход пожарных кранов                - " + zero_led(s.printout.FireCockFlowSum) + L" л/с");
  }
  line(L"");
  if (s.imported.ControlUnitOnSection == 1) {
    line(L"*          Напор перед узлом управления          - " + f.Text5[1] + L" м в.ст.");
    line(L"*          Необходимый напор на входе в систему  - " + f.Text5[2] + L" м в.ст.");
  } else {
    line(L"*          Напор после узла управления           - " + f.Text5[1] + L" м в.ст.");
    line(L"*          Напор перед узлом управления          - " + f.Text5[2] + L" м в.ст.");
  }
  line(L"");
  line(L"           Все напоры и расходы на участках трубопроводов определены с учетом ");
  line(L"         запаса 20% на местные потери.");
  line(L"");
  line(L"           Расчет подготовил                       " + trim(run.hooks.executor_name));
  try {
    write_lines_atomic(sys::resolve(L"rezres.txt"), out);
  } catch (const FileError&) {
    return refuse(L"Не удается записать файл отчета rezres.txt.", L"Остановка расчета из-за ошибки");
  }
  return StageEnd::Continue;
}

}  // namespace dorv::arb
