#include "playerlist.h"
#include "dbgrid.h"
#include "playerdaysoffdialog.h"
#include "fielddefs.h"
#include "rosterdeletes.h"
#include "savechanges.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/table.h"
#include <QCloseEvent>
#include <QMessageBox>
#include <QVBoxLayout>

Tfrmplayers::Tfrmplayers(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Player List"));
    setObjectName(QStringLiteral("frmplayers"));
    Tdmglobal& dm = Tdmglobal::instance();
    playersView = new DbGrid(this);
    playersView->setObjectName(QStringLiteral("dbgplayers"));
    tbplayers = new Table(dm.database(), QStringLiteral("PLAYERS.db"), playersView);
    tbplayers->setObjectName(QStringLiteral("tbplayers"));
    tbplayers->setIndexName(QStringLiteral("lastname"));
    deletes = std::make_unique<RosterDeletes>(dm.database());

    setHelpContext(playersView, HelpContext::PlayerList);
    playersView->setPhoneColumn(QStringLiteral("PHONE1"));
    playersView->setPhoneColumn(QStringLiteral("PHONE2"));
    playersView->setColumnMask(QStringLiteral("STATE"), FieldMask::fromEditMask(RosterMasks::state));
    playersView->setColumnMask(QStringLiteral("ZIPCODE"), FieldMask::fromEditMask(RosterMasks::zipCode));
    tbplayers->beforePost = [this](Table&) { playersView->checkMaskedValues(); };
    connect(tbplayers, &Table::stateChanged, this, [this] { Tdmglobal::instance().datasetStateNames(*tbplayers); });

    tbplayers->open();
    playersView->setTable(
        *tbplayers, {gridColumn("FNAME", "First"), gridColumn("LNAME", "Last"), gridColumn("PHONE1", "Home Phone"),
                     gridColumn("PHONE2", "Work Phone"), gridColumn("STREET1", "Street"),
                     gridColumn("STREET2", "Street Line 2"), gridColumn("CITY", "City"), gridColumn("STATE", "State"),
                     gridColumn("ZIPCODE", "Zipcode"), gridColumn("WINS", "Wins"), gridColumn("LOSSES", "Losses"),
                     gridColumn("RANKING", "Ranking"), gridColumn("EMAIL", "E-mail")});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(playersView);
    setFocusProxy(playersView);
    playersView->setFocus();
}

Tfrmplayers::~Tfrmplayers() = default;

void Tfrmplayers::commandAddNew()
{
    playersView->postPendingRow();
    tbplayers->append();
    playersView->setCurrentIndex(playersView->tableModel()->index(tbplayers->recNo() - 1, 0));
    playersView->setFocus();
}

void Tfrmplayers::commandSave()
{
    playersView->commitEditor();
    tbplayers->post();
}

void Tfrmplayers::commandCancel()
{
    playersView->discardEditor();
    tbplayers->cancel();
}

// A player who plays somewhere is deleted only when the user has seen
// where, and how many dates to come lose them; their places then stay
// empty, and every view of those schedules shows it.
void Tfrmplayers::commandDelete()
{
    playersView->discardEditor();
    const QVariant playerId = tbplayers->isEmpty() ? QVariant() : tbplayers->value("PLAYERID");
    const QVector<PlayerPlace> places =
        playerId.isNull() ? QVector<PlayerPlace>() : deletes->placesOf(playerId.toInt(), QDate::currentDate());
    const QString name = rowName();
    int emptied = 0;
    for (const PlayerPlace& p : places)
        emptied += p.datesToCome;
    if (!places.isEmpty()) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Vantrel"), RosterDeletes::deleteQuestion(name, places),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("dlgdeleteplayer"));
        if (emptied > 0)
            box.setInformativeText(QStringLiteral("Their places on the dates to come stay empty until you fill "
                                                  "them: Action > Season (Ctrl+F9) in the group's editor shows "
                                                  "the empty places and offers substitutes."));
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes)
            return;
    }
    deletes->deletePlayer(*tbplayers);
    Tdmglobal& dm = Tdmglobal::instance();
    for (const PlayerPlace& p : places)
        dm.announceScheduleChange(p.groupId);
    if (!places.isEmpty())
        dm.statusMessage(emptied > 0 ? QStringLiteral("%1 has been deleted; %2 %3 to come are now a player short.")
                                           .arg(name)
                                           .arg(emptied)
                                           .arg(emptied == 1 ? QStringLiteral("date") : QStringLiteral("dates"))
                                     : QStringLiteral("%1 has been deleted.").arg(name));
}

void Tfrmplayers::commandTimeOff()
{
    // Days off belong to a stored player: a row being typed is posted first.
    playersView->postPendingRow();
    Tdlgplayeroff::execFor(this, tbplayers->value("PLAYERID").toInt());
}

// The row as the question names it: "Ann Alder", or "the new player".
QString Tfrmplayers::rowName() const
{
    const QString name =
        (tbplayers->asString("FNAME").trimmed() + QLatin1Char(' ') + tbplayers->asString("LNAME").trimmed()).trimmed();
    if (!name.isEmpty())
        return name;
    return tbplayers->state() == Table::State::Insert ? QStringLiteral("the new player")
                                                      : QStringLiteral("this player");
}

void Tfrmplayers::closeEvent(QCloseEvent* event)
{
    if (settleGridBeforeClose(this, *playersView, [this] { return rowName(); }))
        event->accept();
    else
        event->ignore();
}
