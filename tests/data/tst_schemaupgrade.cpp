// Opening a file of an earlier release: upgraded in place with a copy kept,
// every row kept, the message given once; failures leave the file as it was.
#include "data/database.h"
#include "data/dberror.h"
#include "data/schema.h"
#include "data/schemaupgrade.h"
#include "datarows.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Runs statements on a file through a connection of its own, outside Database.
QVariantList rawQuery(const QString& path, const QStringList& statements)
{
    QVariantList last;
    {
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", "raw");
        c.setDatabaseName(path);
        c.open();
        QSqlQuery q(c);
        for (const QString& sql : statements) {
            if (!q.exec(sql))
                qFatal("%s", qPrintable(sql));
            last.clear();
            while (q.next())
                last << q.value(0);
        }
        c.close();
    }
    QSqlDatabase::removeDatabase("raw");
    return last;
}

// A file as release `version` wrote it: today's tables without what came
// since, holding a little of everything.
void makeOlderFile(const QString& dir, int version = 1)
{
    {
        Database db(dir);
        db.exec("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Ann', 'Alder')");
        db.exec("INSERT INTO PLAYERS (FNAME, LNAME) VALUES ('Bob', 'Birch')");
        db.exec("INSERT INTO \"group\" (NAME, STARTDATE, DURATION, NumPerSes, TYPE, RTYPE, BBON, MONDAY) "
                "VALUES ('Monday Doubles', '2026-01-05', 10, 4, 2, 1, 1, 1)");
        db.exec("INSERT INTO GRPPLAYR (GROUPID, PLAYERID, GRPSEQNUM, SESPLAYED) VALUES (1, 1, 1, 3)");
        db.exec("INSERT INTO GRPPLAYR (GROUPID, PLAYERID, GRPSEQNUM, SESPLAYED) VALUES (1, 2, 2, 4)");
        db.exec(
            "INSERT INTO SCHEDULE (GRPPLAYRID, DATE, GRPCOURTID, SLOTCODE, HOME) VALUES (1, '2026-01-05', 1, 1, 1)");
        db.exec("INSERT INTO PLAYROFF (PLAYERID, DATE) VALUES (2, '2026-01-12')");
    }
    QStringList undo;
    for (const TableDef& t : Schema::tables())
        if (t.hasRowVersion())
            undo << QString("ALTER TABLE %1 DROP COLUMN ROWVER").arg(t.sqlName());
    if (version < 4)
        undo << "ALTER TABLE PLAYERS DROP COLUMN EMAIL"
             << "ALTER TABLE PLAYERS DROP COLUMN LINKTOKEN"
             << "DROP TABLE SCHEDLOG";
    if (version < 3)
        undo << "DROP TABLE VANTREL_META";
    if (version < 2)
        undo << "ALTER TABLE \"group\" DROP COLUMN MIXPAIRS";
    rawQuery(Database::fileName(dir), undo << QString("PRAGMA user_version = %1").arg(version));
}

// Every row of every table of the first release, as text.
QStringList contents(const QString& path)
{
    QStringList rows;
    for (const char* table : {"PLAYERS", "\"group\"", "GRPPLAYR", "SCHEDULE", "PLAYROFF", "FIELDDEF", "LABEL"}) {
        QStringList columns;
        for (const QVariant& c :
             rawQuery(path, {QString("SELECT name FROM pragma_table_info('%1')").arg(QString(table).remove('"'))}))
            if (!SchemaUpgrade::addedAfter(1, QString(table).remove('"'), c.toString()))
                columns << '"' + c.toString() + '"';
        for (const QVariant& r :
             rawQuery(path, {QString("SELECT %1 FROM %2 ORDER BY 1").arg(columns.join(" || '|' || "), table)}))
            rows << QString(table) + ':' + r.toString();
    }
    return rows;
}

}   // namespace

class TestSchemaUpgrade : public QObject {
    Q_OBJECT
private slots:
    void olderFileUpgradesWithEverythingKept_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("first release") << 1;
        QTest::newRow("before the calendar id") << 2;
        QTest::newRow("before e-mail") << 3;
        QTest::newRow("before row versions") << 4;
    }

    void olderFileUpgradesWithEverythingKept()
    {
        QFETCH(int, version);
        QTemporaryDir dir;
        makeOlderFile(dir.path(), version);
        const QString file = Database::fileName(dir.path());
        const QString copy = file + QString(".v%1.bak").arg(version);
        const QStringList before = contents(file);
        QVERIFY(before.size() > 10);

        {
            Database db(dir.path());
            QVERIFY(db.upgradeNotice().contains("was upgraded"));
            QVERIFY(db.upgradeNotice().contains(QDir::toNativeSeparators(copy)));
            // A second Vantrel meanwhile finds the upgrade, still in the
            // write-ahead log, made: it neither makes it again nor says so.
            Database second(dir.path());
            QVERIFY(second.upgradeNotice().isEmpty());
        }
        QCOMPARE(rawQuery(file, {"PRAGMA user_version"}).value(0).toInt(), Schema::version);
        QCOMPARE(contents(file), before);
        // Existing groups keep today's seating until the option is switched on.
        QCOMPARE(rawQuery(file, {"SELECT MIXPAIRS FROM \"group\""}), QVariantList{0});
        // The file has a calendar id of its own.
        const QVariantList id = rawQuery(file, {"SELECT VALUE FROM VANTREL_META WHERE NAME = 'CALENDARID'"});
        QCOMPARE(id.size(), 1);
        QCOMPARE(id[0].toString().size(), 32);
        QCOMPARE(rawQuery(file, {"SELECT COUNT(*) FROM SCHEDLOG"}), QVariantList{0});
        QCOMPARE(rawQuery(file, {"SELECT DISTINCT ROWVER FROM PLAYERS"}), QVariantList{0});

        // The copy is the file as it was, and can be opened as such.
        QCOMPARE(rawQuery(copy, {"PRAGMA user_version"}).value(0).toInt(), version);
        QCOMPARE(contents(copy), before);
        QCOMPARE(rawQuery(copy, {"SELECT name FROM sqlite_master WHERE name = 'VANTREL_META'"}).isEmpty(), version < 3);
        QCOMPARE(rawQuery(copy, {"SELECT name FROM pragma_table_info('group') WHERE name = 'MIXPAIRS'"}).isEmpty(),
                 version < 2);

        // Once upgraded, the file opens without a word, keeps its id and the copy stays alone.
        Database again(dir.path());
        QVERIFY(again.upgradeNotice().isEmpty());
        QCOMPARE(again.calendarId(), id[0].toString());
        QCOMPARE(QDir(dir.path()).entryList({"*.bak"}), QStringList{QFileInfo(copy).fileName()});
    }

    void earlierCopyIsNeverOverwritten()
    {
        QTemporaryDir dir;
        makeOlderFile(dir.path());
        const QString file = Database::fileName(dir.path());
        QFile old(file + ".v1.bak");
        old.open(QIODevice::WriteOnly);
        old.write("kept");
        old.close();
        QCOMPARE(SchemaUpgrade::backupPath(file, 1), file + ".v1.2.bak");
        Database db(dir.path());
        QVERIFY(db.upgradeNotice().contains("vantrel.db.v1.2.bak"));
        QCOMPARE(digest(file + ".v1.bak"), QCryptographicHash::hash("kept", QCryptographicHash::Sha256));
        QVERIFY(QFile::exists(file + ".v1.2.bak"));
    }

    void failedUpgradeLeavesTheFileAsItWas()
    {
        QTemporaryDir dir;
        makeOlderFile(dir.path());
        const QString file = Database::fileName(dir.path());
        // A file that already has the column cannot take it again: the
        // upgrade fails halfway, after the copy was made.
        rawQuery(file, {"ALTER TABLE \"group\" ADD COLUMN MIXPAIRS INTEGER"});
        const QStringList before = contents(file);
        const QString message = openRefusal(dir.path());
        QVERIFY2(message.contains("could not be upgraded"), qPrintable(message));
        QCOMPARE(rawQuery(file, {"PRAGMA user_version"}).value(0).toInt(), 1);
        QCOMPARE(contents(file), before);
        QVERIFY(QDir(dir.path()).entryList({"*.bak"}).isEmpty());
    }

    void newerFileStillRefusedUntouched()
    {
        QTemporaryDir dir;
        {
            Database db(dir.path());
        }
        const QString file = Database::fileName(dir.path());
        rawQuery(file, {QString("PRAGMA user_version = %1").arg(Schema::version + 1)});
        const QByteArray before = digest(file);
        QVERIFY(openRefusal(dir.path()).contains("newer version"));
        QCOMPARE(digest(file), before);
        QVERIFY(QDir(dir.path()).entryList({"*.bak"}).isEmpty());
    }
};

QTEST_MAIN(TestSchemaUpgrade)
#include "tst_schemaupgrade.moc"
