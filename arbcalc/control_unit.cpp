// The control unit and the results the form shows: the valve's loss
// coefficient (typed, or looked up in klap.inf by type and diameter), the
// flow and the two heads around the control unit, every outlet's free head
// and flow with the sums per kind, and the design results of each group.
#include <cmath>
#include <limits>

#include "arbcalc/arbrun.h"
#include "platform/files.h"
#include "platform/host.h"
#include "tables/valve_file.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace {

const wchar_t* const kStopTitle = L"Остановка расчета из-за ошибки";

// " 0.45" for a value between 0 and 1, the number text otherwise.
std::wstring result_text(double v) { return v > 0 && v < 1 ? L" 0" + num_text_trim(v) : num_text(v); }
// A blank, then the value with "0" before a leading point.
std::wstring design_text(double v) { return L" " + zero_before_point(num_text_trim(v)); }

StageEnd valve_lookup(ArbRun& run, const std::wstring& lookup_name) {
  NetworkFormTexts& f = run.f;
  Form4State& s = run.s;
  const double typed = num_value(f.Text15);
  if (typed > 0) {
    s.run.ValveCoefficient = typed;
  } else {
    s.run.ValveTypeName = lookup_name;
    const auto lines = [] {
      try {
        return read_lines(sys::resolve(tables::kValveFile));
      } catch (const FileError&) {
        return std::vector<std::wstring>{};
      }
    }();
    const auto sizes = tables::valve_sizes(lines, s.run.ValveTypeName);
    if (!sizes)
      return refuse(L"Клапан узла управления \"" + s.run.ValveTypeName +
                        L"\" отсутствует в файле клапанов klap.inf. Укажите коэффициент потерь или тип клапана "
                        L"из файла klap.inf.",
                    L"Клапан узла управления");
    const double wanted = num_value(s.run.ValveDiameter);
    if (!(wanted > 1))
      return refuse(L"Диаметр клапана узла управления не определен: диаметр трубы у узла управления неизвестен. "
                    L"Укажите в окне \"Клапан\" коэффициент потерь клапана.",
                    L"Клапан узла управления");
    const auto chosen = tables::choose_valve_size(*sizes, wanted);
    if (!chosen)
      return refuse(L"Данные клапана, указанного в окне \"Клапан\", отсутствуют в базе данных программы!",
                    L"Предупреждение");
    s.run.ValveCoefficient = num_value(*chosen);
    f.Text15 = *chosen;
  }
  const double q = s.run.AnswerRows[0][3].number_value();
  s.run.ValveLoss = s.run.ValveCoefficient * q * q;
  return StageEnd::Continue;
}

}  // namespace

StageEnd control_unit_and_results(ArbRun& run) {
  NetworkFormTexts& f = run.f;
  Form4State& s = run.s;
  std::wstring lookup_name;
  double head_before = 0;
  if (s.imported.ControlUnitOnSection == 1) {
    const std::wstring start = trim(s.imported.ControlUnitSectionStart), end = trim(s.imported.ControlUnitSectionEnd);
    s.printout.ControlUnitSectionRow = 0;
    for (std::size_t k = 1; k < s.imported.SectionTable.size() && s.printout.ControlUnitSectionRow == 0; ++k) {
      const std::wstring name = trim(s.imported.SectionTable[k][1].text);
      if (name == start + L"-" + end || name == end + L"-" + start) s.printout.ControlUnitSectionRow = static_cast<int>(k);
    }
    if (s.printout.ControlUnitSectionRow == 0)
      return refuse(L"Участок узла управления " + start + L"-" + end + L" отсутствует в сети. Произведите обработку "
                    L"расчетной схемы заново.",
                    kStopTitle);
    const auto& row = s.imported.SectionTable[static_cast<std::size_t>(s.printout.ControlUnitSectionRow)];
    head_before = std::max(row[5].number_value(), row[6].number_value());
    const std::wstring valve = f.Text15;
    const std::size_t dash = valve.find(L'-');
    const double typed = num_value(dash == std::wstring::npos ? valve : valve.substr(dash + 1));
    // A type name without its size: the valve takes the size of the pipe
    // it sits on.
    s.run.ValveDiameter = typed > 1 ? num_text(typed) : row[3].str();
    lookup_name = valve_text(valve);
  } else {
    lookup_name = trim(f.Text15);
    head_before = run.InletHead;
    for (std::size_t i = 1; i < s.imported.NodeTable.size(); ++i)
      if (s.imported.NodeTable[i][2].number_value() == 0) s.run.ValveDiameter = s.imported.NodeTable[i][7].str();
  }
  if (valve_lookup(run, lookup_name) == StageEnd::Stop) return StageEnd::Stop;

  if (s.imported.ControlUnitOnSection == 1) {
    f.Text5[2] = result_text(round_half_even(run.InletHead, 2));
    f.Text5[1] = result_text(head_before);
  } else {
    f.Text5[2] = result_text(round_half_even(run.InletHead + s.run.ValveLoss, 2));
    f.Text5[1] = result_text(round_half_even(run.InletHead, 2));
  }
  f.Text5[0] = result_text(round_half_even(run.InletFlow, 2));

  // Outlets: free head and flow, sums and smallest values per kind.
  std::array<double, 4> sum{};
  constexpr double kNone = std::numeric_limits<double>::infinity();
  std::array<double, 4> least_head{kNone, kNone, kNone, kNone}, least_flow{kNone, kNone, kNone, kNone};
  for (std::size_t k = 1; k < s.imported.OutletTable.size() && static_cast<double>(k) < s.imported.OutletListSize; ++k) {
    auto& row = s.imported.OutletTable[k];
    const double n = num_value(row[1].str());
    const double network = n >= 1 && n < static_cast<double>(s.imported.NodeTable.size())
                               ? s.imported.NodeTable[static_cast<std::size_t>(n)][2].number_value()
                               : -1;
    if (network < 0 || network >= static_cast<double>(s.run.AnswerRows.size()))
      return refuse(L"В ответе программы расчета нет напора у оросителя в узле " + trim(row[1].str()) + L".",
                    kStopTitle);
    const double z = s.imported.NodeTable[static_cast<std::size_t>(n)][3].number_value();
    const double h = round_half_even(s.run.AnswerRows[static_cast<std::size_t>(network)][2].number_value() - z, 2);
    row[2] = Cell::of_text(num_text(h));
    const std::wstring& t = row[1].text;
    const int kind = contains(t, L"д") ? kDelugeKind : contains(t, L"п") ? kFireCockKind : contains(t, L"с") ? kRackKind
                                                                                                              : kMainKind;
    if (h < 0)
      return refuse(L"Напор у оросителя в узле " + trim(t) + L" отрицателен (" + trim(num_text(h)) +
                        L" м в.ст.): сеть не обеспечивает расход через него. Расчет прерван.",
                    kStopTitle);
    const double q = round_half_even(
        s.imported.OutletDataInFile[static_cast<std::size_t>(kind)].k * std::sqrt(num_value(row[2].text)) * s.run.BalanceFactor, 2);
    row[3] = Cell::of_text(num_text(q));
    const auto i = static_cast<std::size_t>(kind);
    sum[i] += q;
    least_head[i] = std::min(least_head[i], num_value(row[2].text));
    least_flow[i] = std::min(least_flow[i], num_value(row[3].text));
  }
  s.printout.MainFlowSum = sum[kMainKind];
  s.printout.RackFlowSum = sum[kRackKind];
  s.printout.DelugeFlowSum = sum[kDelugeKind];
  s.printout.FireCockFlowSum = sum[kFireCockKind];

  auto intensity = [&](int kind, const std::wstring& area, int decimals, std::wstring& field) {
    const double a = num_value(area);
    if (a <= 0) return false;
    field = design_text(round_half_even(least_flow[static_cast<std::size_t>(kind)] / a, decimals));
    return true;
  };
  if (least_head[kMainKind] != kNone) {
    if (!intensity(kMainKind, f.Text1[1], 2, f.Text20))
      return refuse(L"Не задана площадь, защищаемая одним основным спринклером. Расчет прерван.", kStopTitle);
    f.Text21 = design_text(least_head[kMainKind]);
  }
  if (least_head[kRackKind] != kNone) {
    if (!intensity(kRackKind, f.Text17, 3, f.Text22))
      return refuse(L"Не задана площадь, защищаемая одним внутристеллажным спринклером. Расчет прерван.", kStopTitle);
    f.Text23 = design_text(least_head[kRackKind]);
  }
  if (least_head[kDelugeKind] != kNone) {
    f.Text24 = design_text(least_flow[kDelugeKind]);
    f.Text25 = design_text(least_head[kDelugeKind]);
  }
  if (least_head[kFireCockKind] != kNone) {
    f.Text26 = design_text(least_flow[kFireCockKind]);
    f.Text27 = design_text(least_head[kFireCockKind]);
  }
  return StageEnd::Continue;
}

}  // namespace dorv::arb
