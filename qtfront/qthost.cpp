#include "qtfront/qthost.h"

#include <clocale>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStyleFactory>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "platform/command_wait.h"
#include "platform/process.h"
#include "qtfront/console.h"
#include "qtfront/convert.h"
#include "qtfront/dialogs.h"
#include "qtfront/formwindow.h"
#include "qtfront/qtprinters.h"
#include "text/codepage.h"
#include "text/fileerror.h"

namespace dorv::front {

const wchar_t* const kProgramTitle = L"ВИРН-Дорв";

namespace {

QString title_or_program(const std::wstring& title) { return qs(title.empty() ? std::wstring(kProgramTitle) : title); }

bool is_text_file(const std::filesystem::path& file) {
  std::wstring ext = file.extension().wstring();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return ext == L".txt";
}

// While one of a form's procedures runs (waiting, say, for a solver), the
// user's clicks and keys do not reach its window; its close box is refused by
// the form itself. Other windows (boxes, a modal form, the console) answer.
class BusyFormGuard : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride: break;
      default: return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    auto* window = dynamic_cast<FormWindow*>(widget->window());
    return window && window->form() && window->form()->busy();
  }
};

// The kinds of files that the stock file dialog lists, which the toolkit's
// Russian translation leaves in English.
class FileKindTranslator : public QTranslator {
 public:
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
    (void)disambiguation;
    (void)n;
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
    static const std::pair<const char*, const char*> kKinds[] = {
        {"Folder", "Папка"}, {"File Folder", "Папка"}, {"File", "Файл"},
        {"%1 File", "Файл %1"}, {"Drive", "Диск"},     {"Unknown", "Неизвестный"}};
    for (const auto& [english, russian] : kKinds)
      if (qstrcmp(source, english) == 0) return QString::fromUtf8(russian);
    return {};
  }
};

}  // namespace

QtHost::QtHost()
    : context_(std::make_unique<BusyFormGuard>()),
      translator_(std::make_unique<QTranslator>()),
      file_kinds_(std::make_unique<FileKindTranslator>()) {
  qApp->installEventFilter(context_.get());
  // The program speaks Russian, and so do the toolkit's dialogs when their
  // translation is installed.
  if (translator_->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator_.get());
  QCoreApplication::installTranslator(file_kinds_.get());
  // Creating the application set the C library's locale from the
  // environment; numbers in files and fields always use the point.
  std::setlocale(LC_NUMERIC, "C");
  // One look on every desktop, so that the forms' layouts come out alike.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(style);
  // The forms were laid out for the narrow sans-serif faces of Windows; a
  // face with the same widths keeps their captions inside their controls.
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), font.family()});
  QApplication::setFont(font);
  // Faces the forms and reports name, found among those of the desktop.
  QFont::insertSubstitutions(QStringLiteral("Courier New"),
                             {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"),
                              QStringLiteral("Monospace")});
  QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                             {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
  QGuiApplication::setQuitOnLastWindowClosed(false);
  previous_ = ui::set_host(this);
}

QtHost::~QtHost() {
  for (auto& [form, window] : windows_) {
    window->detach();
    delete window;
  }
  windows_.clear();
  for (auto& w : retired_)
    if (w) delete w.data();
  for (auto& v : viewers_)
    if (v) delete v.data();
  // Command files still running end with the program, as with their windows.
  for (auto& c : consoles_)
    if (c) delete c.data();
  ui::set_host(previous_);
}

int QtHost::run(ui::Form& main_form) {
  main_form_ = &main_form;
  call([&main_form] { main_form.show(); });
  if (ending_) return exit_code_;
  if (!main_form.loaded()) return 0;
  const int code = QApplication::exec();
  return ending_ ? exit_code_ : code;
}

QWidget* QtHost::window_of(const ui::Form& form) const {
  auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : it->second;
}

QWidget* QtHost::widget_of(const ui::Control& control) const {
  auto it = windows_.find(&control.form());
  return it == windows_.end() ? nullptr : it->second->widget_of(control);
}

std::vector<QWidget*> QtHost::viewers() const {
  std::vector<QWidget*> open;
  for (const auto& v : viewers_)
    if (v) open.push_back(v.data());
  return open;
}

void QtHost::call(const std::function<void()>& procedure) {
  if (ending_) return;
  try {
    procedure();
  } catch (const ui::ProgramEnd& e) {
    end(e.exit_code);
  } catch (const FileError& e) {
    ui::show_file_error(e);
  } catch (const std::exception& e) {
    unhandled_error(e.what());
  } catch (...) {
    unhandled_error("unknown error");
  }
}

void QtHost::end(int exit_code) {
  if (!ending_) {
    ending_ = true;
    exit_code_ = exit_code;
  }
  for (auto& [form, window] : windows_) {
    window->hide();
    if (window->modal_loop) window->modal_loop->quit();
  }
  QCoreApplication::exit(exit_code_);
}

void QtHost::check_ending() const {
  if (ending_) throw ui::ProgramEnd{exit_code_};
}

QWidget* QtHost::dialog_parent() const {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  if (QWidget* w = QApplication::activeWindow()) return w;
  for (const auto& [form, window] : windows_)
    if (window->isVisible()) return window;
  return nullptr;
}

// ---- boxes and dialogs ----

ui::MsgResult QtHost::message_box(const ui::MsgBoxRequest& request) {
  check_ending();
  const ui::MsgResult answer = run_message_box(dialog_parent(), request, title_or_program(request.title));
  check_ending();
  return answer;
}

std::wstring QtHost::input_box(const ui::InputBoxRequest& request) {
  check_ending();
  const auto answer = run_input_box(dialog_parent(), request, title_or_program(request.title));
  check_ending();
  return answer ? ws(*answer) : std::wstring();
}

std::optional<std::filesystem::path> QtHost::open_file_dialog(const ui::OpenFileRequest& request) {
  check_ending();
  const QString folder = request.initial_folder.empty() ? QString::fromStdString(std::filesystem::current_path().string())
                                                        : QString::fromStdString(request.initial_folder.string());
  QFileDialog dialog(dialog_parent(), title_or_program(request.title), folder, file_dialog_filter(request.filter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  check_ending();
  if (!chosen) return std::nullopt;
  return std::filesystem::path(dialog.selectedFiles().first().toStdString());
}

void QtHost::unhandled_error(const std::string& what) {
  if (ending_) return;
  QMessageBox::critical(dialog_parent(), qs(kProgramTitle),
                        QStringLiteral("Ошибка: %1").arg(QString::fromUtf8(what.c_str())));
}

// ---- forms ----

FormWindow* QtHost::window_for(ui::Form& form) {
  auto it = windows_.find(&form);
  if (it != windows_.end()) return it->second;
  auto* window = new FormWindow(*this, form);
  windows_[&form] = window;
  return window;
}

void QtHost::show_form(ui::Form& form, ui::ShowMode mode) {
  check_ending();
  FormWindow* window = window_for(form);
  const bool modal = mode == ui::ShowMode::Modal;
  const Qt::WindowModality modality = modal ? Qt::ApplicationModal : Qt::NonModal;
  if (window->windowModality() != modality) {
    // Modality can change only while the window is hidden.
    window->hide();
    window->setWindowModality(modality);
  }
  QWidget* owner = modal ? dialog_parent() : nullptr;
  window->refresh();
  if (modal && owner && owner != window) {
    window->winId();
    if (window->windowHandle() && owner->window()->windowHandle())
      window->windowHandle()->setTransientParent(owner->window()->windowHandle());
  }
  window->show();
  window->raise();
  window->activateWindow();
  if (!modal) return;
  // A modal show returns when the form is unloaded or hidden.
  QPointer<FormWindow> guard(window);
  QEventLoop loop;
  window->modal_loop = &loop;
  if (form.loaded() && form.visible() && !ending_) loop.exec();
  if (guard) guard->modal_loop = nullptr;
  check_ending();
}

void QtHost::hide_form(ui::Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  it->second->hide();
  if (it->second->modal_loop) it->second->modal_loop->quit();
}

void QtHost::window_gone(ui::Form& form) {
  auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  FormWindow* window = it->second;
  windows_.erase(it);
  window->detach();
  window->hide();
  if (window->modal_loop) window->modal_loop->quit();
  window->deleteLater();
  retired_.erase(std::remove_if(retired_.begin(), retired_.end(), [](const auto& w) { return w.isNull(); }),
                 retired_.end());
  retired_.emplace_back(window);
}

void QtHost::form_unloaded(ui::Form& form) {
  window_gone(form);
  // The program ends with its main window.
  if (&form == main_form_ && !ending_) {
    for (auto& v : viewers_)
      if (v) v->close();
    QCoreApplication::exit(0);
  }
}

// ---- waiting ----

void QtHost::do_events() {
  check_ending();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  check_ending();
}

void QtHost::wait_one_second() {
  check_ending();
  QEventLoop loop;
  QTimer::singleShot(1000, &loop, &QEventLoop::quit);
  // During the wait for a command file the pause ends with it.
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, &loop, [&loop] {
    if (ui::command_wait_may_end()) loop.quit();
  });
  look.start(10);
  loop.exec();
  check_ending();
}

void QtHost::program_ending(int exit_code) { end(exit_code); }

// ---- printers, shell, processes ----

void QtHost::use_printers(std::unique_ptr<QtPrinters> printers) { printers_ = std::move(printers); }

ui::Printers& QtHost::printers() {
  if (!printers_) printers_ = std::make_unique<QtPrinters>();
  return *printers_;
}

bool QtHost::shell_open(const std::filesystem::path& file, const std::wstring& parameters) {
  (void)parameters;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  if (is_text_file(file)) {
    // The program's text files are windows-1251; the viewer decodes them.
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const QString text = display_text(from_cp1251(bytes));
    const QString key = QString::fromStdString(std::filesystem::absolute(file).lexically_normal().string());
    viewers_.erase(std::remove_if(viewers_.begin(), viewers_.end(), [](const QPointer<QWidget>& v) { return v.isNull(); }),
                   viewers_.end());
    // A file already on view is shown again in its one viewer, as it is now,
    // in front of the other windows.
    for (const auto& v : viewers_)
      if (v->property("dorv_file").toString() == key) {
        if (auto* view = v->findChild<QPlainTextEdit*>()) view->setPlainText(text);
        v->showNormal();
        v->raise();
        v->activateWindow();
        return true;
      }
    QWidget* viewer = open_text_viewer(QString::fromStdString(file.filename().string()), text);
    viewer->setProperty("dorv_file", key);
    viewers_.emplace_back(viewer);
    return true;
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

std::vector<ConsoleWindow*> QtHost::consoles() const {
  std::vector<ConsoleWindow*> open;
  for (const auto& c : consoles_)
    if (c && c->running()) open.push_back(c.data());
  return open;
}

bool QtHost::start_command_file(const std::filesystem::path& folder, const std::wstring& name) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(folder / std::filesystem::path(to_utf8(name)), ec)) return false;
  auto* console = new ConsoleWindow;
  if (!console->start(folder, name)) {
    delete console;
    return false;
  }
  consoles_.erase(std::remove_if(consoles_.begin(), consoles_.end(), [](const auto& c) { return c.isNull(); }),
                  consoles_.end());
  consoles_.emplace_back(console);
  started_command_file_ = true;
  return true;
}

bool QtHost::command_file_running() {
  if (!started_command_file_) return true;  // none started here: nothing is known of it
  const ConsoleWindow* last = consoles_.empty() ? nullptr : consoles_.back().data();
  return last && last->running();
}

int QtHost::text_width(const std::wstring& text, const ui::Font& font) const {
  const QFontMetricsF fm(program_font(font));
  return static_cast<int>(std::lround(twips_x(fm.horizontalAdvance(qs(text)))));
}

int QtHost::text_height(const ui::Font& font) const {
  const QFontMetricsF fm(program_font(font));
  return static_cast<int>(std::lround(twips_y(fm.height())));
}

void QtHost::post(std::function<void()> task) {
  QTimer::singleShot(0, context_.get(), [this, task = std::move(task)] { call(task); });
}

}  // namespace dorv::front
