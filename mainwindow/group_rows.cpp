#include "mainwindow/group_rows.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "power/manual_commands.h"
#include "qt/controls.h"
#include "qt/led_images.h"

namespace vt {

namespace {

constexpr const char* kTagProperty = "tag";

QRect boundsOf(const power::ControlPlace& place) {
    return QRect(place.left, place.top, place.width, place.height);
}

void setTag(QWidget* control, int tag) {
    control->setProperty(kTagProperty, tag);
}

QString rowName(const char* kind, int row) {
    return QString("%1%2").arg(kind).arg(row);
}

void paintButton(QPushButton* button, const QColor& colour) {
    QPalette colours = button->palette();
    colours.setColor(QPalette::Button, colour);
    button->setPalette(colours);
    button->setAutoFillBackground(true);
    button->setStyleSheet(QString("QPushButton { background-color: %1; border: 1px solid #a0a0a0; }"
                                  "QPushButton:pressed { background-color: #d8d8d8; }")
                              .arg(colour.name()));
    // A style sheet of its own would otherwise give the button the application's font.
    button->setFont(button->parentWidget()->font());
}

// True when the button's caption is wider than the room its style leaves for it.
bool captionIsCut(const QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return button->fontMetrics().horizontalAdvance(button->text()) > room.width();
}

// The comment, after the whole name when the button cannot show all of it.
QString groupToolTip(const QPushButton* button, const QString& comment) {
    if (!captionIsCut(button)) {
        return plainToolTip(comment);
    }
    return plainToolTip(comment.isEmpty() ? button->text() : button->text() + "\n" + comment);
}

}  // namespace

std::array<QWidget*, 6> GroupRows::Row::schedulingControls() const {
    return {powerOnBox, durationBox, shutdownBox, led, onButton, offButton};
}

std::array<QWidget*, 7> GroupRows::Row::all() const {
    return {groupButton, powerOnBox, durationBox, shutdownBox, led, onButton, offButton};
}

GroupRows::GroupRows(QWidget* area, const LedImages& leds, QObject* parent)
    : QObject(parent), m_area(area), m_leds(leds), m_popup(new QMenu(area)) {
    m_popup->setObjectName("popupGM");
    QAction* comment = m_popup->addAction("Commentaire");
    comment->setObjectName("Commentaire1");
    connect(comment, &QAction::triggered, this, [this] { emit commentChosen(m_popupTag); });
    QAction* consumption = m_popup->addAction("Consommation électrique");
    consumption->setObjectName("Consommationlectrique1");
    connect(consumption, &QAction::triggered, this,
            [this] { emit consumptionChosen(m_popupTag); });
}

int GroupRows::tagOf(const QObject* control) {
    return control->property(kTagProperty).toInt();
}

QLineEdit* GroupRows::addTimeBox(int row, const char* kind, int tag, const QString& text) {
    auto* box = new QLineEdit(text, m_area);
    box->setObjectName(rowName(kind, row));
    // The times change only through the schedule editor that a click opens.
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setCursor(Qt::PointingHandCursor);
    box->setAlignment(Qt::AlignCenter);
    box->setTextMargins(0, 0, 0, 0);
    setTag(box, tag);
    box->installEventFilter(this);
    return box;
}

void GroupRows::addRow(int row, const std::string& group) {
    const power::GroupRowLayout layout = power::groupRowLayout(row);
    Row controls;

    controls.groupButton = new QPushButton(QString::fromStdString(group), m_area);
    controls.groupButton->setObjectName(rowName("GM", row));
    controls.groupButton->setGeometry(boundsOf(layout.groupButton));
    paintButton(controls.groupButton, Qt::white);
    controls.groupButton->setToolTip(groupToolTip(controls.groupButton, QString()));
    setTag(controls.groupButton, layout.groupButtonTag);
    controls.groupButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(controls.groupButton, &QPushButton::clicked, this,
            [this, tag = layout.groupButtonTag] { emit groupClicked(tag); });
    connect(controls.groupButton, &QWidget::customContextMenuRequested, this,
            [this, button = controls.groupButton, tag = layout.groupButtonTag](const QPoint& at) {
                // The menu's items act on the group right-clicked, not on the current one.
                m_popupTag = tag;
                m_popup->popup(button->mapToGlobal(at));
            });

    controls.powerOnBox = addTimeBox(row, "GMTimeOn", layout.powerOnBoxTag, "0:00");
    controls.powerOnBox->setGeometry(boundsOf(layout.powerOnBox));
    controls.durationBox = addTimeBox(row, "GMDuration", layout.durationBoxTag, QString());
    controls.durationBox->setGeometry(boundsOf(layout.durationBox));
    controls.shutdownBox = addTimeBox(row, "GMTimeOff", layout.shutdownBoxTag, "0:00");
    controls.shutdownBox->setGeometry(boundsOf(layout.shutdownBox));

    controls.led = new QLabel(m_area);
    controls.led->setObjectName(rowName("led", row));
    controls.led->setGeometry(boundsOf(layout.led));
    controls.led->setPixmap(m_leds.LedGrey);
    controls.led->setCursor(Qt::PointingHandCursor);
    setTag(controls.led, layout.ledTag);
    controls.led->installEventFilter(this);

    controls.onButton = new QPushButton("on", m_area);
    controls.onButton->setObjectName(rowName("ManON", row));
    controls.onButton->setGeometry(boundsOf(layout.onButton));
    setTag(controls.onButton, layout.onButtonTag);
    connect(controls.onButton, &QPushButton::clicked, this,
            [this, tag = layout.onButtonTag] { emit onClicked(tag); });

    controls.offButton = new QPushButton("off", m_area);
    controls.offButton->setObjectName(rowName("Manoff", row));
    controls.offButton->setGeometry(boundsOf(layout.offButton));
    setTag(controls.offButton, layout.offButtonTag);
    connect(controls.offButton, &QPushButton::clicked, this,
            [this, tag = layout.offButtonTag] { emit offClicked(tag); });

    for (QWidget* control : controls.all()) {
        control->show();
    }
    m_rows.push_back(controls);
}

void GroupRows::markLastAsOthers() {
    if (m_rows.empty()) {
        return;
    }
    Row& last = m_rows.back();
    paintButton(last.groupButton,
                QColor(power::kOtherGroupRed, power::kOtherGroupGreen, power::kOtherGroupBlue));
    last.groupButton->setToolTip(QString::fromUtf8(power::kOtherGroupHint));
    // "Autres" gathers the machines of no group: it has no schedule and no power commands.
    for (QWidget* control : last.schedulingControls()) {
        control->setEnabled(false);
        control->hide();
    }
}

void GroupRows::DestroyControls() {
    for (const Row& row : m_rows) {
        for (QWidget* control : row.all()) {
            delete control;
        }
    }
    m_rows.clear();
}

void GroupRows::showSchedules(const VtlVar& state) {
    const std::size_t shown = std::min(m_rows.size(), state.Schedules.size());
    for (std::size_t i = 0; i < shown; ++i) {
        const GroupDaySchedule& schedule = state.Schedules[i];
        Row& row = m_rows[i];
        row.shutdownBox->setText(QString::fromStdString(schedule.ShutdownTime));
        row.powerOnBox->setText(QString::fromStdString(schedule.PowerOnTime));
        row.durationBox->setText(QString::fromStdString(schedule.Duration));
        // The catch-all row keeps its fixed explanation.
        if (static_cast<int>(i) != lastRow()) {
            row.groupButton->setToolTip(
                groupToolTip(row.groupButton, QString::fromStdString(schedule.Comment)));
        }
    }
}

void GroupRows::setLed(int row, const QPixmap& picture) {
    if (row >= 0 && row < count()) {
        m_rows[static_cast<std::size_t>(row)].led->setPixmap(picture);
    }
}

bool GroupRows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* control = qobject_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton && control != nullptr && control->isEnabled() &&
            control->rect().contains(mouse->position().toPoint())) {
            const int tag = tagOf(watched);
            if (qobject_cast<QLabel*>(watched) != nullptr) {
                emit ledClicked(tag);
            } else {
                emit timeBoxClicked(tag);
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vt
