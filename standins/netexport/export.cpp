#include "standins/netexport/export.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "tables/k_factor.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::netexport {

double network_file_value(double x) { return round_half_even(x, kNetworkFileDecimals); }

namespace {

std::wstring num(double x) { return num_text_trim(network_file_value(x)); }

// What the network file can hold: a value computed from numbers near the
// range of a double may have left it, and a positive conductance below the
// file's eight decimals would be written as none. what names the value.
void check_writable(double x, const std::wstring& what) {
  if (!std::isfinite(x)) throw DescriptionError(0, what + L": слишком большое число для файла сети");
}
void check_writable_positive(double x, const std::wstring& what) {
  check_writable(x, what);
  if (!(network_file_value(x) > 0)) throw DescriptionError(0, what + L": меньше 0.00000001, в файле сети было бы 0");
}

std::wstring kind_name(OutletKind k) {
  switch (k) {
    case OutletKind::Main: return L"main";
    case OutletKind::Rack: return L"rack";
    case OutletKind::Deluge: return L"deluge";
    case OutletKind::FireCock: return L"cock";
  }
  return L"";
}

struct OutletData {
  double k = 0;          // conductance of the outlet's own link
  double free_head = 0;  // m, required before the outlet
};

// K-factor and required free head of each kind from the head values.
OutletData outlet_data(const Description& d, OutletKind kind) {
  OutletData o;
  auto sprinkler = [&](const std::wstring& i, const std::wstring& s, const std::wstring& k) {
    if (i.empty() || num_value(k) <= 0)
      throw DescriptionError(0, L"для оросителей вида " + kind_name(kind) + L" не заданы интенсивность, площадь и К-фактор");
    o.k = tables::sprinkler_k_factor(num_value(k), tables::KRounding::None);
    const double h = num_value(i) * num_value(s) / o.k;
    o.free_head = round_half_even(h * h, 2);
  };
  auto fixed_flow = [&](const std::wstring& q, const std::wstring& h) {
    if (num_value(q) <= 0 || num_value(h) <= 0)
      throw DescriptionError(0, L"для оросителей вида " + kind_name(kind) + L" не заданы расход и свободный напор");
    o.k = num_value(q) / std::sqrt(num_value(h));
    o.free_head = num_value(h);
  };
  switch (kind) {
    case OutletKind::Main: sprinkler(d.main_intensity, d.main_area, d.main_k); break;
    case OutletKind::Rack: sprinkler(d.rack_intensity, d.rack_area, d.rack_k); break;
    case OutletKind::Deluge: fixed_flow(d.deluge_flow, d.deluge_head); break;
    case OutletKind::FireCock: fixed_flow(d.cock_flow, d.cock_head); break;
  }
  check_writable_positive(o.k, L"проводимость выхода оросителей вида " + kind_name(kind));
  check_writable(o.free_head, L"свободный напор оросителей вида " + kind_name(kind));
  return o;
}

// Symbol codes of the scheme file for an operating outlet of each kind.
int symbol_code(OutletKind k) {
  switch (k) {
    case OutletKind::Main: return 3;
    case OutletKind::Rack: return 12;
    case OutletKind::Deluge: return 7;
    case OutletKind::FireCock: return 9;
  }
  return 3;
}

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

double pipe_conductance(double kt, double length) { return std::sqrt(kt / (1.2 * length)); }

Export build_export(const Description& d, const tables::PipeTable& main, const tables::PipeTable& second) {
  const int n_nodes = static_cast<int>(d.nodes.size());
  const int m = static_cast<int>(d.outlets.size());

  // Pipes of each node in the order of the description.
  std::vector<std::vector<int>> pipes_at(n_nodes);
  for (std::size_t p = 0; p < d.pipes.size(); ++p) {
    pipes_at[d.pipes[p].a].push_back(static_cast<int>(p));
    pipes_at[d.pipes[p].b].push_back(static_cast<int>(p));
  }
  // Every node must reach the feed.
  std::vector<char> reached(n_nodes, 0);
  std::vector<int> stack = {d.feed};
  reached[d.feed] = 1;
  while (!stack.empty()) {
    const int v = stack.back();
    stack.pop_back();
    for (int p : pipes_at[v]) {
      const int w = d.pipes[p].a == v ? d.pipes[p].b : d.pipes[p].a;
      if (!reached[w]) reached[w] = 1, stack.push_back(w);
    }
  }
  for (int v = 0; v < n_nodes; ++v)
    if (!reached[v]) throw DescriptionError(0, L"узел " + d.nodes[v].number + L" не связан трубами с узлом питания");

  // Network numbers: the feed 0, the outlets' fixed-head nodes 1..M, the
  // sprinkler nodes M+1..2M (the outlet's number plus M), the junctions after.
  std::vector<int> net(n_nodes, -1);
  std::vector<int> outlet_of(n_nodes, -1);
  net[d.feed] = 0;
  for (int j = 0; j < m; ++j) {
    net[d.outlets[j].node] = m + 1 + j;
    outlet_of[d.outlets[j].node] = j;
  }
  int next = 2 * m + 1;
  for (int v = 0; v < n_nodes; ++v)
    if (net[v] < 0) net[v] = next++;

  std::map<OutletKind, OutletData> data;
  double highest = 0;
  for (const Outlet& o : d.outlets) {
    if (!data.count(o.kind)) data[o.kind] = outlet_data(d, o.kind);
    highest = std::max(highest, data[o.kind].free_head);
  }

  std::vector<double> conductance(d.pipes.size());
  for (std::size_t p = 0; p < d.pipes.size(); ++p) {
    const Pipe& pipe = d.pipes[p];
    const bool second_standard = ends_with(pipe.diameter, L"*");
    const tables::PipeTable& table = second_standard ? second : main;
    const double dn = num_value(pipe.diameter);
    const int row = table.row_of(dn);
    if (row == 0)
      throw DescriptionError(0, L"диаметра " + num_text_trim(dn) + L" нет в сортаменте «" +
                                    (second_standard ? d.second_standard : d.standard) + L"»");
    conductance[p] = pipe_conductance(table.rows[row - 1].kt, num_value(pipe.length));
    check_writable_positive(conductance[p], L"проводимость трубы " + d.nodes[pipe.a].number + L"-" +
                                                d.nodes[pipe.b].number + L" длиной " + pipe.length + L" м");
  }

  // Network section: one line per network node in number order.
  const int total = next;
  std::vector<std::wstring> net_lines(total);
  // The feed's head is only where the solver starts its search: above the
  // highest head that an outlet needs.
  double feed_head = 0;
  for (const Outlet& o : d.outlets) {
    const double start = d.nodes[o.node].elevation + data[o.kind].free_head + 10;
    check_writable(start, L"напор в узле " + d.nodes[o.node].number);
    feed_head = std::max(feed_head, start);
  }
  for (int v = 0; v < n_nodes; ++v) {
    std::wstring links;
    int count = 0;
    const double z = d.nodes[v].elevation;
    std::wstring kind = L"v";
    double head = z + highest;
    if (outlet_of[v] >= 0) {
      const OutletData& o = data[d.outlets[outlet_of[v]].kind];
      kind = L"o";
      head = z + o.free_head;
      links += L" " + std::to_wstring(outlet_of[v] + 1) + L" " + num(o.k);
      ++count;
      net_lines[outlet_of[v] + 1] =
          std::to_wstring(outlet_of[v] + 1) + L" p " + num(z) + L" 1 " + std::to_wstring(net[v]) + L" " + num(o.k);
    }
    if (v == d.feed) kind = L"p", head = feed_head;
    for (int p : pipes_at[v]) {
      const int w = d.pipes[p].a == v ? d.pipes[p].b : d.pipes[p].a;
      links += L" " + std::to_wstring(net[w]) + L" " + num(conductance[p]);
      ++count;
    }
    check_writable(head, L"напор в узле " + d.nodes[v].number);
    net_lines[net[v]] = std::to_wstring(net[v]) + L" " + kind + L" " + num(head) + L" " + std::to_wstring(count) + links;
  }
  Export e;
  auto& out = e.network;
  out = {L"#####", L"5.4.0", L"netexport"};
  std::wstring pipe_line = d.standard;
  if (!d.inlet_head.empty()) pipe_line += L"," + d.inlet_head;
  for (const std::wstring* v : std::initializer_list<const std::wstring*>{&d.contract, &d.object, &d.main_intensity, &d.main_area, &d.main_k, &pipe_line, &d.valve,
                                &d.second_standard, &d.deluge_flow, &d.deluge_head, &d.cock_flow, &d.cock_head,
                                &d.rack_intensity, &d.rack_area, &d.rack_k})
    out.push_back(*v);
  out.push_back(L"#####1");
  out.push_back(L"0.0001 0.0005 200000");
  for (const auto& l : net_lines) out.push_back(l);
  out.push_back(L"#####2");

  // Node lists by row number (the position of the node's line below "#####3").
  auto row = [](int v) { return std::to_wstring(v + 1); };
  std::wstring all = std::to_wstring(m);
  for (const Outlet& o : d.outlets) all += L" " + row(o.node);
  out.push_back(all);
  for (OutletKind k : {OutletKind::Deluge, OutletKind::FireCock, OutletKind::Rack}) {
    std::wstring rows;
    int c = 0;
    for (const Outlet& o : d.outlets)
      if (o.kind == k) rows += L" " + row(o.node), ++c;
    out.push_back(std::to_wstring(c) + rows);
  }
  out.push_back(L"#####3");
  for (int v = 0; v < n_nodes; ++v) {
    const Node& node = d.nodes[v];
    std::wstring line = node.number + L" " + std::to_wstring(net[v]) + L" " + num(node.elevation) + L" " +
                        std::to_wstring(pipes_at[v].size());
    int fields = 4;
    for (int p : pipes_at[v]) {
      const Pipe& pipe = d.pipes[p];
      const int w = pipe.a == v ? pipe.b : pipe.a;
      line += L" " + row(w) + L" " + num(num_value(pipe.length)) + L" " + pipe.diameter;
      fields += 3;
    }
    for (; fields < 17; ++fields) line += L" 0";
    out.push_back(line);
  }
  out.push_back(L"#####4");
  if (d.control_unit) {
    int a = d.control_unit->first, b = d.control_unit->second;
    if (d.nodes[b].elevation < d.nodes[a].elevation || (d.nodes[b].elevation == d.nodes[a].elevation && b < a))
      std::swap(a, b);
    out.push_back(row(a));
    out.push_back(row(b));
  } else {
    out.push_back(L"nil");
    out.push_back(L"nil");
  }
  out.push_back(L"0");

  // Scheme: the nodes' extent with a margin, pipes, outlets, feed, labels.
  double x0 = d.nodes[0].x, x1 = x0, y0 = d.nodes[0].y, y1 = y0;
  for (const Node& n : d.nodes) {
    x0 = std::min(x0, n.x), x1 = std::max(x1, n.x);
    y0 = std::min(y0, n.y), y1 = std::max(y1, n.y);
  }
  const double margin = std::max({(x1 - x0) * 0.08, (y1 - y0) * 0.08, 10.0});
  x0 -= margin, y0 -= margin, x1 += margin, y1 += margin;
  const double text_h = std::max(x1 - x0, y1 - y0) / 50;
  // Room on the right for the labels beside the rightmost pipes and nodes.
  x1 += 5 * text_h;
  // Nodes drawn near the range of a double may leave a place or the extent
  // beyond it: such a scheme cannot be written, and the node farthest out
  // is named.
  bool beyond = false;
  auto place = [&](double v) {
    beyond = beyond || !std::isfinite(v);
    return num(v);
  };
  auto& s = e.scheme;
  s.push_back(place(x0) + L"," + place(y0) + L"," + place(x1 - x0) + L"," + place(y1 - y0));
  for (const Pipe& p : d.pipes) {
    const Node& a = d.nodes[p.a];
    const Node& b = d.nodes[p.b];
    s.push_back(L"2," + place(a.x) + L"," + place(a.y) + L"," + place(b.x) + L"," + place(b.y));
    // A label is written up and to the right of its point: above a pipe that
    // runs across, beside one that runs up or down, never on the pipe.
    const bool upright = std::abs(b.y - a.y) > std::abs(b.x - a.x);
    const double mx = (a.x + b.x) / 2 + (upright ? 2 * text_h : 0), my = (a.y + b.y) / 2 + (upright ? text_h : 0);
    s.push_back(L"5," + place(mx) + L"," + place(my) + L"," + quoted(p.diameter + L" L=" + p.length) + L"," + place(text_h));
  }
  if (d.control_unit) {
    const Node& a = d.nodes[d.control_unit->first];
    const Node& b = d.nodes[d.control_unit->second];
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2, r = text_h;
    s.push_back(L"11," + place(mx - r) + L"," + place(my - r) + L"," + place(mx - r) + L"," + place(my + r) + L"," +
                place(mx + r) + L"," + place(my + r) + L"," + place(mx + r) + L"," + place(my - r));
  }
  for (const Outlet& o : d.outlets) {
    const Node& n = d.nodes[o.node];
    s.push_back(std::to_wstring(symbol_code(o.kind)) + L"," + place(n.x) + L"," + place(n.y));
  }
  s.push_back(L"6," + place(d.nodes[d.feed].x) + L"," + place(d.nodes[d.feed].y));
  for (const Node& n : d.nodes)
    s.push_back(L"5," + place(n.x + 2 * text_h) + L"," + place(n.y - text_h) + L"," + quoted(n.number) + L"," + place(text_h));
  if (beyond) {
    const auto farthest = std::max_element(d.nodes.begin(), d.nodes.end(), [](const Node& a, const Node& b) {
      return std::max(std::abs(a.x), std::abs(a.y)) < std::max(std::abs(b.x), std::abs(b.y));
    });
    throw DescriptionError(0, L"координаты узла " + farthest->number + L": слишком большие числа для файла схемы");
  }
  return e;
}

}  // namespace dorv::netexport
