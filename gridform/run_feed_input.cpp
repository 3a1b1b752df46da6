// The feed pipeline asked for section by section when the form gives none,
// its sections checked, and the run confirmed.
#include "gridform/feedpipe.h"
#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "platform/host.h"
#include "text/numtext.h"

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
  // A height written before the diameter has no meaning: say so before
  // anything is computed rather than compute some other pipeline.
  const auto sections = split_feed_sections(f.Text4);
  for (std::size_t k = 0; k < sections.size(); ++k) {
    if (parse_feed_section(sections[k]).height_before_diameter) {
      refuse(L"Внимание! На участке N" + num_text(static_cast<double>(k + 1)) +
             L" питающего трубопровода перепад высот (h) указан перед диаметром (d). Нажмите ОК для возврата к "
             L"началу расчета.");
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
