// The season window driven through the frame with the keyboard, as an
// organiser handles a dropout: Ctrl+F9 in the group editor, a date, the
// entry, Alt+S, Enter; then Ctrl+Z and Ctrl+Y. What reached the file is read
// back, and the editor's "Days On" follows at once.
#include "apptest.h"
#include "engine_fixture.h"
#include "data/query.h"
#include "engine/season.h"
#include <QDateEdit>
#include "export/savefile.h"
#include "scheduling/groupeditor.h"
#include "scheduling/noticesdialog.h"
#include "scheduling/seasondialogs.h"
#include "scheduling/seasonwindow.h"
#include "windows/grouplist.h"
#include "windows/dbgrid.h"
#include "windows/playerdaysoffdialog.h"
#include "windows/playerlist.h"
#include "windows/guard.h"
#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrlQuery>
#include <QSet>
#include <QTableView>
#include <QtTest>
#include <random>

class TestSeasonWindow : public QObject {
    Q_OBJECT

    int insert(const QString& sql)
    {
        Query q(fx->dm->database(), sql);
        q.execSql();
        return q.lastInsertId().toInt();
    }
    QVariant scalar(const QString& sql)
    {
        Query q(fx->dm->database(), sql);
        q.open();
        return q.value(0);
    }
    // Six players on one court, four a Tuesday, for six weeks, generated.
    int generatedGroup()
    {
        const int g =
            insert("INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE, BBON, TUESDAY)"
                   " VALUES ('Tuesday Doubles', '2031-01-07', 6, 4, 0, 1, 1, 1)");
        for (int i = 1; i <= 6; ++i) {
            const int p = insert(QString("INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES ('Ann%1', 'Lee')").arg(i));
            insert(QString("INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM) VALUES (%1, %2, %3)")
                       .arg(g)
                       .arg(p)
                       .arg(i));
        }
        const int c = insert("INSERT INTO \"COURTS.db\" (NAME) VALUES ('Centre')");
        insert(QString("INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (%1, %2)").arg(c).arg(g));
        GroupDatasets ds(fx->dm->database());
        ds.open();
        ds.tbgroup.locate("GROUPID", g);
        ScriptedHost host;
        std::mt19937 random(4);
        ScheduleEngine engine(ds.tbgroup.database(), ds.groupId(), host, random);
        engine.GenerateSchedule();
        return g;
    }
    // A generated group (rtype 1) or league (2) whose players' names differ
    // in length and in the width of their letters, so that the widest line
    // of a column need not be the one with the most characters.
    int generatedSeason(int rtype, int type, int entries, int perSession, int courts, std::mt19937& random)
    {
        static const QStringList firsts{"Ann", "Wilhelmina", "Ivi", "Zoë", "MWMW", "Bartholomew", "Li"};
        static const QStringList lasts{"Lee", "Worthington-Smythe", "Illi", "Ångström", "WWWMMM", "Fitzgerald-Hayes"};
        auto pick = [&](const QStringList& names) { return names[int(random() % names.size())]; };
        const int g = insert(QString("INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE, "
                                     "BBON, MONDAY, THURSDAY) VALUES ('Season', '2031-01-06', 5, %1, %2, %3, 1, 1, 1)")
                                 .arg(perSession)
                                 .arg(type)
                                 .arg(rtype));
        auto player = [&] {
            return insert(QString("INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES ('%1', '%2')")
                              .arg(pick(firsts), pick(lasts)));
        };
        for (int i = 1; i <= entries; ++i) {
            const int p = player();
            const QString partner = rtype == 2 && type == 2 ? QString::number(player()) : QString("NULL");
            insert(QString("INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, SHARESLOTID, GRPSEQNUM) "
                           "VALUES (%1, %2, %3, %4)")
                       .arg(g)
                       .arg(p)
                       .arg(partner)
                       .arg(i));
        }
        for (int c = 1; c <= courts; ++c) {
            const int court = insert(QString("INSERT INTO \"COURTS.db\" (NAME) VALUES ('Court %1')").arg(c));
            insert(QString("INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (%1, %2)").arg(court).arg(g));
        }
        ScriptedHost host;
        ScheduleEngine(fx->dm->database(), g, host, random).GenerateSchedule();
        return g;
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key(key), modifiers);
    }
    int rowsOfEntry(int entry, const QString& date)
    {
        return scalar(
                   QString("SELECT COUNT(*) FROM SCHEDULE WHERE GRPPLAYRID = %1 AND DATE = '%2'").arg(entry).arg(date))
            .toInt();
    }

private slots:
    void init()
    {
        errors.clear();
        setErrorBoxHandler([this](const QString& message) { errors << message; });
        fx = std::make_unique<AppFixture>();
        registerChildWindows(*fx->frame);
        fx->frame->show();
        QApplication::setActiveWindow(fx->frame.get());
        QVERIFY(QTest::qWaitForWindowActive(fx->frame.get()));
    }
    void cleanup()
    {
        fx.reset();
        setErrorBoxHandler({});
    }

    void dropoutByKeyboardThenUndoAndRedo()
    {
        const int g = generatedGroup();
        auto* editor =
            qobject_cast<Tfrmgroup*>(Tfrmgrouplist::openEditor(RecordKind::Group, g, "Group: Tuesday Doubles", 3));
        QVERIFY(editor);
        editor->entriesGrid()->setFocus();
        QTRY_VERIFY(QApplication::focusWidget() == editor->entriesGrid());

        press(Qt::Key_F9, Qt::ControlModifier);
        auto* season = qobject_cast<Tfrmseason*>(fx->frame->activeChildWidget());
        QVERIFY(season);
        QCOMPARE(season->windowKind(), int(ChildWindow::SeasonWindow));
        QCOMPARE(QApplication::focusWidget(), season->grid());
        QCOMPARE(season->grid()->model()->rowCount(), 6);
        QCOMPARE(season->grid()->model()->headerData(1, Qt::Horizontal).toString(), QString("Centre"));

        press(Qt::Key_Down);   // the second date
        const QDate date = season->currentDate();
        const QString iso = date.toString(Qt::ISODate);
        QCOMPARE(iso, QString("2031-01-14"));
        press(Qt::Key_Tab);   // to the entries of the date
        QCOMPARE(QApplication::focusWidget(), season->entriesList());
        const int out = season->currentEntry();
        QCOMPARE(rowsOfEntry(out, iso), 1);

        int in = 0;
        bool listHadFocus = false;
        whenModal<TdlgSubstitute>([&](TdlgSubstitute* dialog) {
            in = dialog->chosenEntry();
            listHadFocus = QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->list(); }, 2000);
            if (!listHadFocus)
                return dialog->reject();
            QTest::keyClick(dialog->list(), Qt::Key_Return);   // the focus widget, as waited for
        });
        press(Qt::Key_B, Qt::AltModifier);   // a mnemonic clicks after a moment
        QTRY_VERIFY(in != 0);
        QVERIFY(listHadFocus);   // the candidates take the keys at once
        // Back in the frame (the window manager's part without one), the keys
        // go where they were before the dialog.
        QApplication::setActiveWindow(fx->frame.get());
        QTRY_COMPARE(QApplication::focusWidget(), season->entriesList());
        QTRY_COMPARE(rowsOfEntry(in, iso), 1);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        QCOMPARE(rowsOfEntry(out, iso), 0);
        QCOMPARE(rowsOfEntry(in, iso), 1);
        const int inPlayed = scalar(QString("SELECT SESPLAYED FROM GRPPLAYR WHERE GROUPPLAYERID = %1").arg(in)).toInt();
        // The editor's "Days On" shows it at once.
        Table& entries = editor->datasets().tbplayers;
        QVERIFY(entries.locate("GROUPPLAYERID", in));
        QCOMPARE(entries.asInt("SESPLAYED"), inPlayed);
        // The grid shows the substitute on the date.
        const QString cell = season->grid()->model()->index(1, 1).data().toString();
        QVERIFY2(
            cell.contains(QString("Ann%1").arg(in - scalar("SELECT MIN(GROUPPLAYERID) FROM GRPPLAYR").toInt() + 1)),
            qPrintable(cell));

        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rowsOfEntry(out, iso), 1);
        QCOMPARE(rowsOfEntry(in, iso), 0);
        QCOMPARE(scalar(QString("SELECT SESPLAYED FROM GRPPLAYR WHERE GROUPPLAYERID = %1").arg(in)).toInt(),
                 inPlayed - 1);
        press(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(rowsOfEntry(in, iso), 1);
        QVERIFY(errors.isEmpty());

        // F10 closes the season window like any other child window.
        press(Qt::Key_F10);
        QTRY_VERIFY(qobject_cast<Tfrmgroup*>(fx->frame->activeChildWidget()) == editor);
    }

    // A day off recorded after the schedule was made (F7 in the Player
    // List, the date, Alt+A, Enter) is reported on Done; "Re-plan" from the
    // first clash leaves nobody on a day off. A group's day off is marked in
    // the season window until it is resolved.
    // Alt+Y after a substitute: the players concerned in BCC of a mailto:,
    // the one without an address named; then nothing more until the next
    // change, whose list too long for a link is saved as a message instead.
    void tellThePlayersByKeyboard()
    {
        // The window manager's part without one: the keys go back to the frame.
        auto backToFrame = [&] {
            QApplication::setActiveWindow(fx->frame.get());
            (void)QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; });
        };
        const int g = generatedGroup();
        insert("UPDATE \"PLAYERS.db\" SET EMAIL = FNAME || '@example.org' WHERE FNAME <> 'Ann2'");
        auto* season = Tfrmseason::open(g);
        QTRY_VERIFY(fx->frame->activeChildWidget() == season);
        season->grid()->setFocus();
        auto tell = [&] {
            QString told;
            whenModal<QMessageBox>([&](QMessageBox* box) {
                told = box->text();
                box->accept();
            });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::AltModifier);
            (void)QTest::qWaitFor([&] { return !told.isEmpty(); });
            backToFrame();
            return told;
        };
        QVERIFY(tell().startsWith("No player's dates changed"));

        auto substitute = [&](int week) {
            const Season& s = season->operations().season();
            const QDate d = s.dates[week];
            QCOMPARE(season->operations().substitute(s.rowsOn(d).first()->entry, d, s.sittingOut(d).first()),
                     QString());
        };
        substitute(1);
        const QStringList players =
            scalar("SELECT GROUP_CONCAT(FNAME) FROM (SELECT DISTINCT p.FNAME FROM SCHEDLOG l JOIN \"PLAYERS.db\" p "
                   "USING (PLAYERID) ORDER BY p.FNAME)")
                .toString()
                .split(',');
        QVERIFY(players.size() >= 2);
        QUrl mailed;
        TdlgNotices::setMailOpener([&](const QUrl& url) {
            mailed = url;
            return true;
        });
        QString shown;
        whenModal<TdlgNotices>([&](TdlgNotices* dialog) {
            shown = dialog->text()->toPlainText();
            (void)QTest::qWaitFor([&] { return dialog->isAncestorOf(QApplication::focusWidget()); });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
        });
        press(Qt::Key_Y, Qt::AltModifier);
        QTRY_VERIFY(mailed.isValid());
        backToFrame();
        QCOMPARE(shown.contains("Ann2 Lee has no e-mail address; tell them yourself."), players.contains("Ann2"));
        const QUrlQuery query(mailed);
        QStringList bcc = query.queryItemValue("bcc", QUrl::FullyDecoded).split(',');
        bcc.sort();
        QStringList expected;
        for (const QString& p : players)
            if (p != "Ann2")
                expected << p + "@example.org";
        QCOMPARE(bcc, expected);
        QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded), QString("Changes to Tuesday Doubles"));
        for (const QString& p : players)
            QVERIFY(query.queryItemValue("body", QUrl::FullyDecoded).contains("\n" + p + " Lee:\n"));
        QVERIFY(tell().startsWith("No player's dates changed"));

        insert("UPDATE \"PLAYERS.db\" SET EMAIL = FNAME || '." + QString(400, 'x') + "@example.org'");
        substitute(3);
        const QString file = QDir::temp().filePath("vantrel-notice-test.eml");
        QFile::remove(file);
        SaveFile::setFileAsker([&](const QString&, const QString&) { return file; });
        bool mailOffered = true;
        whenModal<TdlgNotices>([&](TdlgNotices* dialog) {
            mailOffered = dialog->findChild<QPushButton*>("btnmail")->isEnabled();
            (void)QTest::qWaitFor([&] { return dialog->isAncestorOf(QApplication::focusWidget()); });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
        });
        press(Qt::Key_Y, Qt::AltModifier);
        QTRY_VERIFY(QFile::exists(file));
        SaveFile::setFileAsker({});
        TdlgNotices::setMailOpener({});
        QVERIFY(!mailOffered);
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("Subject: Changes to Tuesday Doubles\r\n"));
        QFile::remove(file);
        QVERIFY(errors.isEmpty());
    }

    void lateDayOffIsReportedThenReplanned()
    {
        const int g = generatedGroup();
        const int ann = scalar("SELECT PLAYERID FROM PLAYERS WHERE FNAME = 'Ann3'").toInt();
        const int entry = scalar(QString("SELECT GROUPPLAYERID FROM GRPPLAYR WHERE PLAYERID = %1").arg(ann)).toInt();
        const QDate date = scalar(QString("SELECT MAX(DATE) FROM SCHEDULE WHERE GRPPLAYRID = %1").arg(entry)).toDate();
        QVERIFY(date.isValid());

        auto* players = qobject_cast<Tfrmplayers*>(fx->frame->openChildWindow(Tfrmmain::PlayerList));
        QVERIFY(players->players().locate("PLAYERID", ann));
        whenModal<Tdlgplayeroff>([&](Tdlgplayeroff* dialog) {
            dialog->datePicker()->setDate(date);
            // A mnemonic reaches the active window only: the window manager's part.
            QApplication::setActiveWindow(dialog);
            (void)QTest::qWaitForWindowActive(dialog);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
            // A mnemonic clicks after a moment.
            (void)QTest::qWaitFor([&] { return dialog->daysOff().recordCount() == 1; });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QString report;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            report = box->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text().startsWith("&Re-plan"))
                    b->click();
        });
        whenModal<TdlgReplan>([](TdlgReplan* dialog) { dialog->accept(); });
        // F7 is the frame's: the keys must reach the frame's active list.
        QApplication::setActiveWindow(fx->frame.get());
        players->grid()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(players->grid()));
        press(Qt::Key_F7);
        QTRY_VERIFY(!report.isEmpty());
        QVERIFY2(report.contains(SeasonOps::dateText(date) + ": 3 Ann3 Lee has the day off"), qPrintable(report));
        QTRY_COMPARE(rowsOfEntry(entry, date.toString(Qt::ISODate)), 0);
        QVERIFY(errors.isEmpty());
        Season after = loadSeason(fx->dm->database(), g);
        QVERIFY(dayOffClashes(after, QDate::currentDate()).isEmpty());

        insert(QString("INSERT INTO \"groupoff.DB\" (GROUPID, DATE) VALUES (%1, '%2')")
                   .arg(g)
                   .arg(after.dates.first().toString(Qt::ISODate)));
        auto* season = qobject_cast<Tfrmseason*>(fx->frame->activeChildWidget());
        QVERIFY(season);
        season->refresh();
        QVERIFY(season->grid()->model()->index(0, 0).data().toString().contains("day off"));
        QVERIFY(
            season->findChild<QLabel*>("lblseason")->text().contains("4 places on dates to come fall on a day off"));
    }

    // A player deleted from the Player List after asking; the season window
    // shows the empty place on each of their dates, and the keyboard fills
    // one: the date, Tab to its empty place, Alt+B, Enter.
    void deletedPlayersPlaceIsShownAndFilledByKeyboard()
    {
        const int g = generatedGroup();
        const int ann = scalar("SELECT PLAYERID FROM PLAYERS WHERE FNAME = 'Ann3'").toInt();
        const int entry = scalar(QString("SELECT GROUPPLAYERID FROM GRPPLAYR WHERE PLAYERID = %1").arg(ann)).toInt();
        const int dates = scalar(QString("SELECT COUNT(*) FROM SCHEDULE WHERE GRPPLAYRID = %1").arg(entry)).toInt();
        const QDate first = scalar(QString("SELECT MIN(DATE) FROM SCHEDULE WHERE GRPPLAYRID = %1").arg(entry)).toDate();
        QVERIFY(dates > 0);

        auto* players = qobject_cast<Tfrmplayers*>(fx->frame->openChildWindow(Tfrmmain::PlayerList));
        QVERIFY(players->players().locate("PLAYERID", ann));
        QString question;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        press(Qt::Key_F5);
        QCOMPARE(question, QString("Ann3 Lee plays in Tuesday Doubles (%1 dates to come). Delete them and their "
                                   "dates?")
                               .arg(dates));
        QCOMPARE(scalar("SELECT COUNT(*) FROM SCHEDULE WHERE GRPPLAYRID NOT IN (SELECT GROUPPLAYERID FROM GRPPLAYR)")
                     .toInt(),
                 0);

        QApplication::setActiveWindow(fx->frame.get());   // the window manager's part, back from the box
        Tfrmseason::open(g);
        auto* season = qobject_cast<Tfrmseason*>(fx->frame->activeChildWidget());
        QVERIFY(season);
        const int row = int(season->operations().season().dates.indexOf(first));
        QAbstractItemModel* grid = season->grid()->model();
        QVERIFY2(grid->index(row, 0).data().toString().contains("1 place empty"),
                 qPrintable(grid->index(row, 0).data().toString()));
        QVERIFY(grid->index(row, 1).data().toString().contains("(empty place)"));
        season->grid()->setFocus();
        for (int i = 0; i < row; ++i)
            press(Qt::Key_Down);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), season->entriesList());
        QVERIFY(season->currentEmptyCourt() != 0);
        QVERIFY(season->entriesList()->currentItem()->text().contains("1 place empty"));
        QString offered;
        whenModal<TdlgSubstitute>([&](TdlgSubstitute* dialog) {
            offered = dialog->findChild<QLabel*>()->text();
            QTest::keyClick(dialog->list(), Qt::Key_Return);
        });
        press(Qt::Key_B, Qt::AltModifier);
        const QString iso = first.toString(Qt::ISODate);
        QTRY_COMPARE(scalar(QString("SELECT COUNT(*) FROM SCHEDULE WHERE DATE = '%1'").arg(iso)).toInt(), 4);
        QVERIFY2(offered.contains("empty place on Centre"), qPrintable(offered));
        QApplication::setActiveWindow(fx->frame.get());
        QTRY_COMPARE(QApplication::focusWidget(), season->entriesList());
        QVERIFY(!grid->index(row, 1).data().toString().contains("(empty place)"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM GRPPLAYR g WHERE SESPLAYED <> "
                        "(SELECT COUNT(*) FROM SCHEDULE s WHERE s.GRPPLAYRID = g.GROUPPLAYERID)")
                     .toInt(),
                 0);
        press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(scalar(QString("SELECT COUNT(*) FROM SCHEDULE WHERE DATE = '%1'").arg(iso)).toInt(), 3);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
    }

    // The swap dialog offers, on every date it lists, only entries who can
    // trade; a choice refused meanwhile (a day off entered in another
    // Vantrel) is told and the dialog stays open to choose again.
    void swapOffersOnlyValidPartnersAndStaysOpenAfterARefusal()
    {
        const int g = generatedGroup();
        Tfrmseason::open(g);
        auto* season = qobject_cast<Tfrmseason*>(fx->frame->activeChildWidget());
        QVERIFY(season);
        season->entriesList()->setFocus();
        const int a = season->currentEntry();
        const QDate dateA = season->currentDate();
        const QString before = scalar("SELECT group_concat(GRPPLAYRID || DATE) FROM SCHEDULE").toString();
        int refused = 0, taken = 0;
        QDate takenDate;
        bool stayedOpen = false;
        bool allValid = true, refusedGone = true;
        whenModal<TdlgSwap>([&](TdlgSwap* dialog) {
            const Season& s = season->operations().season();
            auto offered = [&] {
                QVector<QPair<QDate, int>> all;
                for (int d = 0; d < dialog->dates()->count(); ++d) {
                    dialog->dates()->setCurrentIndex(d);
                    for (int i = 0; i < dialog->list()->count(); ++i)
                        all.append({dialog->chosenDate(), dialog->list()->item(i)->data(Qt::UserRole).toInt()});
                }
                return all;
            };
            const auto first = offered();
            allValid = first.size() >= 2;
            for (const auto& [date, b] : first)
                allValid = allValid && s.rowOf(b, date) && !s.rowOf(b, dateA) && !s.rowOf(a, date);
            if (!allValid)
                return dialog->reject();
            // The first choice's player takes the date off elsewhere.
            refused = first.first().second;
            insert(QString("INSERT INTO PLAYROFF (PLAYERID, DATE) SELECT PLAYERID, '%1' FROM GRPPLAYR "
                           "WHERE GROUPPLAYERID = %2")
                       .arg(dateA.toString(Qt::ISODate))
                       .arg(refused));
            dialog->dates()->setCurrentIndex(dialog->dates()->findData(first.first().first));
            dialog->list()->setCurrentRow(0);
            QApplication::setActiveWindow(dialog);   // the window manager's part
            dialog->list()->setFocus();
            if (!QTest::qWaitFor([&] { return QApplication::focusWidget() == dialog->list(); }, 2000))
                return dialog->reject();
            press(Qt::Key_Return);
            stayedOpen = dialog->isVisible();
            for (const auto& [date, b] : offered())
                refusedGone = refusedGone && b != refused;
            dialog->dates()->setCurrentIndex(0);
            takenDate = dialog->chosenDate();
            taken = dialog->chosenEntry();
            press(Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject();
        });
        press(Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(taken != 0 || !allValid);   // the button's click comes a moment after the key
        QVERIFY(allValid);
        QVERIFY(stayedOpen);
        QVERIFY(refusedGone);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains("day off"), qPrintable(errors.first()));
        QVERIFY(taken != 0 && taken != refused);
        QVERIFY(scalar("SELECT group_concat(GRPPLAYRID || DATE) FROM SCHEDULE").toString() != before);
        QCOMPARE(rowsOfEntry(a, takenDate.toString(Qt::ISODate)), 1);
        QCOMPARE(rowsOfEntry(taken, dateA.toString(Qt::ISODate)), 1);
        QCOMPARE(rowsOfEntry(a, dateA.toString(Qt::ISODate)), 0);
    }

    // Groups and leagues of every match type: the grid puts each entry on
    // its date and court, lists exactly those sitting out, and is sized so
    // that every cell fits as measuring each of them would have it, with
    // the courts sharing the width of the widest.
    void gridShowsEverySeasonWhole()
    {
        struct Shape {
            int rtype, type, entries, perSession, courts;
        };
        const Shape shapes[] = {{1, 0, 9, 6, 2},   {1, 1, 11, 8, 4}, {1, 2, 14, 8, 2},
                                {1, 2, 23, 20, 5}, {2, 1, 6, 4, 2},  {2, 2, 5, 4, 2}};
        std::mt19937 random(11);
        for (const Shape& shape : shapes) {
            const int g =
                generatedSeason(shape.rtype, shape.type, shape.entries, shape.perSession, shape.courts, random);
            Tfrmseason::open(g);
            auto* season = qobject_cast<Tfrmseason*>(fx->frame->activeChildWidget());
            QVERIFY(season);
            season->window()->resize(500, 400);   // narrower than the grid: nothing may stretch to fit
            if (shape.rtype == 2) {               // results add a line to their court
                const QVector<SeasonRow> rows = season->operations().season().rows;
                for (int i = 0; i < rows.size(); i += 3)
                    season->operations().setWinner(rows[i].entry, rows[i].date, rows[i].entry);
            }
            const Season& s = season->operations().season();
            const QVector<QDate> dates = s.dates;
            QTableView* grid = season->grid();
            const QAbstractItemView* measured = grid;   // what measuring every cell gives
            QAbstractItemModel* model = grid->model();
            const QString where = QString("shape %1/%2/%3").arg(shape.rtype).arg(shape.type).arg(shape.entries);
            QCOMPARE(model->rowCount(), dates.size());
            QCOMPARE(model->columnCount(), s.courtOrder.size() + 2);
            for (int row = 0; row < dates.size(); ++row) {
                auto cell = [&](int column) { return model->index(row, column).data().toString(); };
                for (const SeasonRow* r : s.rowsOn(dates[row])) {
                    int column = 1;
                    while (s.courtOrder[column - 1] != r->court)
                        ++column;
                    QVERIFY2(cell(column).contains(s.entry(r->entry)->fullName()), qPrintable(where));
                }
                QStringList out;
                for (int id : s.sittingOut(dates[row]))
                    out << s.entryText(id);
                QCOMPARE(cell(model->columnCount() - 1), out.join('\n'));
                const int need = measured->sizeHintForRow(row);
                QVERIFY2(grid->rowHeight(row) >= need && grid->rowHeight(row) <= need + 2, qPrintable(where));
            }
            QHeaderView* header = grid->horizontalHeader();
            auto need = [&](int column) {
                return qMax(measured->sizeHintForColumn(column), header->sectionSizeHint(column));
            };
            int widestCourt = 0;
            for (int column = 0; column < model->columnCount(); ++column) {
                QVERIFY2(grid->columnWidth(column) >= need(column), qPrintable(where));
                if (column > 0 && column <= s.courtOrder.size()) {
                    widestCourt = qMax(widestCourt, need(column));
                    QCOMPARE(grid->columnWidth(column), grid->columnWidth(1));
                }
            }
            QVERIFY2(grid->columnWidth(1) <= widestCourt + 2, qPrintable(where));
            season->window()->close();
        }
    }

private:
    std::unique_ptr<AppFixture> fx;
    QStringList errors;
};

QTEST_MAIN(TestSeasonWindow)
#include "tst_seasonwindow.moc"
