// The frames of edit and list boxes as Win32 draws them, and where an edit
// box puts its text inside: the Qt style's own frames (a flat grey line, a
// rounded box) and its vertically centred single line would make the same
// definition look different from box to box.
#pragma once

#include <cstdint>

class QLineEdit;
class QWidget;

namespace fw::internal {

// Width in pixels of the frame the styles ask for: 2 for the sunken client
// edge, 1 more for the thin border, 0 without either.
int controlFrameWidth(uint32_t style, uint32_t exStyle);

// Draws that frame over the widget's outer pixels from now on (a child
// widget that follows the widget's size and lets the mouse through). The
// widget keeps the frame's pixels free: a QFrame line of the same width, or
// text margins.
void drawControlFrame(QWidget* widget, uint32_t style, uint32_t exStyle);

// The text of an edit box starts this far inside the frame, as in a Win32
// edit box: at the top of the client area, a little in from its left edge.
inline constexpr int kEditTextLeftPx = 2;
inline constexpr int kEditTextTopPx = 0;

// Single-line and multi-line boxes alike: text placed by the two constants
// above inside a frame of frameWidth pixels, drawn by drawControlFrame (the
// multi-line box does it in MultiLineEdit::placeText, text_boxes.h).
void placeSingleLineText(QLineEdit* edit, int frameWidth);

}  // namespace fw::internal
