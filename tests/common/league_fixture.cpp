#include "league_fixture.h"
#include "engine_fixture.h"
#include "data/datamodule.h"
#include "data/query.h"
#include "data/table.h"
#include <QFile>

LeagueFixture::LeagueFixture()
{
    QFile::remove(Database::fileName(dir.path()));
    dm = std::make_unique<Tdmglobal>(dir.path());
}

LeagueFixture::~LeagueFixture()
{
    pairing.reset();
    engine.reset();
    dm.reset();
}

Database& LeagueFixture::db()
{
    return dm->database();
}

int LeagueFixture::addPlayer(int n)
{
    Query q(db(), "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME) VALUES (:f, :l)");
    q.setString("f", QString("First%1").arg(n));
    q.setString("l", QString("Last%1").arg(n));
    q.prepare();
    q.execSql();
    return q.lastInsertId().toInt();
}

void LeagueFixture::createLeague(const LeagueSettings& s)
{
    settings = s;
    static const char* const days[] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};
    QString cols = "NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE";
    QString vals = ":name, :start, :rounds, :num, :type, 2";
    for (int d : s.weekdays) {
        cols += QString(", ") + days[d - 1];
        vals += ", 1";
    }
    Query g(db(), "INSERT INTO \"group.DB\" (" + cols + ") VALUES (" + vals + ")");
    g.setString("name", "League");
    g.setDate("start", s.start);
    g.setInteger("rounds", s.rounds);
    g.setInteger("num", 2 * s.courts);
    g.setInteger("type", s.matchType);
    g.prepare();
    g.execSql();
    groupId = g.lastInsertId().toInt();

    Query e(db(), "INSERT INTO \"GRPPLAYR.db\" (GROUPPLAYERID, GROUPID, PLAYERID, SHARESLOTID, GRPSEQNUM,"
                  " PRIORITY, BBPRIORITY, SESPLAYED) VALUES (:id, :g, :p, :partner, :seq, 5000, 5000, 0)");
    e.prepare();
    for (int i = 0; i < s.entries; ++i) {
        e.setParam("id", s.firstEntryId ? QVariant(s.firstEntryId + i) : QVariant());
        e.setInteger("g", groupId);
        e.setInteger("p", addPlayer(2 * i));
        e.setParam("partner", s.matchType == 2 ? QVariant(addPlayer(2 * i + 1)) : QVariant());
        e.setInteger("seq", i + 1);
        e.execSql();
        entries.append(e.lastInsertId().toInt());
    }
    Query c(db(), "INSERT INTO \"COURTS.db\" (NAME) VALUES (:n)");
    Query cs(db(), "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:c, :g)");
    c.prepare();
    cs.prepare();
    for (int i = 0; i < s.courts; ++i) {
        c.setString("n", QString("Court %1").arg(i + 1));
        c.execSql();
        courts.append(c.lastInsertId().toInt());
        cs.setInteger("c", courts.last());
        cs.setInteger("g", groupId);
        cs.execSql();
    }
    reloadEngine();
}

void LeagueFixture::reloadEngine()
{
    if (!host)
        host = std::make_unique<ScriptedHost>();
    pairing.reset();
    engine = std::make_unique<ScheduleEngine>(db(), groupId, *host, random, state);
    pairing = engine->makeLeaguePairing();
}

double LeagueFixture::sessionTotal() const
{
    const int p = int(entries.size());
    return settings.courts == 0 ? 0 : (p - 1) * (p * 0.5) * settings.rounds / settings.courts;
}

void LeagueFixture::startRun()
{
    state = RunState{};
    state.entryCount = int(entries.size());
    state.playersPerSession = 2 * settings.courts;
    reloadEngine();
    pairing->StartRun(settings.rounds);
    engine->ResetPriorities();
    engine->writePlan();
}

void LeagueFixture::scheduleDate(const QDate& date)
{
    pairing->ScheduleLeagueDate(date);
    engine->UpdatePriorities(date);
    pairing->WeighMatches();
    engine->writePlan();
}

QVector<QDate> LeagueFixture::run(bool untilComplete)
{
    startRun();
    const double total = sessionTotal();
    QVector<QDate> dates;
    QDate current = settings.start;
    const int cap = int(total) * 3 + 100;
    auto more = [&] {
        return dates.size() < total || (untilComplete && !pairing->AllRoundsPlayed() && dates.size() < cap);
    };
    while (more()) {
        for (int k = 1; k <= 7 && more(); ++k) {
            if (!settings.weekdays.contains(k))
                continue;
            current = current.addDays(k - (current.dayOfWeek() % 7 + 1));
            dates.append(current);
            scheduleDate(current);
        }
        current = current.addDays(7);
    }
    return dates;
}

QVector<LeagueMatch> LeagueFixture::matches()
{
    Query q(db(), "SELECT \"DATE\", GRPPLAYRID, VSGRPPLAYRID, SLOTCODE, SLOTCODE2, GRPCOURTID FROM \"SCHEDULE.db\""
                  " WHERE VSGRPPLAYRID IS NOT NULL ORDER BY \"DATE\", SCHEDULEID");
    q.prepare();
    q.open();
    QVector<LeagueMatch> out;
    for (q.first(); !q.eof(); q.next()) {
        LeagueMatch m;
        m.date = q.asDate("DATE");
        m.pid1 = q.asInt("GRPPLAYRID");
        m.pid2 = q.asInt("VSGRPPLAYRID");
        m.slot1 = q.asInt("SLOTCODE");
        m.slot2 = q.asInt("SLOTCODE2");
        m.court = q.asInt("GRPCOURTID");
        m.courtIndex = int(courts.indexOf(m.court));
        out.append(m);
    }
    return out;
}

int LeagueFixture::scheduleRows()
{
    Query q(db(), "SELECT COUNT(*) AS N FROM \"SCHEDULE.db\"");
    q.prepare();
    q.open();
    return q.asInt("N");
}

int LeagueFixture::rowsOf(int entry)
{
    Query q(db(), "SELECT COUNT(*) AS N FROM \"SCHEDULE.db\" WHERE GRPPLAYRID = :e");
    q.setInteger("e", entry);
    q.prepare();
    q.open();
    return q.asInt("N");
}

double LeagueFixture::sessionsPlayed(int entry)
{
    Query q(db(), "SELECT SESPLAYED FROM \"GRPPLAYR.db\" WHERE GROUPPLAYERID = :e");
    q.setInteger("e", entry);
    q.prepare();
    q.open();
    return q.asFloat("SESPLAYED");
}

double LeagueFixture::priority(int entry)
{
    Query q(db(), "SELECT PRIORITY FROM \"GRPPLAYR.db\" WHERE GROUPPLAYERID = :e");
    q.setInteger("e", entry);
    q.prepare();
    q.open();
    return q.asFloat("PRIORITY");
}

int LeagueFixture::openPairings()
{
    Query q(db(), "SELECT COUNT(*) AS N FROM \"MATCHES.db\" WHERE PLAYED IS NULL OR PLAYED = False");
    q.prepare();
    q.open();
    return q.asInt("N");
}
