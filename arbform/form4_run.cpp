// "Пуск" of Form4: the calculation runs on the form's texts and values. The
// texts go back to the controls whenever the user is to see them: after an
// import, before the question about a given inlet head, before the solver's
// wait and at the end of the run.
#include "arbform/form4.h"

#include "register/modul1.h"

namespace dorv::arb {

NetworkFormTexts Form4::run_texts() const {
  NetworkFormTexts t;
  t.Text2 = Text2.text();
  t.Text3 = Text3.text();
  t.Text8 = Text8.text();
  t.Text9 = Text9.text();
  t.Text10 = Text10.text();
  t.Text15 = Text15.text();
  for (std::size_t i = 0; i < 4; ++i) {
    t.Text1[i] = Text1[i]->text();
    t.Label1[i] = Label1[i]->caption();
  }
  for (auto [text, box] : {std::pair{&t.Text11, &Text11}, {&t.Text12, &Text12}, {&t.Text13, &Text13}, {&t.Text14, &Text14},
                           {&t.Text16, &Text16}, {&t.Text17, &Text17}, {&t.Text18, &Text18}, {&t.Text19, &Text19},
                           {&t.Text20, &Text20}, {&t.Text21, &Text21}, {&t.Text22, &Text22}, {&t.Text23, &Text23},
                           {&t.Text24, &Text24}, {&t.Text25, &Text25}, {&t.Text26, &Text26}, {&t.Text27, &Text27}})
    *text = box->text();
  for (auto [caption, label] : {std::pair{&t.Label5, &Label5}, {&t.Label8, &Label8}, {&t.Label9, &Label9},
                                {&t.Label10, &Label10}, {&t.Label11, &Label11}, {&t.Label12, &Label12},
                                {&t.Label13, &Label13}, {&t.Label14, &Label14}, {&t.Label15, &Label15},
                                {&t.Label16, &Label16}, {&t.Label17, &Label17}, {&t.Label18, &Label18}})
    *caption = label->caption();
  for (std::size_t i = 0; i < 3; ++i) {
    t.Text5[i] = Text5[i]->text();
    t.Text6[i] = Text6[i]->text();
  }
  t.GroupShown = {Label11.visible(), Label14.visible(), Label12.visible(), Label13.visible()};
  t.GivenInletPressureMode = GivenInletPressureMode();
  t.SchemeShown = Picture1.visible();
  return t;
}

// The texts are fields, never captions: neither the run nor the import
// changes a caption through them.
void Form4::show_run_texts(NetworkFormTexts& t) {
  Text2.set_text(t.Text2);
  Text3.set_text(t.Text3);
  Text8.set_text(t.Text8);
  Text9.set_text(t.Text9);
  Text10.set_text(t.Text10);
  Text15.set_text(t.Text15);
  for (std::size_t i = 0; i < 4; ++i) Text1[i]->set_text(t.Text1[i]);
  for (auto [box, text] : {std::pair{&Text11, &t.Text11}, {&Text12, &t.Text12}, {&Text13, &t.Text13}, {&Text14, &t.Text14},
                           {&Text16, &t.Text16}, {&Text17, &t.Text17}, {&Text18, &t.Text18}, {&Text19, &t.Text19},
                           {&Text20, &t.Text20}, {&Text21, &t.Text21}, {&Text22, &t.Text22}, {&Text23, &t.Text23},
                           {&Text24, &t.Text24}, {&Text25, &t.Text25}, {&Text26, &t.Text26}, {&Text27, &t.Text27}})
    box->set_text(*text);
  for (std::size_t i = 0; i < 3; ++i) {
    Text5[i]->set_text(t.Text5[i]);
    Text6[i]->set_text(t.Text6[i]);
  }
  std::optional<NetworkImport> import = std::move(t.ImportToShow);
  t.ImportToShow.reset();
  if (import) show_import(*import);
  if (t.GroupsToShow != std::array<bool, 4>{}) {
    show_outlet_groups(t.GroupsToShow);
    t.GroupsToShow = {};
  }
  if (GivenInletPressureMode() != t.GivenInletPressureMode) set_given_inlet_pressure_mode(t.GivenInletPressureMode);
  if (Picture1.visible() != t.SchemeShown) Picture1.set_visible(t.SchemeShown);
  if (import) tell_import_messages(*import);
}

void Form4::Command1_Click() {
  NetworkFormTexts texts = run_texts();
  NetworkRunHooks hooks;
  hooks.show_texts = [this](NetworkFormTexts& t) { show_run_texts(t); };
  const reg::Modul1::RegisterState& register_state = reg::Modul1::Register;
  hooks.calc_id = register_state.CurrentCalcId;
  if (register_state.OpenedFromRegister) hooks.stored_input_path = register_state.StoredInputPath;
  hooks.program_version = register_state.ProgramVersion;
  hooks.executor_name = register_state.ExecutorName;
  // Whatever way the run ends, the form shows where it got to.
  struct ShowAtEnd {
    Form4& form;
    NetworkFormTexts& texts;
    ~ShowAtEnd() { form.show_run_texts(texts); }
  } show_at_end{*this, texts};
  if (run_arbitrary_calculation(texts, state, hooks)) {
    Command5.set_enabled(true);
    Command6.set_enabled(true);
  }
}

}  // namespace dorv::arb
