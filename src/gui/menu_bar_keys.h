#pragma once
// A menu closed with Escape gives the keyboard back to the control that had it. Qt, like the
// old desktops, leaves the menu bar holding the keyboard then (waiting for a second Escape or
// an arrow key), but with nothing on screen to say so: Tab and typing seem dead.

class QMenuBar;

namespace vantor::gui {

// Applies to the menus the bar holds when called: call it once the menus are built.
void ReturnKeyboardAfterMenuEscape(QMenuBar* bar);

}  // namespace vantor::gui
