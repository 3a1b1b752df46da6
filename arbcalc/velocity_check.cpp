// The mean water velocity of one pipe section from its flow and the pipe's
// inner diameter, with the user's choice to go on above 10 m/s.
#include "arbcalc/arbrun.h"
#include "platform/host.h"
#include "register/modul1.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

StageEnd VelocityCheck(ArbRun& run, std::size_t k, double flow) {
  Form4State& s = run.s;
  auto& row = s.imported.SectionTable[k];
  const bool second = row[3].is_text && contains(row[3].text, L"*");
  const double table_row = row[8].number_value();
  const PipeTable& table = second ? s.imported.SecondPipeTable : s.imported.MainPipeTable;
  double d = 0;
  if (!second && table_row <= 0) {
    d = reg::Modul1::LookupKltr(row[3].str(), 2);
  } else if (table_row >= 1 && table_row <= static_cast<double>(table.rows.size())) {
    const PipeRow& p = table.rows[static_cast<std::size_t>(table_row) - 1];
    d = p.outer - 2 * p.wall;
  }
  if (!(d > 0))
    return refuse(L"Внутренний диаметр трубы участка" + row[1].text + L" (" + trim(row[3].str()) +
                      L") не определен. Расчет прерван.",
                  L"Остановка расчета из-за ошибки");
  const double v = round_half_even(1273.237 * flow / (d * d), 1);
  row[9] = Cell::number(v);
  if (v > 10 &&
      ui::msg_box(L"Недопустимая скорость движения воды на участке (" + ltrim(row[1].text) + L") -" + num_text(v) +
                      L" м/с. Продолжить расчет?",
                  ui::MsgButtons::YesNo, ui::MsgIcon::Critical, L"Предупреждение об ошибке", 1) == ui::MsgResult::No) {
    s.run.CalculationEndedFlag = 1;
    return StageEnd::Stop;
  }
  return StageEnd::Continue;
}

}  // namespace dorv::arb
