// The feed pipeline asked for section by section when the form gives none,
// its sections checked, and the run confirmed.
#include <cmath>

#include "gridform/feedpipe.h"
#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "platform/host.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {
namespace {

const std::wstring kFeedTitle = L"Питающий трубопровод";

// One answer of the dialogue; false when the user gave the run up.
bool ask(const std::wstring& prompt, std::wstring& answer) {
  for (;;) {
    answer = placed_input(prompt, kFeedTitle);
    if (!answer.empty()) return true;
    if (gives_up_start()) return false;
  }
}

bool ask_sections(std::wstring& text) {
  for (int n = 1;; ++n) {
    const std::wstring number = num_text(n);
    std::wstring length, diameter, height;
    if (!ask(L"Укажите длину участка N" + number +
                 L" питающего трубопровода или введите любую БУКВУ, если такого участка нет.",
             length))
      return false;
    length = first_comma_to_point(length);
    if (num_value(length) == 0) return true;
    text += (n == 1 ? L"" : L",") + length;
    if (!ask(L"Укажите диаметр трубы участка N" + number +
                 L" питающего трубопровода или введите любую БУКВУ для автоматического расчета диаметра.",
             diameter))
      return false;
    if (num_value(diameter) > 0) text += L"d" + diameter;
    if (!ask(L"Укажите перепад высот на участке N" + number +
                 L" питающего трубопровода или введите любую БУКВУ, если перепад отсутствует.",
             height))
      return false;
    height = first_comma_to_point(height);
    if (num_value(height) != 0) text += L"h" + height;
  }
}

// What makes a section unfit for the calculation, as the sentence that says
// so; empty for a sound one.
std::wstring feed_section_problem(const std::wstring& text, const std::wstring& number) {
  const std::wstring section = L" участка N" + number + L" питающего трубопровода";
  const FeedSectionText parsed = parse_feed_section(text);
  if (parsed.height_before_diameter)
    return L"На участке N" + number + L" питающего трубопровода перепад высот (h) указан перед диаметром (d).";
  if (!reads_whole(parsed.length_text))
    return L"Длина" + section + L" (" + kQuote + trim(parsed.length_text) + kQuote + L") не читается как число.";
  // A diameter may carry the "*" of the second standard after its number.
  std::wstring diameter = trim(parsed.diameter);
  if (diameter.ends_with(L"*")) diameter.pop_back();
  if (!reads_whole(diameter))
    return L"Диаметр трубы" + section + L" (" + kQuote + trim(parsed.diameter) + kQuote + L") не читается как число.";
  if (!reads_whole(parsed.height))
    return L"Перепад высот на участке N" + number + L" питающего трубопровода (" + kQuote + trim(parsed.height) +
           kQuote + L") не читается как число.";
  if (!(parsed.length >= 0 && parsed.length <= kFeedLengthLimit))
    return L"Длина" + section + L" должна быть не меньше 0 и не больше " + num_text_trim(kFeedLengthLimit) + L" м.";
  if (!(std::fabs(num(parsed.height)) <= kFeedHeightLimit))
    return L"Перепад высот на участке N" + number + L" питающего трубопровода должен быть не больше " +
           num_text_trim(kFeedHeightLimit) + L" м по абсолютной величине.";
  return {};
}

}  // namespace

StageEnd AskFeedPipeline(GridRun& run) {
  auto& f = run.form;
  if (!(num(f.Text4) > 0)) {
    std::wstring text;
    if (!ask_sections(text)) {
      f.Text4.clear();
      return StageEnd::GiveUp;
    }
    f.Text4 = text;
  }
  // A section that would be computed as some other pipeline than the one
  // written, or as one that no building has, is refused before anything is
  // written: the user sees the string and can mend it.
  const auto sections = split_feed_sections(f.Text4);
  for (std::size_t k = 0; k < sections.size(); ++k) {
    const std::wstring problem = feed_section_problem(sections[k], num_text(static_cast<double>(k + 1)));
    if (!problem.empty()) {
      refuse(L"Внимание! " + problem + L" Нажмите ОК для возврата к началу расчета.");
      return StageEnd::CommonExit;
    }
  }
  if (ui::msg_box(L"Выполнить расчет?", ui::MsgButtons::YesNo, ui::MsgIcon::None, L"Запрос") != ui::MsgResult::Yes)
    return StageEnd::GiveUp;
  run.state.ResultsValidFlag = 0;
  if (run.hooks.draw_scheme) run.hooks.draw_scheme();
  return StageEnd::Continue;
}

}  // namespace dorv::grid
