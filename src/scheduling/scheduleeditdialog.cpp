#include "scheduleeditdialog.h"
#include "data/datamodule.h"
#include "data/tablemodel.h"
#include "windows/guard.h"
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

namespace {
const char* const scheduleSql =
    "SELECT DISTINCT d.GRPCOURTID, d.\"DATE\", d.GRPPLAYRID, d.VSGRPPLAYRID, d.HOME, d.WINNER\n"
    "FROM \"SCHEDULE.db\" d, \"GRPPLAYR.db\" d1\n"
    "WHERE\n"
    "(d1.GROUPPLAYERID = d.GRPPLAYRID)\n"
    " AND (d1.GROUPID = :groupid)\n"
    "ORDER BY d.\"DATE\", d.GRPCOURTID, d.GRPPLAYRID, d.VSGRPPLAYRID, d.HOME, d.WINNER";

enum ScheduleColumn { DateCol, CourtCol, NameCol, SlotCol, EntryCol, HomeCol, ScheduleColumns };

QTableView* readOnlyGrid(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setGeometry(geometry);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    return grid;
}
}   // namespace

Tdlgschedule::Tdlgschedule(QWidget* parent)
    : QDialog(parent), tbgroup(Tdmglobal::instance().database(), "group.DB"),
      tbplayers(Tdmglobal::instance().database(), "GRPPLAYR.db")
{
    setObjectName("dlgschedule");
    setWindowTitle(QStringLiteral("dlgschedule"));
    setFixedSize(544, 375);

    tbplayers.setIndexName("PARENT");
    tbplayers.setMasterSource(&tbgroup, "GROUPID", "GROUPID");
    tbplayers.setReadOnly(true);
    Tdmglobal::instance().addEntryNameFields(tbplayers, tbgroup);

    scheduleModel = new QStandardItemModel(0, ScheduleColumns, this);
    scheduleModel->setHorizontalHeaderLabels({"DATE", "GRPCOURTID", "FullName", "SlotCode", "GRPPLAYRID", "HOME"});
    scheduleView = readOnlyGrid(this, "dbgdschedule", QRect(0, 40, 521, 161));
    scheduleView->setModel(scheduleModel);
    scheduleView->setAccessibleName(QStringLiteral("Schedule"));
    scheduleView->setColumnWidth(NameCol, 162);

    entriesModel = new TableModel(tbplayers,
                                  {{"GROUPPLAYERID", "GROUPPLAYERID", true, {}},
                                   {"FullName", "FullName", true, {}},
                                   {"SLOTCODE", "SLOTCODE", true, {}}},
                                  this);
    entriesView = readOnlyGrid(this, "dbgdplayers", QRect(8, 208, 513, 136));
    entriesView->setModel(entriesModel);
    entriesView->setAccessibleName(QStringLiteral("Entries"));
    entriesView->setColumnWidth(1, 152);
}

Tdlgschedule::~Tdlgschedule() = default;

void Tdlgschedule::setGroup(int groupId, MatchType matchType)
{
    id = groupId;
    type = matchType;
}

void Tdlgschedule::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!loaded)
        guarded(this, [this] { load(); });
}

void Tdlgschedule::load()
{
    loaded = true;
    tbgroup.setFilter(QStringLiteral("GROUPID=%1").arg(id));
    tbgroup.setFiltered(true);
    tbgroup.open();
    tbplayers.open();
    if (!qschedule)
        qschedule = std::make_unique<Query>(Tdmglobal::instance().database(), QString::fromLatin1(scheduleSql));
    qschedule->close();
    qschedule->setInteger("groupid", id);
    if (!qschedule->isPrepared())
        qschedule->prepare();
    qschedule->open();
    fillSchedule();
}

void Tdlgschedule::fillSchedule()
{
    // Names and numbers of the entries by their id, for the looked-up columns.
    QHash<qint64, QPair<QString, QString>> entries;
    for (int r = 0; r < tbplayers.recordCount(); ++r)
        entries.insert(tbplayers.valueAt(r, "GROUPPLAYERID").toLongLong(),
                       {tbplayers.valueAt(r, "FullName").toString(), tbplayers.valueAt(r, "SLOTCODE").toString()});

    scheduleModel->removeRows(0, scheduleModel->rowCount());
    scheduleModel->setRowCount(qschedule->recordCount());
    int row = 0;
    for (qschedule->first(); !qschedule->eof(); qschedule->next(), ++row) {
        const auto entry = entries.value(qschedule->asInteger("GRPPLAYRID"));
        auto set = [&](int column, const QString& text) {
            auto* item = new QStandardItem(text);
            item->setEditable(false);
            scheduleModel->setItem(row, column, item);
        };
        set(DateCol, formatValue(qschedule->asDate("DATE"), {}));
        set(CourtCol, qschedule->asString("GRPCOURTID"));
        set(NameCol, entry.first);
        set(SlotCol, entry.second);
        set(EntryCol, qschedule->asString("GRPPLAYRID"));
        set(HomeCol, qschedule->isNull("HOME") ? QString() : formatValue(qschedule->asBool("HOME"), {}));
    }
}
