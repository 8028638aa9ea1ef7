#pragma once

// The rows of the main window, one per machine group: the group button with its comment as
// tooltip and its pop-up menu, the shutdown, power-on and duration boxes, the LED and the
// "on" and "off" buttons. Every control carries its row's tag, so one handler serves all rows.

#include <QObject>
#include <QPixmap>

#include <array>
#include <vector>

#include "core/VtlVar.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

namespace vt {

struct LedImages;

class GroupRows : public QObject {
    Q_OBJECT

public:
    // The rows go into `area`; every LED starts with the grey picture of `leds`, which may be
    // loaded after this object is made.
    GroupRows(QWidget* area, const LedImages& leds, QObject* parent = nullptr);

    // Creates row i's seven controls; the caller adds rows in GroupList order. The last row
    // added is made the catch-all row by markLastAsOthers().
    void addRow(int row, const std::string& group);
    void markLastAsOthers();
    // Frees every row's controls.
    void DestroyControls();

    int count() const { return static_cast<int>(m_rows.size()); }
    int lastRow() const { return count() - 1; }

    // Shows today's times and comments of the state's schedules in the rows.
    void showSchedules(const VtlVar& state);
    void setLed(int row, const QPixmap& picture);

    QPushButton* groupButton(int row) const { return m_rows.at(row).groupButton; }
    QLineEdit* shutdownBox(int row) const { return m_rows.at(row).shutdownBox; }
    QLineEdit* powerOnBox(int row) const { return m_rows.at(row).powerOnBox; }
    QLineEdit* durationBox(int row) const { return m_rows.at(row).durationBox; }
    QLabel* led(int row) const { return m_rows.at(row).led; }
    QPushButton* onButton(int row) const { return m_rows.at(row).onButton; }
    QPushButton* offButton(int row) const { return m_rows.at(row).offButton; }
    // The pop-up menu shared by every group button.
    QMenu* popupGM() const { return m_popup; }

    // The tag a control carries.
    static int tagOf(const QObject* control);

signals:
    void groupClicked(int tag);
    void timeBoxClicked(int tag);
    void ledClicked(int tag);
    void onClicked(int tag);
    void offClicked(int tag);
    // "Commentaire" of the row whose button was right-clicked (-1: none was).
    void commentChosen(int tag);
    // "Consommation électrique" of the row whose button was right-clicked (-1: none was).
    void consumptionChosen(int tag);

protected:
    // The time boxes and the LED are no buttons: their clicks are caught here.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QPushButton* groupButton = nullptr;
        QLineEdit* powerOnBox = nullptr;
        QLineEdit* durationBox = nullptr;
        QLineEdit* shutdownBox = nullptr;
        QLabel* led = nullptr;
        QPushButton* onButton = nullptr;
        QPushButton* offButton = nullptr;

        // Everything but the group button, which stays for the catch-all row.
        std::array<QWidget*, 6> schedulingControls() const;
        std::array<QWidget*, 7> all() const;
    };

    QLineEdit* addTimeBox(int row, const char* kind, int tag, const QString& text);

    QWidget* m_area;
    const LedImages& m_leds;
    QMenu* m_popup;
    int m_popupTag = -1;
    std::vector<Row> m_rows;
};

}  // namespace vt
