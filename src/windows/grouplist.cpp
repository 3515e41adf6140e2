#include "grouplist.h"
#include "data/dberror.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "data/tablemodel.h"
#include "dbgrid.h"
#include "guard.h"
#include "palettecolours.h"
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>
#include <algorithm>

Tfrmgrouplist::EditorOpener Tfrmgrouplist::openEditor;

namespace {
const char* const dayFields[7] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};
const char* const dayCodes[7] = {"S", "M", "T", "W", "Th", "F", "Sa"};
const int durationColumn = 5;
}   // namespace

// The length column's title depends on the list kind; the two counts are centred.
class GroupListModel : public TableModel {
public:
    using TableModel::TableModel;
    void setDurationTitle(const QString& title)
    {
        durationTitle = title;
        emit headerDataChanged(Qt::Horizontal, durationColumn, durationColumn);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && section == durationColumn && role == Qt::DisplayRole &&
            !durationTitle.isEmpty())
            return durationTitle;
        return TableModel::headerData(section, orientation, role);
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::TextAlignmentRole && index.column() >= durationColumn)
            return int(Qt::AlignCenter);
        return TableModel::data(index, role);
    }

private:
    QString durationTitle;
};

QString Tfrmgrouplist::daysOfWeekText(const bool days[7])
{
    QStringList codes;
    for (int d = 0; d < 7; ++d)
        if (days[d])
            codes << QString::fromLatin1(dayCodes[d]);
    return codes.join(',');
}

Tfrmgrouplist::Tfrmgrouplist(QWidget* parent)
    : QWidget(parent), tbgroups(std::make_unique<Table>(Tdmglobal::instance().database(), "group.DB"))
{
    setObjectName("frmgrouplist");
    setWindowTitle(QStringLiteral("Groups"));

    tbgroups->setIndexName("GNAME");
    tbgroups->setReadOnly(true);
    tbgroups->addCalcField("DOW", FieldType::String, 15);
    tbgroups->onCalcFields = [](Table& row) {
        bool days[7];
        for (int d = 0; d < 7; ++d)
            days[d] = row.asBool(QString::fromLatin1(dayFields[d]));
        row.setValue("DOW", daysOfWeekText(days));
    };
    connect(tbgroups.get(), &Table::stateChanged, this, [this] { Tdmglobal::instance().datasetStateNames(*tbgroups); });

    model = new GroupListModel(*tbgroups,
                               {{"NAME", QStringLiteral("Name"), true, {}},
                                {"DOW", QStringLiteral("Play on wk day(s)"), true, {}},
                                {"STARTDATE", QStringLiteral("Start On"), true, {}},
                                {"STIME", QStringLiteral("Start"), true, QStringLiteral("hh:nn AM/PM")},
                                {"ETIME", QStringLiteral("End"), true, QStringLiteral("hh:nn AM/PM")},
                                {"DURATION", QStringLiteral("# Weeks"), true, {}},
                                {"NumPerSes", QStringLiteral("Plyrs Per Wk"), true, {}}},
                               this);

    groupsView = new DbGrid(this);
    groupsView->setObjectName("dbggroups");
    groupsView->setTableModel(model);
    groupsView->setEditable(false);
    groupsView->setShowGrid(true);
    groupsView->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    groupsView->horizontalHeader()->setStretchLastSection(true);
    tintColumnTitles();
    groupsView->installEventFilter(this);
    connect(groupsView, &QAbstractItemView::doubleClicked, this, [this] { guarded(this, [this] { commandOpen(); }); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(groupsView);
    // Activating the window puts the keyboard in the list, where Enter opens.
    setFocusProxy(groupsView);
    sizeColumns();
}

Tfrmgrouplist::~Tfrmgrouplist() = default;

void Tfrmgrouplist::sizeColumns()
{
    // Display widths count characters of the grid's font; a column is never
    // narrower than its title or its widest value, so neither is cut off.
    const QFontMetrics cells = groupsView->fontMetrics();
    const QFontMetrics titles(groupsView->horizontalHeader()->font());
    const int ch = cells.averageCharWidth();
    const int pad = 2 * ch;
    auto width = [&](int column, int chars, const QString& widest = {}) {
        const QString title = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        groupsView->setColumnWidth(
            column,
            std::max({chars * ch, titles.horizontalAdvance(title) + ch, cells.horizontalAdvance(widest)}) + pad);
    };
    width(0, 30);
    width(1, 15, QStringLiteral("S,M,T,W,Th,F,Sa"));
    width(2, 10, QStringLiteral("12/31/2027"));
    width(3, 8, QStringLiteral("12:00 PM"));
    width(4, 8, QStringLiteral("12:00 PM"));
    width(5, 6);
    width(6, 10);
}

QString Tfrmgrouplist::datasetStateName() const
{
    return stateName(tbgroups->state());
}

void Tfrmgrouplist::load()
{
    tbgroups->setFilter(QStringLiteral("RTYPE = %1").arg(storedValue(kindOfList)));
    tbgroups->setFiltered(true);
    tbgroups->open();
    model->setDurationTitle(kindOfList == RecordKind::Group ? QStringLiteral("# Weeks") : QStringLiteral("# Rounds"));
    sizeColumns();
}

void Tfrmgrouplist::refresh()
{
    if (tbgroups->isActive())
        tbgroups->refresh();
}

void Tfrmgrouplist::commandAddNew()
{
    if (kindOfList == RecordKind::Group)
        runOpener(0, QStringLiteral("New Group"), HelpContext::SettingUpAGroup);
    else
        runOpener(0, QStringLiteral("New League"), HelpContext::NewLeague);
}

void Tfrmgrouplist::commandOpen()
{
    // With no row there is nothing to open; an editor on id 0 would show a
    // record the user did not choose.
    if (!tbgroups->isActive() || tbgroups->isEmpty() || tbgroups->recNo() < 1) {
        Tdmglobal::instance().beep();
        return;
    }
    const QString prefix = kindOfList == RecordKind::Group ? QStringLiteral("Group: ") : QStringLiteral("League: ");
    runOpener(tbgroups->asInt("GROUPID"), prefix + tbgroups->asString("NAME"), 0);
}

QWidget* Tfrmgrouplist::runOpener(int groupId, const QString& caption, int helpContext)
{
    if (!openEditor)
        throw DbError(QStringLiteral("The group editor is not available."));
    return openEditor(kindOfList, groupId, caption, helpContext);
}

void Tfrmgrouplist::tintColumnTitles()
{
    // Navy titles, lightened as far as a dark header face needs.
    QHeaderView* header = groupsView->horizontalHeader();
    QPalette titles = header->palette();
    titles.setColor(QPalette::ButtonText, readableTint(QColor(0, 0, 128), palette().color(QPalette::Button)));
    header->setPalette(titles);
}

bool Tfrmgrouplist::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        guarded(this, [this] { refresh(); });
    if (e->type() == QEvent::PaletteChange)
        tintColumnTitles();
    return QWidget::event(e);
}

void Tfrmgrouplist::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (activationHooked)
        return;
    // Inside the frame the window's activation is its sub-window's.
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* area = qobject_cast<QMdiArea*>(w)) {
            connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
                if (sub && sub->widget() == this)
                    guarded(this, [this] { refresh(); });
            });
            activationHooked = true;
            break;
        }
    }
}

bool Tfrmgrouplist::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == groupsView && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded(this, [this] { commandOpen(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}
