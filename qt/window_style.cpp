#include "qt/window_style.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

#include "qt/controls.h"

namespace vt {

QRect boundedPlace(int left, int top, int width, int height) {
    constexpr int kLimit = 32767;
    return QRect(std::clamp(left, -kLimit, kLimit), std::clamp(top, -kLimit, kLimit),
                 std::clamp(width, 0, kLimit), std::clamp(height, 0, kLimit));
}

QFont designFont(int pointSize) {
    QFont font("MS Sans Serif", pointSize);
    font.setStyleHint(QFont::SansSerif);
    // The design font is narrow; the common substitutes are wider and would not fit the
    // captions into their design widths, so they are drawn condensed.
    if (QFontInfo(font).family() != font.family()) {
        constexpr int kSubstituteStretch = 85;
        font.setStretch(kSubstituteStretch);
    }
    return font;
}

void showFittedText(QLabel* label, const QString& text, int largestPointSize,
                    int smallestPointSize) {
    QFont font = label->font();
    const int room = label->contentsRect().width();
    for (int size = largestPointSize; size >= smallestPointSize; --size) {
        font.setPointSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= room || size == smallestPointSize) {
            break;
        }
    }
    label->setFont(font);
    const QFontMetrics metrics(font);
    label->setText(metrics.elidedText(text, Qt::ElideRight, room));
    label->setToolTip(font.pointSize() == largestPointSize &&
                              metrics.horizontalAdvance(text) <= room
                          ? QString()
                          : plainToolTip(text));
}

}  // namespace vt
