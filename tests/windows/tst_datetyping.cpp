// What typed keys make of a date or time, whole or one section at a time.
#include "windows/datetyping.h"
#include <QtTest>

using Part = DateTimeTyping::Part;

class TestDateTyping : public QObject {
    Q_OBJECT

private slots:
    void partsFollowTheFormat()
    {
        QCOMPARE(DateTimeTyping::partsOf("M/d/yyyy"), (QVector<Part>{Part::Month, Part::Day, Part::Year4}));
        QCOMPARE(DateTimeTyping::partsOf("dd.MM.yy"), (QVector<Part>{Part::Day, Part::Month, Part::Year2}));
        QCOMPARE(DateTimeTyping::partsOf("h:mm AP"), (QVector<Part>{Part::Hour12, Part::Minute, Part::AmPm}));
        QCOMPARE(DateTimeTyping::partsOf("HH:mm"), (QVector<Part>{Part::Hour24, Part::Minute}));
    }

    void wholeDates_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("expected");
        const QDate jan6(2027, 1, 6);
        QTest::newRow("short") << "M/d/yyyy"
                               << "1/6/2027" << jan6;
        QTest::newRow("two-digit month and day") << "M/d/yyyy"
                                                 << "01/06/2027" << jan6;
        QTest::newRow("two-digit month first") << "M/d/yyyy"
                                               << "12/25/2030" << QDate(2030, 12, 25);
        QTest::newRow("no separators") << "MM/dd/yyyy"
                                       << "01062027" << jan6;
        QTest::newRow("dashes") << "M/d/yyyy"
                                << "1-6-2027" << jan6;
        QTest::newRow("day first locale") << "dd/MM/yyyy"
                                          << "6/1/2027" << jan6;
        QTest::newRow("two-digit year") << "M/d/yyyy"
                                        << "1/6/27" << jan6;
        QTest::newRow("day past month end") << "M/d/yyyy"
                                            << "2/31/2027" << QDate(2027, 2, 28);
        QTest::newRow("month 13 splits") << "M/d/yyyy"
                                         << "13" << QDate(2026, 1, 3);
    }
    void wholeDates()
    {
        QFETCH(QString, format);
        QFETCH(QString, typed);
        QFETCH(QDate, expected);
        const DateTimeTyping typing(DateTimeTyping::partsOf(format));
        const QDateTime start(QDate(2026, 9, 14), QTime(0, 0));
        QCOMPARE(typing.apply(start, 0, typed, true).value.date(), expected);
    }

    void wholeTimes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QTime>("shown");   // what the field held before
        QTest::addColumn<QTime>("expected");
        QTest::newRow("pm") << "6:30 PM" << QTime(0, 0) << QTime(18, 30);
        QTest::newRow("pm without blank") << "6:30pm" << QTime(0, 0) << QTime(18, 30);
        QTest::newRow("24-hour") << "18:30" << QTime(0, 0) << QTime(18, 30);
        QTest::newRow("noon") << "12:00 PM" << QTime(0, 0) << QTime(12, 0);
        QTest::newRow("midnight") << "12:00 AM" << QTime(15, 0) << QTime(0, 0);
        QTest::newRow("am over pm") << "9:15 a" << QTime(20, 0) << QTime(9, 15);
        QTest::newRow("keeps the half shown") << "7:30" << QTime(19, 0) << QTime(19, 30);
        QTest::newRow("two-digit hour") << "10:05 PM" << QTime(0, 0) << QTime(22, 5);
    }
    void wholeTimes()
    {
        QFETCH(QString, typed);
        QFETCH(QTime, shown);
        QFETCH(QTime, expected);
        const DateTimeTyping typing(DateTimeTyping::partsOf("h:mm AP"));
        QCOMPARE(typing.apply(QDateTime(QDate(2000, 1, 1), shown), 0, typed, true).value.time(), expected);
    }

    void oneSectionFromTheCursor()
    {
        const DateTimeTyping typing(DateTimeTyping::partsOf("M/d/yyyy"));
        const QDateTime start(QDate(2026, 9, 14), QTime(0, 0));
        // The cursor in the day: only the day changes, then the year follows.
        DateTimeTyping::Result r = typing.apply(start, 1, "25", false);
        QCOMPARE(r.value.date(), QDate(2026, 9, 25));
        QCOMPARE(r.section, 2);
        QCOMPARE(typing.apply(start, 2, "2031", false).value.date(), QDate(2031, 9, 14));
        // The minutes of a time alone.
        const DateTimeTyping time(DateTimeTyping::partsOf("h:mm AP"));
        QCOMPARE(time.apply(QDateTime(QDate(2000, 1, 1), QTime(18, 0)), 1, "45", false).value.time(), QTime(18, 45));
        QCOMPARE(time.apply(QDateTime(QDate(2000, 1, 1), QTime(18, 0)), 2, "a", false).value.time(), QTime(6, 0));
    }

    void partialYearWaitsUntilTheFieldIsLeft()
    {
        const DateTimeTyping typing(DateTimeTyping::partsOf("M/d/yyyy"));
        const QDateTime start(QDate(2026, 9, 14), QTime(0, 0));
        QCOMPARE(typing.apply(start, 0, "1/6/20", false).value.date(), QDate(2026, 1, 6));
        QCOMPARE(typing.apply(start, 0, "1/6/202", false).value.date(), QDate(2026, 1, 6));
        QCOMPARE(typing.apply(start, 0, "1/6/20", true).value.date(), QDate(2020, 1, 6));
        // Month 0 is not a month: the shown one stays until the next digit.
        QCOMPARE(typing.apply(start, 0, "0", false).value.date(), start.date());
        QCOMPARE(typing.apply(start, 0, "0", false).section, 0);
    }
};

QTEST_GUILESS_MAIN(TestDateTyping)
#include "tst_datetyping.moc"
