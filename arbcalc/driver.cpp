// "Пуск" of Form4: the checks of loaded data and version, the given inlet
// head, the form's data, then the stages of the calculation in order.
#include <cmath>
#include <tuple>

#include "arbcalc/arbrun.h"
#include "arbmodel/field_rules.h"
#include "arbmodel/field_values.h"
#include "arbmodel/form4_files.h"
#include "arbmodel/network_import.h"
#include "arbmodel/pipe_tables.h"
#include "platform/files.h"
#include "platform/host.h"
#include "tables/k_factor.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {
using ui::MsgButtons;
using ui::MsgIcon;

namespace {

constexpr double kOldestVersion = 520;

// The version of the program that wrote the report's first line: the text
// after the product word and the blank behind it, points removed.
double version_of_report_title(const std::wstring& line) {
  const std::size_t found = line.find(L"Дорв");
  const long long p = found == std::wstring::npos ? 0 : static_cast<long long>(found) + 1;
  const long long keep = static_cast<long long>(line.size()) - p - 4;
  if (keep <= 0) return 0;
  std::wstring v = right(line, static_cast<std::size_t>(keep));
  std::erase(v, L'.');
  return num_value(v);
}

// A number longer than any double holds reads as an infinity, and a field
// rule whose result overflowed shows one as "Inf": no value to compute
// with, and no reason to blame it on anything else.
bool too_large(const std::wstring& text) {
  const std::wstring t = ltrim(text);
  return !std::isfinite(field_value(t)) || t.starts_with(L"Inf") || t.starts_with(L"-Inf");
}

bool holds_number(const std::wstring& text) { return starts_with_number(all_commas_to_point(text)); }

// A numeric field of the outlets as the run reads it.
struct InputField {
  std::wstring* text;
  std::wstring name;  // as a message names it
  int kind;           // the outlet kind whose field it is
  ValueRange range;
};

// The main and the rack sprinklers' intensity, area, K-factor and free head
// (fields 0 to 3 and 4 to 7), then the flow and free head of the deluge
// heads and of the fire cocks.
std::vector<InputField> input_fields(NetworkFormTexts& f) {
  const std::wstring main = L"Основные спринклеры: ", rack = L"Внутристеллажные спринклеры: ";
  const ValueRange sprinkler[] = {kIntensityRange, kAreaRange, kKFactorRange, kFreeHeadRange};
  std::vector<InputField> fields;
  for (int i = 0; i < 4; ++i) fields.push_back({&f.Text1[i], main + f.Label1[i], kMainKind, sprinkler[i]});
  const std::pair<std::wstring*, const std::wstring*> rack_fields[] = {
      {&f.Text16, &f.Label15}, {&f.Text17, &f.Label16}, {&f.Text18, &f.Label17}, {&f.Text19, &f.Label18}};
  for (int i = 0; i < 4; ++i)
    fields.push_back({rack_fields[i].first, rack + *rack_fields[i].second, kRackKind, sprinkler[i]});
  fields.push_back({&f.Text11, f.Label5, kDelugeKind, kFlowRange});
  fields.push_back({&f.Text12, f.Label9, kDelugeKind, kFreeHeadRange});
  fields.push_back({&f.Text13, f.Label8, kFireCockKind, kFlowRange});
  fields.push_back({&f.Text14, f.Label10, kFireCockKind, kFreeHeadRange});
  return fields;
}

// Before anything is asked for: the first field too large for any number
// is named, then the first value given for an outlet of the network outside
// its range; Continue when there is none.
StageEnd refuse_given_values(const std::vector<InputField>& fields, const std::array<bool, 4>& present,
                             const std::wstring& given_head_text) {
  for (const InputField& field : fields)
    if (too_large(*field.text)) return refuse_too_large(field.name);
  if (!std::isfinite(num_value(given_head_text))) return refuse_too_large(L"Заданный напор на входе в систему");
  for (const InputField& field : fields) {
    const double v = field_value(*field.text);
    if (!present[static_cast<std::size_t>(field.kind)] || !(v > 0)) continue;
    if (const RangeFault fault = range_fault(v, field.range); fault != RangeFault::None)
      return refuse_out_of_range(field.name, fault);
  }
  return StageEnd::Continue;
}

// Once the missing values are given: every value that an outlet of the
// network is computed with lies in its range. A sprinkler group's free head
// or intensity that the field rules left empty is what they computed, which
// lay outside its range.
StageEnd refuse_values_out_of_range(const std::vector<InputField>& fields, const std::array<bool, 4>& present,
                                    const std::wstring& given_head_text) {
  if (refuse_given_values(fields, present, given_head_text) == StageEnd::Stop) return StageEnd::Stop;
  for (const InputField& field : fields) {
    if (!present[static_cast<std::size_t>(field.kind)] || !holds_number(*field.text)) continue;
    if (const RangeFault fault = range_fault(field_value(*field.text), field.range); fault != RangeFault::None)
      return refuse_out_of_range(field.name, fault);
  }
  for (const std::size_t first : {std::size_t{0}, std::size_t{4}}) {
    if (!present[static_cast<std::size_t>(fields[first].kind)]) continue;
    auto value = [&](std::size_t i) { return field_value(*fields[first + i].text); };
    for (const std::size_t computed : {std::size_t{0}, std::size_t{3}}) {
      if (holds_number(*fields[first + computed].text)) continue;
      const double v = computed == 0 ? unchecked_intensity(value(3), value(1), value(2))
                                     : unchecked_free_head(value(0), value(1), value(2));
      if (const RangeFault fault = range_fault(v, fields[first + computed].range); fault != RangeFault::None)
        return refuse_out_of_range(fields[first + computed].name, fault);
    }
  }
  return StageEnd::Continue;
}

// Asks for a value the run cannot do without until one above 0 is given;
// false when the user gives the run up instead. The answer shows in the
// field as the value it reads as; `answered` tells that one was given.
bool ask_until_given(std::wstring& field, const std::wstring& name, bool& answered) {
  while (!(field_value(field) > 0)) {
    const double answer =
        field_value(ui::input_box(L"Пожалуйста, введите: " + name, L"Ввод исх. данных", L"", 6000, 3000));
    if (answer > 0) {
      field = field_number_text(answer);
      answered = true;
    } else if (ui::msg_box(L"Отказ от пуска?", MsgButtons::YesNo, MsgIcon::None, L"Отказ") == ui::MsgResult::Yes) {
      return false;
    }
  }
  return true;
}

// The outlet kinds the network holds, told by their letters as the
// calculation tells them.
std::array<bool, 4> kinds_present(const Form4State& s) {
  std::array<bool, 4> present{};
  for (std::size_t k = 1; k < s.imported.OutletTable.size() && static_cast<double>(k) < s.imported.OutletListSize; ++k) {
    const std::wstring& t = s.imported.OutletTable[k][1].text;
    const int kind = contains(t, L"д") ? kDelugeKind : contains(t, L"п") ? kFireCockKind : contains(t, L"с") ? kRackKind
                                                                                                          : kMainKind;
    present[static_cast<std::size_t>(kind)] = true;
  }
  return present;
}

// Every value that the outlets of the network need, asked for when a field
// is empty or not above 0: a free head of 0 would be solved as given, and
// the report and the record would show blanks. A sprinkler group's free head
// and intensity follow from each other by the field rules, so only both
// missing ask for the intensity. A value given here is the form's from now
// on: its group shows, as the import shows a group whose values it read.
StageEnd ask_for_missing_values(NetworkFormTexts& f, ImportedValues& imported, const std::array<bool, 4>& present) {
  std::array<bool, 4> answered{};
  const StageEnd end = [&] {
    struct SprinklerGroup {
      int kind;
      const std::wstring& group;
      SprinklerTexts fields;  // intensity, area, K-factor, free head
      std::array<const std::wstring*, 4> captions;
      void (*field_left)(const SprinklerTexts&, int, ImportedValues&);  // the field rules
    };
    const SprinklerGroup sprinklers[] = {
        {kMainKind, f.Label11, {&f.Text1[0], &f.Text1[1], &f.Text1[2], &f.Text1[3]},
         {&f.Label1[0], &f.Label1[1], &f.Label1[2], &f.Label1[3]}, main_sprinkler_field_left},
        {kRackKind, f.Label14, {&f.Text16, &f.Text17, &f.Text18, &f.Text19}, {&f.Label15, &f.Label16, &f.Label17, &f.Label18},
         rack_sprinkler_field_left},
    };
    for (const SprinklerGroup& g : sprinklers) {
      const auto kind = static_cast<std::size_t>(g.kind);
      if (!present[kind]) continue;
      const std::wstring group = g.group + L": ";
      for (int i : {1, 2})
        if (!ask_until_given(*g.fields[i], group + *g.captions[i], answered[kind])) return StageEnd::Stop;
      if (!(field_value(*g.fields[3]) > 0) && !ask_until_given(*g.fields[0], group + *g.captions[0], answered[kind]))
        return StageEnd::Stop;
      if (!(field_value(*g.fields[3]) > 0)) g.field_left(g.fields, 0, imported);
      if (!(field_value(*g.fields[0]) > 0)) g.field_left(g.fields, 3, imported);
    }
    const std::tuple<int, std::wstring&, const std::wstring&> flows[] = {
        {kDelugeKind, f.Text11, f.Label5}, {kDelugeKind, f.Text12, f.Label9},
        {kFireCockKind, f.Text13, f.Label8}, {kFireCockKind, f.Text14, f.Label10}};
    for (const auto& [kind, field, caption] : flows)
      if (present[static_cast<std::size_t>(kind)] &&
          !ask_until_given(field, caption, answered[static_cast<std::size_t>(kind)]))
        return StageEnd::Stop;
    return StageEnd::Continue;
  }();
  for (std::size_t kind = 0; kind < 4; ++kind)
    if (answered[kind]) f.GroupsToShow[kind] = f.GroupShown[kind] = true;
  return end;
}

// The outlet data that the import would have taken from the head lines,
// had the export carried the values that its fields now hold: for a kind of
// the network whose export lacked them, the values given since are the
// imported ones, so that the sprinklers get the K-factors and heads the
// network data carry for them, and a later change applies as a change of
// imported values does.
void take_given_values_as_imported(ArbRun& run, const std::array<bool, 4>& present) {
  ImportedValues& imported = run.s.imported;
  bool taken = false;
  for (int kind = 0; kind < 4; ++kind) {
    const auto k = static_cast<std::size_t>(kind);
    OutletData& data = imported.ImportedOutletData[k];
    if (!present[k] || (data.k > 0 && data.head > 0)) continue;
    data = {run.current_k(kind), run.FreeHead[k]};
    imported.OutletDataInFile[k] = data;
    if (kind == kMainKind) imported.LoadedMainIntensity = field_value(run.f.Text1[0]);
    taken = true;
  }
  if (!taken) return;
  std::array<double, 4> heads{};
  for (std::size_t k = 0; k < 4; ++k) heads[k] = imported.ImportedOutletData[k].head;
  imported.LoadedHighestFreeHead = highest_free_head(heads);
}

}  // namespace

StageEnd refuse_out_of_range(const std::wstring& what, RangeFault fault) {
  return refuse(L"Значение \"" + trim(what) + L"\" слишком " + (fault == RangeFault::TooSmall ? L"мало" : L"велико") +
                    L". Нажмите ОК для возврата к началу расчета.",
                L"Предупреждение");
}

StageEnd refuse_too_large(const std::wstring& what) { return refuse_out_of_range(what, RangeFault::TooLarge); }

double ArbRun::current_k(int kind) const {
  switch (kind) {
    case kMainKind: return s.imported.MainSprinklerK;
    case kRackKind: return RackSprinklerK;
    case kDelugeKind: return DelugeK;
    default: return FireCockK;
  }
}

StageEnd refuse(const std::wstring& text, const std::wstring& title) {
  ui::msg_box(text, MsgButtons::OK, MsgIcon::None, title);
  return StageEnd::Stop;
}

StageEnd check_and_take_input(ArbRun& run) {
  NetworkFormTexts& f = run.f;
  Form4State& s = run.s;
  if (sys::file_exists(L"rezult.ko2"))
    return refuse(L"Вы НЕ выполнили загрузку подготовленных приложением ВИРН-Дорв Графика данных.\r\n"
                  L"Нажмите кнопку ЗАГРУЗКА ДАННЫХ основной панели.",
                  L"Предупреждение");
  if (run.hooks.calc_id == L"TI" && s.imported.DataVersion < kOldestVersion)
    return refuse(L"Поскольку подготовка данных для расчета была выполнена устаревшей версией программы, для "
                  L"выполнения расчета перейдите в Автокад и произведите новую обработку расчетной схемы",
                  L"Устаревшая версия");
  if (run.hooks.calc_id != L"TI" && sys::file_exists(L"rezres.txt")) {
    if (s.imported.DataVersion < kOldestVersion) {
      // A report that cannot be read names no version: the data's own stands.
      const auto report = read_file_lines(L"rezres.txt").value_or(std::vector<std::wstring>{});
      if (!report.empty()) s.imported.DataVersion = version_of_report_title(report[0]);
    }
    if (s.imported.DataVersion > 0 && s.imported.DataVersion < kOldestVersion)
      return refuse(L"Редактируемый расчет был выполнен устаревшей версией программы. Для редактирования данного "
                    L"расчета перейдите в Автокад и произведите новую обработку расчетной схемы",
                    L"Устаревшая версия");
  }
  if (s.imported.NetworkLoaded == 0) {
    f.ImportToShow = import_network(s, f, run.hooks.stored_input_path);
    if (run.hooks.show_texts) run.hooks.show_texts(f);
  }
  // An import that failed has told the user why; there is nothing to compute.
  if (s.imported.NetworkLoaded == 0) return refuse(L"Исходные данные для расчета не загружены!", L"Нет исходных данных");

  if (s.imported.GivenInletHead > 0) {
    f.GivenInletPressureMode = true;
    if (run.hooks.show_texts) run.hooks.show_texts(f);
    const ui::MsgResult answer = ui::msg_box(
        L"Данный гидравлический расчет был выполнен для напора на входе в систему " + num_text(s.imported.GivenInletHead) +
            L" м в.ст.\r\nДля редактирования этого расчета нажмите ОК.\r\nДля выполнения обычного расчета с "
            L"определением напора на входе в систему нажмите ОТМЕНА (Cancel)",
        MsgButtons::OKCancel, MsgIcon::Information, L"Предупреждение");
    if (answer == ui::MsgResult::Cancel) {
      f.GivenInletPressureMode = false;
      s.imported.GivenInletHead = 0;
    }
  }
  if (f.GivenInletPressureMode) {
    run.GivenHeadText = all_commas_to_point(
        ui::input_box(L"Задайте напор на вводе в систему.", L"Заданный напор", num_text(s.imported.GivenInletHead), 6000, 3000));
    s.imported.GivenInletHead = num_value(run.GivenHeadText);
  } else {
    s.imported.GivenInletHead = 0;
  }

  // The fields of the network's outlets show the values the run computes
  // with ("1e30" is read as 1, and shows so).
  const std::array<bool, 4> present = kinds_present(s);
  const std::vector<InputField> fields = input_fields(f);
  for (const InputField& field : fields) {
    const double v = field_value(*field.text);
    if (present[static_cast<std::size_t>(field.kind)] && holds_number(*field.text) && std::isfinite(v))
      *field.text = field_number_text(v);
  }
  // A value out of range is told before a field is asked for, and an answer
  // out of range after.
  if (refuse_given_values(fields, present, run.GivenHeadText) == StageEnd::Stop) {
    s.imported.GivenInletHead = 0;
    return StageEnd::Stop;
  }
  if (ask_for_missing_values(f, s.imported, present) == StageEnd::Stop) return StageEnd::Stop;
  if (refuse_values_out_of_range(fields, present, run.GivenHeadText) == StageEnd::Stop) {
    s.imported.GivenInletHead = 0;
    return StageEnd::Stop;
  }
  run.FreeHead[kMainKind] = field_value(f.Text1[3]);
  run.FreeHead[kRackKind] = field_value(f.Text19);
  run.FreeHead[kDelugeKind] = field_value(f.Text12);
  run.FreeHead[kFireCockKind] = field_value(f.Text14);
  if (const double k = field_value(f.Text1[2]); k > 0)
    s.imported.MainSprinklerK = tables::sprinkler_k_factor(k, tables::KRounding::DividedHalfEven8);
  const double rack_k = field_value(f.Text18);
  run.RackSprinklerK = rack_k > 0 ? tables::sprinkler_k_factor(rack_k, tables::KRounding::DividedHalfEven8) : 0;
  auto outlet_k = [](double flow, double head) {
    return flow > 0 && head > 0 ? round_half_even(flow / std::sqrt(head), 8) : 0.0;
  };
  run.DelugeK = outlet_k(field_value(f.Text11), run.FreeHead[kDelugeKind]);
  run.FireCockK = outlet_k(field_value(f.Text13), run.FreeHead[kFireCockKind]);
  take_given_values_as_imported(run, present);

  load_main_pipe_table(s.imported, f.Text9);
  // A second standard of an earlier run must not stand in for a missing one.
  s.imported.SecondPipeTable = {};
  s.imported.SecondPipeRows = 0;
  if (!f.Text10.empty()) {
    s.printout.SecondStandardNote = L" по " + trim(f.Text10);
    load_second_pipe_table(s.imported, f.Text10);
  } else {
    s.printout.SecondStandardNote = L"";
  }
  if (f.Text9 == kNoStandard) return refuse(L"Исходные данные для расчета не загружены!", L"Нет исходных данных");

  run.HighestFreeHead = highest_free_head(run.FreeHead);
  return StageEnd::Continue;
}

bool run_arbitrary_calculation(NetworkFormTexts& texts, Form4State& state, const NetworkRunHooks& hooks) {
  ArbRun run(texts, state, hooks);
  if (check_and_take_input(run) == StageEnd::Stop) return false;
  for (auto stage : {GivenPressureLoop, read_answer_rows, SectionFlows, control_unit_and_results, update_network_record,
                     WriteNetworkReport})
    if (stage(run) == StageEnd::Stop) return false;
  run.s.run.CalculationEndedFlag = 1;
  run.s.printout.ResultsValid = 1;
  return true;
}

}  // namespace dorv::arb
