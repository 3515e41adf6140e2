// The data grids typed into as an organiser does, with the keyboard only:
// every key goes to the focus widget, so an open cell editor gets it.
#include "windowsfixture.h"
#include "windows/courtlist.h"
#include "windows/dbgrid.h"
#include "windows/playerdaysoffdialog.h"
#include "windows/grouplist.h"
#include "windows/playerlist.h"
#include "data/table.h"
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

using F = WindowsFixture;

void tabs(int n)
{
    for (int i = 0; i < n; ++i)
        F::key(Qt::Key_Tab);
}

QModelIndex current(DbGrid* grid)
{
    return grid->currentIndex();
}

bool editorOpen()
{
    return qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr;
}

}   // namespace

class TestGridKeys : public QObject {
    Q_OBJECT
private slots:
    void playerRowsTypedWithTabOnly();
    void tabOffLastCellNeverReachesRowOne();
    void incompleteCellIsRefusedWhereItIs();
    void escapeRestoresCellThenCancelsRow();
    void downOnLastRowAndTypingIntoEmptyGrid();
    void rowMoveFindsTargetAfterResort();
    void gridWithoutAppendPassesFocusOn();
    void columnsFitMasksAndValues();
    void readOnlyListsPassTabOn();
};

void TestGridKeys::playerRowsTypedWithTabOnly()
{
    F f;
    auto* w = f.open<Tfrmplayers>();
    DbGrid* g = w->grid();
    QCOMPARE(g->model()->rowCount(), 0);

    // Typing into the empty grid starts the first row; optional columns are
    // passed with Tab alone, whatever their editor would hold.
    F::type("John");
    QCOMPARE(w->players().state(), Table::State::Insert);
    QCOMPARE(QApplication::focusWidget()->accessibleName(), QString("First"));   // the cell's column, read aloud
    F::key(Qt::Key_Tab);
    F::type("Smith");
    tabs(2);              // Home Phone left empty
    F::type("1234567");   // a local work number, digits only
    tabs(4);              // Street, Street Line 2, City empty
    F::type("ny");
    F::key(Qt::Key_Tab);
    F::type("12345");
    tabs(3);   // Wins, Losses empty
    QCOMPARE(current(g).column(), 11);
    F::key(Qt::Key_Tab);   // E-mail left empty
    F::key(Qt::Key_Tab);   // off the last cell of the last row
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
    QCOMPARE(f.count("PLAYERS"), 1);
    QCOMPARE(g->model()->rowCount(), 2);
    QCOMPARE(current(g), g->model()->index(1, 0));
    QCOMPARE(w->players().state(), Table::State::Insert);

    // The second row, with a ten-digit phone and a ranking; Shift+Tab goes
    // back a cell to mend a typo.
    F::type("Ann");
    F::key(Qt::Key_Tab);
    F::type("Adamz");
    F::key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(current(g).column(), 0);
    F::key(Qt::Key_Tab);
    F::type("Adams");
    F::key(Qt::Key_Tab);
    F::type("5551234567");
    tabs(9);
    F::type("4.5");
    F::key(Qt::Key_Tab);
    F::type("ann.adams@mail.example");
    F::key(Qt::Key_Tab);
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
    QCOMPARE(f.count("PLAYERS"), 2);

    QCOMPARE(f.scalar("SELECT PHONE2 FROM PLAYERS WHERE LNAME = 'Smith'").toString(), QStringLiteral("(   )123-4567"));
    QCOMPARE(f.scalar("SELECT STATE || ZIPCODE FROM PLAYERS WHERE LNAME = 'Smith'").toString(),
             QStringLiteral("NY12345-"));
    QVERIFY(f.scalar("SELECT PHONE1 IS NULL AND STREET1 IS NULL AND STREET2 IS NULL AND CITY IS NULL "
                     "AND WINS IS NULL AND LOSSES IS NULL AND RANKING IS NULL FROM PLAYERS WHERE LNAME = 'Smith'")
                .toBool());
    QCOMPARE(f.scalar("SELECT FNAME || PHONE1 FROM PLAYERS WHERE LNAME = 'Adams'").toString(),
             QStringLiteral("Ann(555)123-4567"));
    QCOMPARE(f.scalar("SELECT RANKING FROM PLAYERS WHERE LNAME = 'Adams'").toDouble(), 4.5);
    QCOMPARE(f.scalar("SELECT EMAIL FROM PLAYERS WHERE LNAME = 'Adams'").toString(), "ann.adams@mail.example");

    // The untouched third row is dropped when the window closes or on Esc.
    QCOMPARE(g->model()->rowCount(), 3);
    F::key(Qt::Key_Escape);
    QCOMPARE(g->model()->rowCount(), 2);
    QCOMPARE(f.count("PLAYERS"), 2);
    QCOMPARE(f.panel0, QStringLiteral("Browse"));
}

void TestGridKeys::tabOffLastCellNeverReachesRowOne()
{
    F f;
    f.insert("INSERT INTO COURTS (NAME) VALUES ('Court 1')");
    f.insert("INSERT INTO COURTS (NAME) VALUES ('Court 2')");
    auto* w = f.open<Tfrmcourts>();
    DbGrid* g = w->grid();

    F::key(Qt::Key_F2);
    F::type("Court 4 - Annex");
    F::key(Qt::Key_Tab);
    F::type("Court 5 - Bubble");
    F::key(Qt::Key_Tab);
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join('\n')));
    QCOMPARE(f.scalar("SELECT GROUP_CONCAT(NAME, '|') FROM (SELECT NAME FROM COURTS ORDER BY COURTID)").toString(),
             QStringLiteral("Court 1|Court 2|Court 4 - Annex|Court 5 - Bubble"));
    QCOMPARE(current(g).row(), 4);

    // Tab in an untouched new row adds no second one; leaving drops it.
    F::key(Qt::Key_Tab);
    QCOMPARE(g->model()->rowCount(), 5);
    F::key(Qt::Key_Up);
    QCOMPARE(g->model()->rowCount(), 4);
    QCOMPARE(current(g).row(), 3);

    // Tab off a row in the middle goes to the next row, and Shift+Tab off
    // the first column to the previous one.
    g->setCurrentIndex(g->model()->index(0, 0));
    F::type("Centre Court");
    F::key(Qt::Key_Tab);
    QCOMPARE(current(g).row(), 1);
    F::key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(current(g).row(), 0);
    F::key(Qt::Key_Tab, Qt::ShiftModifier);   // the first cell keeps the focus
    QCOMPARE(current(g).row(), 0);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(g));
    QCOMPARE(f.count("COURTS", "NAME = 'Centre Court' AND COURTID = 1"), 1);
    QCOMPARE(f.count("COURTS"), 4);
}

void TestGridKeys::incompleteCellIsRefusedWhereItIs()
{
    F f;
    auto* w = f.open<Tfrmplayers>();
    DbGrid* g = w->grid();
    F::type("Ann");
    tabs(2);
    F::type("55512");
    F::key(Qt::Key_Tab);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains("Home Phone") && f.errors[0].contains("(555)123-4567"), qPrintable(f.errors[0]));
    QCOMPARE(current(g).column(), 2);
    QVERIFY(editorOpen());
    // The next keys still go into the same cell, and finish it.
    F::type("34567");
    F::key(Qt::Key_Tab);
    QCOMPARE(f.errors.size(), 1);
    QCOMPARE(current(g).column(), 3);
    QCOMPARE(w->players().asString("PHONE1"), QStringLiteral("(555)123-4567"));

    // A state of one letter and a zip of four digits are refused the same way.
    tabs(4);
    F::type("n");
    F::key(Qt::Key_Tab);
    QCOMPARE(f.errors.size(), 2);
    QVERIFY(f.errors[1].startsWith("State"));
    F::key(Qt::Key_Escape);   // the cell goes back to empty
    QVERIFY(!editorOpen());
    F::key(Qt::Key_Tab);
    F::type("1234");
    F::key(Qt::Key_Down);   // nor does the row move with it
    QCOMPARE(f.errors.size(), 3);
    QVERIFY(f.errors[2].startsWith("Zipcode"));
    QCOMPARE(g->model()->rowCount(), 1);
    F::key(Qt::Key_Escape);

    // Numbers: a lone minus sign is not one.
    F::key(Qt::Key_Tab);
    F::type("-");
    F::key(Qt::Key_Return);
    QCOMPARE(f.errors.size(), 4);
    QVERIFY(f.errors[3].startsWith("Wins"));
    F::type("3");
    F::key(Qt::Key_Return);
    QCOMPARE(w->players().value("WINS").toInt(), -3);
    QCOMPARE(f.errors.size(), 4);

    F::key(Qt::Key_F3);
    QCOMPARE(f.errors.size(), 4);
    QCOMPARE(f.count("PLAYERS", "FNAME = 'Ann' AND PHONE1 = '(555)123-4567' AND STATE IS NULL AND ZIPCODE IS NULL"), 1);
}

void TestGridKeys::escapeRestoresCellThenCancelsRow()
{
    F f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME, PHONE1) VALUES ('Al', 'Adams', '(555)123-4567')");
    auto* w = f.open<Tfrmplayers>();
    DbGrid* g = w->grid();

    // Esc in a cell: the old value, and no edit begun.
    tabs(2);
    F::type("999");
    QVERIFY(editorOpen());
    F::key(Qt::Key_Escape);
    QVERIFY(!editorOpen());
    QCOMPARE(g->model()->index(0, 2).data().toString(), QStringLiteral("(555)123-4567"));
    QCOMPARE(w->players().state(), Table::State::Browse);

    // A value written, then Esc on the row: the stored row is untouched.
    F::type("9876543");
    F::key(Qt::Key_Tab);
    QCOMPARE(w->players().state(), Table::State::Edit);
    QCOMPARE(g->model()->index(0, 2).data().toString(), QStringLiteral("(   )987-6543"));
    F::key(Qt::Key_Escape);
    QCOMPARE(w->players().state(), Table::State::Browse);
    QCOMPARE(g->model()->index(0, 2).data().toString(), QStringLiteral("(555)123-4567"));

    // Esc on a new row with typing in it drops the row, also straight
    // after an Esc that restored a cell.
    F::key(Qt::Key_F2);
    F::type("Bea");
    F::key(Qt::Key_Tab);
    F::type("Br");
    F::key(Qt::Key_Escape);
    QCOMPARE(g->model()->rowCount(), 2);
    F::key(Qt::Key_Escape);
    QCOMPARE(g->model()->rowCount(), 1);
    QCOMPARE(f.count("PLAYERS"), 1);
    QCOMPARE(f.scalar("SELECT PHONE1 FROM PLAYERS").toString(), QStringLiteral("(555)123-4567"));
    QVERIFY(f.errors.isEmpty());
}

void TestGridKeys::downOnLastRowAndTypingIntoEmptyGrid()
{
    F f;
    auto* w = f.open<Tfrmcourts>();
    DbGrid* g = w->grid();
    F::key(Qt::Key_Down);   // nothing to go down from yet
    QCOMPARE(g->model()->rowCount(), 0);
    F::type("Court 1");
    QCOMPARE(g->model()->rowCount(), 1);
    F::key(Qt::Key_Down);   // posts and starts the next
    QCOMPARE(f.count("COURTS", "NAME = 'Court 1'"), 1);
    QCOMPARE(g->model()->rowCount(), 2);
    QCOMPARE(current(g).row(), 1);
    F::key(Qt::Key_Down);   // an untouched new row is not doubled
    QCOMPARE(g->model()->rowCount(), 2);
    F::type("Court 2");
    F::key(Qt::Key_Return);
    F::key(Qt::Key_Down);
    F::type("Court 3");
    F::key(Qt::Key_Up);
    QCOMPARE(f.scalar("SELECT GROUP_CONCAT(NAME, '|') FROM (SELECT NAME FROM COURTS ORDER BY COURTID)").toString(),
             QStringLiteral("Court 1|Court 2|Court 3"));
    QCOMPARE(current(g).row(), 1);
    QVERIFY(f.errors.isEmpty());
}

void TestGridKeys::rowMoveFindsTargetAfterResort()
{
    F f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Al', 'Adams')");
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Bo', 'Brown')");
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Cy', 'Clark')");
    auto* w = f.open<Tfrmplayers>();
    DbGrid* g = w->grid();
    // Adams becomes Young and sorts last: Down still lands on Brown.
    F::key(Qt::Key_Tab);
    F::type("Young");
    F::key(Qt::Key_Down);
    QCOMPARE(w->players().asString("LNAME"), QStringLiteral("Brown"));
    QCOMPARE(current(g).row(), w->players().recNo() - 1);
    QCOMPARE(g->model()->index(2, 1).data().toString(), QStringLiteral("Young"));

    // Tab off the last column of a re-sorted row goes to the row that
    // followed it.
    g->setCurrentIndex(g->model()->index(0, 11));
    F::type("2");
    g->setCurrentIndex(g->model()->index(0, 1));
    F::type("Zimmer");
    tabs(12);
    QCOMPARE(w->players().asString("LNAME"), QStringLiteral("Clark"));
    QCOMPARE(current(g), g->model()->index(0, 0));
    QCOMPARE(f.count("PLAYERS", "LNAME = 'Zimmer' AND RANKING = 2"), 1);

    // F3 re-sorts the saved row: the cursor stays in its cell, on the same
    // player, so that the next typing goes where the user looks.
    g->setCurrentIndex(g->model()->index(2, 1));
    QCOMPARE(w->players().asString("LNAME"), QStringLiteral("Zimmer"));
    F::type("Able");
    F::key(Qt::Key_F3);
    QCOMPARE(current(g), g->model()->index(0, 1));
    F::type("Baker");
    F::key(Qt::Key_F3);
    QCOMPARE(current(g), g->model()->index(0, 1));
    QCOMPARE(f.count("PLAYERS", "FNAME = 'Bo' AND LNAME = 'Baker' AND RANKING = 2"), 1);
    QCOMPARE(f.count("PLAYERS", "FNAME = 'Baker' OR LNAME = 'Able'"), 0);
    QVERIFY(f.errors.isEmpty());
}

void TestGridKeys::gridWithoutAppendPassesFocusOn()
{
    F f;
    f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Al', 'Adams')");
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* before = new QPushButton("Before", &form);
    auto* grid = new DbGrid(&form);
    auto* after = new QPushButton("After", &form);
    layout->addWidget(before);
    layout->addWidget(grid);
    layout->addWidget(after);
    Table players(f.dm->database(), "PLAYERS.db");
    players.open();
    grid->setTable(players, {gridColumn("FNAME", "First", true), gridColumn("WINS", "Wins")});
    grid->setRowsAppendable(false);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));

    F::key(Qt::Key_Tab);   // a read-only cell is passed like any other
    QCOMPARE(grid->currentIndex().column(), 1);
    F::type("7");
    F::key(Qt::Key_Down);   // no new row from the keyboard here
    QCOMPARE(grid->model()->rowCount(), 1);
    F::key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(after));
    QCOMPARE(f.count("PLAYERS", "WINS = 7"), 1);
    QCOMPARE(grid->model()->rowCount(), 1);

    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    F::key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(before));
    QVERIFY(f.errors.isEmpty());
}

void TestGridKeys::columnsFitMasksAndValues()
{
    F f;
    const QString longName = QStringLiteral("Court 12 - North Annex under the bubble, by the car park");
    f.insert(QString("INSERT INTO COURTS (NAME) VALUES ('%1')").arg(longName));
    auto* courts = f.open<Tfrmcourts>();
    const QFontMetrics cfm(courts->grid()->font());
    QVERIFY(courts->grid()->columnWidth(0) > cfm.horizontalAdvance(longName));

    auto* w = f.open<Tfrmplayers>();
    DbGrid* g = w->grid();
    const QFontMetrics fm(g->font());
    for (int c : {2, 3})
        QVERIFY(g->columnWidth(c) > fm.horizontalAdvance("(555)123-4567"));
    QVERIFY(g->columnWidth(8) > fm.horizontalAdvance("12345-6789"));
    QVERIFY(g->columnWidth(8) > g->horizontalHeader()->fontMetrics().horizontalAdvance("Zipcode"));

    // A longer value typed in widens its column at once.
    const QString city = QStringLiteral("Llanfairpwllgwyngyll-on-the-Wold");
    F::type("Al");
    tabs(6);
    F::type(city);
    F::key(Qt::Key_Return);
    QVERIFY(g->columnWidth(6) > fm.horizontalAdvance(city.left(25)));

    // Rows read again bring their own widths; a post keeps the widths.
    F::key(Qt::Key_F3);
    const int lastWidth = g->columnWidth(1);
    const QString last(25, QChar('W'));   // wider than its size in average characters
    QVERIFY(lastWidth < fm.horizontalAdvance(last));
    f.insert(QString("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Bo', '%1')").arg(last));
    w->players().refresh();
    QVERIFY(g->columnWidth(1) > fm.horizontalAdvance(last));
}

void TestGridKeys::readOnlyListsPassTabOn()
{
    F f;
    const int al = f.insert("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Al', 'Adams')");
    f.insert(QString("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (%1, '2026-02-01')").arg(al));
    f.insert(QString("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (%1, '2026-02-08')").arg(al));

    // In a dialog, Tab leaves the list of dates for the next button instead
    // of going round the rows.
    {
        Tdlgplayeroff d(nullptr, al);
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto* dates = d.findChild<DbGrid*>("dbgtimeoff");
        dates->setFocus();
        F::key(Qt::Key_Tab);
        QVERIFY(qobject_cast<QPushButton*>(QApplication::focusWidget()));
        d.doneButton()->click();
    }

    // A list that is its window's whole content keeps the focus: the keys
    // never wander into a window behind it.
    f.insert("INSERT INTO \"group\" (NAME, STARTDATE, RTYPE) VALUES ('Mon', '2026-01-05', 1)");
    f.open<Tfrmplayers>();
    auto* list = f.open<Tfrmgrouplist>();
    list->load();
    list->grid()->setFocus();
    F::key(Qt::Key_Tab);
    F::key(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list->grid()));
}

QTEST_MAIN(TestGridKeys)
#include "tst_gridkeys.moc"
