// The group editor's exports and fairness report, reached from the frame's
// Action menu as a user does.
#include "exportfixture.h"
#include "whenmodal.h"
#include "app/appsetup.h"
#include "app/mainwindow.h"
#include "export/csvexport.h"
#include "export/fairnesswindow.h"
#include "export/savefile.h"
#include "scheduling/groupeditor.h"
#include "windows/guard.h"
#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QInputDialog>
#include <QMessageBox>
#include <QTableWidget>
#include <QtTest>

class TestGroupOutputs : public QObject {
    Q_OBJECT

    std::unique_ptr<HandSeason> h;
    std::unique_ptr<Tfrmmain> frame;
    QStringList errors, asked;
    QString answer;   // what the file dialog answers
    int beeps = 0;

    void openEditor(int groupId)
    {
        Tfrmgroup::openFromList(RecordKind::Group, groupId, "Group: Monday Doubles", 0,
                                [this](QWidget* w) { frame->addChildWindow(w); });
    }
    void trigger(const char* name)
    {
        QAction* a = frame->findChild<QAction*>(QString::fromLatin1(name));
        QVERIFY2(a, name);
        a->trigger();
    }
    QByteArray readAll(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        h = std::make_unique<HandSeason>();
        frame = std::make_unique<Tfrmmain>();
        frame->setBeep([this] { ++beeps; });
        connectDataModule(*frame, *h->dm);
        registerChildWindows(*frame);
        errors.clear();
        asked.clear();
        beeps = 0;
        setErrorBoxHandler([this](const QString& m) { errors << m; });
        SaveFile::setFileAsker([this](const QString& caption, const QString& proposed) {
            asked << caption + "|" + QFileInfo(proposed).fileName();
            return answer;
        });
    }
    void cleanup()
    {
        SaveFile::setFileAsker({});
        setErrorBoxHandler({});
        frame.reset();
        h.reset();
    }

    void csvAsksForTheFileAndAddsTheExtension()
    {
        openEditor(h->groupId);
        answer = h->dir.filePath("season");
        trigger("ExportCsv1");
        QCOMPARE(asked, QStringList{"Export Schedule as CSV|Monday Doubles.csv"});
        QCOMPARE(Csv::parse(readAll(answer + ".csv")).size(), 9);
        QVERIFY(errors.isEmpty());
        QCOMPARE(frame->statusPanelText(1), "Exported to " + QDir::toNativeSeparators(answer + ".csv"));
    }

    void anExistingFileIsReplacedOnlyWhenAgreed()
    {
        openEditor(h->groupId);
        answer = h->dir.filePath("season.csv");
        QFile f(answer);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
        f.close();
        whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
        trigger("ExportCsv1");
        QCOMPARE(readAll(answer), QByteArray("keep me"));
        whenModal<QMessageBox>([](QMessageBox* box) {
            QVERIFY(box->text().contains("already exists"));
            box->button(QMessageBox::Yes)->click();
        });
        trigger("ExportCsv1");
        QVERIFY(readAll(answer).startsWith("\xEF\xBB\xBF\"Date\""));
    }

    void calendarsOfTheGroupEveryPlayerAndOne()
    {
        openEditor(h->groupId);
        answer = h->dir.filePath("group.ics");
        trigger("ExportCalendar1");
        QCOMPARE(readAll(answer).count("BEGIN:VEVENT"), 4);

        QDir().mkpath(h->dir.filePath("players"));
        answer = h->dir.filePath("players");
        trigger("ExportCalendars1");
        QCOMPARE(QDir(answer).entryList(QDir::Files).size(), 5);

        answer = h->dir.filePath("di");
        whenModal<QInputDialog>([](QInputDialog* d) {
            QVERIFY(d->comboBoxItems().contains("Di Dunn"));
            d->setTextValue("Di Dunn");
            d->accept();
        });
        trigger("ExportPlayerCalendar1");
        QCOMPARE(asked.last(), QString("Export Player's Calendar|Monday Doubles - Di Dunn.ics"));
        QCOMPARE(readAll(answer + ".ics").count("BEGIN:VEVENT"), 1);
        QVERIFY(errors.isEmpty());
    }

    void pdfAndCancel()
    {
        openEditor(h->groupId);
        answer = h->dir.filePath("season.pdf");
        trigger("ExportPdf1");
        QVERIFY(readAll(answer).startsWith("%PDF"));
        answer = h->dir.filePath("di");
        whenModal<QInputDialog>([](QInputDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Player's Schedule"));
            d->setTextValue("Di Dunn");
            d->accept();
        });
        trigger("ExportPlayerPdf1");
        QCOMPARE(asked.last(), QString("Export Player's Schedule as PDF|Monday Doubles - Di Dunn.pdf"));
        QVERIFY(readAll(answer + ".pdf").startsWith("%PDF"));
        answer.clear();   // Cancel: nothing written, nothing said
        trigger("ExportCsv1");
        QVERIFY(QDir(h->dir.path()).entryList({"*.csv"}).isEmpty());
        QVERIFY(errors.isEmpty());
    }

    void fairnessWindowShowsTheFigures()
    {
        openEditor(h->groupId);
        int rows = 0;
        QString warnings;
        whenModal<TFairnessWindow>([&](TFairnessWindow* w) {
            rows = w->table()->rowCount();
            if (auto* l = w->findChild<QLabel*>("lblwarnings"))
                warnings = l->text();
            w->reject();
        });
        trigger("Fairness1");
        QCOMPARE(rows, 5);
        QVERIFY2(warnings.contains("Di Dunn could play on only 2 of the 4 dates"), qPrintable(warnings));
    }

    void withoutAScheduleOrAnEditor()
    {
        trigger("ExportCsv1");   // no child window: a beep, as other commands
        QCOMPARE(beeps, 1);
        frame->openChildWindow(Tfrmmain::PlayerList);
        trigger("ExportPdf1");
        QCOMPARE(beeps, 2);
        QVERIFY(asked.isEmpty());

        h->exec("DELETE FROM SCHEDULE");
        openEditor(h->groupId);
        trigger("ExportCalendar1");
        QCOMPARE(errors, QStringList{"Monday Doubles has no schedule yet, so there is nothing to export. "
                                     "Generate its schedule first."});
        QVERIFY(asked.isEmpty());
    }
};

QTEST_MAIN(TestGroupOutputs)
#include "tst_groupoutputs.moc"
