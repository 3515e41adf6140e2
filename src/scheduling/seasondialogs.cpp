#include "seasondialogs.h"
#include "data/helpcontexts.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

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
    setHelpContext(this, HelpContext::SeasonWindow);
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

TdlgSwap::TdlgSwap(SeasonOps& seasonOps, int e, const QDate& d, QWidget* parent)
    : QDialog(parent), ops(seasonOps), entry(e), date(d)
{
    setObjectName(QStringLiteral("dlgswap"));
    setHelpContext(this, HelpContext::SeasonWindow);
    setWindowTitle(QStringLiteral("Swap"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("%1 gives up %2 and plays instead the date of:")
                                     .arg(ops.season().entryText(entry), SeasonOps::dateText(date)),
                                 this));
    cbdates = new QComboBox(this);
    cbdates->setObjectName(QStringLiteral("cbdates"));
    layout->addWidget(cbdates);
    lstentries = new QListWidget(this);
    lstentries->setObjectName(QStringLiteral("lstswapentries"));
    layout->addWidget(lstentries);
    lblnobody = new QLabel(this);
    lblnobody->setObjectName(QStringLiteral("lblnobody"));
    lblnobody->setWordWrap(true);
    layout->addWidget(lblnobody);
    QDialogButtonBox* buttons = okCancel(this, QStringLiteral("Swap"));
    btnswap = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);
    connect(cbdates, &QComboBox::currentIndexChanged, this, &TdlgSwap::fillEntries);
    // Enter reaches the default button from the list as well: one swap a key.
    connect(lstentries, &QListWidget::itemDoubleClicked, this, &TdlgSwap::accept);
    fillDates();
    resize(420, 360);
    cbdates->setFocus();
}

// The dates on which somebody plays who is free on the entry's date; the
// entry's own dates are left out, since it cannot play one twice.
void TdlgSwap::fillDates()
{
    const Season& season = ops.season();
    freeOnDate.clear();
    for (const SubstituteCandidate& c : ops.substituteCandidates(entry, date))
        freeOnDate.insert(c.entry);
    const QDate keep = chosenDate();
    const QSignalBlocker quiet(cbdates);
    cbdates->clear();
    for (const QDate& d : season.dates) {
        if (d == date || season.rowOf(entry, d))
            continue;
        const QVector<const SeasonRow*> rows = season.rowsOn(d);
        if (std::any_of(rows.cbegin(), rows.cend(), [&](const SeasonRow* r) { return freeOnDate.contains(r->entry); }))
            cbdates->addItem(SeasonOps::dateText(d), d);
    }
    cbdates->setCurrentIndex(qMax(0, cbdates->findData(keep)));
    fillEntries();
}

// Those who play on the chosen date and are free on the entry's, when the
// entry is free on theirs: SeasonOps answers both as it answers for a
// substitute.
void TdlgSwap::fillEntries()
{
    const Season& season = ops.season();
    lstentries->clear();
    const QDate other = chosenDate();
    const QVector<const SeasonRow*> rows = season.rowsOn(other);
    bool entryFree = false;
    if (!rows.isEmpty())
        for (const SubstituteCandidate& c : ops.substituteCandidates(rows.first()->entry, other))
            entryFree = entryFree || c.entry == entry;
    if (entryFree)
        for (const SeasonRow* r : rows)
            if (freeOnDate.contains(r->entry))
                entryItem(season.entryText(r->entry), r->entry, lstentries);
    lstentries->setCurrentRow(0);
    lblnobody->setText(emptyReason());
    lblnobody->setVisible(lstentries->count() == 0);
    btnswap->setEnabled(lstentries->count() > 0);
}

QString TdlgSwap::emptyReason() const
{
    const QString who = ops.season().entryText(entry);
    if (cbdates->count() == 0)
        return QStringLiteral("Nobody can trade dates with %1 now: every other date's players play on %2 too "
                              "or have it off. Cancel, and try a substitute instead.")
            .arg(who, SeasonOps::dateText(date));
    if (lstentries->count() == 0)
        return QStringLiteral("%1 cannot play on %2 (a day off); choose another date.")
            .arg(who, cbdates->currentText());
    return {};
}

QDate TdlgSwap::chosenDate() const
{
    return cbdates->currentData().toDate();
}

int TdlgSwap::chosenEntry() const
{
    return chosenIn(lstentries);
}

// The swap is made here, so that a refusal leaves the dialog open on what
// is free now.
void TdlgSwap::accept()
{
    const int partner = chosenEntry();
    if (!partner)
        return showErrorBox(this, QStringLiteral("Choose the entry to swap with."));
    QString refusal;
    const bool ran = guarded(this, [&] { refusal = ops.swap(entry, date, partner, chosenDate()); });
    if (ran && refusal.isEmpty())
        return QDialog::accept();
    if (!refusal.isEmpty())
        showErrorBox(this, refusal);
    fillDates();
}

TdlgReplan::TdlgReplan(const QDate& from, const QVector<ReplanCount>& counts, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgreplan"));
    setHelpContext(this, HelpContext::SeasonWindow);
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
