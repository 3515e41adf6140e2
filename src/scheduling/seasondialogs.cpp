#include "seasondialogs.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QDialogButtonBox* okCancel(QDialog* dialog, const QString& okText)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(okText);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QListWidgetItem* entryItem(const QString& text, int entry, QListWidget* list)
{
    auto* item = new QListWidgetItem(text, list);
    item->setData(Qt::UserRole, entry);
    return item;
}

int chosenIn(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

}   // namespace

QString candidateText(const SubstituteCandidate& c)
{
    const QString last = c.lastPlayed.isValid()
                             ? QStringLiteral("last played %1").arg(SeasonOps::dateText(c.lastPlayed))
                             : QStringLiteral("not played yet");
    return QStringLiteral("%1 %2  -  %3 dates, %4").arg(c.number).arg(c.name).arg(c.played).arg(last);
}

TdlgSubstitute::TdlgSubstitute(const QString& question, const QVector<SubstituteCandidate>& candidates, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgsubstitute"));
    setWindowTitle(QStringLiteral("Substitute"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(question, this));
    lstcandidates = new QListWidget(this);
    lstcandidates->setObjectName(QStringLiteral("lstcandidates"));
    for (const SubstituteCandidate& c : candidates)
        entryItem(candidateText(c), c.entry, lstcandidates);
    lstcandidates->setCurrentRow(0);
    connect(lstcandidates, &QListWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(lstcandidates);
    layout->addWidget(okCancel(this, QStringLiteral("Substitute")));
    resize(460, 320);
    lstcandidates->setFocus();
}

int TdlgSubstitute::chosenEntry() const
{
    return chosenIn(lstcandidates);
}

TdlgSwap::TdlgSwap(const Season& s, int e, const QDate& date, QWidget* parent) : QDialog(parent), season(s), entry(e)
{
    setObjectName(QStringLiteral("dlgswap"));
    setWindowTitle(QStringLiteral("Swap"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("%1 gives up %2 and plays instead the date of:")
                                     .arg(season.entryText(entry), SeasonOps::dateText(date)),
                                 this));
    cbdates = new QComboBox(this);
    cbdates->setObjectName(QStringLiteral("cbdates"));
    for (const QDate& d : season.dates)
        if (d != date)
            cbdates->addItem(SeasonOps::dateText(d), d);
    layout->addWidget(cbdates);
    lstentries = new QListWidget(this);
    lstentries->setObjectName(QStringLiteral("lstswapentries"));
    layout->addWidget(lstentries);
    layout->addWidget(okCancel(this, QStringLiteral("Swap")));
    connect(cbdates, &QComboBox::currentIndexChanged, this, &TdlgSwap::fillEntries);
    connect(lstentries, &QListWidget::itemActivated, this, &QDialog::accept);
    fillEntries();
    resize(420, 360);
    cbdates->setFocus();
}

// The entries who play on the chosen date, apart from the one giving up his.
void TdlgSwap::fillEntries()
{
    lstentries->clear();
    for (const SeasonRow* r : season.rowsOn(chosenDate()))
        if (r->entry != entry)
            entryItem(season.entryText(r->entry), r->entry, lstentries);
    lstentries->setCurrentRow(0);
}

QDate TdlgSwap::chosenDate() const
{
    return cbdates->currentData().toDate();
}

int TdlgSwap::chosenEntry() const
{
    return chosenIn(lstentries);
}

TdlgReplan::TdlgReplan(const QDate& from, const QVector<ReplanCount>& counts, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgreplan"));
    setWindowTitle(QStringLiteral("Re-plan from %1").arg(SeasonOps::dateText(from)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Dates played over the whole season before and after the re-plan. "
                                                "Accept keeps the new schedule; Cancel leaves it as it was."),
                                 this));
    grdcounts = new QTableWidget(int(counts.size()), 4, this);
    grdcounts->setObjectName(QStringLiteral("grdcounts"));
    grdcounts->setHorizontalHeaderLabels({"Entry #:", "Name", "Before", "After"});
    grdcounts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdcounts->verticalHeader()->hide();
    for (int i = 0; i < counts.size(); ++i) {
        const ReplanCount& c = counts[i];
        const QStringList cells = {QString::number(c.number), c.name, QString::number(c.before),
                                   QString::number(c.after)};
        for (int col = 0; col < cells.size(); ++col)
            grdcounts->setItem(i, col, new QTableWidgetItem(cells[col]));
    }
    grdcounts->resizeColumnsToContents();
    grdcounts->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grdcounts);
    layout->addWidget(okCancel(this, QStringLiteral("Accept")));
    resize(460, 420);
}
