#include "platform/controls.h"

#include "platform/form.h"
#include "platform/host.h"
#include "text/linefile.h"

namespace dorv::ui {

Color qb_color(int n) {
  static constexpr Color table[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                      0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                      0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  return table[n & 15];
}

Color default_back_color(ControlKind kind) {
  switch (kind) {
    case ControlKind::TextBox:
    case ControlKind::ComboBox:
    case ControlKind::ListView: return kWindowBackground;
    case ControlKind::PictureBox: return kWhite;
    default: return kButtonFace;
  }
}

Control::Control(Form& form, ControlKind kind, std::wstring name, int index, Rect rect, Control* container)
    : form_(form),
      kind_(kind),
      name_(std::move(name)),
      index_(index),
      rect_(rect),
      container_(container),
      back_color_(default_back_color(kind)) {}

void Control::changed() { form_.control_changed(*this); }

void Control::move(Rect rect) {
  rect_ = rect;
  changed();
}
void Control::set_caption(std::wstring caption) {
  caption_ = std::move(caption);
  changed();
}
void Control::set_visible(bool visible) {
  visible_ = visible;
  changed();
}
void Control::set_enabled(bool enabled) {
  enabled_ = enabled;
  changed();
}
void Control::set_tool_tip(std::wstring tip) {
  tool_tip_ = std::move(tip);
  changed();
}
void Control::set_font(Font font) {
  font_ = std::move(font);
  changed();
}
void Control::set_font_size(double size_pt) {
  font_.size = size_pt;
  changed();
}
void Control::set_font_bold(bool bold) {
  font_.bold = bold;
  changed();
}
void Control::set_fore_color(Color c) {
  fore_color_ = c;
  changed();
}
void Control::set_back_color(Color c) {
  back_color_ = c;
  changed();
}
void Control::bring_to_front() {
  z_order_ = form_.next_z_order();
  changed();
}
void Control::set_alignment(Align a) {
  alignment_ = a;
  changed();
}

bool Control::usable() const {
  for (const Control* c = this; c; c = c->container_)
    if (!c->visible_ || !c->enabled_) return false;
  // While one of its procedures runs (it may be waiting), a form takes no
  // other action of the user.
  return form_.loaded() && form_.enabled() && !form_.busy();
}

void Control::fire(const std::function<void()>& handler) {
  if (handler) form_.run_event(handler);
}

bool Control::click() {
  if (!usable()) return false;
  fire(on_click);
  return true;
}

bool Control::dbl_click() {
  if (!usable()) return false;
  fire(on_dbl_click);
  return true;
}

bool Control::focus_in() {
  if (!usable()) return false;
  form_.focus_to(this);
  fire(on_got_focus);
  return true;
}

bool Control::focus_out() {
  if (form_.focused() != this) return false;
  form_.focus_to(nullptr);
  fire(on_lost_focus);
  return true;
}

void Control::set_focus() {
  Control* previous = form_.focused();
  if (previous == this) return;
  if (previous) previous->focus_out();
  form_.focus_to(this);
  if (auto* o = form_.observer()) o->focus_requested(*this);
  fire(on_got_focus);
}

void TextBox::set_text(std::wstring text) {
  // A one-line box holds one line, whatever is typed, pasted or set into it.
  if (!multi_line_ && text.find_first_of(L"\r\n") != std::wstring::npos) text = one_line_text(text);
  if (text == text_) return;
  text_ = std::move(text);
  sel_start_ = std::min<int>(sel_start_, static_cast<int>(text_.size()));
  sel_length_ = 0;
  changed();
  fire(on_change);
}

void TextBox::type(std::wstring text) {
  if (!usable() || locked_) return;
  set_text(std::move(text));
}

void TextBox::select(int start, int length) {
  const int n = static_cast<int>(text_.size());
  sel_start_ = std::clamp(start, 0, n);
  sel_length_ = std::clamp(length, 0, n - sel_start_);
  changed();
}

void TextBox::set_multi_line(bool m) {
  multi_line_ = m;
  changed();
}

void TextBox::set_locked(bool l) {
  locked_ = l;
  changed();
}

void ComboBox::add_item(std::wstring item) {
  items_.push_back(std::move(item));
  changed();
}

void ComboBox::clear() {
  items_.clear();
  list_index_ = -1;
  text_.clear();
  changed();
}

void ComboBox::set_list_index(int i) {
  if (i < 0 || i >= static_cast<int>(items_.size())) {
    list_index_ = -1;
  } else {
    list_index_ = i;
    text_ = items_[static_cast<std::size_t>(i)];
  }
  changed();
}

void ComboBox::set_text(std::wstring text) {
  text_ = one_line_text(text);
  list_index_ = -1;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == text_) {
      list_index_ = static_cast<int>(i);
      break;
    }
  changed();
}

bool ComboBox::choose(int i) {
  if (!usable() || i < 0 || i >= static_cast<int>(items_.size())) return false;
  set_list_index(i);
  fire(on_click);
  return true;
}

bool ComboBox::type(std::wstring text) {
  if (!usable() || list_only_) return false;
  set_text(std::move(text));
  fire(on_change);
  return true;
}

void ComboBox::set_list_only(bool l) {
  list_only_ = l;
  changed();
}

void OptionButton::set_value(bool v) {
  if (v == value_) {
    if (v) fire(on_click);
    return;
  }
  value_ = v;
  if (v) {
    for (const auto& c : form().controls()) {
      if (c.get() == this || c->kind() != ControlKind::OptionButton || c->container() != container()) continue;
      auto* other = static_cast<OptionButton*>(c.get());
      if (other->value_) {
        other->value_ = false;
        other->changed();
      }
    }
  }
  changed();
  if (v) fire(on_click);
}

bool OptionButton::click() {
  if (!usable()) return false;
  set_value(true);
  return true;
}

void CheckBox::set_value(bool v) {
  if (v == value_) return;
  value_ = v;
  changed();
  fire(on_click);
}

bool CheckBox::click() {
  if (!usable()) return false;
  set_value(!value_);
  return true;
}

std::wstring ListItem::sub_item(std::size_t column) const {
  if (column == 1) return text;
  if (column >= 2 && column - 2 < sub_items.size()) return sub_items[column - 2];
  return {};
}

void ListView::add_column(std::wstring header, int width_twips) {
  columns_.push_back({std::move(header), width_twips});
  changed();
}

int ListView::add_item(ListItem item) {
  items_.push_back(std::move(item));
  changed();
  return static_cast<int>(items_.size()) - 1;
}

void ListView::clear_items() {
  items_.clear();
  selected_ = -1;
  visible_item_ = 0;
  changed();
}

const ListItem* ListView::selected_item() const {
  return selected_ >= 0 && selected_ < static_cast<int>(items_.size()) ? &items_[static_cast<std::size_t>(selected_)]
                                                                        : nullptr;
}

void ListView::select(int i) {
  selected_ = (i >= 0 && i < static_cast<int>(items_.size())) ? i : -1;
  changed();
}

void ListView::ensure_visible(int i) {
  if (i >= 0 && i < static_cast<int>(items_.size())) visible_item_ = i;
  changed();
}

int ListView::find_item(const std::wstring& text) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].text == text) return static_cast<int>(i);
  return -1;
}

bool ListView::click_item(int i) {
  if (!usable() || i < 0 || i >= static_cast<int>(items_.size())) return false;
  select(i);
  if (on_item_click) form().run_event([&] { on_item_click(i); });
  fire(on_click);
  return true;
}

bool ListView::dbl_click_item(int i) {
  if (!usable() || i < 0 || i >= static_cast<int>(items_.size())) return false;
  select(i);
  fire(on_dbl_click);
  return true;
}

// ---- Surface ----

double estimated_text_width(const std::wstring& text, const Font& font) {
  return font.size * 20.0 * (font.bold ? 0.65 : 0.6) * static_cast<double>(text.size());
}

double estimated_text_height(const Font& font) { return font.size * 20.0 * 1.2; }

double Surface::device_text_width(const std::wstring& text, const Font& f) const {
  return estimated_text_width(text, f);
}

double Surface::device_text_height(const Font& f) const { return estimated_text_height(f); }

double Surface::scale_left() const { return user_scale_ ? sl_ : 0.0; }
double Surface::scale_top() const { return user_scale_ ? st_ : 0.0; }
double Surface::scale_width() const { return user_scale_ ? sw_ : area_width(); }
double Surface::scale_height() const { return user_scale_ ? sh_ : area_height(); }

void Surface::scale(double x1, double y1, double x2, double y2) {
  sl_ = x1;
  st_ = y1;
  sw_ = x2 - x1;
  sh_ = y2 - y1;
  user_scale_ = true;
  current_x = x1;
  current_y = y1;
}

void Surface::take_user_scale() {
  if (user_scale_) return;
  sl_ = 0;
  st_ = 0;
  sw_ = area_width();
  sh_ = area_height();
  user_scale_ = true;
}

void Surface::set_scale_left(double v) {
  take_user_scale();
  sl_ = v;
}
void Surface::set_scale_top(double v) {
  take_user_scale();
  st_ = v;
}
void Surface::set_scale_width(double v) {
  take_user_scale();
  sw_ = v;
}
void Surface::set_scale_height(double v) {
  take_user_scale();
  sh_ = v;
}

void Surface::scale_twips() {
  user_scale_ = false;
  current_x = 0;
  current_y = 0;
}

void Surface::cls() {
  ops_.clear();
  current_x = scale_left();
  current_y = scale_top();
  drawn();
}

DrawOp Surface::base(DrawOp::Kind kind) const {
  DrawOp op;
  op.kind = kind;
  op.color = fore_color;
  op.draw_width = draw_width;
  op.font = text_font;
  op.scale_left = scale_left();
  op.scale_top = scale_top();
  op.scale_width = scale_width();
  op.scale_height = scale_height();
  return op;
}

void Surface::line(double x1, double y1, double x2, double y2, std::optional<Color> color) {
  DrawOp op = base(DrawOp::Kind::Line);
  op.x1 = x1;
  op.y1 = y1;
  op.x2 = x2;
  op.y2 = y2;
  if (color) op.color = *color;
  ops_.push_back(std::move(op));
  current_x = x2;
  current_y = y2;
  drawn();
}

void Surface::circle(double x, double y, double radius, std::optional<Color> color) {
  DrawOp op = base(DrawOp::Kind::Circle);
  op.x1 = x;
  op.y1 = y;
  op.radius = radius;
  if (color) op.color = *color;
  op.filled = fill_solid;
  op.fill_color = fill_color;
  ops_.push_back(std::move(op));
  current_x = x;
  current_y = y;
  drawn();
}

void Surface::print_inline(const std::wstring& text) {
  DrawOp op = base(DrawOp::Kind::Text);
  op.x1 = current_x;
  op.y1 = current_y;
  op.text = text;
  ops_.push_back(std::move(op));
  current_x += text_width(text);
  drawn();
}

void Surface::print(const std::wstring& text) {
  print_inline(text);
  current_x = scale_left();
  current_y += text_height();
}

double Surface::text_width(const std::wstring& text) const {
  const double twips = device_text_width(text, text_font);
  const int aw = area_width();
  return aw ? twips * scale_width() / aw : twips;
}

double Surface::text_height() const {
  const double twips = device_text_height(text_font);
  const int ah = area_height();
  return ah ? twips * scale_height() / ah : twips;
}

PictureBox::PictureBox(Form& f, std::wstring name, int index, Rect r, Control* container)
    : Control(f, ControlKind::PictureBox, std::move(name), index, r, container) {}

double PictureBox::device_text_width(const std::wstring& text, const Font& f) const {
  return host().text_width(text, f);
}

double PictureBox::device_text_height(const Font& f) const { return host().text_height(f); }

}  // namespace dorv::ui
