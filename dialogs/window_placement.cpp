#include "dialogs/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace vt {

namespace {

// The part of a window's top edge that must lie on a screen for the user to take the window
// by its title bar.
constexpr int kTitleStripHeight = 20;
constexpr int kTitleStripWidth = 60;

long long distanceSquared(const QRect& area, const QPoint& point) {
    const long long dx = point.x() < area.left()    ? area.left() - point.x()
                         : point.x() > area.right() ? point.x() - area.right()
                                                    : 0;
    const long long dy = point.y() < area.top()      ? area.top() - point.y()
                         : point.y() > area.bottom() ? point.y() - area.bottom()
                                                     : 0;
    return dx * dx + dy * dy;
}

}  // namespace

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QRect reachablePlace(const QRect& place) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty()) {
        return place;
    }
    const QRect titleStrip(place.left(), place.top(), place.width(), kTitleStripHeight);
    QRect nearest;
    long long nearestDistance = std::numeric_limits<long long>::max();
    for (const QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        const QRect onScreen = area.intersected(titleStrip);
        if (onScreen.width() >= std::min(kTitleStripWidth, place.width()) &&
            onScreen.height() >= std::min(kTitleStripHeight, place.height())) {
            return place;
        }
        const long long distance = distanceSquared(area, place.center());
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = area;
        }
    }
    QRect moved = place;
    const int left =
        place.width() >= nearest.width()
            ? nearest.left()
            : std::clamp(place.left(), nearest.left(), nearest.right() + 1 - place.width());
    const int top =
        place.height() >= nearest.height()
            ? nearest.top()
            : std::clamp(place.top(), nearest.top(), nearest.bottom() + 1 - place.height());
    moved.moveTopLeft(QPoint(left, top));
    return moved;
}

}  // namespace vt
