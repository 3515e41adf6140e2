#include "windowsfixture.h"
#include "windows/dbgrid.h"
#include "windows/groupdaysoffdialog.h"
#include "windows/playerdaysoffdialog.h"
#include "data/dberror.h"
#include "data/table.h"
#include "windows/fielddefs.h"
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QtTest>

class TestDaysOff : public QObject {
    Q_OBJECT
private slots:
    void openingShowsPlayerAndBeginsTransaction();
    void doneCommitsAndNextOpeningBeginsAgain();
    void closeBoxAndEscapeCommitToo();
    void hiddenCancelRollsBack();
    void chooserSwitchesListAndNewDates();
    void removeAndEmptyList();
    void groupDialogListsGroupsAndLeagues();
    void aDateTypedWholeIsTheDateAdded();
};

namespace {
void seedPlayers(WindowsFixture& f)
{
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES (' John ', ' Smith ')");
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Ann', 'Adams')");
}
}   // namespace

void TestDaysOff::openingShowsPlayerAndBeginsTransaction()
{
    WindowsFixture f;
    seedPlayers(f);
    {
        Tdlgplayeroff d(nullptr, 2);
        QCOMPARE(d.windowTitle(), QStringLiteral("Player Days Off"));
        QCOMPARE(helpContextOf(&d), 11);
        QCOMPARE(d.chooser()->objectName(), QStringLiteral("dblkupplayers"));
        QCOMPARE(d.chooser()->currentText(), QStringLiteral("Adams, Ann"));
        QCOMPARE(d.chooser()->itemText(0), QStringLiteral("Smith, John"));   // key order
        QCOMPARE(d.datePicker()->date(), QDate::currentDate());
        QVERIFY(d.datePicker()->calendarPopup());
        QCOMPARE(d.doneButton()->text(), QStringLiteral("&Done"));
        QVERIFY(!d.findChild<QPushButton*>("CancelBtn")->isVisibleTo(&d));
        QVERIFY(f.dm->database().inTransaction());
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.doneButton()));
        d.findChild<QPushButton*>("HelpBtn")->click();
        QCOMPARE(f.helpShown, QList<int>{11});
        QVERIFY(d.isVisible());
        d.doneButton()->click();
    }
    QVERIFY(!f.dm->database().inTransaction());
    // An id that matches nobody leaves the chooser on the first row.
    Tdlgplayeroff unknown(nullptr, 999);
    QCOMPARE(unknown.chosenId(), 1);
    QCOMPARE(unknown.chooser()->currentIndex(), 0);
}

void TestDaysOff::doneCommitsAndNextOpeningBeginsAgain()
{
    WindowsFixture f;
    seedPlayers(f);
    whenModal<Tdlgplayeroff>([](Tdlgplayeroff* d) {
        d->datePicker()->setDate(QDate(2026, 3, 9));
        d->addButton()->click();
        d->datePicker()->setDate(QDate(2026, 3, 16));
        d->addButton()->click();
        d->datePicker()->setDate(QDate(2026, 3, 9));
        d->addButton()->click();   // the same date again is refused, and shown
        QCOMPARE(d->daysOffGrid()->currentIndex().row(), 0);
        d->doneButton()->click();
    });
    Tdlgplayeroff::execFor(nullptr, 1);
    QCOMPARE(f.errors, QStringList{"Smith, John already has 3/9/2026 off."});
    f.errors.clear();
    QVERIFY(!f.dm->database().inTransaction());
    QCOMPARE(f.count("PLAYROFF", "PLAYERID = 1 AND DATE = '2026-03-09'"), 1);

    bool began = false;
    whenModal<Tdlgplayeroff>([&](Tdlgplayeroff* d) {
        began = f.dm->database().inTransaction();
        QCOMPARE(d->daysOffGrid()->model()->rowCount(), 2);
        QCOMPARE(d->daysOffGrid()->model()->index(0, 0).data().toString(), QStringLiteral("3/9/2026"));
        d->datePicker()->setDate(QDate(2026, 3, 16));
        d->addButton()->click();   // a date stored before is refused as well
        d->doneButton()->click();
    });
    Tdlgplayeroff::execFor(nullptr, 1);
    QVERIFY(began);
    QCOMPARE(f.errors, QStringList{"Smith, John already has 3/16/2026 off."});
    f.restart();
    QCOMPARE(f.count("PLAYROFF"), 2);
}

void TestDaysOff::closeBoxAndEscapeCommitToo()
{
    WindowsFixture f;
    seedPlayers(f);
    whenModal<Tdlgplayeroff>([](Tdlgplayeroff* d) {
        d->addButton()->click();
        d->close();   // the title bar's close box
    });
    Tdlgplayeroff::execFor(nullptr, 1);
    QVERIFY(!f.dm->database().inTransaction());

    whenModal<Tdlgplayeroff>([](Tdlgplayeroff* d) {
        d->datePicker()->setDate(QDate(2026, 4, 1));
        d->addButton()->click();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    Tdlgplayeroff::execFor(nullptr, 1);
    QVERIFY(!f.dm->database().inTransaction());
    f.restart();
    QCOMPARE(f.count("PLAYROFF", "PLAYERID = 1"), 2);
}

void TestDaysOff::hiddenCancelRollsBack()
{
    WindowsFixture f;
    seedPlayers(f);
    {
        Tdlgplayeroff d(nullptr, 1);
        d.addButton()->click();
        QCOMPARE(f.count("PLAYROFF"), 1);
        d.findChild<QPushButton*>("CancelBtn")->click();
    }
    QVERIFY(!f.dm->database().inTransaction());
    QCOMPARE(f.count("PLAYROFF"), 0);

    // Deleted without Done: what was written stays; a row that cannot be
    // written is told in the error box and the transaction is rolled back.
    {
        Tdlgplayeroff d(nullptr, 1);
        d.addButton()->click();
    }
    QVERIFY(!f.dm->database().inTransaction());
    QCOMPARE(f.count("PLAYROFF"), 1);
    QVERIFY(f.errors.isEmpty());
    {
        Tdlgplayeroff d(nullptr, 1);
        d.datePicker()->setDate(d.datePicker()->date().addDays(1));
        d.addButton()->click();
        d.daysOff().beforePost = [](Table&) { throw DbError("The disk is full."); };
        d.daysOff().append();
    }
    QCOMPARE(f.errors, QStringList{"The disk is full."});
    QVERIFY(!f.dm->database().inTransaction());
    QCOMPARE(f.count("PLAYROFF"), 1);
}

void TestDaysOff::chooserSwitchesListAndNewDates()
{
    WindowsFixture f;
    seedPlayers(f);
    f.insert("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (1, '2026-01-01')");
    Tdlgplayeroff d(nullptr, 1);
    QCOMPARE(d.daysOffGrid()->model()->rowCount(), 1);
    d.chooser()->setCurrentIndex(1);   // Adams
    QCOMPARE(d.chosenId(), 2);
    QCOMPARE(d.daysOffGrid()->model()->rowCount(), 0);
    d.datePicker()->setDate(QDate(2026, 5, 5));
    d.addButton()->click();
    QCOMPARE(d.daysOffGrid()->model()->rowCount(), 1);
    d.doneButton()->click();
    QCOMPARE(f.count("PLAYROFF", "PLAYERID = 2 AND DATE = '2026-05-05'"), 1);
    QCOMPARE(f.count("PLAYROFF", "PLAYERID = 1"), 1);
}

void TestDaysOff::removeAndEmptyList()
{
    WindowsFixture f;
    seedPlayers(f);
    f.insert("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (1, '2026-01-01')");
    f.insert("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (1, '2026-01-08')");
    Tdlgplayeroff d(nullptr, 1);
    d.daysOffGrid()->setCurrentIndex(d.daysOffGrid()->model()->index(1, 0));
    d.removeButton()->click();
    QCOMPARE(f.count("PLAYROFF", "DATE = '2026-01-01'"), 1);
    d.removeButton()->click();
    QVERIFY(f.errors.isEmpty());
    d.removeButton()->click();
    QCOMPARE(f.errors, QStringList{"Cannot perform this operation on an empty dataset"});
    d.doneButton()->click();
    QCOMPARE(f.count("PLAYROFF"), 0);

    // No player at all: adding says what to do instead of storing an orphan row.
    WindowsFixture empty;
    Tdlgplayeroff none(nullptr, 0);
    none.addButton()->click();
    QCOMPARE(empty.errors.size(), 1);
    QVERIFY(empty.errors[0].contains("no player"));
    QCOMPARE(empty.count("PLAYROFF"), 0);
    none.doneButton()->click();
}

void TestDaysOff::groupDialogListsGroupsAndLeagues()
{
    WindowsFixture f;
    f.insert("INSERT INTO \"group\" (NAME, STARTDATE, RTYPE) VALUES ('Tuesday Ladies', '2026-01-06', 1)");
    const int league =
        f.insert("INSERT INTO \"group\" (NAME, STARTDATE, RTYPE) VALUES ('Open League', '2026-01-06', 2)");
    whenModal<Tdlggroupoff>([&](Tdlggroupoff* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Group Days Off"));
        QCOMPARE(helpContextOf(d), 49);
        QCOMPARE(d->chooser()->objectName(), QStringLiteral("dblkupgroups"));
        QCOMPARE(d->chooser()->count(), 2);
        QCOMPARE(d->chooser()->itemText(0), QStringLiteral("Open League"));   // by name
        QCOMPARE(d->chooser()->currentText(), QStringLiteral("Tuesday Ladies"));
        d->datePicker()->setDate(QDate(2026, 7, 4));
        d->addButton()->click();
        d->chooser()->setCurrentIndex(0);
        QCOMPARE(d->chosenId(), league);
        d->addButton()->click();   // the same date for another is no repeat
        d->addButton()->click();
        d->doneButton()->click();
    });
    Tdlggroupoff::execFor(nullptr, 1);
    QCOMPARE(f.errors, QStringList{"Open League already has 7/4/2026 off."});
    QVERIFY(!f.dm->database().inTransaction());
    QCOMPARE(f.count("GROUPOFF", "GROUPID = 1 AND DATE = '2026-07-04'"), 1);
    QCOMPARE(f.count("GROUPOFF", QString("GROUPID = %1").arg(league)), 1);
}

void TestDaysOff::aDateTypedWholeIsTheDateAdded()
{
    WindowsFixture f;
    seedPlayers(f);
    whenModal<Tdlgplayeroff>([&](Tdlgplayeroff* d) {
        QApplication::setActiveWindow(d);
        QDateEdit* picker = d->datePicker();
        // The program's one date format, and only years the file can keep.
        QCOMPARE(picker->displayFormat(), QStringLiteral("M/d/yyyy"));
        QCOMPARE(picker->minimumDate(), QDate(1900, 1, 1));
        QCOMPARE(picker->maximumDate(), QDate(2199, 12, 31));
        picker->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("01/06/2027"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(picker->date(), QDate(2027, 1, 6));
        d->addButton()->click();
        picker->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12/25/2027"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        d->addButton()->click();
        QCOMPARE(d->daysOffGrid()->model()->index(1, 0).data().toString(), QStringLiteral("12/25/2027"));
        // Fits a small screen with room for a long name.
        QVERIFY(d->width() <= 1024 && d->height() <= 700);
        d->doneButton()->click();
    });
    Tdlgplayeroff::execFor(nullptr, 1);
    QVERIFY(f.errors.isEmpty());
    QCOMPARE(f.count("PLAYROFF", "PLAYERID = 1 AND DATE = '2027-01-06'"), 1);
    QCOMPARE(f.count("PLAYROFF", "PLAYERID = 1 AND DATE = '2027-12-25'"), 1);
}

QTEST_MAIN(TestDaysOff)
#include "tst_daysoff.moc"
