// A season published to a folder: each player's page holds that player's
// dates and nobody's contact data, links stay the same from one publish to
// the next, a date taken from a player is sent to their feed as cancelled,
// and the pages read the same in a real browser served over HTTP.
#include "exportfixture.h"
#include "export/publish.h"
#include "export/publishpages.h"
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <libical/ical.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// STATUS and SEQUENCE of the event of a date in a feed, as libical reads them.
QPair<QString, int> eventState(const QByteArray& feed, const QDate& date)
{
    icalcomponent* cal = icalparser_parse_string(feed.constData());
    QPair<QString, int> state{QStringLiteral("missing"), -1};
    for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT))
        if (QString::fromUtf8(icalcomponent_get_uid(e)).endsWith(date.toString("'-d'yyyyMMdd'@vantrel'")))
            state = {QString::fromUtf8(icalproperty_status_to_string(icalcomponent_get_status(e))),
                     icalcomponent_get_sequence(e)};
    icalcomponent_free(cal);
    return state;
}

}   // namespace

class TestPublish : public QObject {
    Q_OBJECT

    PublishOutcome publish(HandSeason& fx, const QString& folder)
    {
        PublishRequest r;
        r.groupIds = {fx.groupId};
        r.folder = folder;
        r.baseUrl = QStringLiteral("https://club.example/monday");
        return publishSeasons(fx.db(), r);
    }

private slots:
    void eachPageHoldsItsPlayersDatesAndNoContactData()
    {
        HandSeason fx(QStringLiteral("Monday <script>alert(1)</script>"));
        fx.exec("UPDATE PLAYERS SET PHONE1 = '(555)234-5678', STREET1 = '12 Elm Street', "
                "EMAIL = 'p' || PLAYERID || '@mail.example'");
        QTemporaryDir dir;
        const PublishOutcome done = publish(fx, dir.path());
        QVERIFY2(done.error.isEmpty(), qPrintable(done.error));
        QCOMPARE(done.players, 5);

        const QHash<int, QString> tokens = PlayerLinks::tokensOf(fx.db(), {});
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(files.size(), 1 + 2 * 5);
        for (const QString& f : files) {
            const QString page = QString::fromUtf8(readAll(dir.filePath(f)));
            for (const char* secret : {"234-5678", "Elm Street", "@mail.example"})
                QVERIFY2(!page.contains(QString::fromUtf8(secret)), qPrintable(f + " holds " + secret));
            // A calendar holds the name as text; a page must never run it.
            QVERIFY(f.endsWith(".ics") || !page.contains("<script>"));
        }
        // Entry k plays the dates the fixture's table gives it.
        const QVector<int> datesOf{0, 4, 4, 4, 1, 3};
        for (int k = 1; k <= 5; ++k) {
            const QString token = tokens.value(fx.players[k]);
            QCOMPARE(token.size(), 22);
            const QString page = QString::fromUtf8(readAll(dir.filePath(token + ".html")));
            QCOMPARE(page.count("<li><b>"), datesOf[k]);
            QVERIFY(page.contains("webcal://club.example/monday/" + token + ".ics"));
            // The organiser is told each player's link to send.
            QVERIFY(done.linksText().contains("https://club.example/monday/" + token + ".html"));
        }
        const QString four = QString::fromUtf8(readAll(dir.filePath(tokens.value(fx.players[4]) + ".html")));
        QVERIFY(four.contains("Your days off") && four.contains("Mon 15 Mar 2027"));

        // A real browser, over HTTP, shows the same page.
        const QString browser = QStandardPaths::findExecutable("chromium-headless-shell");
        if (browser.isEmpty())
            QSKIP("chromium-headless-shell is not installed");
        QProcess server;
        server.setWorkingDirectory(dir.path());
        server.start("python3", {"-u", "-m", "http.server", "--bind", "127.0.0.1", "0"});
        QVERIFY(server.waitForReadyRead(10000));
        const QString port = QRegularExpression("port (\\d+)").match(QString::fromUtf8(server.readAll())).captured(1);
        QVERIFY(!port.isEmpty());
        QProcess chrome;
        chrome.start(browser, {"--no-sandbox", "--dump-dom",
                               QString("http://127.0.0.1:%1/%2.html").arg(port, tokens.value(fx.players[1]))});
        QVERIFY(chrome.waitForFinished(60000));
        server.kill();
        server.waitForFinished();
        const QString dom = QString::fromUtf8(chrome.readAllStandardOutput());
        QVERIFY2(dom.contains("The dates of <bdi>Ann \"Jo\" O.</bdi>"), qPrintable(dom.left(2000)));
        QCOMPARE(dom.count("<li><b>"), datesOf[1]);
    }

    void republishCancelsATakenDateKeepsLinksAndDropsLeavers()
    {
        HandSeason fx;
        QTemporaryDir dir;
        QVERIFY(publish(fx, dir.path()).error.isEmpty());
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        const QHash<int, QString> tokens = PlayerLinks::tokensOf(fx.db(), {});

        // Di takes Bob's place on the last date; Zoë leaves the group.
        fx.exec("UPDATE SCHEDULE SET GRPPLAYRID = ? WHERE GRPPLAYRID = ? AND DATE = ?",
                {fx.entries[4], fx.entries[2], fx.d[4].toString(Qt::ISODate)});
        fx.exec("DELETE FROM SCHEDULE WHERE GRPPLAYRID = ?", {fx.entries[5]});
        fx.exec("DELETE FROM GRPPLAYR WHERE GROUPPLAYERID = ?", {fx.entries[5]});
        const PublishOutcome again = publish(fx, dir.path());
        QVERIFY2(again.error.isEmpty(), qPrintable(again.error));
        QCOMPARE(again.removed, 2);
        QStringList after = before;
        after.removeAll(tokens.value(fx.players[5]) + ".html");
        after.removeAll(tokens.value(fx.players[5]) + ".ics");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), after);

        const QByteArray bob = readAll(dir.filePath(tokens.value(fx.players[2]) + ".ics"));
        QVERIFY(bob.contains("REFRESH-INTERVAL;VALUE=DURATION:PT1H\r\n"));
        QCOMPARE(eventState(bob, fx.d[4]), qMakePair(QString("CANCELLED"), 1));
        QCOMPARE(eventState(readAll(dir.filePath(tokens.value(fx.players[4]) + ".ics")), fx.d[4]).first,
                 QString("CONFIRMED"));

        // A folder that cannot be made is told, and nothing is written.
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const PublishOutcome refused = publish(fx, dir.filePath("blocker/web"));
        QVERIFY2(refused.error.contains("cannot be made"), qPrintable(refused.error));
        QCOMPARE(refused.players, 0);
    }
};

QTEST_MAIN(TestPublish)
#include "tst_publish.moc"
