#include "exportfixture.h"
#include "export/exports.h"
#include "export/icsexport.h"
#include <QtTest>
#include <libical/ical.h>

namespace {

// A calendar parsed by libical, checked against the format's rules.
struct Parsed {
    icalcomponent* cal = nullptr;
    explicit Parsed(const QByteArray& text) : cal(icalparser_parse_string(text.constData())) {}
    ~Parsed() { icalcomponent_free(cal); }
    Parsed(const Parsed&) = delete;

    // The parser's and the format rules' complaints, anywhere in the calendar.
    QStringList errors()
    {
        icalrestriction_check(cal);
        QStringList out;
        collect(cal, out);
        return out;
    }
    static void collect(icalcomponent* c, QStringList& out)
    {
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY))
            out << QString::fromUtf8(icalproperty_get_xlicerror(p));
        for (icalcomponent* k = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); k;
             k = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
            collect(k, out);
    }
    QVector<icalcomponent*> events() const
    {
        QVector<icalcomponent*> out;
        for (icalcomponent* e = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT))
            out << e;
        return out;
    }
    icalcomponent* event(const QString& uid) const
    {
        for (icalcomponent* e : events())
            if (QString::fromUtf8(icalcomponent_get_uid(e)) == uid)
                return e;
        return nullptr;
    }
};

QString text(const char* value)
{
    return QString::fromUtf8(value ? value : "");
}

QDateTime startUtc(icalcomponent* event)
{
    const icaltimetype t = icalcomponent_get_dtstart(event);
    return QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(t, t.zone), Qt::UTC);
}

CalendarOptions newYork()
{
    CalendarOptions o;
    o.zone = QTimeZone("America/New_York");
    o.stamp = QDateTime(QDate(2027, 3, 1), QTime(12, 0), Qt::UTC);
    return o;
}

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}   // namespace

class TestIcsExport : public QObject {
    Q_OBJECT
private slots:
    void groupCalendarParsesWithLocalTimes();
    void playerCalendarTellsWhoWithAndTheBalls();
    void textIsEscapedAndFolded();
    void reexportKeepsUidsAndCancelsDatesThatLeft();
    void everyPlayerGetsACalendar();
    void uidsBelongToTheDatabase();
};

void TestIcsExport::groupCalendarParsesWithLocalTimes()
{
    HandSeason h;
    const Season s = loadSeason(h.db(), h.groupId);
    Parsed p(Ics::groupCalendar(s, h.db().calendarId(), newYork()));
    QVERIFY(p.cal);
    {
        const QStringList e = p.errors();
        QVERIFY2(e.isEmpty(), qPrintable(e.join(" | ")));
    }
    QCOMPARE(p.events().size(), 4);
    icalcomponent* d1 = p.event(Ics::eventUid(h.db().calendarId(), h.groupId, 0, h.d[1]));
    icalcomponent* d2 = p.event(Ics::eventUid(h.db().calendarId(), h.groupId, 0, h.d[2]));
    QVERIFY(d1 && d2);
    // 09:00 in New York: UTC-5 before daylight saving time begins, UTC-4 after.
    QCOMPARE(startUtc(d1), QDateTime(QDate(2027, 3, 8), QTime(14, 0), Qt::UTC));
    QCOMPARE(startUtc(d2), QDateTime(QDate(2027, 3, 15), QTime(13, 0), Qt::UTC));
    QCOMPARE(text(icaltimezone_get_tzid(const_cast<icaltimezone*>(icalcomponent_get_dtstart(d1).zone))),
             QString("America/New_York"));
    const icaltimetype end = icalcomponent_get_dtend(d1);
    QCOMPARE(QDateTime::fromSecsSinceEpoch(icaltime_as_timet_with_zone(end, end.zone), Qt::UTC),
             QDateTime(QDate(2027, 3, 8), QTime(15, 30), Qt::UTC));
    QCOMPARE(text(icalcomponent_get_location(d1)), QString("Court A"));
    QCOMPARE(text(icalcomponent_get_summary(d1)), QString("Monday Doubles"));
    const QString description = text(icalcomponent_get_description(d1));
    QVERIFY2(description.startsWith("Court A: 1. Ann \"Jo\" O'Neil, Jr & 2. Bob Brown v. 3. Cy Cole & 4. Di Dunn\n"
                                    "Brings the balls: 1. Ann \"Jo\" O'Neil, Jr\nSits out: 5. Zoë Élan\n"),
             qPrintable(description));
    QVERIFY(description.endsWith("Bring water; park behind the hall, please.\nNew balls: Zoë"));
    QCOMPARE(icalcomponent_get_status(d1), ICAL_STATUS_CONFIRMED);
}

void TestIcsExport::playerCalendarTellsWhoWithAndTheBalls()
{
    HandSeason h;
    const Season s = loadSeason(h.db(), h.groupId);
    Parsed p(Ics::playerCalendar(s, h.players[3], h.db().calendarId(), newYork()));
    {
        const QStringList e = p.errors();
        QVERIFY2(e.isEmpty(), qPrintable(e.join(" | ")));
    }
    QCOMPARE(p.events().size(), 4);   // Cy plays every date
    const QString d2 = text(
        icalcomponent_get_description(p.event(Ics::eventUid(h.db().calendarId(), h.groupId, h.players[3], h.d[2]))));
    QVERIFY2(d2.startsWith("Court: Court A\nPartner: Ann \"Jo\" O'Neil, Jr\nOpponents: Bob Brown, Zoë Élan\n"
                           "You bring the balls\n"),
             qPrintable(d2));
    const QString d1 = text(
        icalcomponent_get_description(p.event(Ics::eventUid(h.db().calendarId(), h.groupId, h.players[3], h.d[1]))));
    QVERIFY2(!d1.contains("You bring the balls"), qPrintable(d1));
    QVERIFY(d1.startsWith("Court: Court A\nPartner: Di Dunn\nOpponents: Ann \"Jo\" O'Neil, Jr, Bob Brown\n"));

    Parsed di(Ics::playerCalendar(s, h.players[4], h.db().calendarId(), newYork()));
    QCOMPARE(di.events().size(), 1);
}

void TestIcsExport::textIsEscapedAndFolded()
{
    QCOMPARE(Ics::escapeText("a,b;c\\d\ne"), QString("a\\,b\\;c\\\\d\\ne"));
    // 200 two-byte characters: no line over 75 octets, no character cut in two.
    const QByteArray folded = Ics::foldLine(("DESCRIPTION:" + QString(200, QChar(0xE9))).toUtf8());
    for (const QByteArray& line : folded.split('\n')) {
        QVERIFY(line.size() <= 76);   // 75 and the CR
        QVERIFY(QString::fromUtf8(line).indexOf(QChar::ReplacementCharacter) < 0);
    }
    HandSeason h;
    h.exec("UPDATE \"group\" SET NOTES = ?", {QString("x").repeated(300) + ", \\ ; Zoë"});
    const QByteArray cal = Ics::groupCalendar(loadSeason(h.db(), h.groupId), h.db().calendarId(), newYork());
    for (const QByteArray& line : cal.split('\n'))
        QVERIFY2(line.size() <= 76, line.constData());
    Parsed p(cal);
    {
        const QStringList e = p.errors();
        QVERIFY2(e.isEmpty(), qPrintable(e.join(" | ")));
    }
    QVERIFY(
        text(icalcomponent_get_description(p.events().first())).endsWith(QString("x").repeated(300) + ", \\ ; Zoë"));
}

void TestIcsExport::reexportKeepsUidsAndCancelsDatesThatLeft()
{
    HandSeason h;
    const QString file = h.dir.filePath("di.ics");
    const int di = h.players[4];
    QCOMPARE(Exports::writeCalendar(h.db(), loadSeason(h.db(), h.groupId), di, file, newYork()), QString());
    const QByteArray first = readAll(file);

    // By hand: Di leaves d1 (Zoë takes her place) and plays d4 instead of Zoë.
    h.exec("UPDATE SCHEDULE SET GRPPLAYRID = ? WHERE GRPPLAYRID = ? AND DATE = ?",
           {h.entries[5], h.entries[4], h.d[1].toString(Qt::ISODate)});
    h.exec("UPDATE SCHEDULE SET GRPPLAYRID = ? WHERE GRPPLAYRID = ? AND DATE = ?",
           {h.entries[4], h.entries[5], h.d[4].toString(Qt::ISODate)});
    QCOMPARE(Exports::writeCalendar(h.db(), loadSeason(h.db(), h.groupId), di, file, newYork()), QString());
    {
        Parsed p(readAll(file));
        {
            const QStringList e = p.errors();
            QVERIFY2(e.isEmpty(), qPrintable(e.join(" | ")));
        }
        QCOMPARE(p.events().size(), 2);
        icalcomponent* gone = p.event(Ics::eventUid(h.db().calendarId(), h.groupId, di, h.d[1]));
        QVERIFY(gone);   // the same UID, so the program updates it
        QCOMPARE(icalcomponent_get_status(gone), ICAL_STATUS_CANCELLED);
        QCOMPARE(icalcomponent_get_sequence(gone), 1);
        QCOMPARE(startUtc(gone), QDateTime(QDate(2027, 3, 8), QTime(14, 0), Qt::UTC));
        icalcomponent* added = p.event(Ics::eventUid(h.db().calendarId(), h.groupId, di, h.d[4]));
        QVERIFY(added);
        QCOMPARE(icalcomponent_get_status(added), ICAL_STATUS_CONFIRMED);
        QCOMPARE(icalcomponent_get_sequence(added), 0);
    }
    // Exported again unchanged, a week later: the cancellation stays, nothing
    // is counted up or stamped anew, so the file stays as it was.
    const QByteArray second = readAll(file);
    CalendarOptions later = newYork();
    later.stamp = later.stamp.addDays(7);
    QCOMPARE(Exports::writeCalendar(h.db(), loadSeason(h.db(), h.groupId), di, file, later), QString());
    QCOMPARE(readAll(file), second);

    // Di back on d1: the event returns, confirmed, with a higher sequence.
    h.exec("UPDATE SCHEDULE SET GRPPLAYRID = ? WHERE GRPPLAYRID = ? AND DATE = ?",
           {h.entries[4], h.entries[5], h.d[1].toString(Qt::ISODate)});
    QCOMPARE(Exports::writeCalendar(h.db(), loadSeason(h.db(), h.groupId), di, file, newYork()), QString());
    Parsed p(readAll(file));
    icalcomponent* back = p.event(Ics::eventUid(h.db().calendarId(), h.groupId, di, h.d[1]));
    QCOMPARE(icalcomponent_get_status(back), ICAL_STATUS_CONFIRMED);
    QCOMPARE(icalcomponent_get_sequence(back), 2);
    QVERIFY(first.contains(Ics::eventUid(h.db().calendarId(), h.groupId, di, h.d[1]).toUtf8()));

    // Another calendar's events in the replaced file are not taken over.
    const QString group = h.dir.filePath("group.ics");
    QCOMPARE(Exports::writeCalendar(h.db(), loadSeason(h.db(), h.groupId), 0, file, newYork()), QString());
    QVERIFY(!readAll(file).contains("CANCELLED"));
    Q_UNUSED(group);
}

void TestIcsExport::everyPlayerGetsACalendar()
{
    HandSeason h;
    const Season s = loadSeason(h.db(), h.groupId);
    QStringList files;
    QCOMPARE(Exports::writeEveryCalendar(h.db(), s, h.dir.path(), &files, newYork()), QString());
    QCOMPARE(files.size(), 5);
    QVERIFY(
        files.contains(QDir(h.dir.path()).filePath("Monday Doubles - Ann \"Jo\" O'Neil, Jr.ics").replace('"', '-')));
    int events = 0;
    for (const QString& f : files) {
        Parsed p(readAll(f));
        {
            const QStringList e = p.errors();
            QVERIFY2(e.isEmpty(), qPrintable(e.join(" | ")));
        }
        events += int(p.events().size());
    }
    QCOMPARE(events, 4 + 4 + 4 + 1 + 3);   // the dates each entry plays
    const QString error = Exports::writeEveryCalendar(h.db(), s, h.dir.filePath("nowhere"), nullptr, newYork());
    QVERIFY2(error.contains("is not a folder"), qPrintable(error));
}

void TestIcsExport::uidsBelongToTheDatabase()
{
    // Two clubs' files with the same group on the same dates.
    HandSeason a, b;
    const QString id = a.db().calendarId();
    QVERIFY2(QRegularExpression("^[0-9a-f]{32}$").match(id).hasMatch(), qPrintable(id));
    QVERIFY(id != b.db().calendarId());
    const auto uids = [](const QByteArray& cal) {
        QStringList out;
        const Parsed p(cal);
        for (icalcomponent* e : p.events())
            out << text(icalcomponent_get_uid(e)) + ' ' +
                       text(icalproperty_status_to_string(icalcomponent_get_status(e)));
        return out;
    };
    const QStringList ofA = uids(Ics::groupCalendar(loadSeason(a.db(), a.groupId), id, newYork()));
    QCOMPARE(ofA.size(), 4);
    QCOMPARE(ofA.first(), "vantrel-" + id + "-g" + QString::number(a.groupId) + "-d20270308@vantrel CONFIRMED");
    for (const QString& uid : uids(Ics::groupCalendar(loadSeason(b.db(), b.groupId), b.db().calendarId())))
        QVERIFY(!ofA.contains(uid));

    // The other club's calendar at the same file is replaced, not cancelled.
    const QString file = a.dir.filePath("club.ics");
    QCOMPARE(Exports::writeCalendar(b.db(), loadSeason(b.db(), b.groupId), 0, file, newYork()), QString());
    QCOMPARE(Exports::writeCalendar(a.db(), loadSeason(a.db(), a.groupId), 0, file, newYork()), QString());
    QCOMPARE(uids(readAll(file)), ofA);

    // The same UIDs once the database is closed and opened again.
    a.dm.reset();
    a.dm = std::make_unique<Tdmglobal>(a.dir.path());
    QCOMPARE(a.db().calendarId(), id);
    QCOMPARE(uids(Ics::groupCalendar(loadSeason(a.db(), a.groupId), a.db().calendarId(), newYork())), ofA);

    // A file exported before UIDs carried the id: its events are cancelled
    // for the new ones to take their place.
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(Ics::groupCalendar(loadSeason(a.db(), a.groupId), QString(), newYork()));
    old.close();
    QCOMPARE(Exports::writeCalendar(a.db(), loadSeason(a.db(), a.groupId), 0, file, newYork()), QString());
    const QStringList upgraded = uids(readAll(file));
    QCOMPARE(upgraded.mid(0, 4), ofA);
    QCOMPARE(upgraded.size(), 8);
    for (const QString& uid : upgraded.mid(4))
        QVERIFY2(uid.startsWith(QString("vantrel-g%1-d2027").arg(a.groupId)) && uid.endsWith(" CANCELLED"),
                 qPrintable(uid));
}

QTEST_MAIN(TestIcsExport)
#include "tst_icsexport.moc"
