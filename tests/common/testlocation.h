#pragma once
// Where a data or concurrency test keeps its database: a temporary directory
// for a file, or a database of its own on the throw-away PostgreSQL server
// that ctest starts (tests/pg-test-server) or that VANTREL_TEST_PG names.
// Tests run on both engines through the global data of QtTest:
//
//   void initTestCase_data() { TestLocation::addEngineRows(); }
//   void init() { QFETCH_GLOBAL(Engine, engine); VANTREL_OPEN_TEST_DATABASE(place, engine); }
#include "data/query.h"
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>
#include <QtTest>
#include <atomic>
#include <memory>

Q_DECLARE_METATYPE(Engine)

class TestLocation {
public:
    static void addEngineRows()
    {
        QTest::addColumn<Engine>("engine");
        QTest::newRow("file") << Engine::SQLite;
        QTest::newRow("server") << Engine::PostgreSQL;
    }

    // The admin database of the test server; empty when there is none.
    static QString serverUri()
    {
        const QString set = qEnvironmentVariable("VANTREL_TEST_PG");
        if (!set.isEmpty())
            return set;
        QFile file(QStringLiteral(VANTREL_PG_STATE "/uri"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    }
    static bool serverInstalled()
    {
        return !QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty();
    }

    // Why the engine cannot be tested here; empty when it can. `fatal` is
    // set where that is a fault of the set-up rather than of the machine.
    static QString unavailable(Engine engine, bool& fatal)
    {
        fatal = false;
        if (engine == Engine::SQLite || !serverUri().isEmpty())
            return {};
        if (!serverInstalled())
            return QStringLiteral("The PostgreSQL server binaries are not installed (Debian package postgresql).");
        fatal = true;
        return QStringLiteral("No test server: run the test through ctest, which starts one, or name one in "
                              "VANTREL_TEST_PG.");
    }

    explicit TestLocation(Engine engine)
    {
        if (engine == Engine::SQLite) {
            dir = std::make_unique<QTemporaryDir>();
            place = dir->path();
            return;
        }
        static std::atomic<int> counter{0};
        name = QStringLiteral("vt_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        admin(QStringLiteral("CREATE DATABASE %1").arg(name));
        QUrl url(serverUri());
        url.setPath('/' + name);
        place = url.toString();
    }
    ~TestLocation()
    {
        if (!name.isEmpty())
            admin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    }
    TestLocation(const TestLocation&) = delete;
    TestLocation& operator=(const TestLocation&) = delete;

    // What Database and Tdmglobal open: the directory or the URI.
    QString location() const { return place; }
    bool isServer() const { return !name.isEmpty(); }

    // Runs one statement on the server's admin database.
    static void admin(const QString& sql)
    {
        const QString connection = QStringLiteral("vantrel-test-admin");
        {
            QSqlDatabase c = QSqlDatabase::addDatabase("QPSQL", connection);
            const QUrl url(serverUri());
            const QUrlQuery query(url);
            c.setHostName(query.hasQueryItem("host") ? query.queryItemValue("host") : url.host());
            c.setPort(query.hasQueryItem("port") ? query.queryItemValue("port").toInt() : url.port());
            c.setUserName(url.userName());
            c.setDatabaseName(url.path().mid(1));
            if (!c.open())
                qFatal("test server: %s", qPrintable(c.lastError().text()));
            QSqlQuery q(c);
            if (!q.exec(sql))
                qWarning("test server: %s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase(connection);
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString name;
    QString place;
};

// Opens a TestLocation for `engine` in `holder` (a std::unique_ptr), or
// skips the test where this machine has no server to test on.
#define VANTREL_OPEN_TEST_DATABASE(holder, engine)                                                                     \
    do {                                                                                                               \
        bool fatal_ = false;                                                                                           \
        const QString why_ = TestLocation::unavailable(engine, fatal_);                                                \
        if (fatal_)                                                                                                    \
            QFAIL(qPrintable(why_));                                                                                   \
        if (!why_.isEmpty())                                                                                           \
            QSKIP(qPrintable(why_));                                                                                   \
        holder = std::make_unique<TestLocation>(engine);                                                               \
    } while (false)
