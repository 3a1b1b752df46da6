// Form4's import: the network model's import run on the form's texts and
// values, and what it got to shown on the form: the rows of the outlet
// groups its head lines fill, the section table, the scheme, then its
// messages.
#include "arbform/form4.h"

#include <algorithm>

#include "arbform/scheme.h"
#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "register/modul1.h"
#include "text/numtext.h"

namespace dorv::arb {
namespace Modul1 = reg::Modul1;
using ui::MsgButtons;
using ui::MsgIcon;

std::vector<ui::Control*> Form4::head_line_row(int line) const {
  switch (line) {
    case 3: return {&Label11, Label1[0], Text1[0], &Text20, &Text21};
    case 4: return {Label1[1], Text1[1]};
    case 5: return {Label1[2], Label1[3], Text1[2], Text1[3]};
    case 8: return {Label2[3], &Text10};
    case 9: return {&Label12, &Label5, &Text11, &Text24, &Text25};
    case 10: return {&Label9, &Text12};
    case 11: return {&Label13, &Label8, &Text13, &Text26, &Text27};
    case 12: return {&Label10, &Text14};
    case 13: return {&Label14, &Label15, &Text16, &Text22, &Text23};
    case 14: return {&Label16, &Text17};
    case 15: return {&Label17, &Label18, &Text18, &Text19};
    default: return {};
  }
}

// After the import's texts: the groups as it left them (the fields they
// move by are shown by then), the captions, the section table and the
// scheme, and last what it has to tell.
void Form4::show_import(const NetworkImport& r) {
  restore_design_tops();
  if (r.export_converted) {
    const bool on_section = state.imported.ControlUnitOnSection == 1;
    Label7[1]->set_caption(on_section ? L"Необх. напор на входе в систему" : L"Напор перед узлом управления");
    Label7[2]->set_caption(on_section ? L"Напор перед узлом управления" : L"Напор выше узла управления");
  }
  if (r.head_lines_read) {
    HideOutletGroups();
    for (int line = 1; line <= kHeadLines; ++line)
      if (r.RowShown[static_cast<std::size_t>(line)])
        for (ui::Control* c : head_line_row(line)) c->set_visible(true);
    Text4.set_text(r.SectionText);
  }
  if (r.groups_stacked) RestackOutletGroups(state.imported.OutletGroups);
  if (r.scheme) {
    // In front even when there is nothing to draw: the box hides the groups.
    Picture1.bring_to_front();
    if (Modul1::Register.OpenedFromRegister && !reg::nonempty_file(L"rezult.kms") &&
        !sys::file_exists(Modul1::Register.StoredSchemePath)) {
      Picture1.cls();
    } else {
      DrawCalcScheme(Picture1, Picture1.rect().width, Picture1.rect().height, sys::resolve(L"rezult.kms"));
    }
  }
}

void Form4::tell_import_messages(const NetworkImport& r) {
  for (const ImportMessage& m : r.messages) {
    if (m.file_fault) ui::msg_box(m.text, MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
    else ui::msg_box(m.text, MsgButtons::OK, MsgIcon::None, L"Предупреждение");
  }
}

std::wstring Form4::stored_input_path() const {
  return Modul1::Register.OpenedFromRegister ? Modul1::Register.StoredInputPath : std::wstring();
}

void Form4::LoadGraphicsData() {
  NetworkFormTexts texts = run_texts();
  texts.ImportToShow = import_network(state, texts, stored_input_path());
  show_run_texts(texts);
}

void Form4::Command4_Click() {
  if (!sys::file_exists(L"rezult.ko2") || !reg::nonempty_file(L"rezult.kms")) {
    ui::msg_box(L"Внимание! Подготовленные приложением ВИРН-Дорв Графика данные отсутствуют.", MsgButtons::OK,
                MsgIcon::None, L"Сообщение");
    return;
  }
  if (ui::msg_box(L"Загрузить исходные данные для расчета, подготовленные с помощью графического приложения?",
                  MsgButtons::YesNo, MsgIcon::Question, L"Загрузка данных") != ui::MsgResult::Yes)
    return;
  Command5.set_enabled(false);
  std::wstring version = Modul1::Register.ProgramVersion;
  std::erase(version, L'.');
  state.imported.DataVersion = num_value(version);
  LoadGraphicsData();
  state.imported.LoadedInputTexts = input_texts();
}

}  // namespace dorv::arb
