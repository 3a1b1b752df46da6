#include "gridprint/grid_report_text.h"

namespace dorv::gridprint {

namespace {

void print_all(ui::Printer& printer, const std::vector<const wchar_t*>& lines) {
  for (const wchar_t* line : lines) printer.print(line);
}

}  // namespace

int SprinklerTableContinuation(ui::Printer& printer, const GridReportRows& rows, const GridTextStyle& style) {
  printer.text_font.bold = true;
  int first_slot = 10;
  if (style.english) {
    print_all(printer, {L"                Pressures and flows in sprinklers (sprinkler's tubes)",
                        L"                which form most adversely located square of a fire",
                        L"                                 (continuation)"});
    first_slot = 11;
  } else {
    print_all(printer, {L"                Напоры и расходы в оросителях, входящих в наиболее",
                        L"       неблагоприятно расположенный квадрат пожара решетки (продолжение)"});
  }
  printer.text_font.bold = false;
  // The column header as the report holds it, down to its closing rule.
  for (int r = rows.LastOneRow + 1; r <= rows.LastOneRow + 5; ++r) printer.print(rows.row(r));
  return first_slot;
}

int FeedTableContinuation(ui::Printer& printer, const GridReportRows& rows) {
  printer.text_font.bold = true;
  printer.print(L"          Напоры и расходы участков питающего трубопровода (продолжение)");
  for (int r = rows.FeedHeadingRow + 1; r <= rows.FeedHeadingRow + 6; ++r) printer.print(rows.row(r));
  return 9;
}

// The node table's header is not taken from the report: the English one has
// a line more (the units) and its own rule.
struct NodeHeader {
  std::vector<const wchar_t*> captions;
  std::wstring rule;
  std::vector<const wchar_t*> columns;
  const wchar_t* units;  // a last column line, or none
  int first_slot;
};

int NodeTableContinuation(ui::Printer& printer, const GridTextStyle& style) {
  const NodeHeader russian{{L"                Напоры и расходы в узлах основной и",
                            L"             дополнительной труб решетки (продолжение)"},
                           kNodeRule,
                           {L"          Номер |    Узлы осн. трубы  |   Узлы доп. трубы ",
                            L"          рядка |-------------------------------------------",
                            L"                |  Напор   |  Расход  |  Расход   |  Напор",
                            L"                |  м.в.ст. |   л/с    |   л/с     |  м.в.ст."},
                           nullptr,
                           11};
  const NodeHeader english{{L"                 Pressures and flows in nodes of left ",
                            L"                 and right cross mains (continuation)"},
                           std::wstring(12, L' ') + std::wstring(52, L'-'),
                           {L"                    |    Nodes of left    |    Nodes of right ",
                            L"             Branch |     cross mains     |     cross mains",
                            L"              line  |-------------------------------------------",
                            L"             nunber | Pressure, |  Flowe, |  Flowe,  | Pressure,"},
                           style.metric_units ? L"                    |    bar    |  L/min  |  L/min   |    bar"
                                              : L"                    |    psi    |   gpm   |   gpm    |    psi",
                           12};
  const NodeHeader& h = style.english ? english : russian;
  printer.text_font.bold = true;
  print_all(printer, h.captions);
  printer.text_font.bold = false;
  printer.print(h.rule);
  print_all(printer, h.columns);
  if (h.units) printer.print(h.units);
  printer.print(h.rule);
  return h.first_slot;
}

std::size_t stacked_fraction_slash(const std::wstring& text) {
  if (text.find(L"SDR") != std::wstring::npos || text.find(L"Full") != std::wstring::npos) return 0;
  if (text.size() < 53) return 0;
  const std::size_t at = text.find(L'/', 52);
  return at == std::wstring::npos ? 0 : at + 1;
}

void print_stacked_fraction_row(ui::Printer& printer, const std::wstring& text, std::size_t slash, bool feed_row) {
  // The whole inches stay in the line; the numerator, the slash and the
  // denominator give way to two blanks, and a "*" further on (the second
  // pipe standard's mark) follows directly.
  const std::size_t star = text.find(L'*', 52);
  std::wstring line = text.substr(0, slash >= 3 ? slash - 3 : 0) + L"  ";
  if (star != std::wstring::npos) line += text.substr(star);
  const wchar_t numerator = slash >= 2 ? text[slash - 2] : L' ';
  const wchar_t denominator = slash < text.size() ? text[slash] : L' ';
  const report::FractionColumns columns =
      feed_row ? report::FractionColumns{9830, 9900, 10000} : report::FractionColumns{8960, 9030, 9130};
  report::StackedFraction(printer, line, numerator, denominator, columns);
}

}  // namespace dorv::gridprint
