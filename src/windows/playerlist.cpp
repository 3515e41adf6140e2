#include "playerlist.h"
#include "dbgrid.h"
#include "playerdaysoffdialog.h"
#include "fielddefs.h"
#include "rosterdeletes.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/table.h"
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
    const FieldMask phone = FieldMask::fromEditMask(RosterMasks::phone);
    playersView->setColumnMask(QStringLiteral("PHONE1"), phone);
    playersView->setColumnMask(QStringLiteral("PHONE2"), phone);
    playersView->setColumnMask(QStringLiteral("STATE"), FieldMask::fromEditMask(RosterMasks::state));
    playersView->setColumnMask(QStringLiteral("ZIPCODE"), FieldMask::fromEditMask(RosterMasks::zipCode));
    tbplayers->beforePost = [this](Table&) { playersView->checkMaskedValues(); };
    connect(tbplayers, &Table::stateChanged, this, [this] { Tdmglobal::instance().datasetStateNames(*tbplayers); });

    tbplayers->open();
    playersView->setTable(*tbplayers, {gridColumn("FNAME", "First"), gridColumn("LNAME", "Last"),
                                       gridColumn("PHONE1", "Home Phone"), gridColumn("PHONE2", "Work Phone"),
                                       gridColumn("STREET1", "Street"), gridColumn("STREET2", "Street Line 2"),
                                       gridColumn("CITY", "City"), gridColumn("STATE", "State"),
                                       gridColumn("ZIPCODE", "Zipcode"), gridColumn("WINS", "Wins"),
                                       gridColumn("LOSSES", "Losses"), gridColumn("RANKING", "Ranking")});

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

void Tfrmplayers::commandDelete()
{
    playersView->discardEditor();
    deletes->deletePlayer(*tbplayers);
}

void Tfrmplayers::commandTimeOff()
{
    // Days off belong to a stored player: a row being typed is posted first.
    playersView->postPendingRow();
    Tdlgplayeroff::execFor(this, tbplayers->value("PLAYERID").toInt());
}
