// The text input dialog and the about box.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "dialogs/dialog_answers.h"
#include "dialogs/uBottomdlg.h"
#include "dialogs/uapropos.h"
#include "mainwindow/application.h"
#include "mainwindow/main.h"
#include "tests/support/qt/program_folder.h"

class TextAndAboutDialogsTest : public QObject {
    Q_OBJECT

private:
    // Opens the dialog without blocking, as its modal showing would.
    static void openWith(vt::TOKBottomDlg& dialog, const QString& prompt, const QString& text) {
        dialog.geditLabel()->setText(prompt);
        dialog.gEdit()->setText(text);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }

private slots:
    void init() { vt::test::requireDialogAnswers(); }

    void textDialogHasItsDesignLooks() {
        vt::TOKBottomDlg dialog;
        QCOMPARE(dialog.windowTitle(), QString("Dialogue"));
        QCOMPARE(dialog.size(), QSize(313, 214));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.geditLabel()->text(), QString("geditLabel"));
        QCOMPARE(dialog.gEdit()->text(), QString("gEdit"));
        auto* ok = dialog.findChild<QPushButton*>("OKBtn");
        auto* cancel = dialog.findChild<QPushButton*>("CancelBtn");
        QVERIFY(ok && cancel);
        QCOMPARE(ok->text(), QString("OK"));
        QCOMPARE(cancel->text(), QString("Annuler"));
        QVERIFY(ok->isDefault());
        QVERIFY(!cancel->isDefault());
    }

    void keysAndButtonsCloseWithTheirResult_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter in the field") << "Return" << int(QDialog::Accepted);
        QTest::newRow("keypad Enter") << "Enter" << int(QDialog::Accepted);
        QTest::newRow("Escape") << "Escape" << int(QDialog::Rejected);
        QTest::newRow("OK") << "OKBtn" << int(QDialog::Accepted);
        QTest::newRow("Annuler") << "CancelBtn" << int(QDialog::Rejected);
        QTest::newRow("close box") << "close" << int(QDialog::Rejected);
    }

    void keysAndButtonsCloseWithTheirResult() {
        QFETCH(QString, how);
        QFETCH(int, result);
        vt::TOKBottomDlg dialog;
        openWith(dialog, "Entrer le nom de la machine à ne jamais éteindre :", "");
        QTest::keyClicks(dialog.gEdit(), "PC12");
        if (how == "Return") {
            QTest::keyClick(dialog.gEdit(), Qt::Key_Return);
        } else if (how == "Enter") {
            QTest::keyClick(dialog.gEdit(), Qt::Key_Enter);
        } else if (how == "Escape") {
            QTest::keyClick(dialog.gEdit(), Qt::Key_Escape);
        } else if (how == "close") {
            dialog.close();
        } else {
            QTest::mouseClick(dialog.findChild<QPushButton*>(how), Qt::LeftButton);
        }
        QVERIFY(dialog.isHidden());
        QCOMPARE(dialog.result(), result);
        // The caller reads the text after the dialog has closed, whichever way it closed.
        QCOMPARE(dialog.gEdit()->text(), QString("PC12"));
    }

    void secondOpeningShowsWhatTheCallerSetThen() {
        vt::TOKBottomDlg dialog;
        openWith(dialog, "Entrer le nom de la machine à ne jamais éteindre :", "");
        QTest::keyClicks(dialog.gEdit(), "PC1");
        QTest::keyClick(dialog.gEdit(), Qt::Key_Escape);
        openWith(dialog, "Commentaire pour le groupe de machines :", "Salle 12");
        QCOMPARE(dialog.geditLabel()->text(), QString("Commentaire pour le groupe de machines :"));
        QCOMPARE(dialog.gEdit()->text(), QString("Salle 12"));
        QVERIFY(dialog.geditLabel()->isVisible());
        QTest::keyClick(dialog.gEdit(), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void presetAnswerIsTypedAndReturnedWithoutShowing_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("typed");
        QTest::newRow("OK with a name") << int(QDialog::Accepted) << true;
        QTest::newRow("Annuler after typing") << int(QDialog::Rejected) << true;
        QTest::newRow("OK untouched") << int(QDialog::Accepted) << false;
    }

    void presetAnswerIsTypedAndReturnedWithoutShowing() {
        QFETCH(int, result);
        QFETCH(bool, typed);
        vt::TOKBottomDlg dialog;
        dialog.geditLabel()->setText("Commentaire pour le groupe de machines :");
        dialog.gEdit()->setText("ancien");
        vt::DialogAnswers::preset(
            {result, typed ? std::optional<QString>("nouveau") : std::nullopt});
        QCOMPARE(dialog.exec(), result);
        QVERIFY(dialog.isHidden());
        QCOMPARE(dialog.gEdit()->text(), typed ? QString("nouveau") : QString("ancien"));
        QCOMPARE(vt::DialogAnswers::asked().size(), std::size_t{1});
        QCOMPARE(vt::DialogAnswers::asked()[0].caption, QString("Dialogue"));
        QCOMPARE(vt::DialogAnswers::asked()[0].text,
                 QString("Commentaire pour le groupe de machines :"));
        QCOMPARE(vt::DialogAnswers::pendingCount(), std::size_t{0});
    }

    void unexpectedDialogIsRecordedAndCancelled() {
        vt::TOKBottomDlg dialog;
        dialog.geditLabel()->setText("question");
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(vt::test::unansweredDialogs(), QStringList{"Dialogue: question"});
    }

    void answersAreTakenInTheOrderTheyWereGiven() {
        vt::TOKBottomDlg dialog;
        vt::DialogAnswers::preset({QDialog::Accepted, QString("A")});
        vt::DialogAnswers::preset({QDialog::Rejected, QString("B")});
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.gEdit()->text(), QString("A"));
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(dialog.gEdit()->text(), QString("B"));
    }

    void aboutBoxShowsTheProduct_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("ProductName") << "ProductName"
                                     << "Vantorel";
        QTest::newRow("Version") << "Version"
                                 << "V1.2 beta (31/3/2011)";
        QTest::newRow("Comments")
            << "Comments"
            << "Allumage/Extinction centralisée et planifiée des ordinateurs du réseau";
    }

    void aboutBoxShowsTheProduct() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        vt::TAboutBox box;
        auto* label = box.findChild<QLabel*>(name);
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), text);
    }

    void aboutBoxHasItsDesignLooks() {
        vt::TAboutBox box;
        QCOMPARE(box.windowTitle(), QString("A propos"));
        QCOMPARE(box.size(), QSize(298, 226));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        auto* icon = box.findChild<QLabel*>("ProgramIcon");
        QCOMPARE(icon->size(), QSize(65, 57));
        QVERIFY(icon->hasScaledContents());
        QVERIFY(!icon->pixmap().isNull());
        QVERIFY(box.findChild<QLabel*>("Comments")->wordWrap());
        auto* ok = box.findChild<QPushButton*>("OKButton");
        QVERIFY(ok->isDefault());
        box.open();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(box.isHidden());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void aboutBoxTextsAreDrawnWhole() {
        vt::TAboutBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* panel = box.findChild<QWidget*>("Panel1");
        int previousBottom = 0;
        for (const char* name : {"Copyright", "Comments"}) {
            auto* label = box.findChild<QLabel*>(name);
            QVERIFY(label->wordWrap());
            // Every wrapped line has its room, and the texts lie inside the panel, apart.
            QVERIFY2(label->height() >= label->heightForWidth(label->width()), name);
            QVERIFY2(label->geometry().top() > previousBottom, name);
            QVERIFY2(label->geometry().bottom() < panel->contentsRect().bottom(), name);
            previousBottom = label->geometry().bottom();
        }
    }

    void aproposMenuOpensTheAboutBox() {
        vt::test::ProgramFolder folder;
        QVERIFY(folder.isValid());
        vt::Application app(folder.options());
        vt::DialogAnswers::preset({QDialog::Accepted, std::nullopt});
        app.mainWindow().findChild<QAction*>("Apropos1")->trigger();
        QCOMPARE(vt::DialogAnswers::pendingCount(), std::size_t{0});
        QCOMPARE(vt::DialogAnswers::asked().back().caption, QString("A propos"));
    }
};

QTEST_MAIN(TextAndAboutDialogsTest)
#include "text_and_about_dialogs_qtest.moc"
