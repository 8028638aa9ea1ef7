#pragma once

// The application's tooltip timing: how long the mouse must rest on a control before its
// tooltip shows, and how long the tooltip then stays.

#include <chrono>

namespace vt {

// Applies to every window of the program from now on. Does nothing without a QApplication.
void setToolTipDelays(std::chrono::milliseconds showDelay, std::chrono::milliseconds hideDelay);

std::chrono::milliseconds toolTipShowDelay();
std::chrono::milliseconds toolTipHideDelay();

}  // namespace vt
