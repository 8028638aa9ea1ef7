#pragma once

// Look shared by the program's windows.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QLabel;

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

// Shows a text in a label of fixed width: in the label's font, smaller down to the smallest
// point size when it does not fit, cut with "..." when even that is too wide. The whole text is
// the label's tooltip when it was cut or made smaller.
void showFittedText(QLabel* label, const QString& text, int largestPointSize,
                    int smallestPointSize);

}  // namespace vt
