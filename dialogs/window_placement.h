#pragma once

#include <QRect>

class QWidget;

namespace vt {

// Puts a window in the middle of the screen it is on (the primary screen before it is shown).
void centreOnScreen(QWidget& window);

// A window place that the user can reach: when the place's title strip lies on no screen (a
// place saved on a larger or a second monitor, a "cleft" of 2500 on a screen 1920 wide), the
// window is brought onto the nearest screen, whole when it fits; a place that is reachable
// stays as it is.
QRect reachablePlace(const QRect& place);

}  // namespace vt
