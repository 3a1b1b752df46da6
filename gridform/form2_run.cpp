// "Пуск" of Form2: the calculation stages run on the form's texts and
// values. The texts go back to the controls whenever the user is to see
// them: before the scheme is drawn, before the input record is written,
// before the solver's wait and at the end of the run.

#include "gridform/form2.h"
#include "gridform/gridrun.h"
#include "gridform/prompts.h"
#include "platform/files.h"
#include "platform/host.h"
#include "register/modul1.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::grid {

GridFormTexts texts_of(const Form2& f) {
  GridFormTexts t;
  for (int i = 0; i < 19; ++i) {
    t.Text1[i] = f.Text1(i).text();
    t.Label1[i] = f.Label1(i).caption();
  }
  t.Text2 = f.Text2.text();
  t.Text3 = f.Text3.text();
  t.Text8 = f.Text8.text();
  t.Combo1_0 = f.Combo1(0).text();
  t.Combo1_1 = f.Combo1(1).text();
  t.Combo2 = f.Combo2.text();
  t.Text4 = f.Text4.text();
  for (int i = 0; i < 4; ++i) {
    t.Text5[i] = f.Text5(i).text();
    t.Text6[i] = f.Text6(i).text();
  }
  return t;
}

namespace {

// A combo box's set_text picks its list entry anew and reports a change even
// when the text stays: only a text that changed is set.
void set(ui::ComboBox& box, const std::wstring& text) {
  if (box.text() != text) box.set_text(text);
}

void show_texts_on(Form2& f, const GridFormTexts& t) {
  for (int i = 0; i < 19; ++i) f.Text1(i).set_text(t.Text1[i]);
  f.Text2.set_text(t.Text2);
  f.Text3.set_text(t.Text3);
  f.Text8.set_text(t.Text8);
  set(f.Combo1(0), t.Combo1_0);
  set(f.Combo1(1), t.Combo1_1);
  set(f.Combo2, t.Combo2);
  f.Text4.set_text(t.Text4);
  for (int i = 0; i < 4; ++i) {
    f.Text5(i).set_text(t.Text5[i]);
    f.Text6(i).set_text(t.Text6[i]);
  }
}

// The pipe tables of the standards chosen on the form. A standard is found
// by its whole name only; its numbers are read as one stream.
constexpr auto kStandardName = tables::StandardName::Whole;
constexpr auto kRowNumbers = tables::RowNumbers::Stream;

StageEnd load_chosen_pipe_tables(GridFormTexts& f, GridFormState& s) {
  auto missing = [](const wchar_t* box) {
    ui::msg_box(L"Указанный в окне " + kQuote + box + kQuote + L" ГОСТ отсутствует в базе данных программы!",
                ui::MsgButtons::OK, ui::MsgIcon::None, kWarningTitle);
    return StageEnd::ShortExit;
  };
  s.MainStandardPhrase = L" по " + f.Combo1_0;
  const auto lines = tables::read_pipe_standard_file(sys::resolve(tables::kPipeStandardFile));
  if (!lines) {
    ui::msg_box(L"Файл ГОСТов на трубы trub.inf отсутствует в каталоге программы или не читается. Расчет "
                L"невозможен.",
                ui::MsgButtons::OK, ui::MsgIcon::None, kWarningTitle);
    return StageEnd::ShortExit;
  }
  auto main = tables::load_pipe_table(*lines, f.Combo1_0, kStandardName, kRowNumbers);
  if (!main) return missing(L"Трубы");
  s.MainPipeTable = std::move(*main);
  // The second standard counts only while a diameter is marked for it.
  bool marked = contains(f.Text4, L"*");
  for (int i = 0; i <= 17; ++i) marked = marked || contains(f.Text1[i], L"*");
  if (!marked) f.Combo2.clear();
  if (!f.Combo2.empty()) {
    s.SecondStandardPhrase = L" по " + f.Combo2;
    auto second = tables::load_pipe_table(*lines, f.Combo2, kStandardName, kRowNumbers);
    if (!second) return missing(L"Трубы*");
    s.SecondPipeTable = std::move(*second);
  }
  return StageEnd::Continue;
}

}  // namespace

void Form2::RunGridCalculation() {
  GridFormTexts texts = texts_of(*this);
  GridRunHooks hooks;
  hooks.selected_contract = reg::Modul1::Register.SelectedContract;
  hooks.load_pipe_tables = load_chosen_pipe_tables;
  hooks.show_texts = [&] { show_texts_on(*this, texts); };
  bool scheme_drawn = false;
  hooks.draw_scheme = [&] {
    show_texts_on(*this, texts);
    DrawGridScheme();
    // The drawing may bring the inlet distance back onto the grid: the run
    // goes on with what the form now shows.
    texts.Text1[16] = Text1(16).text();
    scheme_drawn = true;
  };
  hooks.hide_scheme = [this] { Picture1.set_visible(false); };
  hooks.program_version = reg::Modul1::Register.ProgramVersion;
  hooks.executor_name = reg::Modul1::Register.ExecutorName;
  std::vector<std::wstring> record;
  hooks.write_input_record = [&](bool given_up) {
    show_texts_on(*this, texts);
    record = grid_record_of_run(record_source(), given_up ? 0 : State.TotalHeightDifference);
    write_lines_atomic(sys::resolve(L"rezult2.txt"), record);
  };
  hooks.start_command_file = [](const std::wstring& name) {
    return ui::host().start_command_file(sys::current_folder(), name);
  };
  hooks.command_file_running = [] { return ui::host().command_file_running(); };
  hooks.pause = [] { ui::host().wait_one_second(); };
  // Whatever way the run ends, the form shows where it got to.
  struct ShowAtEnd {
    Form2& form;
    const GridFormTexts& texts;
    ~ShowAtEnd() { show_texts_on(form, texts); }
  } show_at_end{*this, texts};
  grid::RunGridCalculation(texts, State, hooks, sys::current_folder());
  if (State.ResultsValidFlag == 1) {
    keep_record_of_results(record, record);
  } else if (scheme_drawn) {
    // A run that drew the scheme and stopped leaves the fields under it
    // free again for the corrections it asked for.
    Picture1.set_visible(false);
  }
}

}  // namespace dorv::grid
