#include "qtfront/console.h"

#include <signal.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QFontDatabase>
#include <QTimer>
#include <QVBoxLayout>

#include "text/codepage.h"

namespace dorv::front {

namespace {
// A console keeps this many lines; a long run's early progress scrolls away.
constexpr int kKeptLines = 5000;
// How long a stopped command file has to clean up before its group is killed.
constexpr int kGraceMs = 3000;
}  // namespace

ConsoleWindow::ConsoleWindow() : QWidget(nullptr), view_(new QPlainTextEdit(this)) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  setObjectName(QStringLiteral("console"));
  view_->setReadOnly(true);
  view_->setMaximumBlockCount(kKeptLines);
  view_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(10);
  view_->setFont(font);
  QPalette palette = view_->palette();
  palette.setColor(QPalette::Base, Qt::black);
  palette.setColor(QPalette::Text, QColor(192, 192, 192));
  view_->setPalette(palette);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  const QFontMetrics fm(font);
  resize(fm.horizontalAdvance(QLatin1Char('0')) * 82, fm.lineSpacing() * 25);

  process_.setProcessChannelMode(QProcess::MergedChannels);
  // A session of its own: the command file and everything it starts form one
  // process group, which closing the window stops as a whole.
  process_.setChildProcessModifier([] { ::setsid(); });
  QObject::connect(&process_, &QProcess::readyReadStandardOutput, this, [this] { show_output(); });
  QObject::connect(&process_, &QProcess::finished, this, [this] {
    show_output();
    hide();
    deleteLater();
  });
}

ConsoleWindow::~ConsoleWindow() {
  if (!running()) return;
  ::kill(static_cast<pid_t>(-group_), SIGHUP);
  if (!process_.waitForFinished(kGraceMs)) {
    ::kill(static_cast<pid_t>(-group_), SIGKILL);
    process_.waitForFinished(kGraceMs);
  }
}

bool ConsoleWindow::start(const std::filesystem::path& folder, const std::wstring& name) {
  setWindowTitle(QString::fromStdString(to_utf8(name)));
  process_.setWorkingDirectory(QString::fromStdString(folder.string()));
  process_.start(QStringLiteral("/bin/sh"), {QString::fromStdString(to_utf8(name))});
  if (!process_.waitForStarted()) return false;
  group_ = process_.processId();
  show();
  return true;
}

void ConsoleWindow::stop() {
  if (!running() || group_ <= 0) return;
  ::kill(static_cast<pid_t>(-group_), SIGHUP);
  QTimer::singleShot(kGraceMs, this, [this] {
    if (running()) ::kill(static_cast<pid_t>(-group_), SIGKILL);
  });
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
  // The window goes at once; the object stays until the command file has
  // ended, so that its end is still seen.
  stop();
  event->accept();
}

void ConsoleWindow::show_output() {
  const QString text = decoder_(process_.readAllStandardOutput());
  if (text.isEmpty()) return;
  QTextCursor end = view_->textCursor();
  end.movePosition(QTextCursor::End);
  end.insertText(text);
  view_->setTextCursor(end);
  view_->ensureCursorVisible();
}

}  // namespace dorv::front
