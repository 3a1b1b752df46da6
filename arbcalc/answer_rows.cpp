// The solver's answer, the lines of spr.out the last solve read, in
// AnswerRows (row r is network node r, row 0 the feed) and its flow balance:
// the flow that leaves through the outlet nodes against the flow that enters
// at the feed.
#include <cmath>

#include "arbcalc/arbrun.h"
#include "platform/host.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

StageEnd read_answer_rows(ArbRun& run) {
  Form4State& s = run.s;
  const std::vector<std::wstring>& lines = run.AnswerLines;
  Table& rows = s.run.AnswerRows;
  for (std::size_t r = 0; r < lines.size() && r < rows.size(); ++r) {
    std::wstring rest = lines[r];
    for (std::size_t column = 1; column <= 4; ++column) {
      rest = ltrim(rest);
      const std::size_t blank = rest.find(L' ');
      if (blank == std::wstring::npos) {
        rows[r][column] = Cell::number(num_value(rest));
        break;
      }
      rows[r][column] = Cell::number(num_value(rest.substr(0, blank)));
      rest = rest.substr(blank + 1);
    }
  }

  for (std::size_t r = 0; r < lines.size() && r < rows.size(); ++r)
    for (std::size_t column = 1; column <= 4; ++column)
      if (!std::isfinite(rows[r][column].number_value()))
        return refuse_too_large(L"Строка " + whole_text(static_cast<long long>(r) + 1) +
                                L" ответа программы расчета сети");

  // The leading outlet rows: up to the first row with a fourth value.
  double outflow = 0;
  for (std::size_t r = 1; r < rows.size() && rows[r][4].number_value() == 0; ++r)
    outflow += std::fabs(rows[r][3].number_value());
  if (outflow == 0)
    return refuse(L"В ответе программы расчета сети нет расхода через оросители. Нажмите ОК для возврата к началу "
                  L"расчета.",
                  L"Остановка расчета из-за ошибки");
  s.run.BalanceError = std::fabs(outflow - rows[0][3].number_value()) / outflow;
  s.run.BalanceFactor = 1 + s.run.BalanceError;
  run.ErrorText = num_text(round_half_even(s.run.BalanceError * 100, 1));
  if (s.run.BalanceError > 0.1) {
    const ui::MsgResult answer = ui::msg_box(
        L"При заданной конфигурации системы и количестве обсчитываемых узлов (" +
            whole_text(run.AnswerLineCount) + L") погрешность расчета составляет" + run.ErrorText +
            L" процентов. Если такая погрешность неприемлема, следует разделить систему на две или более "
            L"самостоятельные части и производить расчет для каждой части отдельно. Продолжить расчет?",
        ui::MsgButtons::OKCancel, ui::MsgIcon::Critical, L"Предупреждение");
    if (answer == ui::MsgResult::Cancel) return StageEnd::Stop;
  }
  return StageEnd::Continue;
}

}  // namespace dorv::arb
