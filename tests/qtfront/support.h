// What the front end's tests share: the application on the offscreen
// platform, answering the next modal dialog, screenshots.
#pragma once
#include <QApplication>
#include <QPushButton>
#include <QString>
#include <functional>
#include <vector>

namespace dorv::test {

// The one QApplication of the test program, on the offscreen platform unless
// the environment chose another.
QApplication& app();
// Runs `act` on the next modal widget that appears (a message box, an input
// box, a modal form), from inside its event loop. Fails the test when none
// appears within a few seconds.
void when_modal(std::function<void(QWidget*)> act);
// Types text into a widget key by key, Cyrillic included.
void type_text(QWidget* widget, const QString& text);
// Lets posted events, timers and deferred deletions run.
void settle();
// The visible push buttons of a window, left to right (then top to bottom).
std::vector<QPushButton*> buttons_in_order(QWidget* window);
QPushButton* button_with_text(QWidget* window, const QString& text);
// Writes a picture of the widget into the tests' screenshot folder; on a
// desktop (not the offscreen platform), a window with the desktop's frame.
void screenshot(QWidget* widget, const QString& name);

}  // namespace dorv::test
