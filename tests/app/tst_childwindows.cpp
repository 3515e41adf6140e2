// The real child windows in the frame: which window has the keyboard, what
// panel 0 tells, where closing an editor leads, arranged windows keeping
// their room, their icons, and dialogs that fit their texts.
#include "apptest.h"
#include "app/footersetup.h"
#include "app/help.h"
#include "export/fairnesswindow.h"
#include "app/mdilayout.h"
#include "reports/labeltypedialog.h"
#include "reportengine/reportsystem.h"
#include "reportengine/setupdialog.h"
#include "app/about.h"
#include "scheduling/noticesdialog.h"
#include "scheduling/scheduleeditdialog.h"
#include "scheduling/seasondialogs.h"
#include "windows/courtpicker.h"
#include "windows/groupdaysoffdialog.h"
#include "windows/playerdaysoffdialog.h"
#include "windows/playerpicker.h"
#include "windows/teamplayersdialog.h"
#include <QComboBox>
#include "scheduling/reconciledialog.h"
#include "scheduling/groupeditor.h"
#include "scheduling/seasonwindow.h"
#include "data/query.h"
#include "windows/dbgrid.h"
#include "windows/grouplist.h"
#include <QInputDialog>
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

class TestChildWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<AppFixture> fx;

    void showActive()
    {
        registerChildWindows(*fx->frame);
        fx->frame->show();
        QApplication::setActiveWindow(fx->frame.get());
        QVERIFY(QTest::qWaitForWindowActive(fx->frame.get()));
    }
    void press(int key)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    QString panel0() const { return fx->frame->statusPanelText(0); }
    QVariant scalar(const QString& sql)
    {
        Query q(fx->dm->database(), sql);
        q.open();
        return q.value(0);
    }

    // The frame active with its four lists open and one league stored.
    int openEveryListWithALeague()
    {
        showActive();
        Query(fx->dm->database(), "INSERT INTO \"group.DB\" (NAME, STARTDATE, RTYPE, TYPE) "
                                  "VALUES ('Ladder', '2031-01-06', 2, 1)")
            .execSql();
        const int league = scalar("SELECT GROUPID FROM \"group.DB\"").toInt();
        for (int choice : {Tfrmmain::PlayerList, Tfrmmain::CourtList, Tfrmmain::GroupList, Tfrmmain::LeagueList})
            fx->frame->openChildWindow(choice);
        return league;
    }

private slots:
    void init() { fx = std::make_unique<AppFixture>(); }
    void cleanup() { fx.reset(); }

    void closingAnEditorReturnsToItsListWithTheKeyboardInIt()
    {
        showActive();
        QWidget* leagues = fx->frame->openChildWindow(Tfrmmain::LeagueList);
        fx->frame->openChildWindow(Tfrmmain::PlayerList);
        fx->frame->mdiArea()->setActiveSubWindow(fx->frame->childWindows().first());
        QCOMPARE(fx->frame->activeChildWidget(), leagues);
        QCOMPARE(panel0(), QString("Browse"));

        press(Qt::Key_F2);   // a new league
        auto* editor = dynamic_cast<Tfrmgroup*>(fx->frame->activeChildWidget());
        QVERIFY(editor);
        QCOMPARE(panel0(), QString("Insert"));
        QTest::keyClicks(QApplication::focusWidget(), "Spring Doubles");
        QString asked;
        whenModal<QMessageBox>([&asked](QMessageBox* box) {
            asked = box->text();
            box->button(QMessageBox::Save)->click();
        });
        press(Qt::Key_F10);
        QCOMPARE(asked, QString("Save the changes to Spring Doubles?"));
        // Back in the League List, not in the Player List opened after it,
        // with the keyboard in the list and the list's state in panel 0.
        QCOMPARE(fx->frame->activeChildWidget(), leagues);
        QCOMPARE(panel0(), QString("Browse"));
        auto* grid = leagues->findChild<DbGrid*>("dbggroups");
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid));
        QCOMPARE(grid->model()->rowCount(), 1);

        // Enter opens the league just stored.
        press(Qt::Key_Return);
        QCOMPARE(fx->frame->activeChildWidget()->windowTitle(), QString("League: Spring Doubles"));
        press(Qt::Key_F10);
        // The last window closed leaves no state behind.
        for (QMdiSubWindow* sub : fx->frame->childWindows())
            sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QCOMPARE(panel0(), QString());
    }

    void aListChosenFromTheWindowMenuTakesTheKeyboard()
    {
        showActive();
        QWidget* groups = fx->frame->openChildWindow(Tfrmmain::GroupList);
        fx->frame->openChildWindow(Tfrmmain::CourtList);
        auto* menu = fx->frame->findChild<QMenu*>("Window1");
        emit menu->aboutToShow();
        QAction* first = nullptr;
        for (QAction* a : menu->actions())
            if (a->text().startsWith("&1 "))
                first = a;
        QVERIFY(first);
        first->trigger();
        QCOMPARE(fx->frame->activeChildWidget(), groups);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(groups->findChild<DbGrid*>("dbggroups")));
    }

    // Alt and a letter reach one thing in each window: a control of the
    // window or a menu of the frame's menu bar, never two. Within a menu
    // every item has a letter of its own.
    void mnemonicsAreUniqueInEveryWindow()
    {
        showActive();
        Query(fx->dm->database(), "INSERT INTO \"group.DB\" (NAME, STARTDATE, RTYPE, TYPE) "
                                  "VALUES ('Ladder', '2031-01-06', 2, 1)")
            .execSql();
        const int league = scalar("SELECT GROUPID FROM \"group.DB\"").toInt();
        QMenuBar* bar = fx->frame->menuBar();
        QHash<int, QString> barKeys;
        for (QAction* menu : bar->actions()) {
            const int key = QKeySequence::mnemonic(menu->text())[0].toCombined();
            QVERIFY2(key != 0 && !barKeys.contains(key), qPrintable(menu->text()));
            barKeys.insert(key, menu->text());
            // Submenus too (Export Schedule): every item by its letters.
            QList<QMenu*> menus{menu->menu()};
            while (!menus.isEmpty()) {
                QHash<int, QString> itemKeys;
                const auto items = menus.takeFirst()->actions();
                for (QAction* item : items) {
                    if (item->isSeparator() || !item->isVisible())
                        continue;
                    const int itemKey = QKeySequence::mnemonic(item->text())[0].toCombined();
                    QVERIFY2(itemKey != 0, qPrintable(item->text()));
                    QVERIFY2(!itemKeys.contains(itemKey), qPrintable(item->text() + " / " + itemKeys.value(itemKey)));
                    itemKeys.insert(itemKey, item->text());
                    if (item->menu())
                        menus.append(item->menu());
                }
            }
        }
        for (int choice : {Tfrmmain::PlayerList, Tfrmmain::CourtList, Tfrmmain::GroupList, Tfrmmain::LeagueList})
            fx->frame->openChildWindow(choice);
        press(Qt::Key_F2);   // a new league in its editor
        fx->frame->mdiArea()->setActiveSubWindow(fx->frame->childWindows()[2]);
        press(Qt::Key_F2);   // a new group
        Tfrmseason::open(league);
        for (QMdiSubWindow* sub : fx->frame->childWindows()) {
            fx->frame->mdiArea()->setActiveSubWindow(sub);
            QWidget* window = sub->widget();
            QHash<int, QString> keys = barKeys;
            auto take = [&](const QString& text) {
                const int key = QKeySequence::mnemonic(text)[0].toCombined();
                if (key == 0)
                    return;
                QVERIFY2(!keys.contains(key),
                         qPrintable(window->windowTitle() + ": " + text + " and " + keys.value(key)));
                keys.insert(key, text);
            };
            for (QWidget* w : window->findChildren<QWidget*>()) {
                if (!w->isVisibleTo(window))
                    continue;
                if (auto* b = qobject_cast<QAbstractButton*>(w))
                    take(b->text());
                else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
                    take(l->text());
                else if (auto* box = qobject_cast<QGroupBox*>(w))
                    take(box->title());
            }
            if (qobject_cast<Tfrmseason*>(window))
                QVERIFY(keys.size() > barKeys.size() + 6);   // Substitute, Swap ... each by a key
        }
    }

    // F1 opens the topic of the window or field that has the keyboard, also
    // in a modal dialog, and every help context a window carries has a
    // topic shipped. The fairness report is reached from a text field by
    // the menu letters, which a text field leaves to the menus.
    void f1OpensTheTopicOfEachWindow()
    {
        const int league = openEveryListWithALeague();
        Tfrmseason::open(league);
        auto* editor =
            qobject_cast<Tfrmgroup*>(Tfrmgrouplist::openEditor(RecordKind::League, league, "League: Ladder", 44));
        QVERIFY(editor);
        THelpBrowser& help = fx->frame->helpWindow();
        for (QMdiSubWindow* sub : fx->frame->childWindows()) {
            QApplication::setActiveWindow(fx->frame.get());
            fx->frame->mdiArea()->setActiveSubWindow(sub);
            QWidget* window = sub->widget();
            QTRY_VERIFY(window->isAncestorOf(QApplication::focusWidget()));
            help.showContents();
            press(Qt::Key_F1);
            QVERIFY2(help.currentTopic() != 0, qPrintable(window->windowTitle()));
            QList<QWidget*> widgets = window->findChildren<QWidget*>();
            widgets.append(window);
            for (QWidget* w : widgets)
                if (const int context = w->property("helpContext").toInt())
                    QVERIFY2(HelpTopics::hasTopic(context), qPrintable(QString::number(context)));
        }

        QApplication::setActiveWindow(fx->frame.get());
        fx->frame->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
        editor->findChild<QLineEdit*>("dbname")->setFocus();
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString("dbname"));
        int shown = -1;
        whenModal<TFairnessWindow>([&](TFairnessWindow* dialog) {
            QApplication::setActiveWindow(dialog);   // the window manager's part
            const bool focused =
                QTest::qWaitFor([&] { return dialog->isAncestorOf(QApplication::focusWidget()); }, 2000);
            Q_UNUSED(focused);   // checked by the topic shown
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
            if (auto* own = dialog->findChild<THelpBrowser*>()) {
                shown = own->currentTopic();
                own->close();
            }
            dialog->reject();
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_F);
        QTRY_COMPARE(shown, 64);
    }

    // Exit asks about each window with typing not stored, the active one
    // first; Cancel anywhere keeps the program and every window as they were.
    void exitAsksForEachWindowAndCancelKeepsAll()
    {
        showActive();
        fx->frame->openChildWindow(Tfrmmain::PlayerList);
        for (char c : {'Z', 'o', 'e'})   // the first key opens the cell's editor, which takes the others
            QTest::keyClick(QApplication::focusWidget(), c);
        fx->frame->openChildWindow(Tfrmmain::GroupList);
        press(Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), "Friday Mixed");
        QStringList asked;
        auto answer = [&](QMessageBox::StandardButton button) {
            whenModal<QMessageBox>([&asked, button](QMessageBox* box) {
                asked << box->text();
                box->button(button)->click();
            });
        };
        answer(QMessageBox::Cancel);
        fx->frame->findChild<QAction*>("Exit1")->trigger();
        QCOMPARE(asked, QStringList{"Save the changes to Friday Mixed?"});
        QVERIFY(fx->frame->isVisible());
        QCOMPARE(fx->frame->childWindows().size(), 3);
        QCOMPARE(scalar("SELECT COUNT(*) FROM \"group.DB\"").toInt(), 0);

        QTimer saveEach;   // one question after the other
        saveEach.setInterval(10);
        connect(&saveEach, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked << box->text();
                box->button(QMessageBox::Save)->click();
            }
        });
        saveEach.start();
        fx->frame->findChild<QAction*>("Exit1")->trigger();
        saveEach.stop();
        QVERIFY(!fx->frame->isVisible());
        QCOMPARE(asked.size(), 3);
        QCOMPARE(asked[2], QString("Save the changes to Zoe?"));
        QCOMPARE(scalar("SELECT COUNT(*) FROM \"group.DB\" WHERE NAME = 'Friday Mixed'").toInt(), 1);
        QCOMPARE(scalar("SELECT COUNT(*) FROM \"PLAYERS.db\" WHERE FNAME = 'Zoe'").toInt(), 1);
    }

    void arrangedWindowsKeepTheirRoom()
    {
        showActive();
        fx->frame->openChildWindow(Tfrmmain::GroupList);
        fx->frame->openChildWindow(Tfrmmain::PlayerList);
        fx->frame->mdiArea()->setActiveSubWindow(fx->frame->childWindows().first());
        press(Qt::Key_F2);   // a group editor among them
        const QVector<QMdiSubWindow*> windows = fx->frame->childWindows();
        QCOMPARE(windows.size(), 3);
        for (const char* arrangement : {"Tile1", "Cascade1"}) {
            fx->frame->findChild<QAction*>(arrangement)->trigger();
            for (QMdiSubWindow* sub : windows) {
                QVERIFY2(sub->height() >= sub->widget()->minimumSizeHint().height(), arrangement);
                QVERIFY2(sub->width() >= sub->widget()->minimumSizeHint().width(), arrangement);
                QVERIFY(sub->width() > 250 && sub->height() > 200);
            }
        }
    }

    void everyChildWindowHasAnIconOfItsOwn()
    {
        showActive();
        for (int choice : {Tfrmmain::PlayerList, Tfrmmain::CourtList, Tfrmmain::GroupList, Tfrmmain::LeagueList})
            fx->frame->openChildWindow(choice);
        press(Qt::Key_F2);
        QCOMPARE(fx->frame->childWindows().size(), 5);
        QSet<qint64> icons;
        for (QMdiSubWindow* sub : fx->frame->childWindows()) {
            QVERIFY2(sub->widget()->testAttribute(Qt::WA_SetWindowIcon), qPrintable(sub->widget()->windowTitle()));
            icons.insert(sub->widget()->windowIcon().cacheKey());
        }
        QCOMPARE(icons.size(), 5);
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    void arrangementGeometry()
    {
        const QRect area(0, 0, 900, 600);
        const QVector<QRect> tiles = horizontalTiles(area, 3, 250);
        QCOMPARE(tiles.size(), 3);
        QCOMPARE(tiles[0].height(), 250);
        QCOMPARE(tiles[2].top(), 500);   // run on below the area, which scrolls
        QCOMPARE(horizontalTiles(area, 2, 100).last().bottom(), area.bottom());

        const QVector<QRect> cascade = cascadeRects(area, 3, QSize(24, 24), QSize(700, 500));
        QCOMPARE(cascade[1].topLeft(), QPoint(24, 24));
        QCOMPARE(cascade[0].size(), QSize(852, 552));
        QCOMPARE(cascadeRects(area, 12, QSize(24, 24), QSize(700, 500))[0].size(), QSize(700, 500));
    }

    // A screen reader can name every control that takes the keyboard, in
    // every window and dialog: by its label, its own text or a name given.
    void everyControlHasAnAccessibleName()
    {
        const int league = openEveryListWithALeague();
        press(Qt::Key_F2);   // a new league in its editor
        fx->frame->mdiArea()->setActiveSubWindow(fx->frame->childWindows()[2]);
        press(Qt::Key_F2);   // a new group
        Tfrmseason::open(league);
        QList<QWidget*> windows;
        for (QMdiSubWindow* sub : fx->frame->childWindows())
            windows << sub->widget();
        QWidget* frame = fx->frame.get();
        TReportSystem report;
        SeasonOps ops(fx->dm->database(), league);
        const QList<QDialog*> dialogs{new Tdlgreconcile(frame),
                                      new Tdlglabels(fx->dm->database(), frame),
                                      new TAboutBox(frame),
                                      new Tdlgplayers(frame),
                                      new Tdlgcourts(frame),
                                      new Tdlgteam(frame),
                                      new Tdlgplayeroff(frame, 101),
                                      new Tdlggroupoff(frame, league),
                                      new Tdlgschedule(frame),
                                      new TFairnessWindow(fx->dm->database(), league, frame),
                                      new ReportSetupDialog(report, frame),
                                      new TdlgSubstitute("Who?", {}, frame),
                                      new TdlgReplan(QDate(2031, 1, 6), {}, frame),
                                      new TdlgSwap(ops, 1, QDate(2031, 1, 6), frame),
                                      new TdlgNotices(Notices{}, frame)};
        windows << frame << &fx->frame->helpWindow();
        for (QDialog* d : dialogs)
            windows << d;
        QStringList unnamed;
        for (QWidget* window : windows) {
            window->show();
            QList<QWidget*> widgets = window->findChildren<QWidget*>();
            widgets.prepend(window);
            const QList<QLabel*> labels = window->findChildren<QLabel*>();
            for (QWidget* w : widgets) {
                // Qt's own parts (a spin box's or combo box's text) speak through their owner.
                const bool part = w->objectName().startsWith("qt_") || qobject_cast<QComboBox*>(w->parentWidget()) ||
                                  (w->parentWidget() && w->parentWidget()->focusProxy() == w);
                const bool ownWindow = window == frame && fx->frame->mdiArea()->isAncestorOf(w);
                if (w->focusPolicy() == Qt::NoFocus || part || ownWindow || !w->isVisibleTo(window))
                    continue;
                auto* button = qobject_cast<QAbstractButton*>(w);
                auto* text = qobject_cast<QLabel*>(w);
                const bool labelled = std::any_of(labels.begin(), labels.end(),
                                                  [w](QLabel* l) { return l->buddy() == w && !l->text().isEmpty(); });
                if (w->accessibleName().isEmpty() && !labelled && !(button && !button->text().isEmpty()) &&
                    !(text && !text->text().isEmpty()))
                    unnamed << window->windowTitle() + ": " + w->metaObject()->className() + " " + w->objectName();
            }
        }
        qDeleteAll(dialogs);
        for (const QString& control : unnamed)
            qWarning("No name: %s", qPrintable(control));
        QVERIFY(unnamed.isEmpty());
    }

    void dialogsShowTheirTextsWhole()
    {
        // The reconcile dialog: the whole label above the list, long names whole.
        Tdlgreconcile rec;
        const QString longName = "Maximilian Bartholomew-Featherstonehaugh";
        rec.setLines({{6, 11, longName}, {4, 12, "Bo Ray"}});
        rec.reconcileMode = 2;
        rec.setExpected(5);
        rec.show();
        QLabel* label = rec.warningLabel;
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY2(label->geometry().bottom() < rec.bevel->geometry().top(),
                 qPrintable(QString("%1 %2").arg(label->geometry().bottom()).arg(rec.bevel->geometry().top())));
        QVERIFY(rec.countsTable->columnWidth(2) > rec.countsTable->fontMetrics().horizontalAdvance(longName));
        QVERIFY(rec.width() <= 1024 && rec.height() <= 700);

        // The label types show "(laser)" and "(ink jet)" whole.
        Tdlglabels labels(fx->dm->database());
        labels.show();
        QListWidget* list = labels.labelTypesList;
        QVERIFY(list->count() > 0);
        for (int i = 0; i < list->count(); ++i)
            QVERIFY2(list->fontMetrics().horizontalAdvance(list->item(i)->text()) < list->viewport()->width(),
                     qPrintable(list->item(i)->text()));

        // Footer Setup has room for 51 characters.
        whenModal<QInputDialog>([](QInputDialog* box) {
            QLineEdit* edit = box->findChild<QLineEdit*>();
            QVERIFY(edit->width() >= edit->fontMetrics().horizontalAdvance(QString(51, QLatin1Char('X'))));
            box->reject();
        });
        runFooterSetup(fx->frame.get());
    }
};

QTEST_MAIN(TestChildWindows)
#include "tst_childwindows.moc"
