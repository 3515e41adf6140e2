#pragma once
#include <QString>
#include <stdexcept>

class QSqlError;

// The one exception type of the data layer: an engine failure carrying the
// text the user sees in the error box.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message) : std::runtime_error(message.toStdString()), text(message) {}
    QString message() const { return text; }

private:
    QString text;
};

// A row changed or deleted by another Vantrel since it was read: nothing was
// written, and the table shows the row as it is now.
class RowConflict : public DbError {
public:
    using DbError::DbError;
};

// A failure reported by the database engine, told as a sentence that says
// what to do, with the engine's own text as a second line.
DbError engineError(const QSqlError& error);

// The sentence alone, for a failure whose engine code is known: SQLite's
// number, or the server's five-character SQLSTATE.
QString engineAdvice(int engineCode);
QString serverAdvice(const QString& sqlState);

// The message for a file another Vantrel is writing to.
extern const QString BusyMessage;
// The message for a whole-group operation that met another organiser's
// change of the same group on the server.
extern const QString GroupChangedMessage;
