#include "dberror.h"
#include <QSqlError>

const QString BusyMessage =
    QStringLiteral("Another Vantrel is writing to the database. Wait until it has finished "
                   "(a days-off dialog closed with Done, a schedule run ended), then try again.");

const QString GroupChangedMessage =
    QStringLiteral("Another organiser changed this group or league at the same moment, so your change was not "
                   "saved. Open the group again to see its current schedule, then repeat the change.");

namespace {

// Primary result codes of the engine; extended codes carry them in the low byte.
enum EngineCode {
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    Constraint = 19,
    NotADatabase = 26
};

// The engine's text without what the driver appends ("Unable to fetch row").
QString engineText(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    return text;
}

}   // namespace

QString engineAdvice(int engineCode)
{
    switch (engineCode & 0xff) {
    case Busy:
    case Locked: return BusyMessage;
    case ReadOnly:
        return QStringLiteral("The database file cannot be written. Make the file and its directory "
                              "writable, then start Vantrel again.");
    case Full:
        return QStringLiteral("The disk that holds the database is full. Free some space on it, then try again.");
    case IoError:
    case CantOpen:
        return QStringLiteral("The database file could not be read or written. Check that the disk is "
                              "present and has free space, then try again.");
    case Corrupt:
    case NotADatabase:
        return QStringLiteral("The database file is damaged. Close Vantrel and put back a copy of the file.");
    case Constraint:
        return QStringLiteral("The change was refused because a required value is missing or not allowed. "
                              "Check the values, then save again.");
    }
    return QStringLiteral("The database could not carry out the operation; nothing more of it was done.");
}

namespace {

const QString ConnectionLostMessage =
    QStringLiteral("The connection to the database server was lost. Check the network and that the server is "
                   "running, then start Vantrel again.");

// A session the server ended or the network cut carries no SQLSTATE, only
// the client library's words.
bool isLostConnection(const QString& text)
{
    for (const char* words : {"server closed the connection", "no connection to the server", "terminating connection",
                              "connection to server", "could not receive data", "could not send data"})
        if (text.contains(QLatin1String(words), Qt::CaseInsensitive))
            return true;
    return false;
}

}   // namespace

// The server's failures told in the same sentences as the file's, by the
// class of their SQLSTATE where one sentence serves the whole class.
QString serverAdvice(const QString& sqlState)
{
    if (sqlState == QLatin1String("55P03") || sqlState == QLatin1String("57014"))
        return BusyMessage;   // a lock not granted within the wait, or the wait cancelled
    if (sqlState == QLatin1String("40001") || sqlState == QLatin1String("40P01"))
        return GroupChangedMessage;
    if (sqlState == QLatin1String("53100"))
        return engineAdvice(Full);
    if (sqlState.startsWith(QLatin1String("23")))
        return engineAdvice(Constraint);
    if (sqlState == QLatin1String("25006") || sqlState == QLatin1String("42501"))
        return QStringLiteral("Your user may not change the club's database. Ask whoever keeps the server to "
                              "give your user the right to write to it.");
    if (sqlState.startsWith(QLatin1String("08")) || sqlState.startsWith(QLatin1String("57P")))
        return ConnectionLostMessage;
    if (sqlState == QLatin1String("XX001") || sqlState == QLatin1String("XX002"))
        return engineAdvice(Corrupt);
    return engineAdvice(0);
}

DbError engineError(const QSqlError& error)
{
    // The server's SQLSTATE has five characters; the file's codes are shorter.
    const QString native = error.nativeErrorCode();
    bool known = false;
    const int code = native.toInt(&known);
    const QString text = engineText(error);
    const QString advice = native.size() == 5                                   ? serverAdvice(native)
                           : native.isEmpty() && isLostConnection(error.text()) ? ConnectionLostMessage
                                                                                : engineAdvice(known ? code : 0);
    return DbError(text.isEmpty() ? advice : advice + '\n' + text);
}
