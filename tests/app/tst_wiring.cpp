// The real child windows behind the frame's list choices, the group list's
// way into the group editor, and a season set up through them the way an
// organiser does it, surviving a restart.
#include "apptest.h"
#include "data/query.h"
#include "scheduling/groupeditor.h"
#include "windows/groupdaysoffdialog.h"
#include "windows/fielddefs.h"
#include "windows/grouplist.h"
#include "windows/guard.h"
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTextEdit>
#include <QTimeEdit>
#include <QtTest>

class TestWiring : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        errors.clear();
        setErrorBoxHandler([this](const QString& message) { errors << message; });
        fx = std::make_unique<AppFixture>();
        startProgram();
    }
    void cleanup()
    {
        fx.reset();
        setErrorBoxHandler({});
    }

    void listChoicesOpenTheirWindows();
    void groupListOpensANewEditorOfItsKind();
    void groupAndLeagueSurviveARestart();

private:
    void startProgram()
    {
        registerChildWindows(*fx->frame);
        fx->frame->show();
        QApplication::setActiveWindow(fx->frame.get());
        QVERIFY(QTest::qWaitForWindowActive(fx->frame.get()));
    }
    int insert(const QString& sql)
    {
        Query q(fx->dm->database(), sql);
        q.execSql();
        return q.lastInsertId().toInt();
    }
    QStringList column(const QString& sql)
    {
        Query q(fx->dm->database(), sql);
        q.open();
        QStringList values;
        for (q.first(); !q.eof(); q.next())
            values << q.value(0).toString();
        return values;
    }
    template <typename W>
    W* control(QWidget* editor, const char* name)
    {
        W* w = editor->findChild<W*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void type(QWidget* editor, const char* name, const QString& text)
    {
        QTest::keyClicks(control<QLineEdit>(editor, name), text);
    }
    // New (F2) in the list of that kind: the editor it opens.
    Tfrmgroup* newFromList(int list)
    {
        fx->frame->openChildWindow(list);
        fx->frame->routeCommand(CmdAddNew);
        return dynamic_cast<Tfrmgroup*>(fx->frame->activeChildWidget());
    }
    // Open (F6) on the list's only row.
    Tfrmgroup* openFromList(int list)
    {
        fx->frame->openChildWindow(list);
        fx->frame->routeCommand(CmdOpen);
        return dynamic_cast<Tfrmgroup*>(fx->frame->activeChildWidget());
    }
    void recordDayOff(const QDate& date)
    {
        whenModal<Tdlggroupoff>([date](Tdlggroupoff* d) {
            d->datePicker()->setDate(date);
            d->addButton()->click();
            d->doneButton()->click();
        });
        fx->frame->routeCommand(CmdTimeOff);
    }
    static QString cell(QTableView* grid, int row, int column)
    {
        return grid->model()->index(row, column).data().toString();
    }

    std::unique_ptr<AppFixture> fx;
    QStringList errors;
};

void TestWiring::listChoicesOpenTheirWindows()
{
    struct Expected {
        int choice, kind;
        QString title;
        int helpContext;
    };
    const QList<Expected> expected = {
        {Tfrmmain::PlayerList, ChildWindow::PlayerList, "Player List", 37},
        {Tfrmmain::CourtList, ChildWindow::CourtList, "Court List", 38},
        {Tfrmmain::GroupList, ChildWindow::GroupList, "Group List", 42},
        {Tfrmmain::LeagueList, ChildWindow::GroupList, "League List", 43},
    };
    for (const Expected& e : expected) {
        QWidget* window = fx->frame->openChildWindow(e.choice);
        QVERIFY2(window, qPrintable(e.title));
        auto* child = dynamic_cast<ChildWindow*>(window);
        QVERIFY(child);
        QCOMPARE(child->windowKind(), e.kind);
        QCOMPARE(window->windowTitle(), e.title);
        QCOMPARE(fx->frame->activeChildWidget(), window);
        if (e.kind == ChildWindow::GroupList)
            QCOMPARE(helpContextOf(window), e.helpContext);
    }
    auto* leagues = dynamic_cast<Tfrmgrouplist*>(fx->frame->activeChildWidget());
    QVERIFY(leagues);
    QCOMPARE(leagues->listKind(), RecordKind::League);
    QVERIFY(errors.isEmpty());
    QCOMPARE(fx->frame->childWindows().size(), 4);
}

void TestWiring::groupListOpensANewEditorOfItsKind()
{
    fx->frame->openChildWindow(Tfrmmain::LeagueList);
    fx->frame->routeCommand(CmdAddNew);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    QCOMPARE(fx->frame->childWindows().size(), 2);
    QWidget* editor = fx->frame->activeChildWidget();
    auto* child = dynamic_cast<ChildWindow*>(editor);
    QVERIFY(child);
    QCOMPARE(child->windowKind(), ChildWindow::GroupEditor);
    QCOMPARE(editor->windowTitle(), QString("New League"));
    QCOMPARE(helpContextOf(editor), 44);
    QVERIFY(fx->frame->childWindows().last()->isMaximized());
}

void TestWiring::groupAndLeagueSurviveARestart()
{
    QList<int> players;
    for (int i = 1; i <= 16; ++i)
        players << insert(
            QString("INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES ('Player', 'No%1')").arg(i, 2, 10, QChar('0')));
    const QList<int> courts = {insert("INSERT INTO \"COURTS.db\" (NAME) VALUES ('Centre')"),
                               insert("INSERT INTO \"COURTS.db\" (NAME) VALUES ('East')"),
                               insert("INSERT INTO \"COURTS.db\" (NAME) VALUES ('West')")};

    Tfrmgroup* group = newFromList(Tfrmmain::GroupList);
    QVERIFY(group);
    QCOMPARE(group->windowTitle(), QString("New Group"));
    type(group, "dbname", "Spring Ladies");
    control<QRadioButton>(group, "dbrgpairing1")->click();   // Singles
    type(group, "DBDURATION", "10");
    type(group, "dbedplayers", "8");
    type(group, "dbedfee", "$250");
    control<QDateEdit>(group, "DPStartDate")->setDate(QDate(2027, 3, 1));
    control<QTimeEdit>(group, "dpstime")->setTime(QTime(18, 0));
    control<QTimeEdit>(group, "dpetime")->setTime(QTime(19, 30));
    control<QCheckBox>(group, "dbchkmonday")->click();
    control<QCheckBox>(group, "dbchkwednesday")->click();
    control<QTextEdit>(group, "dbmnotes")->setPlainText("Balls from the pro shop.");
    group->addPlayerEntries(players);
    group->addCourts({courts[0], courts[1]});
    recordDayOff(QDate(2027, 4, 5));
    fx->frame->routeCommand(CmdCloseWindow);

    Tfrmgroup* league = newFromList(Tfrmmain::LeagueList);
    QVERIFY(league);
    type(league, "dbname", "Winter Doubles");
    control<QRadioButton>(league, "dbrgpairing1")->click();   // Doubles
    type(league, "DBDURATION", "2");
    control<QDateEdit>(league, "DPStartDate")->setDate(QDate(2027, 1, 9));
    control<QCheckBox>(league, "dbchksaturday")->click();
    for (int t = 0; t < 6; ++t)
        league->addTeamEntry(players[2 * t], players[2 * t + 1]);
    league->addCourts(courts);
    recordDayOff(QDate(2027, 2, 13));
    fx->frame->routeCommand(CmdCloseWindow);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));

    fx->restart();
    startProgram();

    group = openFromList(Tfrmmain::GroupList);
    QVERIFY(group);
    QCOMPARE(group->windowTitle(), QString("Group: Spring Ladies"));
    QCOMPARE(control<QLineEdit>(group, "dbname")->text(), QString("Spring Ladies"));
    QVERIFY(control<QRadioButton>(group, "dbrgpairing1")->isChecked());
    QCOMPARE(control<QLineEdit>(group, "DBDURATION")->text(), QString("10"));
    QCOMPARE(control<QLineEdit>(group, "dbedplayers")->text(), QString("8"));
    QCOMPARE(control<QLineEdit>(group, "dbedfee")->text(), QString("$250"));
    QCOMPARE(control<QDateEdit>(group, "DPStartDate")->date(), QDate(2027, 3, 1));
    QCOMPARE(control<QTimeEdit>(group, "dpstime")->time(), QTime(18, 0));
    QCOMPARE(control<QTimeEdit>(group, "dpetime")->time(), QTime(19, 30));
    QVERIFY(control<QCheckBox>(group, "dbchkmonday")->isChecked());
    QVERIFY(control<QCheckBox>(group, "dbchkwednesday")->isChecked());
    QVERIFY(!control<QCheckBox>(group, "dbchkfriday")->isChecked());
    QCOMPARE(control<QTextEdit>(group, "dbmnotes")->toPlainText(), QString("Balls from the pro shop."));
    QTableView* entries = group->entriesGrid();
    QCOMPARE(entries->model()->rowCount(), 16);
    for (int r = 0; r < 16; ++r) {
        QCOMPARE(cell(entries, r, 0), QString::number(r + 1));
        QCOMPARE(cell(entries, r, 1), QString("Player No%1").arg(r + 1, 2, 10, QChar('0')));
    }
    QCOMPARE(group->courtsGrid()->model()->rowCount(), 2);
    QCOMPARE(cell(group->courtsGrid(), 1, 0), QString("East"));
    const int groupId = group->datasets().groupId();
    QCOMPARE(column(QString("SELECT \"DATE\" FROM \"groupoff.db\" WHERE GROUPID = %1").arg(groupId)),
             QStringList{"2027-04-05"});
    fx->frame->routeCommand(CmdCloseWindow);

    league = openFromList(Tfrmmain::LeagueList);
    QVERIFY(league);
    QCOMPARE(league->windowTitle(), QString("League: Winter Doubles"));
    QVERIFY(control<QRadioButton>(league, "dbrgpairing1")->isChecked());
    QCOMPARE(control<QLineEdit>(league, "DBDURATION")->text(), QString("2"));
    QVERIFY(control<QCheckBox>(league, "dbchksaturday")->isChecked());
    entries = league->entriesGrid();
    QCOMPARE(entries->model()->rowCount(), 6);
    QCOMPARE(cell(entries, 0, 1), QString("Player No01/Player No02"));
    QCOMPARE(cell(entries, 5, 1), QString("Player No11/Player No12"));
    QCOMPARE(cell(entries, 5, 0), QString("6"));
    QCOMPARE(league->courtsGrid()->model()->rowCount(), 3);
    QCOMPARE(
        column(QString("SELECT \"DATE\" FROM \"groupoff.db\" WHERE GROUPID = %1").arg(league->datasets().groupId())),
        QStringList{"2027-02-13"});

    // Each list shows its own kind only.
    auto* list = dynamic_cast<Tfrmgrouplist*>(fx->frame->childWindows().first()->widget());
    QVERIFY(list);
    QCOMPARE(list->grid()->model()->rowCount(), 1);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
}

QTEST_MAIN(TestWiring)
#include "tst_wiring.moc"
