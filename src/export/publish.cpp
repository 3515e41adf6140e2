#include "publish.h"
#include "icsexport.h"
#include "publishpages.h"
#include "savefile.h"
#include "data/database.h"
#include "data/query.h"
#include "data/transaction.h"
#include "engine/season.h"
#include <QDir>
#include <QtConcurrent/QtConcurrentMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace PlayerLinks {

QString newToken()
{
    quint32 bits[4];
    QRandomGenerator::system()->fillRange(bits);
    const QByteArray raw(reinterpret_cast<const char*>(bits), sizeof bits);
    return QString::fromLatin1(raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QHash<int, QString> tokensOf(Database& db, const QVector<int>& playerIds)
{
    QHash<int, QString> tokens;
    Query q(db, "SELECT PLAYERID, LINKTOKEN FROM PLAYERS WHERE LINKTOKEN IS NOT NULL");
    q.open();
    for (; !q.eof(); q.next())
        tokens.insert(q.value(0).toInt(), q.value(1).toString());
    QVector<int> missing;
    for (int id : playerIds)
        if (tokens.value(id).isEmpty())
            missing << id;
    if (missing.isEmpty())
        return tokens;
    Transaction write(db);
    Query set(db, "UPDATE PLAYERS SET LINKTOKEN = :token WHERE PLAYERID = :id");
    for (int id : missing) {
        tokens[id] = newToken();
        set.setString("token", tokens[id]);
        set.setInteger("id", id);
        set.execSql();
    }
    write.commit();
    return tokens;
}

void renew(Database& db, const QVector<int>& playerIds)
{
    Transaction write(db);
    Query set(db, "UPDATE PLAYERS SET LINKTOKEN = NULL WHERE PLAYERID = :id");
    for (int id : playerIds) {
        set.setInteger("id", id);
        set.execSql();
    }
    write.commit();
    tokensOf(db, playerIds);
}

}   // namespace PlayerLinks

namespace {

// The files a publish names by a player's link, and no others.
const QRegularExpression& playerFile()
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_-]{22}\\.(html|ics)$"));
    return re;
}

// `name` under the address `baseUrl`, with one slash between.
QString under(const QString& baseUrl, const QString& name)
{
    return baseUrl + (baseUrl.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
}

QString webcalUrl(const QString& baseUrl, const QString& file)
{
    if (baseUrl.isEmpty())
        return {};
    QString base = baseUrl;
    base.replace(QRegularExpression(QStringLiteral("^https?://")), QString());
    return QStringLiteral("webcal://") + under(base, file);
}

// A player's files, named by their link.
QString feedFileOf(const QString& token)
{
    return token + QStringLiteral(".ics");
}

QString pageFileOf(const QString& token)
{
    return token + QStringLiteral(".html");
}

class FolderWriter {
public:
    explicit FolderWriter(QString folder) : dir(std::move(folder)) {}

    QString prepare() const
    {
        if (!QDir().mkpath(dir))
            return QStringLiteral("The folder %1 cannot be made. Choose a folder you can write to.")
                .arg(QDir::toNativeSeparators(dir));
        return {};
    }
    // Marks a file as this publish's own before it is written, so that
    // files may be written from several threads at once.
    void claim(const QString& name) { written.insert(name); }
    QString write(const QString& name, const QByteArray& data)
    {
        claim(name);
        return writeClaimed(name, data);
    }
    QString writeClaimed(const QString& name, const QByteArray& data) const
    {
        return SaveFile::write(QDir(dir).filePath(name), data);
    }
    QByteArray previous(const QString& name) const { return SaveFile::readIfExists(QDir(dir).filePath(name)); }
    // Player files this publish did not write: players who left.
    int removeStale() const
    {
        int removed = 0;
        for (const QString& name : QDir(dir).entryList(QDir::Files))
            if (playerFile().match(name).hasMatch() && !written.contains(name))
                removed += QFile::remove(QDir(dir).filePath(name)) ? 1 : 0;
        return removed;
    }

private:
    QString dir;
    QSet<QString> written;
};

// What one player's files are made from; everything shared is only read.
struct PlayerPublish {
    const PlayerIndex& index;
    const EntryNames& names;
    const FolderWriter& out;
    const QString& calendarId;
    const QString& baseUrl;
    const QDateTime& published;
};

// Writes a player's page and feed; an error message or empty.
QString publishPlayer(const PlayerPublish& with, int playerId, const QString& token)
{
    const QString feedFile = feedFileOf(token);
    CalendarOptions calendar;
    calendar.stamp = with.published.toUTC();
    calendar.previous = with.out.previous(feedFile);
    const QByteArray feed = PublishPages::feed(Ics::playerCalendar(with.index, playerId, with.calendarId, calendar));
    if (QString error = with.out.writeClaimed(feedFile, feed); !error.isEmpty())
        return error;
    const PublishPages::PlayerLinks links{feedFile, webcalUrl(with.baseUrl, feedFile)};
    return with.out.writeClaimed(pageFileOf(token),
                                 PublishPages::playerPage(with.index, with.names, playerId, links, with.published));
}

QString publishSeason(const Season& s, const QHash<int, QString>& tokens, const QString& calendarId,
                      const PublishRequest& r, const QString& folder, const QString& baseUrl, PublishOutcome& outcome)
{
    FolderWriter out(folder);
    if (QString error = out.prepare(); !error.isEmpty())
        return error;
    if (QString error = out.write(QStringLiteral("index.html"), PublishPages::seasonPage(s, r.published));
        !error.isEmpty())
        return error;
    const QVector<SeasonPerson> people = s.players();
    for (const SeasonPerson& p : people) {
        out.claim(feedFileOf(tokens.value(p.id)));
        out.claim(pageFileOf(tokens.value(p.id)));
    }
    const EntryNames names(s);
    const PlayerIndex index(s);
    const PlayerPublish with{index, names, out, calendarId, baseUrl, r.published};
    // Players' files are independent of each other: a club of a thousand
    // is written on every core.
    const QStringList errors = QtConcurrent::blockingMapped<QStringList>(
        people, [&](const SeasonPerson& p) { return publishPlayer(with, p.id, tokens.value(p.id)); });
    for (const QString& error : errors)
        if (!error.isEmpty())
            return error;
    for (const SeasonPerson& p : people) {
        const QString page = pageFileOf(tokens.value(p.id));
        outcome.links.append(
            {s.name, p.fullName(),
             baseUrl.isEmpty() ? QDir::toNativeSeparators(QDir(folder).absoluteFilePath(page)) : under(baseUrl, page)});
        ++outcome.players;
    }
    outcome.removed += out.removeStale();
    ++outcome.seasons;
    return {};
}

// Folder names of seasons published together: their names, made unique.
QStringList seasonFolders(const QVector<Season>& seasons)
{
    QStringList names;
    for (const Season& s : seasons) {
        QString name = SaveFile::safeBaseName(s.name);
        if (names.contains(name, Qt::CaseInsensitive))
            name += QStringLiteral(" (%1)").arg(s.groupId);
        names << name;
    }
    return names;
}

}   // namespace

QString PublishOutcome::linksText() const
{
    QStringList lines;
    for (const PublishedLink& l : links)
        lines << QStringLiteral("%1 (%2): %3").arg(l.player, l.season, l.link);
    return lines.join(QLatin1Char('\n'));
}

PublishOutcome publishSeasons(Database& db, const PublishRequest& r)
{
    PublishOutcome outcome;
    QVector<Season> seasons;
    QVector<int> players;
    for (int id : r.groupIds) {
        seasons << loadSeason(db, id);
        for (const SeasonPerson& p : seasons.last().players())
            players << p.id;
    }
    if (r.newLinks)
        PlayerLinks::renew(db, players);
    const QHash<int, QString> tokens = PlayerLinks::tokensOf(db, players);
    const QString calendarId = db.calendarId();
    if (!r.eachInOwnFolder) {
        for (const Season& s : seasons)
            if (outcome.error.isEmpty())
                outcome.error = publishSeason(s, tokens, calendarId, r, r.folder, r.baseUrl, outcome);
        return outcome;
    }
    const QStringList folders = seasonFolders(seasons);
    QVector<QPair<QString, QString>> index;
    for (int i = 0; i < seasons.size() && outcome.error.isEmpty(); ++i) {
        const QString base =
            r.baseUrl.isEmpty() ? QString() : under(r.baseUrl, QString::fromUtf8(QUrl::toPercentEncoding(folders[i])));
        outcome.error =
            publishSeason(seasons[i], tokens, calendarId, r, QDir(r.folder).filePath(folders[i]), base, outcome);
        index.append({seasons[i].name, QString::fromUtf8(QUrl::toPercentEncoding(folders[i])) + "/index.html"});
    }
    if (outcome.error.isEmpty())
        outcome.error =
            FolderWriter(r.folder).write(QStringLiteral("index.html"), PublishPages::indexPage(index, r.published));
    return outcome;
}
