// Free heads, flow and pipe-table row of every pipe section. A section
// between two nodes of the solver network is computed from their heads; a
// section on a chain of pipes through nodes outside that network from the
// series conductance of the whole chain between the network nodes at its
// ends (or with no flow, when the chain ends blind).
#include <cmath>
#include <optional>

#include "arbcalc/arbrun.h"
#include "platform/host.h"
#include "register/modul1.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
namespace {

const wchar_t* const kStopTitle = L"Остановка расчета из-за ошибки";

struct Conductance {
  double c = 0;
  int row = -1;
};

struct Ends {
  double a = 0, b = 0;
};
Ends section_ends(const std::wstring& name) {
  const std::size_t dash = name.find(L'-');
  return {num_value(name), dash == std::wstring::npos ? 0 : num_value(name.substr(dash + 1))};
}

class Flows {
 public:
  explicit Flows(ArbRun& run) : run_(run), s_(run.s) {}

  StageEnd direct_pass();
  StageEnd series_pass();

 private:
  bool node_ok(double n) const { return n >= 1 && n < static_cast<double>(s_.imported.NodeTable.size()); }
  const Cell& node(double n, std::size_t column) const { return s_.imported.NodeTable[static_cast<std::size_t>(n)][column]; }
  double network(double n) const { return node(n, 2).number_value(); }
  double elevation(double n) const { return node(n, 3).number_value(); }
  bool dead_end(double n) const { return node(n, 4).number_value() == 1; }
  // The head the solver found at a node of its network.
  std::optional<double> head(double n) const {
    const double r = network(n);
    if (r < 0 || r >= static_cast<double>(s_.run.AnswerRows.size())) return std::nullopt;
    return s_.run.AnswerRows[static_cast<std::size_t>(r)][2].number_value();
  }
  std::optional<Conductance> conductance(const Cell& length, const Cell& diameter, bool second, const std::wstring& name);
  StageEnd series_part_flow(std::size_t k);
  StageEnd fail(const std::wstring& text) const { return refuse(text, kStopTitle); }

  ArbRun& run_;
  Form4State& s_;
};

// The conductance of a pipe with the 20 % reserve for local losses: its loss
// at flow Q is (Q/C)^2 = 1.2 L Q^2 / K_T.
std::optional<Conductance> Flows::conductance(const Cell& length, const Cell& diameter, bool second,
                                              const std::wstring& name) {
  const double l = length.number_value();
  const double dn = diameter.number_value();
  Conductance out;
  double kt = 0;
  if (second) {
    out.row = s_.imported.SecondPipeTable.row_of(dn);
    if (out.row == 0) {
      fail(L"Диаметр " + trim(diameter.str()) + L" участка" + name + L" отсутствует в таблице труб" +
           s_.printout.SecondStandardNote + L". Расчет прерван.");
      return std::nullopt;
    }
    kt = s_.imported.SecondPipeTable.rows[static_cast<std::size_t>(out.row - 1)].kt;
  } else {
    out.row = s_.imported.MainPipeTable.row_of(dn);
    if (out.row > 0) {
      kt = s_.imported.MainPipeTable.rows[static_cast<std::size_t>(out.row - 1)].kt;
    } else {
      out.row = -1;
      kt = reg::Modul1::LookupKltr(dn, 1);
    }
  }
  if (!(l > 0) || !(kt > 0)) {
    fail(L"Участок" + name + (l > 0 ? L": удельная характеристика трубы диаметром " + trim(diameter.str()) + L" равна нулю"
                                     : L": длина участка равна нулю") +
         L". Расчет прерван.");
    return std::nullopt;
  }
  out.c = std::sqrt(kt / l / 1.2);
  return out;
}

StageEnd Flows::direct_pass() {
  Table& t = s_.imported.SectionTable;
  for (std::size_t k = 1; k < t.size(); ++k) {
    auto& row = t[k];
    const Ends e = section_ends(row[1].text);
    if (!node_ok(e.a) || !node_ok(e.b)) return fail(L"Участок" + row[1].text + L" называет узел, которого нет в сети.");
    if (network(e.a) == -1 || network(e.b) == -1) continue;
    const auto ha = head(e.a), hb = head(e.b);
    if (!ha || !hb) return fail(L"В ответе программы расчета нет напора в узлах участка" + row[1].text + L".");
    row[5] = Cell::number(round_half_even(*ha - elevation(e.a), 2));
    row[6] = Cell::number(round_half_even(*hb - elevation(e.b), 2));
    const bool numeric = !row[3].is_text;
    const bool second = !numeric && contains(row[3].text, L"*");
    if (!numeric && !second) continue;
    const auto c = conductance(row[2], row[3], second, row[1].text);
    if (!c) return StageEnd::Stop;
    row[8] = Cell::number(c->row);
    double q = c->c * std::sqrt(std::fabs(*hb - *ha));
    if (numeric && (network(e.a) == 0 || network(e.b) == 0)) q = run_.InletFlow;
    row[7] = Cell::number(round_half_even(q, numeric ? 1 : 2));
    if (VelocityCheck(run_, k, q) == StageEnd::Stop) return StageEnd::Stop;
  }
  return StageEnd::Continue;
}

StageEnd Flows::series_part_flow(std::size_t k) {
  auto& row = s_.imported.SectionTable[k];
  const Ends e = section_ends(row[1].text);
  // Outward from one end, away from the other, to a network node or a dead
  // end; a chain longer than the network has nodes runs in a ring.
  struct Walk {
    double end = 0, c = 0;
  };
  auto walk = [&](double from, double away) -> std::optional<Walk> {
    Walk w{from, 0};
    double previous = away;
    for (std::size_t steps = 0; network(w.end) == -1 && !dead_end(w.end); ++steps) {
      if (steps >= s_.imported.NodeTable.size()) {
        fail(L"Цепочка труб участка" + row[1].text + L" не доходит ни до узла расчетной сети, ни до тупика.");
        return std::nullopt;
      }
      const std::size_t first = node(w.end, 5).number_value() != previous ? 5 : 8;
      const double next = node(w.end, first).number_value();
      if (!node_ok(next)) {
        fail(L"Цепочка труб участка" + row[1].text + L" называет узел, которого нет в сети.");
        return std::nullopt;
      }
      const auto c = conductance(node(w.end, first + 1), node(w.end, first + 2), node(w.end, first + 2).is_text,
                                 row[1].text);
      if (!c) return std::nullopt;
      w.c = w.c == 0 ? c->c : 1 / std::sqrt(1 / (w.c * w.c) + 1 / (c->c * c->c));
      previous = w.end;
      w.end = next;
    }
    return w;
  };
  const auto wa = walk(e.a, e.b);
  if (!wa) return StageEnd::Stop;
  const auto wb = walk(e.b, e.a);
  if (!wb) return StageEnd::Stop;

  const double outside = network(e.a) == -1 ? e.a : e.b;
  const double other = outside == e.a ? e.b : e.a;
  const std::size_t entry = node(outside, 5).number_value() == other ? 5 : 8;
  const auto cab = conductance(node(outside, entry + 1), node(outside, entry + 2), node(outside, entry + 2).is_text,
                               row[1].text);
  if (!cab) return StageEnd::Stop;
  row[8] = Cell::number(cab->row);
  double sum = 1 / (cab->c * cab->c);
  if (wa->c > 0) sum += 1 / (wa->c * wa->c);
  if (wb->c > 0) sum += 1 / (wb->c * wb->c);
  const double chain = 1 / std::sqrt(sum);

  double q = 0, ha = 0, hb = 0;
  const bool a_network = network(wa->end) != -1, b_network = network(wb->end) != -1;
  if (a_network && b_network) {
    const auto hea = head(wa->end), heb = head(wb->end);
    if (!hea || !heb) return fail(L"В ответе программы расчета нет напора в узлах цепочки участка" + row[1].text + L".");
    q = chain * std::sqrt(std::fabs(*hea - *heb));
    const double sign = *hea > *heb ? 1 : -1;
    ha = wa->c > 0 ? *hea - sign * (q / wa->c) * (q / wa->c) : *hea;
    hb = ha - sign * (q / cab->c) * (q / cab->c);
  } else if (a_network || b_network) {
    const auto h = head(a_network ? wa->end : wb->end);
    if (!h) return fail(L"В ответе программы расчета нет напора в узлах цепочки участка" + row[1].text + L".");
    ha = hb = *h;
  } else {
    return fail(L"Цепочка труб участка" + row[1].text + L" не связана с расчетной сетью.");
  }
  row[5] = Cell::number(round_half_even(ha - elevation(e.a), 2));
  row[6] = Cell::number(round_half_even(hb - elevation(e.b), 2));
  row[7] = Cell::number(round_half_even(q, 1));
  return VelocityCheck(run_, k, q);
}

StageEnd Flows::series_pass() {
  for (std::size_t k = 1; k < s_.imported.SectionTable.size(); ++k)
    if (s_.imported.SectionTable[k][5].empty() && series_part_flow(k) == StageEnd::Stop) return StageEnd::Stop;
  return StageEnd::Continue;
}

}  // namespace

StageEnd SectionFlows(ArbRun& run) {
  Flows flows(run);
  if (flows.direct_pass() == StageEnd::Stop) return StageEnd::Stop;
  return flows.series_pass();
}

}  // namespace dorv::arb
