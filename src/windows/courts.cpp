#include "courts.h"
#include "dbgrid.h"
#include "rosterdeletes.h"
#include "data/dmuglobal.h"
#include "data/helpcontexts.h"
#include "data/table.h"
#include <QHeaderView>
#include <QVBoxLayout>

Tfrmcourts::Tfrmcourts(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Court List"));
    setObjectName(QStringLiteral("frmcourts"));
    Tdmglobal& dm = Tdmglobal::instance();
    tbcourts = std::make_unique<Table>(dm.database(), QStringLiteral("COURTS.db"));
    tbcourts->setObjectName(QStringLiteral("tbcourts"));
    deletes = std::make_unique<RosterDeletes>(dm.database());
    connect(tbcourts.get(), &Table::stateChanged, this,
            [this] { Tdmglobal::instance().datasetStateNames(*tbcourts); });

    dbgcourts = new DbGrid(this);
    dbgcourts->setObjectName(QStringLiteral("dbgcourts"));
    setHelpContext(dbgcourts, HelpContext::CourtList);
    tbcourts->open();
    dbgcourts->setTable(*tbcourts, {gridColumn("NAME", "Name / Description")});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(dbgcourts);
    setFocusProxy(dbgcourts);
    dbgcourts->setFocus();
}

Tfrmcourts::~Tfrmcourts()
{
    delete dbgcourts;
}

void Tfrmcourts::commandAddNew()
{
    dbgcourts->postPendingRow();
    tbcourts->append();
    dbgcourts->setCurrentIndex(dbgcourts->tableModel()->index(tbcourts->recNo() - 1, 0));
    dbgcourts->setFocus();
}

void Tfrmcourts::commandSave()
{
    dbgcourts->commitEditor();
    tbcourts->post();
}

void Tfrmcourts::commandCancel()
{
    dbgcourts->discardEditor();
    tbcourts->cancel();
}

void Tfrmcourts::commandDelete()
{
    dbgcourts->discardEditor();
    deletes->deleteCourt(*tbcourts);
}
