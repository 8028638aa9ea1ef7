#pragma once

// Look shared by the program's windows.

#include <QColor>
#include <QFont>
#include <QRect>

namespace vt {

// The system's tooltip background: the console's text colour.
inline const QColor kToolTipBackground{0xFF, 0xFF, 0xE1};
// The inactive caption's gradient colour behind the main window's right-hand panel.
inline const QColor kInactiveCaptionGradient{0xD7, 0xE4, 0xF2};

// A window place from the preferences, brought into the range a window system can hold, so
// that extreme values typed into the file cannot overflow the toolkit's arithmetic.
QRect boundedPlace(int left, int top, int width, int height);

// The windows' design font at the given size; the system substitutes its nearest font.
QFont designFont(int pointSize);

}  // namespace vt
