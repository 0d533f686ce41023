#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Where the program's own windows open: never larger than the screen's available area, at any
// scale, and centred on the main window where they fit there.
namespace windowfit {

// The frame rectangle for a window whose frame wants the given size: bounded by the available
// area, centred on the anchor (the main window's frame), then moved into the area where it would
// stick out. Examples, with the area (0,0 1280×800):
//   wanted 400×300, anchor (100,100 600×400) ⇒ (200,150 400×300)
//   wanted 800×900, anchor (0,0 1280×800)    ⇒ (240,0 800×800)
//   wanted 400×300, anchor (1000,600 400×300) ⇒ (880,500 400×300)
QRect place(QSize wanted, const QRect &anchor, const QRect &available);

// Sizes and places the top-level window whenever it is shown: at its first showing with the wanted
// size (an invalid one: the size the window has, else its size hint), centred on its parent's
// window; at later showings with the size and place the user left it at. Either way it ends up
// within the available area of the parent's screen.
void fitOnShow(QWidget *window, QSize wanted = {});

} // namespace windowfit
