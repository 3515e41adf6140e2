#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// Where a club's database lives on a PostgreSQL server, as the organiser
// names it; the URI it makes never holds a password.
struct ServerAddress {
    QString host = QStringLiteral("localhost");   // a name, an address, or a socket directory ("/run/postgresql")
    int port = 5432;
    QString database;
    QString user;

    QString uri() const;
    // The parts of a URI; a password in it is left out.
    static ServerAddress fromUri(const QString& uri);
};

// Asks for the host, port, database and user of a club's database. The
// password is not asked: libpq reads it from ~/.pgpass.
class ClubDatabaseDialog : public QDialog {
    Q_OBJECT
public:
    explicit ClubDatabaseDialog(const ServerAddress& shown, QWidget* parent = nullptr);
    ServerAddress address() const;

private:
    void updateOk();

    QLineEdit* host;
    QLineEdit* port;
    QLineEdit* database;
    QLineEdit* user;
    QPushButton* ok = nullptr;
};

// The URI of the database chosen, or empty when the organiser cancelled.
// The dialog starts from the server last opened (from the settings).
QString askClubDatabase(QWidget* parent);
