#include "support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace dorv::test {

QApplication& app() {
  static QApplication* instance = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qtfront_tests";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *instance;
}

void when_modal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(&app());
  auto* clock = new QElapsedTimer;
  clock->start();
  QWidget* before = QApplication::activeModalWidget();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, before, act] {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w != before && w->isVisible()) {
      timer->stop();
      timer->deleteLater();
      delete clock;
      act(w);
    } else if (clock->elapsed() > 5000) {
      timer->stop();
      timer->deleteLater();
      delete clock;
      ADD_FAILURE() << "no modal window appeared";
    }
  });
  timer->start(10);
}

void type_text(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
  }
}

void settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

std::vector<QPushButton*> buttons_in_order(QWidget* window) {
  auto list = window->findChildren<QPushButton*>();
  std::vector<QPushButton*> buttons;
  for (auto* b : list)
    if (b->isVisible()) buttons.push_back(b);
  std::sort(buttons.begin(), buttons.end(), [window](QPushButton* a, QPushButton* b) {
    const QPoint pa = a->mapTo(window, QPoint(0, 0)), pb = b->mapTo(window, QPoint(0, 0));
    return std::pair(pa.x(), pa.y()) < std::pair(pb.x(), pb.y());
  });
  return buttons;
}

QPushButton* button_with_text(QWidget* window, const QString& text) {
  for (auto* b : window->findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

void screenshot(QWidget* widget, const QString& name) {
  const QString dir = QStringLiteral(DORV_SCREENSHOT_DIR);
  QDir().mkpath(dir);
  QPixmap picture = widget->grab();
  // On a desktop a window is shown as the desktop frames it, title bar and all.
  if (widget->isWindow() && QGuiApplication::platformName() != QStringLiteral("offscreen"))
    if (QScreen* screen = widget->screen()) {
      QTest::qWait(300);  // the desktop frames and paints it meanwhile
      const QRect frame = widget->frameGeometry();
      picture = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    }
  EXPECT_TRUE(picture.save(dir + QChar('/') + name)) << name.toStdString();
}

}  // namespace dorv::test
