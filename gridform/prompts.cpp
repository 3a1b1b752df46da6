#include "gridform/prompts.h"

#include <cmath>

#include "platform/host.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::grid {

double num(std::wstring_view text) { return num_value(text); }

std::wstring placed_input(const std::wstring& prompt, const std::wstring& title) {
  return ui::input_box(prompt, title, L"", kPlacedLeft, kPlacedTop);
}

bool gives_up_start() {
  return ui::msg_box(L"Отказ от пуска?", ui::MsgButtons::YesNo, ui::MsgIcon::None, L"Отказ") == ui::MsgResult::Yes;
}

void refuse(const std::wstring& text) {
  ui::msg_box(text, ui::MsgButtons::OK, ui::MsgIcon::Critical, kWarningTitle);
}

bool refuses_too_large(double value, const std::wstring& field) {
  if (std::isfinite(value)) return false;
  refuse(L"Внимание! Значение " + kQuote + trim(field) + kQuote +
         L" слишком велико. Нажмите ОК для возврата к началу расчета.");
  return true;
}

}  // namespace dorv::grid
