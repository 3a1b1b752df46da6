#include "qtfront/dialogs.h"

#include <QDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QKeyEvent>
#include <QSpacerItem>
#include <QGuiApplication>
#include <QVBoxLayout>
#include <algorithm>

#include "qtfront/convert.h"

namespace dorv::front {

QString button_caption(ui::MsgResult button) {
  switch (button) {
    case ui::MsgResult::OK: return QStringLiteral("OK");
    case ui::MsgResult::Cancel: return QStringLiteral("Отмена");
    case ui::MsgResult::Abort: return QStringLiteral("Прервать");
    case ui::MsgResult::Retry: return QStringLiteral("Повтор");
    case ui::MsgResult::Ignore: return QStringLiteral("Пропустить");
    case ui::MsgResult::Yes: return QStringLiteral("Да");
    case ui::MsgResult::No: return QStringLiteral("Нет");
    case ui::MsgResult::TryAgain: return QStringLiteral("Повторить");
    case ui::MsgResult::Continue: return QStringLiteral("Продолжить");
  }
  return QStringLiteral("OK");
}

namespace {
QMessageBox::Icon qicon(ui::MsgIcon icon) {
  switch (icon) {
    case ui::MsgIcon::Critical: return QMessageBox::Critical;
    case ui::MsgIcon::Question: return QMessageBox::Question;
    case ui::MsgIcon::Exclamation: return QMessageBox::Warning;
    case ui::MsgIcon::Information: return QMessageBox::Information;
    case ui::MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// The width a window needs for its title to show whole in the desktop's
// title bar: the title in a bold title font, beside the bar's icon and its
// buttons, about a square of the bar's height each, with their margins.
int width_for_title(const QString& title) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  font.setBold(true);
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(title) + 6 * metrics.height();
}

}  // namespace

ui::MsgResult run_message_box(QWidget* parent, const ui::MsgBoxRequest& request, const QString& title) {
  QMessageBox box(parent);
  box.setWindowTitle(title);
  box.setTextFormat(Qt::PlainText);
  box.setText(display_text(request.text));
  box.setIcon(qicon(request.icon));
  // A short text makes a narrow box, and the desktop cuts its title short:
  // the box is made at least as wide as its title needs.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width_for_title(title), 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grid->rowCount(),
                  0, 1, grid->columnCount());
  const auto set = ui::buttons_of(request.buttons);
  std::vector<QPushButton*> buttons;
  // One role for all keeps the buttons in the order of their set.
  for (ui::MsgResult b : set) buttons.push_back(box.addButton(button_caption(b), QMessageBox::ActionRole));
  const int def = std::clamp(request.default_button, 0, static_cast<int>(buttons.size()) - 1);
  box.setDefaultButton(buttons[static_cast<std::size_t>(def)]);
  // Esc answers Cancel where there is one, OK when it is the only button;
  // a Yes/No question cannot be dismissed without an answer.
  const auto cancel = std::find(set.begin(), set.end(), ui::MsgResult::Cancel);
  if (cancel != set.end()) box.setEscapeButton(buttons[static_cast<std::size_t>(cancel - set.begin())]);
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return set[i];
  return cancel != set.end() ? ui::MsgResult::Cancel : set[static_cast<std::size_t>(def)];
}

std::optional<QString> run_input_box(QWidget* parent, const ui::InputBoxRequest& request, const QString& title) {
  QDialog dialog(parent);
  dialog.setWindowTitle(title);
  auto* layout = new QGridLayout(&dialog);
  auto* prompt = new QLabel(display_text(request.prompt));
  prompt->setObjectName(QStringLiteral("prompt"));
  prompt->setTextFormat(Qt::PlainText);
  prompt->setWordWrap(true);
  prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  prompt->setMinimumWidth(300);
  prompt->setMinimumHeight(prompt->fontMetrics().lineSpacing() * 4);
  auto* ok = new QPushButton(button_caption(ui::MsgResult::OK));
  auto* cancel = new QPushButton(button_caption(ui::MsgResult::Cancel));
  ok->setDefault(true);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* edit = new QLineEdit(qs(request.default_text));
  edit->selectAll();
  layout->addWidget(prompt, 0, 0);
  layout->addLayout(buttons, 0, 1);
  layout->addWidget(edit, 1, 0, 1, 2);
  layout->setRowStretch(0, 1);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  dialog.resize(std::max(dialog.sizeHint().width(), 460), dialog.sizeHint().height());
  if (request.left || request.top) {
    // Twips from the screen's top-left corner; a coordinate not given stays
    // centred.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    QPoint at = area.center() - QPoint(dialog.width() / 2, dialog.height() / 2);
    if (request.left) at.setX(area.left() + px_x(*request.left));
    if (request.top) at.setY(area.top() + px_y(*request.top));
    dialog.move(at);
  }
  edit->setFocus();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return edit->text();
}

QString file_dialog_filter(const std::wstring& filter) {
  const QStringList parts = qs(filter).split(QChar('|'));
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QChar(';'), Qt::SkipEmptyParts)) {
      const QString pattern = p.trimmed();
      patterns << pattern;
      if (pattern.toUpper() != pattern) patterns << pattern.toUpper();
    }
    filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(QChar(' ')));
  }
  return filters.join(QStringLiteral(";;"));
}

namespace {

// The viewer's window: Escape closes it, as it closes a box. The text, read
// only, leaves the key to it.
class TextViewer : public QWidget {
 public:
  TextViewer() : QWidget(nullptr, Qt::Window) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      close();
      return;
    }
    QWidget::keyPressEvent(event);
  }
};

}  // namespace

QWidget* open_text_viewer(const QString& title, const QString& text) {
  auto* window = new TextViewer;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(title);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* view = new QPlainTextEdit(window);
  view->setObjectName(QStringLiteral("text"));
  view->setReadOnly(true);
  view->setLineWrapMode(QPlainTextEdit::NoWrap);
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view->setPlainText(text);
  layout->addWidget(view);
  const QFontMetrics fm(view->font());
  QSize size(fm.horizontalAdvance(QChar('0')) * 100 + 40, fm.lineSpacing() * 40 + 20);
  // In the middle of the screen's free area, and inside it with the frame
  // and the title bar that the desktop adds (a generous guess of them).
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    const QSize frame(2 * fm.height(), 4 * fm.height());
    size = size.boundedTo(area.size() - frame);
    const QSize outer = size + frame;
    window->move(area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 2);
  }
  window->resize(size);
  window->show();
  return window;
}

}  // namespace dorv::front
