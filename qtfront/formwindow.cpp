#include "qtfront/formwindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "qtfront/convert.h"
#include "qtfront/widgets.h"
#include "qtfront/qthost.h"

namespace dorv::front {

namespace {

// A form's size is its outer size; the window system adds its own frame
// around the client area, about this much.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 30;

QString object_name(const ui::Control& c) {
  QString name = qs(c.name());
  if (c.index() >= 0) name += QStringLiteral("(%1)").arg(c.index());
  return name;
}

Qt::Alignment horizontal(ui::Align a) {
  switch (a) {
    case ui::Align::Right: return Qt::AlignRight;
    case ui::Align::Center: return Qt::AlignHCenter;
    case ui::Align::Left: break;
  }
  return Qt::AlignLeft;
}

// Each edge rounded on its own, so that controls that meet in twips meet in
// pixels and never overlap by a rounding.
QRect pixels(const ui::Rect& r) {
  const int left = px_x(r.left), top = px_y(r.top);
  return QRect(left, top, px_x(r.left + r.width) - left, px_y(r.top + r.height) - top);
}

bool same_item(const QTreeWidgetItem* row, const ui::ListItem& item, int columns) {
  for (int col = 0; col < columns; ++col)
    if (row->text(col) != qs(item.sub_item(static_cast<std::size_t>(col) + 1))) return false;
  return true;
}

QTreeWidgetItem* make_row(const ui::ListItem& item, int columns) {
  auto* row = new QTreeWidgetItem;
  for (int col = 0; col < columns; ++col) row->setText(col, qs(item.sub_item(static_cast<std::size_t>(col) + 1)));
  return row;
}

}  // namespace

FormWindow::FormWindow(QtHost& host, ui::Form& form) : QWidget(nullptr), host_(host), form_(&form) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  // A form keeps the size it was laid out for: no maximise button.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setObjectName(qs(form.name()));
  // The ordinary pointer of its own, whatever the desktop behind shows; a
  // form that waits for a solver keeps it (nothing here shows a busy one).
  setCursor(Qt::ArrowCursor);
  form.set_observer(this);
}

FormWindow::~FormWindow() {
  if (form_) form_->set_observer(nullptr);
  form_ = nullptr;
  // The widgets go first, while this window's members still exist: a signal
  // they send on their way out finds no form and does nothing.
  ++syncing_;
  for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) delete w;
}

void FormWindow::detach() {
  if (!form_) return;
  form_->set_observer(nullptr);
  form_ = nullptr;
  for (auto& [control, v] : views_)
    if (auto* p = dynamic_cast<PictureWidget*>(v.widget)) p->forget();
}

QWidget* FormWindow::widget_of(const ui::Control& control) const {
  auto it = views_.find(&control);
  return it == views_.end() ? nullptr : it->second.widget;
}

void FormWindow::refresh() {
  if (!form_) return;
  for (const auto& c : form_->controls()) view(*c);  // makes what is missing
  for (const auto& c : form_->controls()) sync(*c, views_[c.get()]);
  restack();
  for (const auto& c : form_->controls())
    if (c->kind() == ui::ControlKind::CommandButton)
      static_cast<QPushButton*>(views_[c.get()].widget)->setDefault(c.get() == form_->default_button());
  form_changed(*form_);
}

FormWindow::View& FormWindow::view(ui::Control& control) {
  View& v = views_[&control];
  if (!v.widget) make(control, v);
  return v;
}

void FormWindow::make(ui::Control& c, View& v) {
  QWidget* parent = this;
  if (c.container() && c.container() != &c) parent = view(*c.container()).widget;
  QWidget* w = nullptr;
  switch (c.kind()) {
    case ui::ControlKind::CommandButton: {
      auto* b = new CaptionButton(parent);
      b->setAutoDefault(false);
      QObject::connect(b, &QPushButton::clicked, this, [this, &c] { act(c, [&c] { c.click(); }); });
      w = b;
      break;
    }
    case ui::ControlKind::TextBox: {
      auto& tb = static_cast<ui::TextBox&>(c);
      v.multi_line = tb.multi_line();
      if (v.multi_line) {
        auto* e = new QPlainTextEdit(parent);
        e->setTabChangesFocus(true);
        QObject::connect(e, &QPlainTextEdit::textChanged, this, [this, &tb, e] {
          if (syncing_) return;
          const std::wstring text = program_text(e->toPlainText());
          act(tb, [&tb, text] { tb.type(text); });
        });
        w = e;
      } else {
        auto* e = new FieldEdit(parent);
        report_typing(e, tb, [&tb](const std::wstring& t) { tb.type(t); });
        w = e;
      }
      break;
    }
    case ui::ControlKind::Label: {
      auto* l = new QLabel(parent);
      l->setTextFormat(Qt::PlainText);
      l->setWordWrap(true);
      w = l;
      break;
    }
    case ui::ControlKind::ComboBox: {
      auto& cb = static_cast<ui::ComboBox&>(c);
      auto* box = new QComboBox(parent);
      box->setEditable(!cb.list_only());
      box->setInsertPolicy(QComboBox::NoInsert);
      QObject::connect(box, &QComboBox::activated, this, [this, &cb](int i) {
        if (syncing_) return;
        act(cb, [&cb, i] { cb.choose(i); });
      });
      if (box->lineEdit()) {
        box->setCompleter(nullptr);
        keep_on_one_line(*box->lineEdit());
        box->lineEdit()->installEventFilter(this);
        by_widget_[box->lineEdit()] = &c;
        report_typing(box->lineEdit(), cb, [&cb](const std::wstring& t) { cb.type(t); });
      }
      w = box;
      break;
    }
    case ui::ControlKind::OptionButton: {
      auto* r = new CaptionRadio(parent);
      // The controls keep one choice per container themselves.
      r->setAutoExclusive(false);
      QObject::connect(r, &QRadioButton::clicked, this, [this, &c] { act(c, [&c] { c.click(); }); });
      w = r;
      break;
    }
    case ui::ControlKind::CheckBox: {
      auto* b = new CaptionCheck(parent);
      QObject::connect(b, &QCheckBox::clicked, this, [this, &c] { act(c, [&c] { c.click(); }); });
      w = b;
      break;
    }
    case ui::ControlKind::Frame: w = new QGroupBox(parent); break;
    case ui::ControlKind::ListView: {
      auto& lv = static_cast<ui::ListView&>(c);
      auto* t = new ReportList(parent);
      t->setRootIsDecorated(false);
      t->setUniformRowHeights(true);
      t->setItemsExpandable(false);
      t->setAllColumnsShowFocus(true);
      t->setSelectionMode(QAbstractItemView::SingleSelection);
      t->setSelectionBehavior(QAbstractItemView::SelectRows);
      t->header()->setStretchLastSection(false);
      t->header()->setSectionsMovable(false);
      QObject::connect(t, &QTreeWidget::itemSelectionChanged, this, [this, &lv, t] {
        if (syncing_ || !form_) return;
        const auto rows = t->selectedItems();
        const int i = rows.isEmpty() ? -1 : t->indexOfTopLevelItem(rows.first());
        if (i != lv.selected()) act(lv, [&lv, i] { lv.select(i); });
      });
      QObject::connect(t, &QTreeWidget::itemClicked, this, [this, &lv, t](QTreeWidgetItem* row, int) {
        const int i = t->indexOfTopLevelItem(row);
        act(lv, [&lv, i] { lv.click_item(i); });
      });
      QObject::connect(t, &QTreeWidget::itemDoubleClicked, this, [this, &lv, t](QTreeWidgetItem* row, int) {
        const int i = t->indexOfTopLevelItem(row);
        act(lv, [&lv, i] { lv.dbl_click_item(i); });
      });
      w = t;
      break;
    }
    case ui::ControlKind::PictureBox: {
      auto* p = new PictureWidget(static_cast<ui::PictureBox&>(c), parent);
      p->on_click = [this, &c] { act(c, [&c] { c.click(); }); };
      p->on_dbl_click = [this, &c] { act(c, [&c] { c.dbl_click(); }); };
      w = p;
      break;
    }
  }
  w->setObjectName(object_name(c));
  w->installEventFilter(this);
  by_widget_[w] = &c;
  v.widget = w;
}

void FormWindow::report_typing(QLineEdit* edit, ui::Control& c, std::function<void(const std::wstring&)> type) {
  QObject::connect(edit, &QLineEdit::textEdited, this, [this, &c, type](const QString& text) {
    if (syncing_) return;
    const std::wstring t = ws(text);
    act(c, [&type, &t] { type(t); });
  });
}

void FormWindow::sync_common(ui::Control& c, QWidget* w) {
  QRect r = pixels(c.rect());
  // A combo box is as high as its font makes it, whatever height it was given.
  if (c.kind() == ui::ControlKind::ComboBox) r.setHeight(std::max(r.height(), w->sizeHint().height()));
  if (w->geometry() != r) w->setGeometry(r);
  const QFont font = fitted_font(c, *w, program_font(c.font()));
  if (w->font() != font) w->setFont(font);
  QPalette palette = w->parentWidget() ? w->parentWidget()->palette() : w->palette();
  if (c.fore_color() != ui::kBlack) {
    const QColor color = qcolor(c.fore_color(), palette);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) palette.setColor(role, color);
  }
  // A back colour of its own (a picture box paints its ground itself).
  const bool own_back = c.back_color() != ui::default_back_color(c.kind()) && c.kind() != ui::ControlKind::PictureBox;
  if (own_back) {
    const QColor color = qcolor(c.back_color(), palette);
    for (auto role : {QPalette::Button, QPalette::Base, QPalette::Window}) palette.setColor(role, color);
  }
  const bool fills = own_back && (c.kind() == ui::ControlKind::Label || c.kind() == ui::ControlKind::Frame ||
                                  c.kind() == ui::ControlKind::OptionButton || c.kind() == ui::ControlKind::CheckBox);
  if (w->autoFillBackground() != fills) w->setAutoFillBackground(fills);
  w->setPalette(palette);
  if (w->toolTip() != qs(c.tool_tip())) w->setToolTip(qs(c.tool_tip()));
  w->setEnabled(c.enabled());
  w->setVisible(c.visible());
}

void FormWindow::sync_z_order(ui::Control& c, View& v) {
  if (c.z_order() == v.z_order) return;
  v.z_order = c.z_order();
  if (v.z_order > 0) v.widget->raise();
}

void FormWindow::restack() {
  if (!form_) return;
  // The widgets lie as the form's controls do, the back one first.
  for (ui::Control* c : form_->back_to_front()) {
    auto it = views_.find(c);
    if (it != views_.end() && it->second.widget) it->second.widget->raise();
  }
}

void FormWindow::sync(ui::Control& c, View& v) {
  if (!v.widget) return;
  // A text box that changed between one line and several gets a new editor.
  if (c.kind() == ui::ControlKind::TextBox && static_cast<ui::TextBox&>(c).multi_line() != v.multi_line) {
    QWidget* old = v.widget;
    by_widget_.erase(old);
    v.widget = nullptr;
    make(c, v);
    v.widget->stackUnder(old);
    old->hide();
    old->deleteLater();
  }
  ++syncing_;
  QWidget* w = v.widget;
  const QSignalBlocker block(w);
  sync_common(c, w);
  sync_z_order(c, v);
  switch (c.kind()) {
    case ui::ControlKind::CommandButton: {
      auto* b = static_cast<QPushButton*>(w);
      if (b->text() != display_text(c.caption())) b->setText(display_text(c.caption()));
      break;
    }
    case ui::ControlKind::Label: {
      auto* l = static_cast<QLabel*>(w);
      l->setAlignment(horizontal(c.alignment()) | Qt::AlignTop);
      if (l->text() != display_text(c.caption())) l->setText(display_text(c.caption()));
      break;
    }
    case ui::ControlKind::TextBox: {
      auto& tb = static_cast<ui::TextBox&>(c);
      const QString text = display_text(tb.text());
      if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != text) {
          const int pos = e->cursorPosition();
          e->setText(text);
          e->setCursorPosition(std::min(pos, static_cast<int>(text.size())));
        }
        e->setReadOnly(tb.locked());
        e->setAlignment(horizontal(c.alignment()) | Qt::AlignVCenter);
        if (tb.sel_length() > 0 &&
            (e->selectionStart() != tb.sel_start() || e->selectedText().size() != tb.sel_length()))
          e->setSelection(tb.sel_start(), tb.sel_length());
      } else if (auto* m = qobject_cast<QPlainTextEdit*>(w)) {
        if (m->toPlainText() != text) m->setPlainText(text);
        m->setReadOnly(tb.locked());
      }
      break;
    }
    case ui::ControlKind::ComboBox: {
      auto& cb = static_cast<ui::ComboBox&>(c);
      auto* box = static_cast<QComboBox*>(w);
      const QSignalBlocker block_edit(box->lineEdit());
      QStringList items;
      for (const auto& item : cb.items()) items << qs(item);
      QStringList shown;
      for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
      if (shown != items) {
        box->clear();
        box->addItems(items);
      }
      if (box->currentIndex() != cb.list_index()) box->setCurrentIndex(cb.list_index());
      if (box->isEditable() && box->currentText() != qs(cb.text())) box->setEditText(qs(cb.text()));
      break;
    }
    case ui::ControlKind::OptionButton: {
      auto* r = static_cast<QRadioButton*>(w);
      r->setText(display_text(c.caption()));
      r->setChecked(static_cast<ui::OptionButton&>(c).value());
      break;
    }
    case ui::ControlKind::CheckBox: {
      auto* b = static_cast<QCheckBox*>(w);
      b->setText(display_text(c.caption()));
      b->setChecked(static_cast<ui::CheckBox&>(c).value());
      break;
    }
    case ui::ControlKind::Frame: static_cast<QGroupBox*>(w)->setTitle(display_text(c.caption())); break;
    case ui::ControlKind::ListView: sync_list(static_cast<ui::ListView&>(c), v); break;
    case ui::ControlKind::PictureBox: w->update(); break;
  }
  --syncing_;
}

void FormWindow::sync_list(ui::ListView& list, View& v) {
  auto* t = static_cast<QTreeWidget*>(v.widget);
  const auto& columns = list.columns();
  const int ncol = std::max<int>(1, static_cast<int>(columns.size()));
  QStringList headers;
  for (const auto& col : columns) headers << qs(col.header);
  if (t->columnCount() != ncol) t->setColumnCount(ncol);
  QStringList shown_headers;
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) shown_headers << t->headerItem()->text(i);
  if (shown_headers != headers) t->setHeaderLabels(headers);
  t->setHeaderHidden(columns.empty());
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    const int width = px_x(columns[static_cast<std::size_t>(i)].width);
    if (t->columnWidth(i) != width) t->setColumnWidth(i, width);
  }

  // Rows: the rows already shown that still agree stay; items added at the
  // end are appended, anything else rebuilds the list. Items are only ever
  // appended or cleared, and every change is seen here, so the last row
  // shown stands for all before it unless it differs.
  const auto& items = list.items();
  const int n = static_cast<int>(items.size());
  int keep = std::min(n, t->topLevelItemCount());
  if (keep > 0 && !same_item(t->topLevelItem(keep - 1), items[static_cast<std::size_t>(keep) - 1], ncol)) {
    for (int i = 0; i < keep; ++i)
      if (!same_item(t->topLevelItem(i), items[static_cast<std::size_t>(i)], ncol)) {
        keep = i;
        break;
      }
  }
  bool rebuilt = false;
  if (keep < t->topLevelItemCount()) {
    if (keep == 0) t->clear();
    while (t->topLevelItemCount() > keep) delete t->takeTopLevelItem(t->topLevelItemCount() - 1);
    rebuilt = true;
  }
  if (keep < n) {
    QList<QTreeWidgetItem*> rows;
    for (int i = keep; i < n; ++i) rows << make_row(items[static_cast<std::size_t>(i)], ncol);
    t->addTopLevelItems(rows);
  }

  const int selected = list.selected();
  QTreeWidgetItem* row = selected >= 0 && selected < n ? t->topLevelItem(selected) : nullptr;
  if (row) {
    if (t->currentItem() != row) t->setCurrentItem(row);
    if (!row->isSelected()) row->setSelected(true);
  } else if (!t->selectedItems().isEmpty() || t->currentItem()) {
    t->clearSelection();
    t->setCurrentItem(nullptr);
  }
  const int top = list.top_item();
  if ((top != v.top_item || rebuilt) && top >= 0 && top < n) t->scrollToItem(t->topLevelItem(top));
  v.top_item = top;
}

void FormWindow::act(ui::Control& control, const std::function<void()>& action) {
  if (!form_) return;
  QPointer<FormWindow> self(this);
  host_.call(action);
  if (!self || !form_) return;
  auto it = views_.find(&control);
  if (it != views_.end()) sync(control, it->second);
}

void FormWindow::place(bool first) {
  const ui::Rect r = form_->rect();
  int width = px_x(r.width) - kFrameWidth;
  int height = px_y(r.height) - kFrameHeight;
  // The client area holds every control, whatever outer size was given.
  for (const auto& c : form_->controls()) {
    if (c->container()) continue;
    const QRect cr = pixels(c->rect());
    width = std::max(width, cr.right() + 4);
    height = std::max(height, cr.bottom() + 4);
  }
  setFixedSize(std::max(width, 120), std::max(height, 40));
  if (!first && r.left == placed_rect_.left && r.top == placed_rect_.top) return;
  if (r.left == 0 && r.top == 0) {
    // No position of its own: the middle of the screen.
    const QScreen* s = screen();
    if (s) {
      const QRect area = s->availableGeometry();
      move(area.center() - QPoint(this->width() / 2, this->height() / 2 + kFrameHeight / 2));
    }
  } else {
    move(px_x(r.left), px_y(r.top));
  }
}

void FormWindow::control_changed(ui::Control& control) {
  if (!form_) return;
  sync(control, view(control));
}

void FormWindow::form_changed(ui::Form& form) {
  if (&form != form_) return;
  setWindowTitle(display_text(form.caption()));
  setEnabled(form.enabled());
  const ui::Rect r = form.rect();
  if (!placed_ || r.left != placed_rect_.left || r.top != placed_rect_.top || r.width != placed_rect_.width ||
      r.height != placed_rect_.height) {
    place(!placed_);
    placed_ = true;
    placed_rect_ = r;
  }
}

void FormWindow::focus_requested(ui::Control& control) {
  if (!form_) return;
  // Deferred: the request may come from inside a focus change under way.
  QPointer<QWidget> w = view(control).widget;
  QTimer::singleShot(0, this, [w] {
    if (w) w->setFocus(Qt::OtherFocusReason);
  });
}

void FormWindow::form_destroyed(ui::Form& form) {
  if (&form == form_) host_.window_gone(form);
}

void FormWindow::closeEvent(QCloseEvent* event) {
  // The window goes only when its form is unloaded; the form may refuse.
  event->ignore();
  if (!form_ || host_.ending() || !form_->enabled()) return;
  ui::Form* f = form_;
  host_.call([f] { f->close_box(); });
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
  if (!form_ || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
    QWidget::keyPressEvent(event);
    return;
  }
  ui::Form* f = form_;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter presses the button that has the focus, else the default button.
      if (auto* b = qobject_cast<QPushButton*>(focusWidget())) {
        b->click();
        return;
      }
      if (f->default_button()) {
        host_.call([f] { f->press_enter(); });
        return;
      }
      break;
    case Qt::Key_Escape:
      if (f->cancel_button()) {
        host_.call([f] { f->press_escape(); });
        return;
      }
      break;
    default: break;
  }
  QWidget::keyPressEvent(event);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (form_ && !syncing_ && (type == QEvent::FocusIn || type == QEvent::FocusOut)) {
    auto it = by_widget_.find(watched);
    if (it != by_widget_.end()) {
      ui::Control* c = it->second;
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      if (type == QEvent::FocusIn) {
        if (reason != Qt::PopupFocusReason && form_->focused() != c) act(*c, [c] { c->focus_in(); });
      } else if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                 reason != Qt::MenuBarFocusReason) {
        // Switching to another window (a message box, another form) keeps
        // the control's focus; moving within the form takes it away.
        act(*c, [c] { c->focus_out(); });
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace dorv::front
