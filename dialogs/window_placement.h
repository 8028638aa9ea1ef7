#pragma once

class QWidget;

namespace vt {

// Puts a window in the middle of the screen it is on (the primary screen before it is shown).
void centreOnScreen(QWidget& window);

}  // namespace vt
