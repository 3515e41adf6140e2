#include "data/dberror.h"
#include "data/dmuglobal.h"
#include "data/settings.h"
#include <QCryptographicHash>
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

QString refusal(const QString& dir)
{
    try {
        Database db(dir);
    } catch (const DbError& e) {
        return e.message();
    }
    return QString();
}
} // namespace

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
        QCOMPARE(names, (QStringList{"COURTS", "COURTSLT", "FIELDDEF", "group", "GROUPOFF", "GRPPLAYR",
                                     "LABEL", "MATCHES", "PLAYERS", "PLAYROFF", "SCHEDULE"}));
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
        QCOMPARE(labels.value(0).toInt(), 2);                // shipped rows not written twice
    }

    void foreignFilesRefusedUntouched()
    {
        QTemporaryDir text;
        QFile f(Database::fileName(text.path()));
        f.open(QIODevice::WriteOnly);
        f.write("my shopping list\n");
        f.close();
        const QByteArray before = digest(f.fileName());
        QVERIFY(refusal(text.path()).contains("is not a Vantrel database"));
        QVERIFY(refusal(text.path()).contains(text.path()));
        QCOMPARE(digest(f.fileName()), before);

        QTemporaryDir other;                                 // an SQLite file of another program
        {
            auto c = QSqlDatabase::addDatabase("QSQLITE", "other");
            c.setDatabaseName(Database::fileName(other.path()));
            c.open();
            QSqlQuery(c).exec("CREATE TABLE notes (t TEXT)");
            c.close();
        }
        QSqlDatabase::removeDatabase("other");
        const QByteArray otherBefore = digest(Database::fileName(other.path()));
        QVERIFY(refusal(other.path()).contains("is not a Vantrel database"));
        QCOMPARE(digest(Database::fileName(other.path())), otherBefore);

        QTemporaryDir newer;
        {
            Database db(newer.path());
            db.exec("PRAGMA user_version = 99");
        }
        QVERIFY(refusal(newer.path()).contains("newer version"));
    }

    void unusableDirectoryExplained()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("plainfile"));
        blocker.open(QIODevice::WriteOnly);
        blocker.close();
        QVERIFY(refusal(blocker.fileName() + "/db").contains("Cannot create the database directory"));
        if (geteuid() != 0) {
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
            QVERIFY(refusal(dir.path()).contains("Cannot write"));
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
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
        QSettings().remove("Aliases/VANTREL32");
        QVERIFY(!Database::configuredDirectory().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
