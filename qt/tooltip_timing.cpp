#include "qt/tooltip_timing.h"

#include <QApplication>
#include <QHelpEvent>
#include <QProxyStyle>
#include <QToolTip>
#include <QWidget>

namespace vt {

namespace {

// Qt's own defaults until the program sets its delays.
std::chrono::milliseconds g_showDelay{700};
std::chrono::milliseconds g_hideDelay{10000};

// The rest before a tooltip shows is a style hint.
class ToolTipStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay) {
            return static_cast<int>(g_showDelay.count());
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Qt has no application-wide time a tooltip stays: the widgets' own tooltips are shown here
// with it; anything else (items of views and menus) keeps Qt's handling.
class ToolTipFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->toolTip().isEmpty()) {
            return false;
        }
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), widget->toolTip(), widget, QRect(),
                           static_cast<int>(g_hideDelay.count()));
        return true;
    }
};

}  // namespace

void setToolTipDelays(std::chrono::milliseconds showDelay, std::chrono::milliseconds hideDelay) {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (application == nullptr) {
        return;
    }
    g_showDelay = showDelay;
    g_hideDelay = hideDelay;
    static bool installed = false;
    if (!installed) {
        installed = true;
        QApplication::setStyle(new ToolTipStyle);
        application->installEventFilter(new ToolTipFilter(application));
    }
}

std::chrono::milliseconds toolTipShowDelay() {
    return g_showDelay;
}

std::chrono::milliseconds toolTipHideDelay() {
    return g_hideDelay;
}

}  // namespace vt
