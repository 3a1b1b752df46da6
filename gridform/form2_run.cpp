#include "gridform/form2.h"
#include "platform/host.h"

namespace dorv::grid {

// The calculation stages come in their own files; until then the form says
// plainly that it cannot calculate.
void Form2::RunGridCalculation() {
  ui::msg_box(L"Расчет решетчатой системы пока не может быть выполнен в этой версии программы.", ui::MsgButtons::OK,
              ui::MsgIcon::Information, L"Сообщение");
}

}  // namespace dorv::grid
