// The program's timers, clock and status sink.

#include <QDateTime>
#include <QStatusBar>
#include <QtTest>

#include "mainwindow/qt_services.h"

using namespace std::chrono_literals;

class QtServicesTest : public QObject {
    Q_OBJECT

private slots:
    void oneShotFiresOnceAndIsGone() {
        vt::QtTimers timers;
        int fired = 0;
        timers.startOneShot(5ms, [&] { ++fired; });
        QCOMPARE(timers.activeCount(), std::size_t{1});
        QTRY_COMPARE(fired, 1);
        QTest::qWait(40);
        QCOMPARE(fired, 1);
        QCOMPARE(timers.activeCount(), std::size_t{0});
    }

    void repeatingTimerStopsItselfFromItsCallback() {
        vt::QtTimers timers;
        int fired = 0;
        vt::TimerId id = 0;
        id = timers.startRepeating(2ms, [&] {
            if (++fired == 3) {
                timers.stop(id);
            }
        });
        QTRY_COMPARE(fired, 3);
        QTest::qWait(40);
        QCOMPARE(fired, 3);
        QCOMPARE(timers.activeCount(), std::size_t{0});
    }

    void oneShotCallbackStopsItselfAndStartsAnother() {
        vt::QtTimers timers;
        QStringList order;
        vt::TimerId first = 0;
        first = timers.startOneShot(2ms, [&] {
            order << "premier";
            timers.stop(first);  // already gone: nothing happens
            timers.startOneShot(2ms, [&] { order << "second"; });
        });
        QTRY_COMPARE(order, (QStringList{"premier", "second"}));
        QCOMPARE(timers.activeCount(), std::size_t{0});
    }

    void stoppedTimerNeverFires() {
        vt::QtTimers timers;
        int fired = 0;
        const vt::TimerId id = timers.startOneShot(5ms, [&] { ++fired; });
        const vt::TimerId other = timers.startRepeating(5ms, [&] { ++fired; });
        timers.stop(id);
        timers.stop(other);
        timers.stop(other);
        timers.stop(12345);
        QTest::qWait(40);
        QCOMPARE(fired, 0);
    }

    void timersThatGoWithTheirOwnerNeverFire() {
        int fired = 0;
        {
            vt::QtTimers timers;
            timers.startOneShot(5ms, [&] { ++fired; });
            timers.startRepeating(5ms, [&] { ++fired; });
        }
        QTest::qWait(40);
        QCOMPARE(fired, 0);
    }

    void timersFireInTheOrderTheyFallDue() {
        vt::QtTimers timers;
        QStringList order;
        timers.startOneShot(30ms, [&] { order << "30"; });
        timers.startOneShot(5ms, [&] { order << "5"; });
        timers.startOneShot(15ms, [&] { order << "15"; });
        QTRY_COMPARE(order.size(), 3);
        QCOMPARE(order, (QStringList{"5", "15", "30"}));
    }

    void clockGivesTheLocalTime() {
        vt::QtClock clock;
        const QDateTime before = QDateTime::currentDateTime();
        const vt::platform::LocalDateTime now = clock.now();
        const QDateTime given(QDate(now.year, now.month, now.day),
                              QTime(now.hour, now.minute, now.second, now.millisecond));
        QVERIFY(before.msecsTo(given) >= 0 && before.msecsTo(given) < 2000);
        QCOMPARE(now.isoWeekday, given.date().dayOfWeek());
    }

    void statusTextWaitsForItsBarThenReplaces() {
        vt::QtStatusSink sink;
        sink.setStatus("premier");
        sink.setStatus("Lecture des données d'IPR...");
        QStatusBar bar;
        sink.attach(&bar);
        QCOMPARE(bar.currentMessage(), QString("Lecture des données d'IPR..."));
        sink.setStatus("Analyse de IPR terminée");
        QCOMPARE(bar.currentMessage(), QString("Analyse de IPR terminée"));
    }
};

QTEST_MAIN(QtServicesTest)
#include "qt_services_qtest.moc"
