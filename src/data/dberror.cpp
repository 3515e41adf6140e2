#include "dberror.h"
#include <QSqlError>

const QString BusyMessage =
    QStringLiteral("Another Vantrel is writing to the database file. Wait until it has finished "
                   "(a days-off dialog closed with Done, a schedule run ended), then try again.");

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

DbError engineError(const QSqlError& error)
{
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known);
    const QString advice = engineAdvice(known ? code : 0);
    const QString text = engineText(error);
    return DbError(text.isEmpty() ? advice : advice + '\n' + text);
}
