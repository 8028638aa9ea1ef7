// The schedule editor window: what it shows for a record, what OK and Annuler leave in
// "settings.ini", its two layouts and its place. With VT_SCREENSHOT_DIR set, pictures of both
// layouts are written there.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <memory>

#include "dialogs/dialog_answers.h"
#include "platform/native_platform.h"
#include "power/utimer.h"
#include "tests/support/fakes.h"
#include "tests/support/qt/program_folder.h"

namespace {

constexpr const char* kDays[] = {"plundi",    "pmardi",  "pmercredi", "pjeudi",
                                 "pvendredi", "psamedi", "pdimanche"};

// A program folder made the working directory and the data directory, with three groups.
struct Setting {
    vt::test::ProgramFolder folder;
    std::unique_ptr<vt::platform::NativePlatform> native;
    vt::VtlVar state;

    Setting() {
        std::filesystem::current_path(folder.programDir());
        native = vt::platform::createNativePlatform(folder.options().platform);
        state.DataDir = folder.programDir();
        state.GroupList = {"S101", "S102", "Autres"};
    }

    vt::platform::FileSystem& files() { return native->platform().files; }

    // Opens the editor for a group's box: 0 the shutdown box, 1 power-on, 2 duration.
    void edit(int group, int field) {
        state.CurrentGroup = state.GroupList[static_cast<std::size_t>(group)];
        state.EditedGroupIndex = group;
        state.EditedTimeField = field;
    }
};

QLineEdit* edit(vt::Tadvanced_timer& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(name);
}

QCheckBox* check(vt::Tadvanced_timer& dialog, const char* name) {
    return dialog.findChild<QCheckBox*>(name);
}

QWidget* widget(vt::Tadvanced_timer& dialog, const char* name) {
    return dialog.findChild<QWidget*>(name);
}

// Opens the dialog without blocking, as the main window's modal opening fills it.
void openShown(vt::Tadvanced_timer& dialog) {
    dialog.FormActivate();
    dialog.open();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
}

QStringList qLines(const std::vector<std::string>& lines) {
    QStringList result;
    for (const std::string& line : lines) {
        result << QString::fromStdString(line);
    }
    return result;
}

QStringList dayTexts(vt::Tadvanced_timer& dialog) {
    QStringList texts;
    for (const char* day : kDays) {
        texts << edit(dialog, day)->text();
    }
    return texts;
}

bool dayBoxesShown(vt::Tadvanced_timer& dialog) {
    for (const char* day : kDays) {
        if (!edit(dialog, day)->isVisibleTo(&dialog)) {
            return false;
        }
    }
    return true;
}

// Preset answer: opens through run() with the boxes typed by `type` first.
int runWith(vt::Tadvanced_timer& dialog, int result,
            const std::function<void(vt::Tadvanced_timer&)>& type = {}) {
    vt::Tadvanced_timer::setOpeningHook(type);
    vt::DialogAnswers::preset({result, std::nullopt});
    const int answer = dialog.run();
    vt::Tadvanced_timer::setOpeningHook({});
    return answer;
}

}  // namespace

class ScheduleEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init() { vt::test::requireDialogAnswers(); }
    void cleanup() { vt::Tadvanced_timer::setOpeningHook({}); }

    void everyDayPowerOnLineFillsTheShortLayout() {
        Setting s;
        s.folder.writeLines("settings.ini", {"S101", "7:30+Tous-90", "18:30+Tous", "", "NA"});
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(0, 1);
        openShown(dialog);
        QCOMPARE(dialog.windowTitle(), QString("Programmation avancée"));
        QCOMPARE(dialog.findChild<QLabel*>("StaticText1")->text(),
                 QString(" L'allumage est programmé à : "));
        QVERIFY(dialog.findChild<QLabel*>("StaticText1")->font().bold());
        QVERIFY(check(dialog, "tlj")->isChecked());
        QCOMPARE(edit(dialog, "PHeure")->text(), QString("7:30"));
        QVERIFY(edit(dialog, "PHeure")->isEnabled());
        QCOMPARE(edit(dialog, "Pduree")->text(), QString("90"));
        QVERIFY(edit(dialog, "Pduree")->isVisible());
        QVERIFY(widget(dialog, "Label1")->isVisible());
        QVERIFY(widget(dialog, "Label2")->isVisible());
        QVERIFY(!dayBoxesShown(dialog));
        QCOMPARE(dialog.height(), 210);
    }

    void perDayLineFillsTheDayBoxesAndTheLongLayout() {
        Setting s;
        s.folder.writeLines("settings.ini", {"S101", "7:30+lundi,8:00+vendredi,-60",
                                             "17:00+lundi,16:00+vendredi,", "", "NA"});
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(0, 2);
        openShown(dialog);
        QVERIFY(!check(dialog, "tlj")->isChecked());
        QVERIFY(dayBoxesShown(dialog));
        QVERIFY(!edit(dialog, "PHeure")->isEnabled());
        QCOMPARE(edit(dialog, "Pduree")->text(), QString("60"));
        QCOMPARE(dayTexts(dialog), (QStringList{"7:30", "", "", "", "8:00", "", ""}));
        QCOMPARE(dialog.height(), 393);

        // The shutdown line of the same record: no duration controls, its own day times.
        dialog.reject();
        s.edit(0, 0);
        openShown(dialog);
        QCOMPARE(dialog.findChild<QLabel*>("StaticText1")->text(),
                 QString(" L'arrêt est programmé à : "));
        QVERIFY(edit(dialog, "Pduree")->isHidden());
        QVERIFY(widget(dialog, "Label1")->isHidden());
        QVERIFY(widget(dialog, "Label2")->isHidden());
        QCOMPARE(dayTexts(dialog), (QStringList{"17:00", "", "", "", "16:00", "", ""}));
        QCOMPARE(edit(dialog, "Pduree")->text(), QString());
    }

    void shutdownEditorWithoutAndWithTheDefaultRecord() {
        Setting s;
        s.folder.writeLines("settings.ini", {});
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(1, 0);
        // Left unticked by an earlier per-day opening: the shutdown editor ticks it again.
        check(dialog, "tlj")->setChecked(false);
        openShown(dialog);
        QVERIFY(check(dialog, "tlj")->isChecked());
        QCOMPARE(edit(dialog, "PHeure")->text(), QString());
        QCOMPARE(dayTexts(dialog), QStringList(7, QString()));
        QCOMPARE(dialog.height(), 210);
        dialog.reject();

        // The default shutdown line is a bare "0:00", which names no day and not "Tous".
        s.folder.writeLines("settings.ini", {"S102", "0:00+Tous", "0:00", "", "NA"});
        openShown(dialog);
        QVERIFY(!check(dialog, "tlj")->isChecked());
        QCOMPARE(dialog.height(), 393);
        QVERIFY(dayBoxesShown(dialog));
        QCOMPARE(dayTexts(dialog), QStringList(7, QString()));
        QCOMPARE(edit(dialog, "PHeure")->text(), QString());
    }

    void okSavesTheEveryDayPowerOnLineOfANewRecord() {
        Setting s;
        s.folder.writeLines("settings.ini", {});
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(1, 1);
        openShown(dialog);
        QTest::keyClicks(edit(dialog, "PHeure"), "7:30");
        QTest::keyClicks(edit(dialog, "Pduree"), "90");
        QTest::mouseClick(dialog.findChild<QPushButton*>("bouton_ok"), Qt::LeftButton);
        QVERIFY(dialog.isHidden());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(s.folder.readBytes("settings.ini"),
                 std::optional<std::string>("S102\r\n7:30+Tous-90\r\n0:00\r\n\r\nNA\r\n"));
    }

    void perDayPowerOnFromEitherBoxWritesTheSameLine() {
        QStringList lines;
        for (int field : {1, 2}) {
            Setting s;
            s.folder.writeLines("settings.ini", {"S101", "0:00+Tous", "0:00", "Salle", "NA"});
            vt::Tadvanced_timer dialog(s.state, s.files());
            s.edit(0, field);
            const int result = runWith(dialog, QDialog::Accepted, [](vt::Tadvanced_timer& d) {
                d.findChild<QCheckBox*>("tlj")->click();
                d.findChild<QLineEdit*>("plundi")->setText("7:30");
                d.findChild<QLineEdit*>("pvendredi")->setText("8:5");
                d.findChild<QLineEdit*>("Pduree")->setText("60");
            });
            QCOMPARE(result, int(QDialog::Accepted));
            const std::vector<std::string> file = s.folder.readLines("settings.ini");
            QCOMPARE(file.size(), std::size_t{5});
            lines << QString::fromStdString(file[1]);
            QCOMPARE(file[2], std::string("0:00"));
        }
        QCOMPARE(lines,
                 (QStringList{"7:30+lundi,8:05+vendredi,-60", "7:30+lundi,8:05+vendredi,-60"}));
    }

    void synchronisedShutdownSpreadsOverEveryGroup() {
        Setting s;
        s.folder.writeLines("settings.ini", {"S102", "7:00+Tous-", "17:00+Tous", "", "NA"});
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(1, 0);
        const int result = runWith(dialog, QDialog::Accepted, [](vt::Tadvanced_timer& d) {
            d.findChild<QLineEdit*>("PHeure")->setText("18:00");
            d.findChild<QCheckBox*>("option_synch")->setChecked(true);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        // Records in the order they were created; "Autres" gets one too, which loads ignore.
        const QStringList expected = {"S102",   "7:00+Tous-", "18:01+Tous", "", "NA",  //
                                      "S101",   "0:00+Tous",  "18:00+Tous", "", "NA",  //
                                      "Autres", "0:00+Tous",  "18:02+Tous", "", "NA"};
        QCOMPARE(qLines(s.folder.readLines("settings.ini")), expected);
    }

    void cancelLeavesTheFileAsItWas() {
        Setting s;
        const std::vector<std::string> before = {"S101", "7:30+Tous-90", "18:30+Tous", "c", "NA"};
        s.folder.writeLines("settings.ini", before);
        const std::optional<std::string> bytes = s.folder.readBytes("settings.ini");
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(0, 1);
        const auto type = [](vt::Tadvanced_timer& d) {
            d.findChild<QLineEdit*>("PHeure")->setText("6:00");
            d.findChild<QCheckBox*>("option_synch")->setChecked(true);
        };
        QCOMPARE(runWith(dialog, QDialog::Rejected, type), int(QDialog::Rejected));
        QCOMPARE(s.folder.readBytes("settings.ini"), bytes);

        // The same by the button and by Escape on the shown dialog.
        openShown(dialog);
        type(dialog);
        QTest::mouseClick(dialog.findChild<QPushButton*>("bouton_annule"), Qt::LeftButton);
        openShown(dialog);
        type(dialog);
        QTest::keyClick(edit(dialog, "PHeure"), Qt::Key_Escape);
        QVERIFY(dialog.isHidden());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(s.folder.readBytes("settings.ini"), bytes);

        // Nothing typed survives a closing: the next opening starts from the file again.
        openShown(dialog);
        QCOMPARE(edit(dialog, "PHeure")->text(), QString("7:30"));
        QCOMPARE(edit(dialog, "Pduree")->text(), QString("90"));
        QVERIFY(!check(dialog, "option_synch")->isChecked());
    }

    void aTimeThatCanNeverFireIsRefusedAndTheDialogStaysOpen() {
        Setting s;
        const std::vector<std::string> before = {"S101", "7:30+Tous-90", "18:30+Tous", "c", "NA"};
        s.folder.writeLines("settings.ini", before);
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(0, 1);
        for (const char* typed : {"25:00", "abc"}) {
            vt::DialogAnswers::reset();
            vt::Tadvanced_timer::setOpeningHook([typed](vt::Tadvanced_timer& d) {
                d.findChild<QLineEdit*>("PHeure")->setText(typed);
            });
            vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
            vt::DialogAnswers::preset({QMessageBox::Ok, std::nullopt});  // the refusal
            QCOMPARE(dialog.run(), int(QDialog::Rejected));
            vt::Tadvanced_timer::setOpeningHook({});
            const std::vector<vt::AskedDialog>& asked = vt::DialogAnswers::asked();
            QCOMPARE(asked.size(), std::size_t{2});
            QVERIFY(asked[1].text.startsWith(QString("L'heure « %1 » n'existe pas").arg(typed)));
            QCOMPARE(s.folder.readLines("settings.ini"), before);
        }

        // On the shown dialog the refusal leaves it open with what was typed.
        vt::DialogAnswers::reset();
        vt::DialogAnswers::preset({QMessageBox::Ok, std::nullopt});
        openShown(dialog);
        edit(dialog, "PHeure")->setText("7:61");
        QTest::mouseClick(dialog.findChild<QPushButton*>("bouton_ok"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit(dialog, "PHeure")->text(), QString("7:61"));
        dialog.reject();

        // The French way of writing a time is taken.
        QCOMPARE(runWith(dialog, QDialog::Accepted,
                         [](vt::Tadvanced_timer& d) {
                             d.findChild<QLineEdit*>("PHeure")->setText("6h45");
                         }),
                 int(QDialog::Accepted));
        QCOMPARE(s.folder.readLines("settings.ini")[1], std::string("6:45+Tous-90"));
    }

    void failedSaveWithAPresetAnswerIsNotASuccess() {
        Setting s;  // no "settings.ini": the save cannot read it
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(0, 1);
        vt::Tadvanced_timer::setOpeningHook(
            [](vt::Tadvanced_timer& d) { d.findChild<QLineEdit*>("PHeure")->setText("7:30"); });
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        vt::DialogAnswers::preset({QMessageBox::Ok, std::nullopt});  // the file error
        QCOMPARE(dialog.run(), int(QDialog::Rejected));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!s.folder.readBytes("settings.ini"));
        const std::vector<vt::AskedDialog>& asked = vt::DialogAnswers::asked();
        QCOMPARE(asked.size(), std::size_t{2});
        QCOMPARE(asked[0].caption, QString("Programmation avancée"));
        QVERIFY(asked[1].text.contains("settings.ini"));
        QCOMPARE(vt::DialogAnswers::pendingCount(), std::size_t{0});
    }

    void failedSaveOnTheShownDialogKeepsItOpen() {
        Setting s;
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(0, 1);
        openShown(dialog);
        QTest::keyClicks(edit(dialog, "PHeure"), "7:30");
        QTest::mouseClick(dialog.findChild<QPushButton*>("bouton_ok"), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(edit(dialog, "PHeure")->text(), QString("7:30"));
        const std::vector<vt::AskedDialog>& asked = vt::DialogAnswers::asked();
        QCOMPARE(asked.size(), std::size_t{1});
        QVERIFY(asked[0].text.contains("settings.ini"));

        // Once the file is there again, the same OK saves.
        s.folder.writeLines("settings.ini", {});
        QTest::mouseClick(dialog.findChild<QPushButton*>("bouton_ok"), Qt::LeftButton);
        QVERIFY(dialog.isHidden());
        QCOMPARE(s.folder.readLines("settings.ini")[1], std::string("7:30+Tous-"));
    }

    void tljClickSwitchesTheLayout() {
        Setting s;
        s.folder.writeLines("settings.ini", {});
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(0, 1);
        openShown(dialog);
        auto* ok = dialog.findChild<QPushButton*>("bouton_ok");
        auto* cancel = dialog.findChild<QPushButton*>("bouton_annule");
        QWidget* panel = widget(dialog, "Panel1");

        QTest::mouseClick(check(dialog, "tlj"), Qt::LeftButton);
        QVERIFY(!check(dialog, "tlj")->isChecked());
        QCOMPARE(dialog.height(), 393);
        QCOMPARE(ok->y(), 192);
        QCOMPARE(cancel->pos(), QPoint(304, 264));
        QCOMPARE(panel->y(), 328);
        QVERIFY(dayBoxesShown(dialog));
        QVERIFY(widget(dialog, "StaticText8")->isVisible());
        QVERIFY(!edit(dialog, "PHeure")->isEnabled());

        QTest::mouseClick(check(dialog, "tlj"), Qt::LeftButton);
        QCOMPARE(dialog.height(), 210);
        QCOMPARE(ok->y(), 95);
        QCOMPARE(cancel->pos(), QPoint(188, 95));
        QCOMPARE(panel->y(), 148);
        QVERIFY(!dayBoxesShown(dialog));
        QVERIFY(widget(dialog, "StaticText2")->isHidden());
        QVERIFY(edit(dialog, "PHeure")->isEnabled());
    }

    void controlsFitWithoutOverlapInBothLayouts() {
        Setting s;
        s.folder.writeLines("settings.ini", {});
        vt::Tadvanced_timer dialog(s.state, s.files());
        s.edit(0, 1);
        openShown(dialog);
        for (int round = 0; round < 2; ++round) {
            QList<QWidget*> shown;
            for (QWidget* child :
                 dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (child->isVisible()) {
                    shown << child;
                }
            }
            QVERIFY(shown.size() >= 9);
            QCheckBox* synch = check(dialog, "option_synch");
            QVERIFY(synch->sizeHint().width() <= synch->width());
            QVERIFY(synch->parentWidget()->rect().contains(synch->geometry()));
            for (int i = 0; i < shown.size(); ++i) {
                QVERIFY2(dialog.rect().contains(shown[i]->geometry()),
                         qPrintable(shown[i]->objectName()));
                // Captions are not clipped by their own bounds.
                if (auto* label = qobject_cast<QLabel*>(shown[i])) {
                    QVERIFY2(
                        label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                        qPrintable(label->objectName()));
                }
                if (auto* box = qobject_cast<QCheckBox*>(shown[i])) {
                    QVERIFY2(box->sizeHint().width() <= box->width(),
                             qPrintable(box->objectName()));
                }
                for (int j = i + 1; j < shown.size(); ++j) {
                    QVERIFY2(!shown[i]->geometry().intersects(shown[j]->geometry()),
                             qPrintable(shown[i]->objectName() + " / " + shown[j]->objectName()));
                }
            }
            check(dialog, "tlj")->click();
        }
    }

    void placementFollowsTheMainWindow() {
        Setting s;
        s.folder.writeLines("settings.ini", {});
        vt::Tadvanced_timer dialog(s.state, s.files());
        QPoint mainTopLeft(195, 71);
        dialog.setPlacement([&] { return mainTopLeft + QPoint(185, 100); });
        QCOMPARE(dialog.pos(), QPoint(380, 171));
        mainTopLeft = QPoint(20, 30);
        s.edit(0, 1);
        QCOMPARE(runWith(dialog, QDialog::Rejected), int(QDialog::Rejected));
        QCOMPARE(dialog.pos(), QPoint(205, 130));
        // A main window moved beyond the screen's right edge leaves the editor on the screen.
        mainTopLeft = QPoint(2400, 30);
        QCOMPARE(runWith(dialog, QDialog::Rejected), int(QDialog::Rejected));
        QCOMPARE(dialog.geometry().right(), dialog.screen()->availableGeometry().right());
        const std::vector<vt::AskedDialog>& asked = vt::DialogAnswers::asked();
        QCOMPARE(asked.back().caption, QString("Programmation avancée"));
        QCOMPARE(asked.back().text, QString(" L'allumage est programmé à : "));
    }

    // Both show the next day without power-on, whole, above the option panel.
    void screenshotsOfBothLayouts() {
        Setting s;
        s.folder.writeLines("settings.ini",
                            {"S101", "7:30+Tous-90", "17:00+lundi,16:00+vendredi,", "", "NA"});
        QVERIFY(QFile::copy(
            VT_BIN_DIR "/Calendrier_Scolaire_Zones_A_B_C.ics",
            QString::fromStdString(s.folder.programDir()) + "Calendrier_Scolaire_Zones_A_B_C.ics"));
        s.state.Prefs.zone_vacances.push_back('B');  // GCC 12 warns wrongly of an overlap on "B"
        vt::test::ManualClock clock;
        clock.setDate(2026, 12, 8);
        vt::Tadvanced_timer dialog(s.state, s.files());
        dialog.setClock(&clock);
        const QString target = vt::test::screenshotFolder(s.folder);
        s.edit(0, 1);
        openShown(dialog);
        auto* nextDayOff = dialog.findChild<QLabel*>("prochain_jour_sans_allumage");
        QCOMPARE(
            nextDayOff->text(),
            QString("Prochain jour sans allumage : lundi 21 décembre 2026 (vacances de Noël)"));
        QVERIFY(nextDayOff->fontMetrics().horizontalAdvance(nextDayOff->text()) <=
                nextDayOff->width());
        const QPixmap everyDay = dialog.grab();
        QCOMPARE(everyDay.size(), QSize(392, 210));
        QVERIFY(everyDay.save(target + "/schedule-editor-every-day.png"));
        dialog.reject();
        s.edit(0, 0);
        openShown(dialog);
        const QPixmap perDay = dialog.grab();
        QCOMPARE(perDay.size(), QSize(392, 393));
        QVERIFY(perDay.save(target + "/schedule-editor-per-day.png"));
    }
};

QTEST_MAIN(ScheduleEditorTest)
#include "utimer_qtest.moc"
