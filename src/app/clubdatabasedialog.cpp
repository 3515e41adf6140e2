#include "clubdatabasedialog.h"
#include "data/database.h"
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {
constexpr int DefaultPort = 5432;

QString encoded(const QString& part)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(part));
}
}   // namespace

QString ServerAddress::uri() const
{
    // A socket directory cannot stand where a host name does: it goes in the query, as libpq takes it.
    if (host.startsWith(QLatin1Char('/')))
        return QStringLiteral("postgresql://") + encoded(user) + QStringLiteral("@/") + encoded(database) +
               QStringLiteral("?host=") + encoded(host) + QStringLiteral("&port=") + QString::number(port);
    // Concatenated: an encoded part holds '%', which arg() would take for a marker.
    return QStringLiteral("postgresql://") + encoded(user) + QLatin1Char('@') + host + QLatin1Char(':') +
           QString::number(port) + QLatin1Char('/') + encoded(database);
}

ServerAddress ServerAddress::fromUri(const QString& uri)
{
    const QUrl url(uri);
    const QUrlQuery query(url);
    ServerAddress a;
    const QString socket = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    a.host = !socket.isEmpty() ? socket : url.host().isEmpty() ? a.host : url.host();
    a.port = query.hasQueryItem(QStringLiteral("port")) ? query.queryItemValue(QStringLiteral("port")).toInt()
                                                        : url.port(DefaultPort);
    a.database = url.path(QUrl::FullyDecoded).mid(1);
    a.user = url.userName(QUrl::FullyDecoded);
    return a;
}

ClubDatabaseDialog::ClubDatabaseDialog(const ServerAddress& shown, QWidget* parent)
    : QDialog(parent), host(new QLineEdit(shown.host, this)), port(new QLineEdit(QString::number(shown.port), this)),
      database(new QLineEdit(shown.database, this)), user(new QLineEdit(shown.user, this))
{
    setObjectName(QStringLiteral("ClubDatabase"));
    setWindowTitle(QStringLiteral("Open Club Database"));
    host->setObjectName(QStringLiteral("edhost"));
    port->setObjectName(QStringLiteral("edport"));
    database->setObjectName(QStringLiteral("eddatabase"));
    user->setObjectName(QStringLiteral("eduser"));
    port->setValidator(new QIntValidator(1, 65535, port));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Host:"), host);
    form->addRow(QStringLiteral("&Port:"), port);
    form->addRow(QStringLiteral("&Database:"), database);
    form->addRow(QStringLiteral("&User:"), user);
    auto* note = new QLabel(QStringLiteral("The password is read from the file ~/.pgpass on this computer, one line "
                                           "host:port:database:user:password. Vantrel never asks for it or "
                                           "stores it."),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("&Open"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QLineEdit* edit : {host, port, database, user})
        connect(edit, &QLineEdit::textChanged, this, &ClubDatabaseDialog::updateOk);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    updateOk();
    // The first part still to fill in has the focus.
    for (QLineEdit* edit : {host, port, database, user})
        if (edit->text().isEmpty()) {
            edit->setFocus();
            break;
        }
}

ServerAddress ClubDatabaseDialog::address() const
{
    ServerAddress a;
    a.host = host->text().trimmed();
    a.port = port->text().toInt();
    a.database = database->text().trimmed();
    a.user = user->text().trimmed();
    return a;
}

void ClubDatabaseDialog::updateOk()
{
    const ServerAddress a = address();
    ok->setEnabled(!a.host.isEmpty() && a.port > 0 && !a.database.isEmpty() && !a.user.isEmpty());
}

QString askClubDatabase(QWidget* parent)
{
    QString last;
    try {
        last = Database::configuredDirectory();
    } catch (const std::exception&) {
        // A setting that names nothing usable: the dialog starts empty.
    }
    ServerAddress shown;
    if (Database::isServerLocation(last))
        shown = ServerAddress::fromUri(last);
    else
        shown.user = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
    ClubDatabaseDialog dialog(shown, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.address().uri() : QString();
}
