// The boxes and windows of the host that belong to no form: message boxes,
// input boxes, the open-file dialog's filter and the text viewer.
#pragma once
#include <QString>
#include <optional>
#include <string>

#include "platform/host.h"

class QWidget;

namespace dorv::front {

// The caption of a message box button ("Да", "Отмена"...).
QString button_caption(ui::MsgResult button);
// Shows a message box modally and returns the button pressed.
ui::MsgResult run_message_box(QWidget* parent, const ui::MsgBoxRequest& request, const QString& title);
// Shows an input box modally: the typed text, or nothing when cancelled.
std::optional<QString> run_input_box(QWidget* parent, const ui::InputBoxRequest& request, const QString& title);
// "description|pattern|description|pattern" as Qt's name filters
// ("description (pattern)" joined by ";;"); a pattern also matches its
// upper-case spelling, as names from Windows machines often are.
QString file_dialog_filter(const std::wstring& filter);
// A window of its own that shows a text read only, in a fixed-pitch font,
// in the middle of the screen; Escape closes it.
QWidget* open_text_viewer(const QString& title, const QString& text);

}  // namespace dorv::front
