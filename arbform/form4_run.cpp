// "Пуск" of Form4: the calculation runs on the form's texts and values. The
// texts go back to the controls whenever the user is to see them: after an
// import, before the question about a given inlet head, before the solver's
// wait and at the end of the run.
#include "arbform/form4.h"

#include "register/modul1.h"

namespace dorv::arb {

std::array<std::pair<std::wstring NetworkFormTexts::*, ui::TextBox*>, 22> Form4::run_text_boxes() const {
  using T = NetworkFormTexts;
  return {{{&T::Text2, &Text2},   {&T::Text3, &Text3},   {&T::Text8, &Text8},   {&T::Text9, &Text9},
           {&T::Text10, &Text10}, {&T::Text15, &Text15}, {&T::Text11, &Text11}, {&T::Text12, &Text12},
           {&T::Text13, &Text13}, {&T::Text14, &Text14}, {&T::Text16, &Text16}, {&T::Text17, &Text17},
           {&T::Text18, &Text18}, {&T::Text19, &Text19}, {&T::Text20, &Text20}, {&T::Text21, &Text21},
           {&T::Text22, &Text22}, {&T::Text23, &Text23}, {&T::Text24, &Text24}, {&T::Text25, &Text25},
           {&T::Text26, &Text26}, {&T::Text27, &Text27}}};
}

NetworkFormTexts Form4::run_texts() const {
  NetworkFormTexts t;
  for (const auto& [text, box] : run_text_boxes()) t.*text = box->text();
  for (std::size_t i = 0; i < 4; ++i) {
    t.Text1[i] = Text1[i]->text();
    t.Label1[i] = Label1[i]->caption();
  }
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
  for (const auto& [text, box] : run_text_boxes()) box->set_text(t.*text);
  for (std::size_t i = 0; i < 4; ++i) Text1[i]->set_text(t.Text1[i]);
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
  hooks.stored_input_path = stored_input_path();
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
