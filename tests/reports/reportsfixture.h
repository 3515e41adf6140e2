#pragma once
// Test data for the printed reports: a temporary database, its own settings
// file, and rows written through the data layer.
#include "data/datamodule.h"
#include "data/query.h"
#include "reportengine/pageops.h"
#include "reports/schedulereport.h"
#include <QCoreApplication>
#include <QDate>
#include <QSettings>
#include <QTemporaryDir>
#include <QTime>
#include <memory>

class ReportsFixture {
public:
    ReportsFixture()
    {
        QCoreApplication::setOrganizationName("Vantrel");
        QCoreApplication::setApplicationName("Vantrel");
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("settings"));
        dm = std::make_unique<Tdmglobal>(dir.path());
    }

    Database& db() { return dm->database(); }
    QString path(const QString& name) const { return dir.filePath(name); }

    int addPlayer(const QString& first, const QString& last, const QString& phone = {}, const QString& street1 = {},
                  const QString& street2 = {}, const QString& city = {}, const QString& state = {},
                  const QString& zip = {})
    {
        Query q(db(), "INSERT INTO \"PLAYERS.db\" (FNAME, LNAME, PHONE1, STREET1, STREET2, CITY, STATE, ZIPCODE) "
                      "VALUES (:f, :l, :p, :s1, :s2, :c, :st, :z)");
        q.setParam("f", orNull(first));
        q.setParam("l", orNull(last));
        q.setParam("p", orNull(phone));
        q.setParam("s1", orNull(street1));
        q.setParam("s2", orNull(street2));
        q.setParam("c", orNull(city));
        q.setParam("st", orNull(state));
        q.setParam("z", orNull(zip));
        q.execSql();
        return q.lastInsertId().toInt();
    }

    int addCourt(const QString& name)
    {
        Query q(db(), "INSERT INTO \"COURTS.db\" (NAME) VALUES (:n)");
        q.setString("n", name);
        q.execSql();
        return q.lastInsertId().toInt();
    }

    struct GroupShape {
        QString name = "Tuesday Ladies";
        int rtype = 1, type = 1;
        bool bbon = false;
        QTime start = QTime(9, 0), end = QTime(10, 30);
        QString notes;
    };

    int addGroup(const GroupShape& g)
    {
        Query q(db(), "INSERT INTO \"group.DB\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, STIME, ETIME, RTYPE, "
                      "NOTES, BBON) VALUES (:n, :sd, 10, 4, :t, :st, :et, :r, :notes, :bb)");
        q.setString("n", g.name);
        q.setDate("sd", QDate(2027, 1, 5));
        q.setInteger("t", g.type);
        q.setParam("st", g.start.isValid() ? QVariant(g.start.toString("HH:mm:ss")) : QVariant());
        q.setParam("et", g.end.isValid() ? QVariant(g.end.toString("HH:mm:ss")) : QVariant());
        q.setInteger("r", g.rtype);
        q.setParam("notes", orNull(g.notes));
        q.setBool("bb", g.bbon);
        q.execSql();
        return q.lastInsertId().toInt();
    }

    void assignCourt(int groupId, int courtId)
    {
        Query q(db(), "INSERT INTO \"COURTSLT.db\" (COURTID, GROUPID) VALUES (:c, :g)");
        q.setInteger("c", courtId);
        q.setInteger("g", groupId);
        q.execSql();
    }

    int addEntry(int groupId, int playerId, int seq, QVariant partnerId = {})
    {
        Query q(db(), "INSERT INTO \"GRPPLAYR.db\" (GROUPID, PLAYERID, GRPSEQNUM, SHARESLOTID, PRIORITY, "
                      "BBPRIORITY, SESPLAYED) VALUES (:g, :p, :s, :share, 5000, 5000, 0)");
        q.setInteger("g", groupId);
        q.setInteger("p", playerId);
        q.setInteger("s", seq);
        q.setParam("share", partnerId);
        q.execSql();
        return q.lastInsertId().toInt();
    }

    void addScheduleRow(int entryId, const QDate& date, int courtId, int slotCode, bool home = false)
    {
        if (!scheduleInsert)
            scheduleInsert = std::make_unique<Query>(
                db(), "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\", GRPCOURTID, SLOTCODE, HOME) "
                      "VALUES (:e, :d, :c, :s, :h)");
        scheduleInsert->setInteger("e", entryId);
        scheduleInsert->setDate("d", date);
        scheduleInsert->setInteger("c", courtId);
        scheduleInsert->setInteger("s", slotCode);
        scheduleInsert->setBool("h", home);
        scheduleInsert->execSql();
    }

    // A group with `players` entries numbered 1.. and `courts` courts.
    struct Built {
        int groupId;
        QVector<int> entries;   // index 0 is entry number 1
        QVector<int> courts;
    };
    Built buildGroup(const GroupShape& g, int players, int courts)
    {
        Built b{addGroup(g), {}, {}};
        for (int c = 1; c <= courts; ++c) {
            b.courts << addCourt(QString("Court %1").arg(c));
            assignCourt(b.groupId, b.courts.last());
        }
        for (int p = 1; p <= players; ++p) {
            const int player = addPlayer(QString("First%1").arg(p), QString("Last%1").arg(p),
                                         QString("(555)000-%1").arg(p, 4, 10, QChar('0')));
            b.entries << addEntry(b.groupId, player, p);
        }
        return b;
    }

private:
    static QVariant orNull(const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); }

    QTemporaryDir dir;
    std::unique_ptr<Tdmglobal> dm;
    std::unique_ptr<Query> scheduleInsert;
};

// Lays the schedule report of a group out and returns its pages.
inline QVector<ReportPage> layoutSchedule(ReportsFixture& fx, int groupId)
{
    TScheduleReport report(fx.db());
    const QString missing = report.prepare(groupId);
    if (!missing.isEmpty())
        qWarning() << missing;
    return report.rsSchedule.generate();
}

// Page texts for assertions.
inline const TextOp* findText(const ReportPage& page, const QString& text)
{
    for (const PageOp& op : page.ops)
        if (const TextOp* t = std::get_if<TextOp>(&op); t && t->text == text)
            return t;
    return nullptr;
}

inline QStringList textsOf(const ReportPage& page)
{
    QStringList out;
    for (const TextOp& t : page.texts())
        out << t.text;
    return out;
}
