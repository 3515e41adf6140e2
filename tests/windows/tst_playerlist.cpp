#include "windowsfixture.h"
#include "windows/courtlist.h"
#include "windows/dbgrid.h"
#include "windows/playerdaysoffdialog.h"
#include "windows/fielddefs.h"
#include "windows/playerlist.h"
#include "data/table.h"
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

class TestPlayers : public QObject {
    Q_OBJECT
private slots:
    void typedPlayerIsStoredWithMaskLiterals();
    void incompleteMaskedValueKeepsRowInEdit();
    void phonesAsPeopleTypeThem_data();
    void phonesAsPeopleTypeThem();
    void leavingRowPostsAndUntouchedNewRowIsDropped();
    void cancelAndCloseLoseNothingStored();
    void closingAsksAboutTypingNotStored();
    void engineMessagesForSaveAndEmptyDelete();
    void deletePlayerRemovesDependentsOnly();
    void courtDeleteRemovesAssignmentsKeepsSchedule();
    void timeOffOpensDaysOffOfCurrentPlayer();
    void rosterSurvivesRestart();
};

void TestPlayers::typedPlayerIsStoredWithMaskLiterals()
{
    WindowsFixture f;
    auto* w = f.open<Tfrmplayers>();
    QCOMPARE(w->windowTitle(), QStringLiteral("Player List"));
    QCOMPARE(w->windowKind(), 1);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->grid()));
    QCOMPARE(helpContextOf(w->grid()), 37);
    QCOMPARE(w->grid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("First"));
    QCOMPARE(w->grid()->model()->headerData(11, Qt::Horizontal).toString(), QStringLiteral("Ranking"));

    WindowsFixture::key(Qt::Key_F2);
    QCOMPARE(f.panel0, QStringLiteral("Insert"));
    WindowsFixture::type("John");
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("Smith");
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("5551234567");   // home phone with its area code
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type(")1234567");   // work phone without one
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::key(Qt::Key_Tab);   // street left untouched
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("ny");
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("12345");   // zip code without the last four
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("7");
    WindowsFixture::key(Qt::Key_F3);
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
    QCOMPARE(f.panel0, QStringLiteral("Browse"));

    QCOMPARE(f.count("PLAYERS"), 1);
    QCOMPARE(f.scalar("SELECT FNAME || '|' || LNAME FROM PLAYERS").toString(), QStringLiteral("John|Smith"));
    QCOMPARE(f.scalar("SELECT PHONE1 FROM PLAYERS").toString(), QStringLiteral("(555)123-4567"));
    QCOMPARE(f.scalar("SELECT PHONE2 FROM PLAYERS").toString(), QStringLiteral("(   )123-4567"));
    QCOMPARE(f.scalar("SELECT STATE FROM PLAYERS").toString(), QStringLiteral("NY"));
    QCOMPARE(f.scalar("SELECT ZIPCODE FROM PLAYERS").toString(), QStringLiteral("12345-"));
    QCOMPARE(f.scalar("SELECT WINS FROM PLAYERS").toInt(), 7);
    QVERIFY(f.scalar("SELECT STREET1 IS NULL AND CITY IS NULL FROM PLAYERS").toBool());

    // A full zip code keeps its hyphen; an untouched masked cell stays empty.
    w->grid()->setCurrentIndex(w->grid()->model()->index(0, 8));
    WindowsFixture::type("123456789");
    WindowsFixture::key(Qt::Key_Return);
    w->grid()->setCurrentIndex(w->grid()->model()->index(0, 3));
    WindowsFixture::key(Qt::Key_F2);   // add new posts the edited row
    QCOMPARE(f.scalar("SELECT ZIPCODE FROM PLAYERS").toString(), QStringLiteral("12345-6789"));
    WindowsFixture::key(Qt::Key_F4);
    QCOMPARE(f.count("PLAYERS"), 1);
}

void TestPlayers::incompleteMaskedValueKeepsRowInEdit()
{
    WindowsFixture f;
    auto* w = f.open<Tfrmplayers>();
    WindowsFixture::key(Qt::Key_F2);
    WindowsFixture::type("Ann");
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("555123");   // seven digits are required
    WindowsFixture::key(Qt::Key_F3);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors[0].contains("Home Phone"));
    QCOMPARE(w->players().state(), Table::State::Insert);
    QCOMPARE(f.count("PLAYERS"), 0);

    // Clearing the field lets the row be saved, empty phone stored as empty.
    w->grid()->setCurrentIndex(w->grid()->model()->index(0, 2));
    WindowsFixture::key(Qt::Key_Delete);   // opens nothing; type over instead
    WindowsFixture::type("5");
    w->grid()->commitEditor();
    w->players().setValue("PHONE1", QVariant());
    WindowsFixture::key(Qt::Key_F3);
    QCOMPARE(f.errors.size(), 1);
    QCOMPARE(f.count("PLAYERS", "FNAME = 'Ann' AND PHONE1 IS NULL"), 1);
}

// Whatever the punctuation, the digits decide: ten (or eleven after a 1)
// with the area code, seven without; anything else is refused whole, in the
// cell and on F3, and nothing reaches the file cut or shifted.
void TestPlayers::phonesAsPeopleTypeThem_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");   // empty: refused
    QTest::newRow("dashes") << "555-234-5678"
                            << "(555)234-5678";
    QTest::newRow("country code") << "+1 555 567 8901"
                                  << "(555)567-8901";
    QTest::newRow("parentheses") << "(555) 234-5678"
                                 << "(555)234-5678";
    QTest::newRow("dots") << "555.234.5678"
                          << "(555)234-5678";
    QTest::newRow("one and ten digits") << "15552345678"
                                        << "(555)234-5678";
    QTest::newRow("local") << "234-5678"
                           << "(   )234-5678";
    QTest::newRow("extension") << "555-234-5678 x12"
                               << "";
    QTest::newRow("extension digits") << "555-234-5678 12"
                                      << "";
    QTest::newRow("too few") << "555-234"
                             << "";
    QTest::newRow("other country") << "+44 20 7946 0958"
                                   << "";
    QTest::newRow("words") << "555-CALL-NOW"
                           << "";
}

void TestPlayers::phonesAsPeopleTypeThem()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    WindowsFixture f;
    auto* w = f.open<Tfrmplayers>();
    WindowsFixture::type("Ann");
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("Alder");
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type(typed);
    WindowsFixture::key(Qt::Key_Tab);
    if (!stored.isEmpty()) {
        QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
        WindowsFixture::key(Qt::Key_F3);
        QVERIFY(f.errors.isEmpty());
        QCOMPARE(f.scalar("SELECT PHONE1 FROM PLAYERS WHERE LNAME = 'Alder'").toString(), stored);
        return;
    }
    QCOMPARE(f.errors.size(), 1);
    for (const QString& part : {QString("Home Phone"), typed, QString("(555)123-4567"), QString("123-4567")})
        QVERIFY2(f.errors[0].contains(part), qPrintable(f.errors[0]));
    // The user stays in the cell with every character typed.
    QCOMPARE(w->grid()->currentIndex().column(), 2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), typed);
    WindowsFixture::key(Qt::Key_F3);
    QCOMPARE(f.errors.size(), 2);
    QVERIFY2(f.errors[1].contains(typed), qPrintable(f.errors.join('\n')));
    QCOMPARE(f.count("PLAYERS"), 0);
    QCOMPARE(w->players().state(), Table::State::Insert);
}

void TestPlayers::leavingRowPostsAndUntouchedNewRowIsDropped()
{
    WindowsFixture f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Al', 'Adams')");
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Bo', 'Brown')");
    auto* w = f.open<Tfrmplayers>();
    QCOMPARE(w->grid()->model()->rowCount(), 2);
    WindowsFixture::type("Alan");
    WindowsFixture::key(Qt::Key_Return);
    QCOMPARE(w->players().state(), Table::State::Edit);
    WindowsFixture::key(Qt::Key_Down);
    QCOMPARE(w->players().state(), Table::State::Browse);
    QCOMPARE(f.count("PLAYERS", "FNAME = 'Alan'"), 1);

    WindowsFixture::key(Qt::Key_F2);
    QCOMPARE(w->grid()->model()->rowCount(), 3);
    WindowsFixture::key(Qt::Key_Up);   // nothing typed into the new row
    QCOMPARE(w->grid()->model()->rowCount(), 2);
    QCOMPARE(f.count("PLAYERS"), 2);
    QVERIFY(f.errors.isEmpty());
}

void TestPlayers::cancelAndCloseLoseNothingStored()
{
    WindowsFixture f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Al', 'Adams')");
    auto* w = f.open<Tfrmplayers>();
    WindowsFixture::type("Zed");
    WindowsFixture::key(Qt::Key_Return);
    WindowsFixture::key(Qt::Key_F4);
    QCOMPARE(w->players().asString("FNAME"), QStringLiteral("Al"));
    QCOMPARE(w->grid()->model()->index(0, 0).data().toString(), QStringLiteral("Al"));

    WindowsFixture::key(Qt::Key_F2);
    WindowsFixture::type("New");
    WindowsFixture::key(Qt::Key_Return);
    whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Discard)->click(); });
    WindowsFixture::key(Qt::Key_F10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(f.mdi->subWindowList().isEmpty());
    QCOMPARE(f.count("PLAYERS"), 1);
    QCOMPARE(f.count("PLAYERS", "FNAME = 'New'"), 0);

    // Deleted outright, as at the end of the program, with text still in a
    // cell editor: the window's table goes with its grid, and the half-typed
    // row is not stored.
    w = f.open<Tfrmplayers>();
    const QPointer<Table> table = &w->players();
    WindowsFixture::key(Qt::Key_F2);
    WindowsFixture::type("Half");
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    delete f.mdi->subWindowList().first();
    QVERIFY(!table);
    QVERIFY(f.errors.isEmpty());
    QCOMPARE(f.count("PLAYERS"), 1);
}

// Closing over typing not yet stored asks first: Cancel keeps the window
// and the typing, Discard drops it, Save stores it, and a save that is
// refused keeps the window open and says why. Nothing typed: no question.
void TestPlayers::closingAsksAboutTypingNotStored()
{
    WindowsFixture f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Al', 'Adams')");
    QStringList asked;
    auto answer = [&](QMessageBox::StandardButton button) {
        whenModal<QMessageBox>([&asked, button](QMessageBox* box) {
            asked << box->windowTitle() + ": " + box->text();
            box->button(button)->click();
        });
    };
    auto* w = f.open<Tfrmplayers>();
    WindowsFixture::key(Qt::Key_F2);
    WindowsFixture::type("Bea");
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("Brown");   // still in the cell editor
    answer(QMessageBox::Cancel);
    WindowsFixture::key(Qt::Key_F10);
    QCOMPARE(asked, QStringList{"Vantrel: Save the changes to Bea Brown?"});
    QCOMPARE(f.mdi->subWindowList().size(), 1);
    QCOMPARE(w->players().state(), Table::State::Insert);
    QCOMPARE(w->players().asString("LNAME"), QStringLiteral("Brown"));
    QCOMPARE(f.count("PLAYERS"), 1);

    answer(QMessageBox::Save);
    WindowsFixture::key(Qt::Key_F10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(asked.size(), 2);
    QVERIFY(f.mdi->subWindowList().isEmpty());
    QCOMPARE(f.count("PLAYERS", "FNAME = 'Bea' AND LNAME = 'Brown'"), 1);

    // An edit of a stored row, dropped.
    w = f.open<Tfrmplayers>();
    WindowsFixture::type("Alan");
    WindowsFixture::key(Qt::Key_Return);
    answer(QMessageBox::Discard);
    WindowsFixture::key(Qt::Key_F10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(asked.last(), QStringLiteral("Vantrel: Save the changes to Alan Adams?"));
    QVERIFY(f.mdi->subWindowList().isEmpty());
    QCOMPARE(f.count("PLAYERS", "FNAME = 'Al'"), 1);

    // Save refused: the user hears why and finds the row as it was.
    w = f.open<Tfrmplayers>();
    WindowsFixture::key(Qt::Key_F2);
    WindowsFixture::type("Cy");
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::key(Qt::Key_Tab);
    WindowsFixture::type("555-12");
    answer(QMessageBox::Save);
    WindowsFixture::key(Qt::Key_F10);
    QCOMPARE(f.mdi->subWindowList().size(), 1);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains("Home Phone \"555-12\""), qPrintable(f.errors[0]));
    QCOMPARE(w->players().state(), Table::State::Insert);
    QCOMPARE(f.count("PLAYERS"), 2);

    // Nothing typed, nothing asked.
    WindowsFixture::key(Qt::Key_Escape);
    WindowsFixture::key(Qt::Key_Escape);
    WindowsFixture::key(Qt::Key_F10);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(f.mdi->subWindowList().isEmpty());
    QCOMPARE(asked.size(), 4);
}

void TestPlayers::engineMessagesForSaveAndEmptyDelete()
{
    WindowsFixture f;
    f.open<Tfrmplayers>();
    WindowsFixture::key(Qt::Key_F3);
    WindowsFixture::key(Qt::Key_F5);
    QCOMPARE(f.errors,
             (QStringList{"Dataset not in edit or insert mode", "Cannot perform this operation on an empty dataset"}));
    QVERIFY(!f.dm->database().inTransaction());

    f.errors.clear();
    f.open<Tfrmcourts>();
    WindowsFixture::key(Qt::Key_F3);
    WindowsFixture::key(Qt::Key_F5);
    QCOMPARE(f.errors,
             (QStringList{"Dataset not in edit or insert mode", "Cannot perform this operation on an empty dataset"}));
}

void TestPlayers::deletePlayerRemovesDependentsOnly()
{
    WindowsFixture f;
    const int al = f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Al', 'Adams')");
    const int bo = f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Bo', 'Brown')");
    const int g1 = f.insert("INSERT INTO \"group\" (NAME, STARTDATE, RTYPE) VALUES ('Mon', '2026-01-05', 1)");
    const int g2 = f.insert("INSERT INTO \"group\" (NAME, STARTDATE, RTYPE, TYPE) VALUES ('Lg', '2026-01-05', 2, 2)");
    const int e1 = f.insert(QString("INSERT INTO GRPPLAYR (GROUPID, PLAYERID) VALUES (%1, %2)").arg(g1).arg(al));
    const int e2 = f.insert(QString("INSERT INTO GRPPLAYR (GROUPID, PLAYERID) VALUES (%1, %2)").arg(g2).arg(al));
    const int team = f.insert(
        QString("INSERT INTO GRPPLAYR (GROUPID, PLAYERID, SHARESLOTID) VALUES (%1, %2, %3)").arg(g2).arg(bo).arg(al));
    for (int e : {e1, e2, team})
        f.insert(QString("INSERT INTO SCHEDULE (GRPPLAYRID, DATE) VALUES (%1, '2026-01-05')").arg(e));
    const QString soon = QDate::currentDate().addDays(3).toString(Qt::ISODate);
    const QString later = QDate::currentDate().addDays(10).toString(Qt::ISODate);
    for (const QString& date : {soon, later})
        f.insert(QString("INSERT INTO SCHEDULE (GRPPLAYRID, DATE) VALUES (%1, '%2')").arg(e1).arg(date));
    f.insert(QString("INSERT INTO SCHEDULE (GRPPLAYRID, DATE) VALUES (%1, '%2')").arg(team).arg(later));
    const int cy = f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Cy', 'Zed')");
    f.insert(QString("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (%1, '2026-02-01')").arg(al));
    f.insert(QString("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (%1, '2026-02-01')").arg(bo));

    auto* w = f.open<Tfrmplayers>();
    // A player who plays nowhere goes at once, as before.
    w->grid()->setCurrentIndex(w->grid()->model()->index(2, 0));
    QCOMPARE(w->players().asInt("PLAYERID"), cy);
    WindowsFixture::key(Qt::Key_F5);
    QCOMPARE(f.count("PLAYERS"), 2);

    // One who plays is named with where and how many dates to come; No
    // keeps everything.
    w->grid()->setCurrentIndex(w->grid()->model()->index(0, 0));
    QCOMPARE(w->players().asInt("PLAYERID"), al);   // Adams sorts first
    QString question, detail;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        question = box->text();
        detail = box->informativeText();
        box->button(QMessageBox::No)->click();
    });
    WindowsFixture::key(Qt::Key_F5);
    QCOMPARE(question, QStringLiteral("Al Adams plays in Lg, Lg (as Bo Brown's partner) and Mon (2 dates to come). "
                                      "Delete them and their dates?"));
    QVERIFY2(detail.contains("Season") && detail.contains("empty"), qPrintable(detail));
    QCOMPARE(f.count("PLAYERS"), 2);
    QCOMPARE(f.count("SCHEDULE"), 6);

    whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    WindowsFixture::key(Qt::Key_F5);
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
    QCOMPARE(f.count("PLAYERS"), 1);
    QCOMPARE(f.count("GRPPLAYR", QString("PLAYERID = %1").arg(al)), 0);
    QCOMPARE(f.count("GRPPLAYR", QString("GROUPPLAYERID = %1").arg(team)), 1);
    QCOMPARE(f.count("SCHEDULE"), 2);
    QCOMPARE(f.count("SCHEDULE", QString("GRPPLAYRID = %1").arg(team)), 2);
    QCOMPARE(f.count("PLAYROFF"), 1);
    QCOMPARE(f.count("PLAYROFF", QString("PLAYERID = %1").arg(bo)), 1);
    QVERIFY(!f.dm->database().inTransaction());
    QCOMPARE(w->grid()->model()->rowCount(), 1);
}

void TestPlayers::courtDeleteRemovesAssignmentsKeepsSchedule()
{
    WindowsFixture f;
    const int c1 = f.insert("INSERT INTO COURTS (NAME) VALUES ('Centre Court')");
    const int c2 = f.insert("INSERT INTO COURTS (NAME) VALUES ('Court 2')");
    f.insert(QString("INSERT INTO COURTSLT (COURTID, GROUPID) VALUES (%1, 1)").arg(c1));
    f.insert(QString("INSERT INTO COURTSLT (COURTID, GROUPID) VALUES (%1, 2)").arg(c1));
    const int slot = f.insert(QString("INSERT INTO COURTSLT (COURTID, GROUPID) VALUES (%1, 1)").arg(c2));
    f.insert(QString("INSERT INTO SCHEDULE (GRPPLAYRID, GRPCOURTID, DATE) VALUES (1, %1, '2026-01-05')").arg(c1));

    auto* w = f.open<Tfrmcourts>();
    QCOMPARE(w->windowTitle(), QStringLiteral("Court List"));
    QCOMPARE(w->windowKind(), 2);
    QCOMPARE(helpContextOf(w->grid()), 38);
    QCOMPARE(w->grid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name / Description"));
    WindowsFixture::key(Qt::Key_F5);
    QVERIFY(f.errors.isEmpty());
    QCOMPARE(f.count("COURTS"), 1);
    QCOMPARE(f.count("COURTSLT"), 1);
    QCOMPARE(f.count("COURTSLT", QString("GRPCRTID = %1").arg(slot)), 1);
    QCOMPARE(f.count("SCHEDULE"), 1);

    WindowsFixture::key(Qt::Key_F2);
    WindowsFixture::type("Indoor 1");
    WindowsFixture::key(Qt::Key_F3);
    QCOMPARE(f.count("COURTS", "NAME = 'Indoor 1'"), 1);
}

void TestPlayers::timeOffOpensDaysOffOfCurrentPlayer()
{
    WindowsFixture f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Al', 'Adams')");
    const int bo = f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES (' Bo ', 'Brown ')");
    auto* w = f.open<Tfrmplayers>();
    WindowsFixture::key(Qt::Key_Down);
    QCOMPARE(w->players().asInt("PLAYERID"), bo);
    QString shown;
    bool inTransaction = false;
    whenModal<Tdlgplayeroff>([&](Tdlgplayeroff* d) {
        shown = d->chooser()->currentText();
        inTransaction = f.dm->database().inTransaction();
        d->addButton()->click();
        d->doneButton()->click();
    });
    WindowsFixture::key(Qt::Key_F7);
    QCOMPARE(shown, QStringLiteral("Brown, Bo"));
    QVERIFY(inTransaction);
    QVERIFY(!f.dm->database().inTransaction());
    QCOMPARE(f.count("PLAYROFF", QString("PLAYERID = %1").arg(bo)), 1);
}

void TestPlayers::rosterSurvivesRestart()
{
    WindowsFixture f;
    f.open<Tfrmplayers>();
    for (int i = 0; i < 30; ++i) {
        WindowsFixture::key(Qt::Key_F2);
        WindowsFixture::type(QString("P%1").arg(i, 2, 10, QChar('0')));
        WindowsFixture::key(Qt::Key_Tab);
        WindowsFixture::type("Last");
        WindowsFixture::key(Qt::Key_Tab);
        WindowsFixture::type("2125550100");
    }
    WindowsFixture::key(Qt::Key_F3);
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
    f.restart();
    QCOMPARE(f.count("PLAYERS", "PHONE1 = '(212)555-0100'"), 30);
    auto* w = f.open<Tfrmplayers>();
    QCOMPARE(w->grid()->model()->rowCount(), 30);
}

QTEST_MAIN(TestPlayers)
#include "tst_playerlist.moc"
