// The console window of a command file: the front end starts a command file
// "in a normal window" by running it in a process group of its own and
// showing what it prints, live. The window closes when the command file
// ends; closing it stops the command file and every process it started, as
// closing a console window does.
#pragma once
#include <QPlainTextEdit>
#include <QProcess>
#include <QStringDecoder>
#include <QWidget>
#include <filesystem>
#include <string>

namespace dorv::front {

class ConsoleWindow : public QWidget {
 public:
  ConsoleWindow();
  ~ConsoleWindow() override;

  // Starts "/bin/sh <name>" in the folder and shows the window. False when
  // the command file could not be started (the window is not shown then).
  bool start(const std::filesystem::path& folder, const std::wstring& name);
  bool running() const { return process_.state() != QProcess::NotRunning; }
  // The process group of the command file and its children; 0 before a start.
  qint64 process_group() const { return group_; }
  // What the command file has printed so far.
  QString output() const { return view_->toPlainText(); }
  // Asks the command file's whole process group to end (hang-up, then a
  // kill when it has not ended within a few seconds).
  void stop();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void show_output();
  QPlainTextEdit* view_;
  QProcess process_;
  QStringDecoder decoder_{QStringDecoder::Utf8};
  qint64 group_ = 0;
};

}  // namespace dorv::front
