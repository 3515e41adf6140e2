#include "fileprobe.h"
#include "database.h"
#include "dberror.h"
#include "schema.h"
#include "schemaupgrade.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QUrl>
#include <atomic>

namespace {

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

std::function<qint64(const QString&)>& freeSpaceSource()
{
    static std::function<qint64(const QString&)> source;
    return source;
}

// A read-only connection that takes no lock and creates no -shm or -wal
// file, so that probing a file changes nothing beside it. It reads the main
// file only; our files are complete there, as they are made whole before
// they get their name.
class Probe {
public:
    explicit Probe(const QString& path)
    {
        static std::atomic<int> counter{0};
        name = QStringLiteral("vantrel-probe-%1").arg(++counter);
        QSqlDatabase c = QSqlDatabase::addDatabase("QSQLITE", name);
        QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        uri.setQuery(QStringLiteral("immutable=1"));
        c.setDatabaseName(QString::fromLatin1(uri.toEncoded()));
        c.setConnectOptions("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI");
        opened = c.open();
    }
    ~Probe()
    {
        {
            QSqlDatabase c = QSqlDatabase::database(name, false);
            c.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    bool isOpen() const { return opened; }
    // The first column of each row of `sql`; false when it cannot be read.
    bool read(const QString& sql, QVariantList& values) const
    {
        QSqlQuery q(QSqlDatabase::database(name, false));
        if (!q.exec(sql))
            return false;
        while (q.next())
            values << q.value(0);
        return true;
    }

private:
    QString name;
    bool opened = false;
};

bool hasDatabaseHeader(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

QString notOurs(const QString& path)
{
    return QStringLiteral("%1 is not a Vantrel database. It was left untouched; "
                          "point the VANTREL32 setting at another directory.")
        .arg(shown(path));
}

// What a file of `version` lacks; columns that later versions added are
// not missing there, the upgrade adds them.
QStringList missingIn(const Probe& probe, int version)
{
    QStringList missing;
    for (const TableDef& t : Schema::tables()) {
        QSet<QString> present;
        QVariantList names;
        if (probe.read(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(t.name), names))
            for (const QVariant& n : names)
                present.insert(n.toString().toLower());
        if (present.isEmpty()) {
            missing << t.name;
            continue;
        }
        for (const QString& column : t.columnNames())
            if (!present.contains(column.toLower()) && !SchemaUpgrade::addedAfter(version, t.name, column))
                missing << t.name + '.' + column;
    }
    return missing;
}

void requireSpace(const QString& directory, const QString& what)
{
    if (FileProbe::freeBytes(directory) < Database::MinimumFreeBytes)
        throw DbError(QStringLiteral("The disk that holds %1 is full. Free some space on it, then start "
                                     "Vantrel again.")
                          .arg(shown(what)));
}

}   // namespace

namespace FileProbe {

qint64 freeBytes(const QString& directory)
{
    if (freeSpaceSource())
        return freeSpaceSource()(directory);
    const QStorageInfo storage(directory);
    // Where the disk cannot be asked, let the engine report a real shortage.
    return storage.isValid() ? storage.bytesAvailable() : Database::MinimumFreeBytes;
}

void setFreeSpaceSource(std::function<qint64(const QString&)> source)
{
    freeSpaceSource() = std::move(source);
}

QStringList missingParts(const QString& path)
{
    Probe probe(path);
    if (!probe.isOpen())
        return {QStringLiteral("every table")};
    return missingIn(probe, Schema::version);
}

void requireKnownVersion(const QString& path, int stored)
{
    if (stored > Schema::version)
        throw DbError(QStringLiteral("%1 was written by a newer version of Vantrel. It was left "
                                     "untouched; install the newer version to open it.")
                          .arg(shown(path)));
    if (stored < SchemaUpgrade::oldestVersion)
        throw DbError(QStringLiteral("%1 has an unknown layout (version %2) and was left untouched.")
                          .arg(shown(path))
                          .arg(stored));
}

int requireVantrelFile(const QString& path)
{
    if (!hasDatabaseHeader(path))
        throw DbError(notOurs(path));
    Probe probe(path);
    QVariantList version;
    if (!probe.isOpen() || !probe.read(QStringLiteral("PRAGMA user_version"), version) || version.isEmpty() ||
        version[0].toInt() == 0)
        throw DbError(notOurs(path));
    const int stored = version[0].toInt();
    requireKnownVersion(path, stored);
    const QStringList missing = missingIn(probe, stored);
    if (missing.size() == Schema::tables().size())
        throw DbError(notOurs(path));
    if (!missing.isEmpty())
        throw DbError(QStringLiteral("%1 is damaged: it lacks %2. It was left untouched; put back a copy "
                                     "of the file, or point the VANTREL32 setting at another directory.")
                          .arg(shown(path), missing.join(QStringLiteral(", "))));
    return stored;
}

void requireWritable(const QString& directory, const QString& path)
{
    if (!QDir().mkpath(directory))
        throw DbError(QStringLiteral("Cannot create the database directory %1. "
                                     "Choose a directory you can write to in the VANTREL32 setting.")
                          .arg(shown(directory)));
    // Beside the file the engine keeps its journal, so the directory must
    // take new files even when the file itself exists.
    QTemporaryFile probe(QDir(directory).filePath("vantrel-XXXXXX.tmp"));
    if (!probe.open())
        throw DbError(QStringLiteral("Cannot write to the database directory %1. Make it writable, "
                                     "or choose a directory you can write to in the VANTREL32 setting.")
                          .arg(shown(directory)));
    probe.close();
    probe.remove();
    if (QFileInfo::exists(path)) {
        // Opening for writing without writing leaves the file as it was.
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            throw DbError(QStringLiteral("%1 cannot be written (it is read-only). Make the file writable, "
                                         "or copy it to a directory of your own and point the VANTREL32 "
                                         "setting there. It was left untouched.")
                              .arg(shown(path)));
    }
    requireSpace(directory, QFileInfo::exists(path) ? path : directory);
}

}   // namespace FileProbe
