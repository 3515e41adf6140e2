#include "courtlist.h"
#include "dbgrid.h"
#include "fielddefs.h"
#include "rosterdeletes.h"
#include "savechanges.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/table.h"
#include <QHeaderView>
#include <QCloseEvent>
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

// The row as the question names it: "Centre Court", or "the new court".
QString Tfrmcourts::rowName() const
{
    const QString name = tbcourts->asString("NAME").trimmed();
    if (!name.isEmpty())
        return name;
    return tbcourts->state() == Table::State::Insert ? QStringLiteral("the new court") : QStringLiteral("this court");
}

void Tfrmcourts::closeEvent(QCloseEvent* event)
{
    if (settleGridBeforeClose(this, *courtsView, [this] { return rowName(); }))
        event->accept();
    else
        event->ignore();
}
