#pragma once

#include <QString>

#include <functional>

class QAccessibleEvent;
class QWidget;
namespace Ui {
class TMainForm;
}

// What a screen reader hears for the controls of the windows: names that say which list a button
// acts on, the panels as named groups, the margin fields with their unit and linked labels.
namespace accessiblenames {

// Names every control of the main window and links the margin labels to their fields.
void nameMainWindow(Ui::TMainForm &ui);
// Exposes a plain frame as a group named name (a panel under its caption strip).
void markPanel(QWidget *panel, const QString &name);
// The widget's tooltip shows while it has the focus from the keyboard, so that a sighted keyboard
// user sees the label of an icon button.
void showTipOnKeyboardFocus(QWidget *widget);

// Whether anyone hears what announce hands on (a screen reader, or a listener).
bool listening();
// Hands event to the screen reader, when one listens.
void announce(QAccessibleEvent &event);
// Hears every event announce hands on instead of the screen reader (tests); an empty listener ends that.
void setAnnouncementListener(std::function<void(QAccessibleEvent &)> listener);

} // namespace accessiblenames
