#include "courtlist.h"
#include "dbgrid.h"
#include "fielddefs.h"
#include "rosterdeletes.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/table.h"
#include <QHeaderView>
#include <QVBoxLayout>

Tfrmcourts::Tfrmcourts(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Court List"));
    setObjectName(QStringLiteral("frmcourts"));
    Tdmglobal& dm = Tdmglobal::instance();
    courtsView = new DbGrid(this);
    courtsView->setObjectName(QStringLiteral("dbgcourts"));
    tbcourts = new Table(dm.database(), QStringLiteral("COURTS.db"), courtsView);
    tbcourts->setObjectName(QStringLiteral("tbcourts"));
    deletes = std::make_unique<RosterDeletes>(dm.database());
    connect(tbcourts, &Table::stateChanged, this, [this] { Tdmglobal::instance().datasetStateNames(*tbcourts); });

    setHelpContext(courtsView, HelpContext::CourtList);
    tbcourts->open();
    courtsView->setTable(*tbcourts, {gridColumn("NAME", "Name / Description")});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(courtsView);
    setFocusProxy(courtsView);
    courtsView->setFocus();
}

Tfrmcourts::~Tfrmcourts() = default;

void Tfrmcourts::commandAddNew()
{
    courtsView->postPendingRow();
    tbcourts->append();
    courtsView->setCurrentIndex(courtsView->tableModel()->index(tbcourts->recNo() - 1, 0));
    courtsView->setFocus();
}

void Tfrmcourts::commandSave()
{
    courtsView->commitEditor();
    tbcourts->post();
}

void Tfrmcourts::commandCancel()
{
    courtsView->discardEditor();
    tbcourts->cancel();
}

void Tfrmcourts::commandDelete()
{
    courtsView->discardEditor();
    deletes->deleteCourt(*tbcourts);
}
