#include "tests/scenario/runner.h"

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <chrono>
#include <deque>
#include <optional>
#include <ostream>
#include <thread>

#include "app/calcforms.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "register/form1.h"
#include "register/modul1.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/strings.h"
#ifdef DORV_SCENARIO_PDF
#include "tests/scenario/pdfprinters.h"
#endif

namespace dorv::scenario {
namespace {

using ui::MsgResult;

// Leaves every procedure at once and ends the run with an exit code. Not a
// std::exception, so that no event wrapper takes it for a procedure's error.
struct Stop {
  int code;
};

struct Action {
  std::size_t line = 0;    // in the script, from 1
  std::wstring verb;
  std::wstring argument;   // the rest of the line after the verb and one blank
};

const std::pair<const wchar_t*, MsgResult> kAnswers[] = {
    {L"OK", MsgResult::OK},         {L"Cancel", MsgResult::Cancel},     {L"Abort", MsgResult::Abort},
    {L"Retry", MsgResult::Retry},   {L"Ignore", MsgResult::Ignore},     {L"Yes", MsgResult::Yes},
    {L"No", MsgResult::No},         {L"TryAgain", MsgResult::TryAgain}, {L"Continue", MsgResult::Continue},
};

std::wstring answer_name(MsgResult r) {
  for (const auto& [name, value] : kAnswers)
    if (value == r) return name;
  return L"?";
}

std::wstring buttons_text(ui::MsgButtons set) {
  std::wstring text;
  for (MsgResult b : ui::buttons_of(set)) text += (text.empty() ? L"" : L"/") + answer_name(b);
  return text;
}

// Line breaks of a box's text as the two characters "\n", so that a box is
// one line of the transcript.
std::wstring one_line(std::wstring_view text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      out += L"\\n";
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<Action> parse_script(const std::vector<std::string>& script) {
  std::vector<Action> actions;
  for (std::size_t i = 0; i < script.size(); ++i) {
    std::wstring line = from_utf8(script[i]);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    const std::wstring body = ltrim(line);
    if (body.empty() || body[0] == L'#') continue;
    const std::size_t blank = body.find(L' ');
    Action a;
    a.line = i + 1;
    a.verb = body.substr(0, blank);
    if (blank != std::wstring::npos) a.argument = body.substr(blank + 1);
    actions.push_back(std::move(a));
  }
  return actions;
}

class Runner : public ui::HeadlessHost, public ui::FormObserver {
 public:
  Runner(std::filesystem::path folder, std::vector<Action> actions, std::ostream& out, std::ostream& err,
         bool real_wait)
      : folder_(std::move(folder)),
        actions_(std::move(actions)),
        out_(out),
        err_(err)
#ifdef DORV_SCENARIO_PDF
        ,
        printers_(listed_printers().device_names(), listed_printers().current())
#endif
  {
    // The program's one-second pauses only wait for files; a short one keeps
    // a scenario quick without changing what the program does. The real one
    // lets a run be timed as a user sees it.
    if (!real_wait) set_second(std::chrono::milliseconds(20));
  }

  int run() {
    reg::Modul1::reset();
    reg::Modul1::ProgramFolder = folder_;
    try {
      reg::Form1 register_window;
      app::CalcForms calc_forms;
      register_ = &register_window;
      try {
        while (next_ < actions_.size()) perform(actions_[next_++]);
        finish();
      } catch (const ui::ProgramEnd&) {
        program_ended();
      }
    } catch (const Stop& stop) {
      register_ = nullptr;
      return stop.code;
    }
    return 0;
  }

  // ---- Host ----
  MsgResult message_box(const ui::MsgBoxRequest& request) override {
    const std::wstring line =
        L"MSGBOX " + request.title + L" | " + one_line(request.text) + L" | " + buttons_text(request.buttons) + L" -> ";
    if (answers_.empty()) unanswered(line, "no answer is queued for this message box");
    const MsgResult answer = answers_.front();
    answers_.pop_front();
    const auto buttons = ui::buttons_of(request.buttons);
    if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end())
      unanswered(line, "the queued answer " + to_utf8(answer_name(answer)) + " is not a button of this message box");
    print(line + answer_name(answer));
    return answer;
  }

  std::wstring input_box(const ui::InputBoxRequest& request) override {
    const std::wstring line = L"INPUTBOX " + request.title + L" | " + one_line(request.prompt) + L" -> ";
    if (inputs_.empty()) unanswered(line, "no answer is queued for this input box");
    const auto answer = inputs_.front();
    inputs_.pop_front();
    print(line + one_line(answer.value_or(L"")));
    return answer.value_or(L"");
  }

  std::optional<std::filesystem::path> open_file_dialog(const ui::OpenFileRequest& request) override {
    if (open_files_.empty()) {
      err_ << where() << "no answer is queued for the open-file dialog \"" << to_utf8(request.title) << "\"\n";
      throw Stop{kUnansweredBox};
    }
    auto answer = open_files_.front();
    open_files_.pop_front();
    return answer;
  }

  void show_form(ui::Form& form, ui::ShowMode mode) override {
    if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end()) {
      forms_.push_back(&form);
      if (!form.observer()) form.set_observer(this);
    }
    if (mode != ui::ShowMode::Modal) return;
    // A modal form takes the script's actions until it is closed or hidden.
    while (form.loaded() && form.visible()) {
      if (next_ >= actions_.size()) finish();
      perform(actions_[next_++]);
    }
  }

#ifdef DORV_SCENARIO_PDF
  ui::Printers& printers() override { return printers_; }
#endif

  void unhandled_error(const std::string& what) override {
    err_ << where() << "error in an event procedure: " << what << "\n";
    throw Stop{kProcedureError};
  }

  // ---- FormObserver ----
  void control_changed(ui::Control&) override {}
  void form_changed(ui::Form&) override {}
  void focus_requested(ui::Control&) override {}
  void form_destroyed(ui::Form& form) override { std::erase(forms_, &form); }

 private:
  std::string where() const {
    const std::size_t line = current_ ? current_->line : 0;
    return "dorv-scenario: " + (line ? "line " + std::to_string(line) + ": " : std::string());
  }

  void print(const std::wstring& line) { out_ << to_utf8(line) << "\n" << std::flush; }

  [[noreturn]] void unanswered(const std::wstring& line, const std::string& why) {
    print(line + L"?");
    err_ << where() << why << "\n";
    throw Stop{kUnansweredBox};
  }

  [[noreturn]] void script_error(const std::string& why) {
    err_ << where() << why << "\n";
    throw Stop{kScriptError};
  }

  // The program starts (the register window is shown) at the first action
  // that needs a window, so that the answers for its start-up can be queued
  // before it.
  void start() {
    if (started_) return;
    started_ = true;
    register_->show();
  }

  [[noreturn]] void finish() {
    start();
    print(L"END");
    if (!answers_.empty() || !inputs_.empty() || !open_files_.empty())
      err_ << "dorv-scenario: the script ended with answers that no box asked for\n";
#ifdef DORV_SCENARIO_PDF
    if (printers_.pdf_pending()) err_ << "dorv-scenario: the script ended with a PDF that no print job wrote\n";
#endif
    throw Stop{0};
  }

  [[noreturn]] void program_ended() {
    if (next_ < actions_.size()) {
      current_ = &actions_[next_];
      script_error("the program has ended; this action cannot be done");
    }
    finish();
  }

  // An action needs the form on the screen, as a person can only act on a
  // window that is shown; looking at a control does not.
  enum class Use { Look, Act };
  ui::Form& form_named(const std::wstring& name, Use use = Use::Act, const std::wstring& control = L"") {
    for (ui::Form* f : forms_)
      if (f->name() == name && f->loaded()) {
        if (use == Use::Act && !f->visible())
          script_error((control.empty() ? "" : to_utf8(name + L"." + control) + " cannot be used now: ") + "form " +
                       to_utf8(name) + " is not shown");
        return *f;
      }
    script_error("no open form is named " + to_utf8(name));
  }

  // "FORM.CONTROL" or "FORM.CONTROL(INDEX)".
  ui::Control& control_named(const std::wstring& target, Use use = Use::Act) {
    const std::size_t dot = target.find(L'.');
    if (dot == std::wstring::npos) script_error("FORM.CONTROL expected, found \"" + to_utf8(target) + "\"");
    ui::Form& form = form_named(target.substr(0, dot), use, target.substr(dot + 1));
    std::wstring name = target.substr(dot + 1);
    int index = -1;
    if (const std::size_t open = name.find(L'('); open != std::wstring::npos) {
      long long i = -1;
      const std::wstring inside = name.substr(open + 1);
      if (inside.size() < 2 || inside.back() != L')' || scan_index(inside.substr(0, inside.size() - 1), i) == false)
        script_error("bad control index in \"" + to_utf8(target) + "\"");
      index = static_cast<int>(i);
      name.resize(open);
    }
    ui::Control* c = form.find(name, index);
    if (!c) script_error("form " + to_utf8(form.name()) + " has no control " + to_utf8(target.substr(dot + 1)));
    return *c;
  }

  static bool scan_index(const std::wstring& text, long long& value) {
    if (text.empty() || text.size() > 6) return false;
    value = 0;
    for (wchar_t ch : text) {
      if (ch < L'0' || ch > L'9') return false;
      value = value * 10 + (ch - L'0');
    }
    return true;
  }

  // Splits "TARGET TEXT": the target, and the rest after one blank.
  static std::pair<std::wstring, std::wstring> target_and_text(const std::wstring& argument) {
    const std::size_t blank = argument.find(L' ');
    if (blank == std::wstring::npos) return {argument, L""};
    return {argument.substr(0, blank), argument.substr(blank + 1)};
  }

  void must(bool done, const ui::Control& c) {
    if (!done)
      script_error(to_utf8(c.form().name() + L"." + c.name()) + " cannot be used now (hidden, disabled or locked)");
  }

  void perform(const Action& a) {
    current_ = &a;
    const std::wstring& v = a.verb;
    if (v == L"answer") {
      const std::wstring name = trim(a.argument);
      for (const auto& [n, value] : kAnswers)
        if (name == n) {
          answers_.push_back(value);
          return;
        }
      script_error("unknown answer \"" + to_utf8(name) + "\"");
    }
    if (v == L"input") return inputs_.push_back(a.argument);
    if (v == L"input-cancel") return inputs_.push_back(std::nullopt);
    if (v == L"openfile") {
      std::filesystem::path p = sys::resolve(a.argument);
      return open_files_.push_back(p.is_absolute() ? p : folder_ / p);
    }
    if (v == L"openfile-cancel") return open_files_.push_back(std::nullopt);
    if (v == L"stop-after-save-step") {
      // Counted from here over the saves of sets of files, the program stops
      // dead after that step, as a crash or a kill would stop it: nothing
      // more is written, closed or removed.
      long long steps = 0;
      if (!scan_index(trim(a.argument), steps) || steps < 1) script_error("stop-after-save-step needs a step from 1");
      SaveSet::after_step = [this, steps]() mutable {
        if (--steps > 0) return;
        print(L"STOPPED");
        std::_Exit(kStoppedInSave);
      };
      return;
    }
    if (v == L"pdf") {
      // The next print job goes to this PDF file instead of the printer.
#ifdef DORV_SCENARIO_PDF
      std::filesystem::path p = sys::resolve(trim(a.argument));
      return printers_.send_next_job_to(p.is_absolute() ? p : folder_ / p);
#else
      script_error("this runner was built without the PDF back end");
#endif
    }

    start();
    if (!register_->loaded()) program_ended();
    if (v == L"click") {
      ui::Control& c = control_named(trim(a.argument));
      // A click takes the focus from the field that had it.
      if (ui::Control* had = c.form().focused(); had && had != &c) had->focus_out();
      must(c.click(), c);
    } else if (v == L"dblclick") {
      ui::Control& c = control_named(trim(a.argument));
      if (auto* list = dynamic_cast<ui::ListView*>(&c); list && list->selected() >= 0)
        must(list->dbl_click_item(list->selected()), c);
      else
        must(c.dbl_click(), c);
    } else if (v == L"type") {
      const auto [target, text] = target_and_text(a.argument);
      type(control_named(target), text);
    } else if (v == L"select") {
      const auto [target, text] = target_and_text(a.argument);
      select(control_named(target), text);
    } else if (v == L"close") {
      form_named(trim(a.argument)).close_box();
    } else if (v == L"show") {
      show(trim(a.argument));
    } else if (v == L"layout") {
      layout(form_named(trim(a.argument)));
    } else if (v == L"touch") {
      // Two runs meet at a moment: each touches its own file and awaits the other's.
      std::ofstream(path_of(a.argument));
    } else if (v == L"await") {
      await(path_of(a.argument));
    } else if (v == L"file-size-limit") {
      file_size_limit(trim(a.argument));
    } else {
      script_error("unknown action \"" + to_utf8(v) + "\"");
    }
    if (started_ && !register_->loaded() && next_ < actions_.size()) program_ended();
  }

  std::filesystem::path path_of(const std::wstring& argument) const {
    std::filesystem::path p = sys::resolve(trim(argument));
    return p.is_absolute() ? p : folder_ / p;
  }

  void await(const std::filesystem::path& p) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::error_code ec;
    while (!std::filesystem::exists(p, ec)) {
      if (std::chrono::steady_clock::now() > deadline) script_error("waited 30 s in vain for " + p.string());
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  // "file-size-limit N": from here on no file of the program can grow past
  // N bytes, as on a disk that is full; "file-size-limit off" lifts it.
  void file_size_limit(const std::wstring& argument) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    if (argument == L"off") {
      limit.rlim_cur = limit.rlim_max;
    } else {
      long long bytes = 0;
      if (!scan_index(argument, bytes)) script_error("file-size-limit needs a number of bytes or off");
      limit.rlim_cur = static_cast<rlim_t>(bytes);
    }
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of ending the run
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }

  void type(ui::Control& c, const std::wstring& text) {
    ui::Form& form = c.form();
    if (form.focused() && form.focused() != &c) form.focused()->focus_out();
    if (form.focused() != &c) must(c.focus_in(), c);
    if (auto* box = dynamic_cast<ui::TextBox*>(&c)) {
      must(!box->locked() && box->usable(), c);
      box->type(text);
    } else if (auto* combo = dynamic_cast<ui::ComboBox*>(&c)) {
      must(combo->type(text), c);
    } else {
      script_error(to_utf8(form.name() + L"." + c.name()) + " is neither a text box nor a combo box");
    }
    if (form.focused() == &c) c.focus_out();
  }

  void select(ui::Control& c, const std::wstring& text) {
    if (auto* list = dynamic_cast<ui::ListView*>(&c)) {
      const auto& items = list->items();
      for (std::size_t i = 0; i < items.size(); ++i)
        if (trim(items[i].text) == text) return must(list->click_item(static_cast<int>(i)), c);
      script_error("no item \"" + to_utf8(text) + "\" in " + to_utf8(c.form().name() + L"." + c.name()));
    }
    if (auto* combo = dynamic_cast<ui::ComboBox*>(&c)) {
      const auto& items = combo->items();
      for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return must(combo->choose(static_cast<int>(i)), c);
      script_error("no item \"" + to_utf8(text) + "\" in " + to_utf8(c.form().name() + L"." + c.name()));
    }
    script_error(to_utf8(c.form().name() + L"." + c.name()) + " is neither a list view nor a combo box");
  }

  // A form's name alone: whether it is on the screen. A form the program
  // never showed, or has unloaded, counts as not loaded.
  void show_form_state(const std::wstring& name) {
    const char* state = "not loaded";
    for (const ui::Form* f : forms_)
      if (f->name() == name && f->loaded()) state = f->visible() ? "shown" : "hidden";
    print(name + L" = " + from_utf8(state));
  }

  void show(const std::wstring& target) {
    if (target.find(L'.') == std::wstring::npos) return show_form_state(target);
    ui::Control& c = control_named(target, Use::Look);
    if (auto* list = dynamic_cast<ui::ListView*>(&c)) {
      print(target + L" =");
      for (const auto& item : list->items()) {
        std::wstring line = item.text;
        for (const auto& sub : item.sub_items) line += L" | " + sub;
        print(one_line(line));
      }
      return;
    }
    std::wstring text = c.caption();
    if (auto* box = dynamic_cast<ui::TextBox*>(&c)) text = box->text();
    if (auto* combo = dynamic_cast<ui::ComboBox*>(&c)) text = combo->text();
    if (auto* option = dynamic_cast<ui::OptionButton*>(&c)) text = option->value() ? L"True" : L"False";
    if (auto* check = dynamic_cast<ui::CheckBox*>(&c)) text = check->value() ? L"1" : L"0";
    print(target + L" = " + one_line(text));
  }

  // "layout FORM": every visible control as NAME LEFT TOP WIDTH HEIGHT in
  // twips, from the back to the front.
  void layout(const ui::Form& form) {
    print(form.name() + L" layout =");
    for (const ui::Control* c : form.back_to_front()) {
      bool shown = true;
      for (const ui::Control* at = c; at && shown; at = at->container()) shown = at->visible();
      if (!shown) continue;
      const ui::Rect& r = c->rect();
      std::wstring name = c->name();
      if (c->index() >= 0) name += L"(" + std::to_wstring(c->index()) + L")";
      print(name + L" " + std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.width) +
            L" " + std::to_wstring(r.height));
    }
  }

  std::filesystem::path folder_;
  std::vector<Action> actions_;
  std::size_t next_ = 0;
  const Action* current_ = nullptr;
  std::ostream& out_;
  std::ostream& err_;
  reg::Form1* register_ = nullptr;
  bool started_ = false;
  std::vector<ui::Form*> forms_;
  std::deque<MsgResult> answers_;
  std::deque<std::optional<std::wstring>> inputs_;
  std::deque<std::optional<std::filesystem::path>> open_files_;
#ifdef DORV_SCENARIO_PDF
  ScenarioPrinters printers_;
#endif
};

}  // namespace

int run_scenario(const std::filesystem::path& folder, const std::vector<std::string>& script, std::ostream& out,
                 std::ostream& err, bool real_wait) {
  Runner runner(std::filesystem::absolute(folder), parse_script(script), out, err, real_wait);
  return runner.run();
}

}  // namespace dorv::scenario
