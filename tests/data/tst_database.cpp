#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/settings.h"
#include "data/textwidth.h"
#include "datarows.h"
#include "testlocation.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSettings>
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

// Everything in the directory but the database file itself.
QStringList besideTheFile(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    names.removeAll("vantrel.db");
    return names;
}

void execOn(const QString& path, const QStringList& statements)
{
    {
        auto c = QSqlDatabase::addDatabase("QSQLITE", "direct");
        c.setDatabaseName(path);
        QVERIFY(c.open());
        for (const QString& sql : statements)
            QVERIFY2(QSqlQuery(c).exec(sql), qPrintable(sql));
        c.close();
    }
    QSqlDatabase::removeDatabase("direct");
}

}   // namespace

// The database file: created with the schema, kept on reopening, foreign files refused.
class TestDatabase : public QObject {
    Q_OBJECT
private slots:
    void freshFileHasSchemaAndShippedRows()
    {
        QTemporaryDir dir;
        Database db(dir.path());
        QVERIFY(QFile::exists(Database::fileName(dir.path())));
        QSqlQuery q(db.connection());
        QVERIFY(q.exec("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'"));
        QStringList names;
        while (q.next())
            names << q.value(0).toString();
        names.sort(Qt::CaseInsensitive);
        QCOMPARE(names, (QStringList{"COURTS", "COURTSLT", "FIELDDEF", "group", "GROUPOFF", "GRPPLAYR", "LABEL",
                                     "MATCHES", "PLAYERS", "PLAYROFF", "SCHEDLOG", "SCHEDULE", "VANTREL_META"}));
        Query labels(db, "SELECT LBLCODE FROM \"LABEL.DB\" ORDER BY LBLCODE");
        labels.open();
        QCOMPARE(labels.recordCount(), 2);
        QCOMPARE(labels.asString("LBLCODE"), QString("lbAV5160"));
        Query rounds(db, "SELECT Label FROM \"FIELDDEF.db\" WHERE FormKey = 'leagues' AND Fieldkey = 'DBDURATION'");
        rounds.open();
        QCOMPARE(rounds.asString("Label"), QString("Number of Rounds:"));
        Query mode(db, "PRAGMA journal_mode");
        mode.open();
        QCOMPARE(mode.value(0).toString(), QString("wal"));
        QVERIFY_THROWS_EXCEPTION(DbError, db.exec("INSERT INTO \"group\" (NAME) VALUES ('x')"));
    }

    void reopeningKeepsData()
    {
        QTemporaryDir dir;
        {
            Database db(dir.path());
            db.exec("INSERT INTO COURTS (NAME) VALUES ('Centre')");
        }
        Database db(dir.path());
        Query q(db, "SELECT NAME FROM \"COURTS.db\"");
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.asString("NAME"), QString("Centre"));
        Query labels(db, "SELECT COUNT(*) FROM LABEL");
        labels.open();
        QCOMPARE(labels.value(0).toInt(), 2);   // shipped rows not written twice
    }

    void foreignFilesRefusedUntouched()
    {
        QTemporaryDir text;
        QFile f(Database::fileName(text.path()));
        f.open(QIODevice::WriteOnly);
        f.write("my shopping list\n");
        f.close();
        const QByteArray before = digest(f.fileName());
        QVERIFY(openRefusal(text.path()).contains("is not a Vantrel database"));
        QVERIFY(openRefusal(text.path()).contains(text.path()));
        QCOMPARE(digest(f.fileName()), before);

        QTemporaryDir other;   // an SQLite file of another program
        {
            auto c = QSqlDatabase::addDatabase("QSQLITE", "other");
            c.setDatabaseName(Database::fileName(other.path()));
            c.open();
            QSqlQuery(c).exec("CREATE TABLE notes (t TEXT)");
            c.close();
        }
        QSqlDatabase::removeDatabase("other");
        const QByteArray otherBefore = digest(Database::fileName(other.path()));
        QVERIFY(openRefusal(other.path()).contains("is not a Vantrel database"));
        QCOMPARE(digest(Database::fileName(other.path())), otherBefore);

        QTemporaryDir newer;
        {
            Database db(newer.path());
            db.exec("PRAGMA user_version = 99");
        }
        QVERIFY(openRefusal(newer.path()).contains("newer version"));
    }

    void unusableDirectoryExplained()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("plainfile"));
        blocker.open(QIODevice::WriteOnly);
        blocker.close();
        QVERIFY(openRefusal(blocker.fileName() + "/db").contains("Cannot create the database directory"));
        if (geteuid() != 0) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            QVERIFY(openRefusal(dir.path()).contains("Cannot write"));
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    void fileLeftEmptyByAFailedStartIsMadeAnew()
    {
        QTemporaryDir dir;
        QFile leftover(Database::fileName(dir.path()));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        Database db(dir.path());
        Query labels(db, "SELECT COUNT(*) FROM LABEL");
        labels.open();
        QCOMPARE(labels.value(0).toInt(), 2);
    }

    void fullDiskIsNamedAndNothingIsLeft()
    {
        QTemporaryDir fresh, existing;
        {
            Database db(existing.path());
        }
        const QByteArray before = digest(Database::fileName(existing.path()));
        Database::setFreeSpaceSource([](const QString&) { return qint64(4096); });
        const QString onCreate = openRefusal(fresh.path());
        const QString onOpen = openRefusal(existing.path());
        Database::setFreeSpaceSource({});
        QVERIFY2(onCreate.contains("is full"), qPrintable(onCreate));
        QVERIFY(QDir(fresh.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        QVERIFY2(onOpen.contains("is full") && !onOpen.contains("not a Vantrel database"), qPrintable(onOpen));
        QCOMPARE(digest(Database::fileName(existing.path())), before);
        QCOMPARE(besideTheFile(existing.path()), QStringList());
    }

    void damagedFileIsRefusedNamingWhatIsMissing()
    {
        QTemporaryDir noSchedule, noWorkPhone;
        for (const QString& d : {noSchedule.path(), noWorkPhone.path()})
            Database db(d);
        execOn(Database::fileName(noSchedule.path()), {"DROP TABLE SCHEDULE"});
        execOn(Database::fileName(noWorkPhone.path()), {"ALTER TABLE PLAYERS DROP COLUMN PHONE2"});
        const QByteArray before = digest(Database::fileName(noWorkPhone.path()));

        const QString schedule = openRefusal(noSchedule.path());
        QVERIFY2(schedule.contains("is damaged") && schedule.contains("SCHEDULE"), qPrintable(schedule));
        const QString phone = openRefusal(noWorkPhone.path());
        QVERIFY2(phone.contains("PLAYERS.PHONE2") && !phone.contains("SCHEDULE"), qPrintable(phone));
        QCOMPARE(digest(Database::fileName(noWorkPhone.path())), before);
        QCOMPARE(besideTheFile(noWorkPhone.path()), QStringList());
        QCOMPARE(besideTheFile(noSchedule.path()), QStringList());
    }

    void probesLeaveNothingBesideARefusedFile()
    {
        QTemporaryDir foreign, newer;
        execOn(Database::fileName(foreign.path()), {"PRAGMA journal_mode=WAL", "CREATE TABLE notes (t TEXT)"});
        {
            Database db(newer.path());
            db.exec("PRAGMA user_version = 7");
        }
        for (const QString& d : {foreign.path(), newer.path()}) {
            QVERIFY(!openRefusal(d).isEmpty());
            QCOMPARE(besideTheFile(d), QStringList());
        }
    }

    void unwritableFileOrDirectoryIsNamedNotCalledForeign()
    {
        if (geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QTemporaryDir dir;
        {
            Database db(dir.path());
        }
        const QString path = Database::fileName(dir.path());
        QFile::setPermissions(path, QFile::ReadOwner);
        const QString readOnlyFile = openRefusal(dir.path());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY2(readOnlyFile.contains("cannot be written"), qPrintable(readOnlyFile));

        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        const QString readOnlyDir = openRefusal(dir.path());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(readOnlyDir.contains("Cannot write to the database directory"), qPrintable(readOnlyDir));
        QVERIFY(!readOnlyDir.contains("not a Vantrel database"));
        QCOMPARE(besideTheFile(dir.path()), QStringList());
    }

    void engineErrorsAreToldInWords()
    {
        QTemporaryDir dir;
        Database db(dir.path());
        try {
            db.exec("INSERT INTO \"group\" (NAME) VALUES ('x')");
            QFAIL("a group without a start date was stored");
        } catch (const DbError& e) {
            const QStringList lines = e.message().split('\n');
            QCOMPARE(lines.size(), 2);
            QVERIFY(lines[0].startsWith("The change was refused"));
            QVERIFY2(lines[1].contains("NOT NULL"), qPrintable(lines[1]));
            QVERIFY(!e.message().contains("Unable to fetch row"));
        }
        QVERIFY(engineAdvice(13).contains("full"));
        QVERIFY(engineAdvice(517).startsWith("Another Vantrel is writing"));   // an extended busy code
        // The server's SQLSTATEs in the same sentences.
        QCOMPARE(serverAdvice("55P03"), BusyMessage);
        QCOMPARE(serverAdvice("23502"), engineAdvice(19));
        QCOMPARE(serverAdvice("40001"), GroupChangedMessage);
        QCOMPARE(serverAdvice("53100"), engineAdvice(13));
    }

    // An empty server database gets the schema; one holding other tables or
    // ours from a newer version is refused; the password is never shown.
    void serverDatabaseIsMadeOrRefused()
    {
        std::unique_ptr<TestLocation> place;
        VANTREL_OPEN_TEST_DATABASE(place, Engine::PostgreSQL);
        QUrl withPassword(place->location());
        withPassword.setPassword("secret");
        const QString name = withPassword.path().mid(1);
        {
            Database db(withPassword.toString());
            QVERIFY(db.isServer());
            QCOMPARE(db.displayName(), name + " on this computer");
            QVERIFY(!db.path().contains("secret"));
            QCOMPARE(Schema::storedVersion(db.connection()), Schema::version);
            Query shipped(db, "SELECT COUNT(*) FROM FIELDDEF");
            shipped.open();
            QVERIFY(shipped.value(0).toInt() > 0);
            QCOMPARE(db.calendarId().size(), 32);
            Schema::setStoredVersion(db.connection(), Schema::version + 1);
            // The server ends the session (restarted, or the network gone).
            TestLocation::admin(
                QString("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '%1'").arg(name));
            try {
                Query after(db, "SELECT COUNT(*) FROM PLAYERS");
                after.open();
                QFAIL("a query on a lost connection succeeded");
            } catch (const DbError& e) {
                QVERIFY2(e.message().startsWith("The connection to the database server was lost"),
                         qPrintable(e.message()));
            }
        }
        QVERIFY(openRefusal(place->location()).contains("newer version"));
        std::unique_ptr<TestLocation> foreign;
        VANTREL_OPEN_TEST_DATABASE(foreign, Engine::PostgreSQL);
        {
            Database db(foreign->location());
            db.exec("DROP TABLE VANTREL_META");
        }
        QVERIFY(openRefusal(foreign->location()).contains("holds other tables"));
        QVERIFY(openRefusal("postgresql://nobody@/postgres?host=/nonexistent").startsWith("Cannot connect"));
    }

    void datesPastTheLastYearAreNotWritten()
    {
        QTemporaryDir dir;
        Database db(dir.path());
        Table offs(db, "PLAYROFF.db");
        offs.open();
        offs.append();
        offs.setValue("PLAYERID", 1);
        offs.setValue("DATE", QDate(9999, 12, 31).addDays(1));
        QVERIFY_THROWS_EXCEPTION(DbError, offs.post());
        offs.setValue("DATE", QDate(9999, 12, 31));
        offs.post();
        Query add(db, "INSERT INTO \"SCHEDULE.db\" (GRPPLAYRID, \"DATE\") VALUES (1, :d)");
        QVERIFY_THROWS_EXCEPTION(DbError, add.setDate("d", QDate(10000, 1, 7)));
        QVERIFY_THROWS_EXCEPTION(DbError, add.setParam("d", QDate(10000, 1, 7)));
        Query stored(db, "SELECT \"DATE\" FROM \"PLAYROFF.db\"");
        stored.open();
        QCOMPARE(stored.recordCount(), 1);
        QCOMPARE(stored.asString("DATE"), QString("9999-12-31"));
    }

    void namesAreCutOnACharacterBoundary()
    {
        const QString tennis = QString::fromUtf8("\xF0\x9F\x8E\xBE");   // one character, two UTF-16 units
        QCOMPARE(tennis.size(), 2);
        const QString name = QString(24, 'a') + tennis;
        QCOMPARE(cutToWidth(name, 25), QString(24, 'a'));
        QCOMPARE(cutToWidth(QString(23, 'a') + tennis, 25), QString(23, 'a') + tennis);
        QCOMPARE(cutToWidth(QString(3, 'a') + tennis.left(1), 25), QString(3, 'a'));   // a half left by an editor
        QTemporaryDir dir;
        Database db(dir.path());
        Table players(db, "PLAYERS.db");
        players.open();
        players.append();
        players.setValue("FNAME", name);
        players.post();
        Query stored(db, "SELECT FNAME FROM PLAYERS");
        stored.open();
        QCOMPARE(stored.asString("FNAME"), QString(24, 'a'));
    }

    void aliasSettingChoosesDirectory()
    {
        QTemporaryDir conf;
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, conf.path());
        QCoreApplication::setOrganizationName("Vantrel");
        QCoreApplication::setApplicationName("Vantrel");
        QSettings().setValue("Aliases/VANTREL32", "/srv/club");
        QCOMPARE(Database::configuredDirectory(), QString("/srv/club"));
        const QString server = "postgresql://ann@club.example:5432/club";   // taken as it is
        QSettings().setValue("Aliases/VANTREL32", server);
        QCOMPARE(Database::configuredDirectory(), server);
        QVERIFY(Database::isServerLocation("postgres:///club?host=/run/postgresql"));
        QVERIFY(!Database::isServerLocation("/srv/club"));
        QSettings().remove("Aliases/VANTREL32");
        QVERIFY(!Database::configuredDirectory().isEmpty());

        // Written by hand: any case, a home directory, a relative path.
        const QString file = QSettings().fileName();
        auto writeSettings = [&](const QByteArray& text) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
        };
        writeSettings("[aliases]\nvantrel32=~/club\n");
        QCOMPARE(Database::configuredDirectory(), QDir::homePath() + "/club");
        writeSettings("[ALIASES]\nVantrel32=/srv/club/\n");
        QCOMPARE(Database::configuredDirectory(), QString("/srv/club"));
        writeSettings("[Aliases]\nVANTREL32=club\n");
        try {
            Database::configuredDirectory();
            QFAIL("a relative directory was taken");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains("not a full path") && e.message().contains("\"club\""),
                     qPrintable(e.message()));
        }
        QFile::remove(file);

        const QString footer = "Dues: $40; courts 1-4, ask at the desk";
        setFooterText(footer);
        QCOMPARE(footerText(), footer);
        QSettings().remove("Footer");
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
