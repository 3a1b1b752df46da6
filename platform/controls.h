// The controls of a form. A control holds its state (caption, text, position
// in twips, visibility...) and its event procedures; a front end renders the
// state and reports the user's actions back through the methods below, and a
// test does the same without a screen.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dorv::ui {

class Form;

enum class ControlKind { CommandButton, TextBox, Label, ComboBox, OptionButton, CheckBox, Frame, ListView, PictureBox };

struct Rect {
  int left = 0;  // twips, from the container's left edge
  int top = 0;
  int width = 0;
  int height = 0;
};

// Colours as 0xRRGGBB, or a colour of the desktop's scheme: the high bit set
// and the scheme entry's number below it, resolved by the front end.
using Color = std::uint32_t;
constexpr Color rgb(int r, int g, int b) {
  return (static_cast<Color>(r & 255) << 16) | (static_cast<Color>(g & 255) << 8) | static_cast<Color>(b & 255);
}
// The sixteen classic console colours by number 0..15.
Color qb_color(int n);
constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kSystemColor = 0x80000000;
constexpr Color kButtonFace = 0x8000000F;        // the face of buttons and dialogs
constexpr Color kWindowBackground = 0x80000005;  // the ground of text boxes and lists
constexpr bool is_system_color(Color c) { return (c & kSystemColor) != 0; }
// A colour as the classic platform numbers it, red in the low byte
// (33023 = &H80FF is orange); scheme colours (&H8000000F) pass unchanged.
constexpr Color colour_number(std::uint32_t n) {
  if (n & kSystemColor) return n;
  return rgb(static_cast<int>(n & 255), static_cast<int>((n >> 8) & 255), static_cast<int>((n >> 16) & 255));
}

// A font as controls, drawings and printers carry it. The character set is
// the code page the classic platform chose glyphs by (204 Cyrillic); the
// screen draws Unicode whatever it says, a printer may need it.
struct Font {
  std::wstring name = L"MS Sans Serif";
  double size = 8.25;  // points
  bool bold = false;
  int charset = 204;
  bool operator==(const Font&) const = default;
};

enum class Align { Left, Right, Center };

// The back colour a control of the kind starts with.
Color default_back_color(ControlKind kind);

class Control {
 public:
  Control(Form& form, ControlKind kind, std::wstring name, int index, Rect rect, Control* container);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& form() const { return form_; }
  ControlKind kind() const { return kind_; }
  const std::wstring& name() const { return name_; }
  int index() const { return index_; }  // -1 unless the control belongs to a control array
  Control* container() const { return container_; }  // a frame, or null for the form itself

  const Rect& rect() const { return rect_; }
  void move(Rect rect);
  const std::wstring& caption() const { return caption_; }
  void set_caption(std::wstring caption);
  bool visible() const { return visible_; }
  void set_visible(bool visible);
  bool enabled() const { return enabled_; }
  void set_enabled(bool enabled);
  const std::wstring& tool_tip() const { return tool_tip_; }
  void set_tool_tip(std::wstring tip);
  const Font& font() const { return font_; }
  void set_font(Font font);
  void set_font_size(double size_pt);
  void set_font_bold(bool bold);
  Color fore_color() const { return fore_color_; }
  void set_fore_color(Color c);
  // Buttons, labels and frames start with the button face, editors and
  // lists with the window ground, a picture box white.
  Color back_color() const { return back_color_; }
  void set_back_color(Color c);
  // Brings the control in front of its siblings: the last control brought
  // forward has the highest z_order (0: the form's design order).
  void bring_to_front();
  int z_order() const { return z_order_; }
  Align alignment() const { return alignment_; }
  void set_alignment(Align a);

  // Visible and enabled, and so are its containers and its form.
  bool usable() const;

  // Event procedures, set by the form that owns the control.
  std::function<void()> on_click;
  std::function<void()> on_dbl_click;
  std::function<void()> on_lost_focus;
  std::function<void()> on_got_focus;

  // The user's actions (from a front end or a test). They do nothing on a
  // control that is not usable and return false then.
  virtual bool click();
  bool dbl_click();
  // Focus moves into the control (runs GotFocus), or out of it (LostFocus).
  bool focus_in();
  bool focus_out();
  // Code asks for the focus to be put into this control.
  void set_focus();

 protected:
  void changed();
  // Runs an event procedure through the form, which reports what escapes it.
  void fire(const std::function<void()>& handler);

 private:
  Form& form_;
  ControlKind kind_;
  std::wstring name_;
  int index_;
  Rect rect_;
  Control* container_;
  std::wstring caption_;
  bool visible_ = true;
  bool enabled_ = true;
  std::wstring tool_tip_;
  Font font_;
  Color fore_color_ = kBlack;
  Color back_color_;
  int z_order_ = 0;
  Align alignment_ = Align::Left;
};

class CommandButton : public Control {
 public:
  CommandButton(Form& f, std::wstring name, int index, Rect r, Control* container)
      : Control(f, ControlKind::CommandButton, std::move(name), index, r, container) {}
};

class Label : public Control {
 public:
  Label(Form& f, std::wstring name, int index, Rect r, Control* container)
      : Control(f, ControlKind::Label, std::move(name), index, r, container) {}
};

class Frame : public Control {
 public:
  Frame(Form& f, std::wstring name, int index, Rect r, Control* container)
      : Control(f, ControlKind::Frame, std::move(name), index, r, container) {}
};

class TextBox : public Control {
 public:
  TextBox(Form& f, std::wstring name, int index, Rect r, Control* container)
      : Control(f, ControlKind::TextBox, std::move(name), index, r, container) {}
  const std::wstring& text() const { return text_; }
  // Code sets the text (runs Change). A box that is not multi-line takes
  // each line break (CR LF, CR or LF) as a blank: its text is one item of
  // the files that store it, and must not add a line to them.
  void set_text(std::wstring text);
  // The user typed or pasted: the front end reports the whole new text
  // (runs Change), taken as set_text takes it.
  void type(std::wstring text);
  int sel_start() const { return sel_start_; }
  int sel_length() const { return sel_length_; }
  void select(int start, int length);
  bool multi_line() const { return multi_line_; }
  void set_multi_line(bool m);
  bool locked() const { return locked_; }
  void set_locked(bool l);
  std::function<void()> on_change;

 private:
  std::wstring text_;
  int sel_start_ = 0;
  int sel_length_ = 0;
  bool multi_line_ = false;
  bool locked_ = false;
};

class ComboBox : public Control {
 public:
  ComboBox(Form& f, std::wstring name, int index, Rect r, Control* container)
      : Control(f, ControlKind::ComboBox, std::move(name), index, r, container) {}
  const std::vector<std::wstring>& items() const { return items_; }
  void add_item(std::wstring item);
  void clear();
  int list_index() const { return list_index_; }  // -1 when the text is no item chosen from the list
  void set_list_index(int i);                     // takes the item's text
  const std::wstring& text() const { return text_; }
  // Typed text, line breaks taken as blanks as in a one-line text box;
  // list_index becomes that of an equal item, else -1.
  void set_text(std::wstring text);
  // The user chose an item from the list (runs Click) or typed a text (runs Change).
  bool choose(int i);
  bool type(std::wstring text);
  // A list of fixed choices: the text can only be one of the items.
  bool list_only() const { return list_only_; }
  void set_list_only(bool l);
  std::function<void()> on_change;

 private:
  std::vector<std::wstring> items_;
  int list_index_ = -1;
  std::wstring text_;
  bool list_only_ = false;
};

class OptionButton : public Control {
 public:
  OptionButton(Form& f, std::wstring name, int index, Rect r, Control* container)
      : Control(f, ControlKind::OptionButton, std::move(name), index, r, container) {}
  bool value() const { return value_; }
  // Setting true clears the other option buttons of the same container and
  // runs Click, as choosing it does.
  void set_value(bool v);
  bool click() override;

 private:
  bool value_ = false;
};

class CheckBox : public Control {
 public:
  CheckBox(Form& f, std::wstring name, int index, Rect r, Control* container)
      : Control(f, ControlKind::CheckBox, std::move(name), index, r, container) {}
  bool value() const { return value_; }
  void set_value(bool v);  // runs Click when it changes
  bool click() override;   // toggles

 private:
  bool value_ = false;
};

struct ListColumn {
  std::wstring header;
  int width = 0;  // twips
};

struct ListItem {
  std::wstring text;
  std::vector<std::wstring> sub_items;  // columns 2, 3, ...
  std::wstring sub_item(std::size_t column) const;  // column 1 is the text
};

// A list view in report mode.
class ListView : public Control {
 public:
  ListView(Form& f, std::wstring name, int index, Rect r, Control* container)
      : Control(f, ControlKind::ListView, std::move(name), index, r, container) {}
  const std::vector<ListColumn>& columns() const { return columns_; }
  void add_column(std::wstring header, int width_twips);
  const std::vector<ListItem>& items() const { return items_; }
  int add_item(ListItem item);
  void clear_items();
  int selected() const { return selected_; }  // -1 when nothing is selected
  const ListItem* selected_item() const;
  void select(int i);                 // code selects
  void ensure_visible(int i);         // scroll the item into view
  int top_item() const { return visible_item_; }
  int find_item(const std::wstring& text) const;  // -1 when absent
  // The user clicked an item (selects it, runs ItemClick then Click) or
  // double-clicked it (selects it, runs DblClick).
  bool click_item(int i);
  bool dbl_click_item(int i);
  std::function<void(int)> on_item_click;

 private:
  std::vector<ListColumn> columns_;
  std::vector<ListItem> items_;
  int selected_ = -1;
  int visible_item_ = 0;
};

// Without a device to measure on, a fixed-pitch estimate in twips: a
// character is 0.6 of the font size wide (0.65 bold), a line 1.2 of it high.
double estimated_text_width(const std::wstring& text, const Font& font);
double estimated_text_height(const Font& font);

// One drawing operation of a picture box, in the user coordinates in force
// when it was drawn.
struct DrawOp {
  enum class Kind { Line, Circle, Text } kind = Kind::Line;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends; circle centre in x1, y1
  double radius = 0;
  std::wstring text;
  Color color = kBlack;
  int draw_width = 1;     // pixels
  bool filled = false;    // circle filled with fill_color
  Color fill_color = kBlack;
  Font font;
  // The user coordinate system in force: scale_left/top at the top-left
  // corner, scale_width/height across the drawing area.
  double scale_left = 0, scale_top = 0, scale_width = 0, scale_height = 0;
};

// Drawing in a user coordinate system, kept as a list of operations so that a
// front end can paint it and a test can read it.
class Surface {
 public:
  virtual ~Surface() = default;
  // Sets the user coordinate system: (x1, y1) the top-left, (x2, y2) the
  // bottom-right corner of the drawing area.
  void scale(double x1, double y1, double x2, double y2);
  // Back to twips of the drawing area.
  void scale_twips();
  double scale_left() const;
  double scale_top() const;
  double scale_width() const;
  double scale_height() const;
  // One side of the coordinate system alone; the others keep their values
  // (those of twips when no user system was set).
  void set_scale_left(double v);
  void set_scale_top(double v);
  void set_scale_width(double v);
  void set_scale_height(double v);

  void cls();  // clears the drawing and puts the current position at the top-left
  void line(double x1, double y1, double x2, double y2, std::optional<Color> color = std::nullopt);
  void circle(double x, double y, double radius, std::optional<Color> color = std::nullopt);
  // Prints text at the current position and moves to the start of the next line.
  void print(const std::wstring& text);
  // Prints text at the current position and moves the current position after it.
  void print_inline(const std::wstring& text);

  double current_x = 0;
  double current_y = 0;
  int draw_width = 1;
  Color fore_color = kBlack;
  bool fill_solid = false;  // fill style: solid (true) or transparent
  Color fill_color = kBlack;
  // The font of printed text (the control's own font is for its caption).
  Font text_font;

  // Text extents in user units at the current font, measured on the
  // surface's own device.
  double text_width(const std::wstring& text) const;
  double text_height() const;

  const std::vector<DrawOp>& ops() const { return ops_; }

 protected:
  // The drawing area's size in twips.
  virtual int area_width() const = 0;
  virtual int area_height() const = 0;
  // A text's width and a line's height in twips on the device drawn on;
  // a device that cannot measure gives the estimate below.
  virtual double device_text_width(const std::wstring& text, const Font& font) const;
  virtual double device_text_height(const Font& font) const;
  virtual void drawn() {}

 private:
  void take_user_scale();
  DrawOp base(DrawOp::Kind kind) const;
  std::vector<DrawOp> ops_;
  double sl_ = 0, st_ = 0, sw_ = 0, sh_ = 0;
  bool user_scale_ = false;
};

// A picture box draws on the screen: its text is measured by the screen's host.
class PictureBox : public Control, public Surface {
 public:
  PictureBox(Form& f, std::wstring name, int index, Rect r, Control* container);

 protected:
  int area_width() const override { return rect().width; }
  int area_height() const override { return rect().height; }
  double device_text_width(const std::wstring& text, const Font& font) const override;
  double device_text_height(const Font& font) const override;
  void drawn() override { changed(); }
};

}  // namespace dorv::ui
