// The group editor's fields typed into with the keyboard, as a person does:
// every key goes to the focused widget. Dates, times, the defaults of a new
// record, the fields shown in full, what the fields show after a run, the
// status bar and the Tab order.
#include "data/settings.h"
#include "engine/grouprules.h"
#include "group_fixture.h"
#include "scheduling/groupeditor.h"
#include "engine/runstate.h"
#include <QCheckBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimeEdit>

class TestGroupEditing : public QObject {
    Q_OBJECT

    std::unique_ptr<GroupFixture> fx;

    Tfrmgroup* openNew(RecordKind kind)
    {
        auto* g = qobject_cast<Tfrmgroup*>(
            Tfrmgroup::openFromList(kind, 0, kind == RecordKind::Group ? "New Group" : "New League",
                                    kind == RecordKind::Group ? 3 : 44, fx->adder()));
        activate();
        return g;
    }
    Tfrmgroup* openExisting(int id)
    {
        auto* g = qobject_cast<Tfrmgroup*>(Tfrmgroup::openFromList(RecordKind::Group, id, "Group: x", 0, fx->adder()));
        activate();
        return g;
    }
    void activate()
    {
        fx->area.show();
        QApplication::setActiveWindow(&fx->area);
        QVERIFY(QTest::qWaitForWindowActive(&fx->area));
    }
    template <typename W>
    static W* child(QWidget* w, const char* name)
    {
        W* c = w->findChild<W*>(QString::fromLatin1(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    // Focus on a control and type into it, as a user who clicked there would.
    static void typeInto(QWidget* control, const QString& text)
    {
        control->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), control);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QVariant stored(int groupId, const QString& column)
    {
        return fx->scalar(QStringLiteral("SELECT %1 FROM \"group\" WHERE GROUPID = %2").arg(column).arg(groupId));
    }
    int onlyGroupId() { return fx->count("SELECT MAX(GROUPID) FROM \"group\""); }

private slots:
    void init()
    {
        fx = std::make_unique<GroupFixture>();
        runState() = RunState();
    }
    void cleanup() { fx.reset(); }

    void tabWalksTheWindowAsItReads()
    {
        Tfrmgroup* g = openNew(RecordKind::Group);
        child<QLineEdit>(g, "dbname")->setFocus(Qt::TabFocusReason);
        QStringList walked;
        for (int i = 0; i < 19; ++i) {
            walked << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(walked, (QStringList{"dbname", "dbrgpairing0", "dbrgpairing1", "dbrgpairing2", "dbchksunday",
                                      "dbchkmonday", "dbchktuesday", "dbchkwednesday", "dbchkthursday", "dbchkfriday",
                                      "dbchksaturday", "DBDURATION", "DPStartDate", "dbedplayers", "dpstime", "dpetime",
                                      "dbedfee", "dbmnotes", "dbgdcourts"}));
    }

    void aNewGroupStartsTodayOrOnItsFirstDayOfPlay()
    {
        Tfrmgroup* g = openNew(RecordKind::Group);
        auto* start = child<QDateEdit>(g, "DPStartDate");
        const QDate today = QDate::currentDate();
        QCOMPARE(start->date(), today);
        QCOMPARE(start->displayFormat(), QString("M/d/yyyy"));
        QCOMPARE(start->minimumDate(), QDate(1900, 1, 1));
        QCOMPARE(start->maximumDate(), QDate(2199, 12, 31));

        // Choosing Thursday moves the start to the first Thursday from today on.
        auto* thursday = child<QCheckBox>(g, "dbchkthursday");
        thursday->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(start->date().dayOfWeek(), int(Qt::Thursday));
        QVERIFY(start->date() >= today && start->date() < today.addDays(7));

        // Left untouched otherwise, it is stored so: never 1752.
        typeInto(child<QLineEdit>(g, "dbname"), "Thursday Mixed");
        g->commandSave();
        QCOMPARE(stored(onlyGroupId(), "STARTDATE").toDate(), start->date());
        QCOMPARE(stored(onlyGroupId(), "TYPE").toInt(), 0);
    }

    void aStartDateTypedByHandStaysWhenDaysChange()
    {
        Tfrmgroup* g = openNew(RecordKind::League);
        auto* start = child<QDateEdit>(g, "DPStartDate");
        typeInto(start, "3/2/2027");
        QCOMPARE(start->date(), QDate(2027, 3, 2));
        child<QCheckBox>(g, "dbchkfriday")->click();
        QCOMPARE(start->date(), QDate(2027, 3, 2));
    }

    void datesAndTimesTypedWholeAreTakenAsTyped_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("startTime");
        QTest::addColumn<QString>("endTime");
        QTest::addColumn<QDate>("expectedDate");
        QTest::newRow("short forms") << "1/6/2027"
                                     << "6:30 PM"
                                     << "18:30" << QDate(2027, 1, 6);
        QTest::newRow("two digits") << "01/06/2027"
                                    << "06:30 pm"
                                    << "8:30 PM" << QDate(2027, 1, 6);
        QTest::newRow("december") << "12/25/2030"
                                  << "18:30"
                                  << "20:30" << QDate(2030, 12, 25);
    }
    void datesAndTimesTypedWholeAreTakenAsTyped()
    {
        QFETCH(QString, date);
        QFETCH(QString, startTime);
        QFETCH(QString, endTime);
        QFETCH(QDate, expectedDate);
        Tfrmgroup* g = openNew(RecordKind::Group);
        typeInto(child<QLineEdit>(g, "dbname"), "Evening");
        typeInto(child<QDateEdit>(g, "DPStartDate"), date);
        // The start time typed, Tab, the end time typed: as one walk.
        auto* start = child<QTimeEdit>(g, "dpstime");
        start->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(QApplication::focusWidget(), startTime);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("dpetime"));
        // A keyboard sends Shift on its own before ":"; it does not end the typing.
        for (QChar c : endTime) {
            if (c == QLatin1Char(':'))
                QTest::keyPress(QApplication::focusWidget(), Qt::Key_Shift);
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(child<QTimeEdit>(g, "dpstime")->text(), QString("6:30 PM"));
        g->commandSave();
        const int id = onlyGroupId();
        QCOMPARE(stored(id, "STARTDATE").toDate(), expectedDate);
        QCOMPARE(stored(id, "STIME").toTime(), QTime(18, 30));
        QCOMPARE(stored(id, "ETIME").toTime(), endTime == "18:30" ? QTime(18, 30) : QTime(20, 30));
    }

    void oneSectionTakesTypingWhereTheCursorIs()
    {
        Tfrmgroup* g = openNew(RecordKind::Group);
        auto* start = child<QDateEdit>(g, "DPStartDate");
        start->setDate(QDate(2027, 4, 10));
        start->setFocus(Qt::MouseFocusReason);
        start->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(QApplication::focusWidget(), "22");
        QCOMPARE(start->date(), QDate(2027, 4, 22));
        // A year outside what the file keeps is not taken.
        start->setCurrentSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(QApplication::focusWidget(), "1752");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(start->date(), QDate(2027, 4, 22));
    }

    void feeShowsAsCurrencyWhenLeft()
    {
        Tfrmgroup* g = openNew(RecordKind::Group);
        auto* fee = child<QLineEdit>(g, "dbedfee");
        typeInto(fee, "40");
        QCOMPARE(fee->text(), QString("$40"));
        // More than three digits cannot be typed.
        fee->clear();
        typeInto(fee, "1234");
        QCOMPARE(fee->text(), QString("$123"));
    }

    void storedValuesShowInFullAndBadOnesAreReported()
    {
        const int id = fx->addGroup("Big", 1);
        fx->insert("UPDATE \"group\" SET FEE = 9999.99, DURATION = 32768, NumPerSes = 4 WHERE GROUPID = :g",
                   {{"g", id}});
        QString warning;
        answerMessageBox(QMessageBox::Ok, &warning);
        Tfrmgroup* g = openExisting(id);
        QVERIFY(g);
        QVERIFY2(warning.contains("32768 weeks"), qPrintable(warning));
        QCOMPARE(child<QLineEdit>(g, "dbedfee")->text(), QString("$9,999.99"));
        QCOMPARE(child<QLineEdit>(g, "DBDURATION")->text(), QString("32768"));

        // Generation refuses it with the same words and writes nothing.
        const int court = fx->addCourt("C1");
        fx->insert("INSERT INTO \"COURTSLT.db\" (GROUPID, COURTID) VALUES (:g, :c)", {{"g", id}, {"c", court}});
        for (int i = 0; i < 4; ++i)
            fx->addEntry(id, fx->addPlayer("P", QString::number(i)), i + 1);
        g->datasets().tbplayers.refresh();
        QString refusal;
        answerMessageBox(QMessageBox::Ok, &refusal);
        g->commandSchedule();
        QCOMPARE(refusal, warning);
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"SCHEDULE.db\""), 0);

        // The user can edit the stored value down.
        activate();
        auto* weeks = child<QLineEdit>(g, "DBDURATION");
        weeks->setFocus(Qt::TabFocusReason);
        weeks->end(false);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(weeks->text(), QString("32"));
        g->commandSave();
        QCOMPARE(stored(id, "DURATION").toInt(), 32);
        QCOMPARE(stored(id, "FEE").toDouble(), 9999.99);

        // The fee follows the currency the report setup chose.
        setCurrencySign(QString(QChar(0x20AC)));
        QCOMPARE(GroupRules::feeText(9999.99), QString("\u20AC9,999.99"));
        setCurrencySign({});
    }

    void negativePlayersPerSessionIsShownAndReported()
    {
        const int id = fx->addGroup("Odd", 1);
        fx->insert("UPDATE \"group\" SET NumPerSes = -2 WHERE GROUPID = :g", {{"g", id}});
        QString warning;
        answerMessageBox(QMessageBox::Ok, &warning);
        Tfrmgroup* g = openExisting(id);
        QVERIFY(warning.contains("-2 players per session"));
        QCOMPARE(child<QLineEdit>(g, "dbedplayers")->text(), QString("-2"));
    }

    void fieldsShowWhatTheRunStoredBeforeThePrintStarts()
    {
        // Two courts need 8 players per session; the group has 4 and
        // generation offers to adjust it.
        const int id = fx->addGroup("Adjust", 1, 0);
        fx->insert("UPDATE \"group\" SET DURATION = 2 WHERE GROUPID = :g", {{"g", id}});
        for (const char* name : {"C1", "C2"})
            fx->insert("INSERT INTO \"COURTSLT.db\" (GROUPID, COURTID) VALUES (:g, :c)",
                       {{"g", id}, {"c", fx->addCourt(name)}});
        for (int i = 0; i < 8; ++i)
            fx->addEntry(id, fx->addPlayer("P", QString::number(i)), i + 1);
        Tfrmgroup* g = openExisting(id);
        QCOMPARE(child<QLineEdit>(g, "dbedplayers")->text(), QString("4"));

        QString shownAtPrint, daysOnAtPrint;
        bool gridUsableAtPrint = false;
        int printRequests = 0;
        connect(fx->dm.get(), &Tdmglobal::printScheduleRequested, g, [&](int groupId) {
            ++printRequests;
            QCOMPARE(groupId, id);
            shownAtPrint = child<QLineEdit>(g, "dbedplayers")->text();
            daysOnAtPrint = g->entriesGrid()->model()->index(0, 2).data().toString();
            gridUsableAtPrint = g->entriesGrid()->isEnabled() && g->entriesGrid()->updatesEnabled();
        });
        answerMessageBox(QMessageBox::Yes);
        g->commandSchedule();
        QVERIFY2(fx->errors.isEmpty(), qPrintable(fx->errors.join('\n')));
        QCOMPARE(stored(id, "NumPerSes").toInt(), 8);
        QCOMPARE(printRequests, 1);   // once, after the run
        QCOMPARE(shownAtPrint, QString("8"));
        QCOMPARE(daysOnAtPrint, QString("2"));   // the run placed the 8 it offered
        QVERIFY(gridUsableAtPrint);
        QCOMPARE(fx->status[1], QString("Schedule completed."));

        // A report dialog taking the focus for a while leaves the message.
        activate();
        QWidget* field = child<QLineEdit>(g, "dbname");
        field->setFocus(Qt::TabFocusReason);
        fx->dm->statusMessage("Schedule completed.");
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(field, &out);
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(field, &back);
        QCOMPARE(fx->status[1], QString("Schedule completed."));
        // Moving on to the next field is the next message.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(fx->status[1], child<QWidget>(g, "dbrgpairing")->toolTip());
    }

    void statusBarNamesTheStateAndWhatWasDeleted()
    {
        const int id = fx->addGroup("Tuesday Ladies", 1);
        fx->addEntry(id, fx->addPlayer("Ann", "Lee"), 1);
        Tfrmgroup* g = openExisting(id);
        QCOMPARE(g->datasetStateName(), QString("Browse"));
        typeInto(child<QLineEdit>(g, "dbname"), "x");
        QCOMPARE(g->datasetStateName(), QString("Edit"));
        QCOMPARE(fx->status[0], QString("Edit"));
        g->commandCancel();

        child<QLineEdit>(g, "dbname")->setFocus();
        answerMessageBox(QMessageBox::Yes);
        QPointer<Tfrmgroup> editor(g);
        g->commandDelete();
        QCOMPARE(fx->count("SELECT COUNT(*) FROM \"group\""), 0);
        QCOMPARE(fx->status[1], QString("Group \"Tuesday Ladies\" has been deleted."));
    }

    void aNewLeagueIsInsertedUntilSaved()
    {
        Tfrmgroup* g = openNew(RecordKind::League);
        QCOMPARE(g->datasetStateName(), QString("Insert"));
        typeInto(child<QLineEdit>(g, "dbname"), "Spring League");
        g->commandSave();
        QCOMPARE(g->datasetStateName(), QString("Browse"));
        QCOMPARE(stored(onlyGroupId(), "STARTDATE").toDate(), QDate::currentDate());
    }
};

QTEST_MAIN(TestGroupEditing)
#include "tst_groupediting.moc"
