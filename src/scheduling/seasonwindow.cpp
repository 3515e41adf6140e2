#include "seasonwindow.h"
#include "seasondialogs.h"
#include "engine/seasonnotifier.h"
#include "data/datamodule.h"
#include "windows/guard.h"
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor PlayedShade(232, 232, 232);

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    return b;
}

}   // namespace

Tfrmseason::Tfrmseason(int groupId, QWidget* parent)
    : QWidget(parent), ops(std::make_unique<SeasonOps>(Tdmglobal::instance().database(), groupId)),
      today(QDate::currentDate()), random(std::random_device{}())
{
    setObjectName(QStringLiteral("frmseason"));
    createControls();
    connect(&SeasonNotifier::instance(), &SeasonNotifier::scheduleChanged, this, [this](int changed) {
        if (changed == ops->groupId())
            guarded(this, [this] { refresh(); });
    });
    refresh();
}

Tfrmseason::~Tfrmseason() = default;

Tfrmseason* Tfrmseason::open(int groupId)
{
    auto* window = new Tfrmseason(groupId);
    emit SeasonNotifier::instance().seasonWindowOpened(window);
    if (!window->parentWidget()) {
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    window->grdseason->setFocus();
    return window;
}

void Tfrmseason::createControls()
{
    lblseason = new QLabel(this);
    lblseason->setObjectName(QStringLiteral("lblseason"));

    grdseason = new QTableView(this);
    grdseason->setObjectName(QStringLiteral("grdseason"));
    model = new QStandardItemModel(this);
    grdseason->setModel(model);
    grdseason->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdseason->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdseason->setSelectionMode(QAbstractItemView::SingleSelection);
    grdseason->setTabKeyNavigation(false);
    grdseason->setWordWrap(true);
    grdseason->verticalHeader()->hide();

    lblentries = new QLabel(this);
    lstentries = new QListWidget(this);
    lstentries->setObjectName(QStringLiteral("lstentries"));
    lblentries->setBuddy(lstentries);

    btnsubstitute = button(this, "btnsubstitute", QStringLiteral("Su&bstitute..."),
                           QStringLiteral("Find a free entry to play for the chosen one on this date"));
    btnswap = button(this, "btnswap", QStringLiteral("Swa&p..."),
                     QStringLiteral("The chosen entry trades this date with another entry's date"));
    btnreplan = button(this, "btnreplan", QStringLiteral("Re-pla&n from Date..."),
                       QStringLiteral("Keep the dates before this one and schedule the rest again"));
    btnwinner = button(this, "btnwinner", QStringLiteral("&Enter Winner"),
                       QStringLiteral("The chosen entry won its match on this date"));
    btnclearresult = button(this, "btnclearresult", QStringLiteral("C&lear Result"),
                            QStringLiteral("Remove the result of the chosen entry's match"));
    btnstandings = button(this, "btnstandings", QStringLiteral("Print Stan&dings"),
                          QStringLiteral("Print the league's standings or save them as PDF"));
    btnundo = button(this, "btnundo", QStringLiteral("&Undo"), QStringLiteral("Ctrl+Z"));
    btnredo = button(this, "btnredo", QStringLiteral("Red&o"), QStringLiteral("Ctrl+Y"));

    grdstandings = new QTableWidget(0, 5, this);
    grdstandings->setObjectName(QStringLiteral("grdstandings"));
    grdstandings->setHorizontalHeaderLabels({"Rank", "Entry #:", "Name", "Win", "Loss"});
    grdstandings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdstandings->verticalHeader()->hide();
    grdstandings->setTabKeyNavigation(false);

    auto* side = new QVBoxLayout;
    side->addWidget(lblentries);
    side->addWidget(lstentries, 2);
    for (QPushButton* b : {btnsubstitute, btnswap, btnreplan, btnwinner, btnclearresult, btnstandings})
        side->addWidget(b);
    auto* undoRow = new QHBoxLayout;
    undoRow->addWidget(btnundo);
    undoRow->addWidget(btnredo);
    side->addLayout(undoRow);
    side->addWidget(grdstandings, 2);

    auto* body = new QHBoxLayout;
    body->addWidget(grdseason, 3);
    body->addLayout(side, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblseason);
    layout->addLayout(body);

    // A change that failed (a row changed elsewhere, a database error) has
    // been told; the grid then shows the season as it now stands.
    // Mnemonics differ from the frame's menus and the group editor's
    // controls, which stay open behind this window.
    auto guard = [this](void (Tfrmseason::*handler)()) {
        return [this, handler] {
            if (!guarded(this, [this, handler] { (this->*handler)(); }))
                guarded(this, [this] { refresh(); });
        };
    };
    connect(btnsubstitute, &QPushButton::clicked, this, guard(&Tfrmseason::substituteClicked));
    connect(btnswap, &QPushButton::clicked, this, guard(&Tfrmseason::swapClicked));
    connect(btnreplan, &QPushButton::clicked, this, guard(&Tfrmseason::replanClicked));
    connect(btnwinner, &QPushButton::clicked, this, guard(&Tfrmseason::winnerClicked));
    connect(btnclearresult, &QPushButton::clicked, this, guard(&Tfrmseason::clearResultClicked));
    connect(btnstandings, &QPushButton::clicked, this, guard(&Tfrmseason::standingsClicked));
    connect(btnundo, &QPushButton::clicked, this, guard(&Tfrmseason::undoClicked));
    connect(btnredo, &QPushButton::clicked, this, guard(&Tfrmseason::redoClicked));
    // Ctrl+Y redoes on every platform; one shortcut per key, since two for
    // the same key would cancel each other out.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    const auto bind = [&](const QList<QKeySequence>& keys, void (Tfrmseason::*handler)()) {
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
            connect(shortcut, &QShortcut::activated, this, guard(handler));
        }
    };
    bind(QKeySequence::keyBindings(QKeySequence::Undo), &Tfrmseason::undoClicked);
    bind(redoKeys, &Tfrmseason::redoClicked);
    connect(grdseason->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { guarded(this, [this] { fillEntries(); }); });
    connect(lstentries, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
}

// ------------------------------------------------------------------ showing

void Tfrmseason::refresh()
{
    const QDate keep = currentDate();
    const int keepEntry = currentEntry();
    ops->reload();
    const Season& s = ops->season();
    setWindowTitle((s.isLeague() ? QStringLiteral("Season of League: ") : QStringLiteral("Season of Group: ")) +
                   s.name);
    lblseason->setText(s.rows.isEmpty() ? QStringLiteral("No schedule yet: generate it in the editor (F8) first.")
                                        : QStringLiteral("%1 dates; dates before %2 are shown as played.")
                                              .arg(s.dates.size())
                                              .arg(SeasonOps::dateText(today)));
    fillGrid();
    selectDate(keep.isValid() ? keep : (dates.isEmpty() ? QDate() : dates.first()));
    for (int i = 0; i < lstentries->count(); ++i)
        if (lstentries->item(i)->data(Qt::UserRole).toInt() == keepEntry)
            lstentries->setCurrentRow(i);
    fillStandings();
    updateButtons();
}

// A group's court as the printed grid pairs it: singles "1 v. 2", doubles
// "1 & 2 v. 3 & 4", without a match type one entry a line.
QString Tfrmseason::groupCellText(const QVector<const SeasonRow*>& rows) const
{
    const Season& s = ops->season();
    const int side = storedValue(s.matchType);
    QStringList names;
    for (const SeasonRow* r : rows) {
        const SeasonEntry* e = s.entry(r->entry);
        names << (r->home ? QStringLiteral("(%1)").arg(r->slot) : QString::number(r->slot)) + QLatin1Char(' ') +
                     (e ? e->fullName() : QString());
    }
    if (side == 0)
        return names.join(QLatin1Char('\n'));
    QStringList lines;
    for (int i = 0; i < names.size(); i += side) {
        const QString pair = names.mid(i, side).join(QStringLiteral(" & "));
        lines << (i == side ? QStringLiteral("v. ") + pair : pair);
    }
    return lines.join(QLatin1Char('\n'));
}

QString Tfrmseason::cellText(const QVector<const SeasonRow*>& rows) const
{
    const Season& s = ops->season();
    if (!s.isLeague())
        return groupCellText(rows);
    QStringList lines;
    for (const SeasonRow* r : rows) {
        if (r->opponent == 0)
            continue;   // shown with its match's first row
        const SeasonEntry* e = s.entry(r->entry);
        const SeasonEntry* o = s.entry(r->opponent);
        const SeasonMatch m = s.matchOf(r->entry, r->date);
        const bool opponentHome = m.second && m.second->home;
        QString line = (r->home ? QStringLiteral("(%1)").arg(r->slot) : QString::number(r->slot)) + QLatin1Char(' ') +
                       (e ? e->fullName() : QString()) + QStringLiteral(" v. ") +
                       (opponentHome ? QStringLiteral("(%1)").arg(r->slot2) : QString::number(r->slot2)) +
                       QLatin1Char(' ') + (o ? o->fullName() : QString());
        if (r->winner != 0)
            line += QStringLiteral("\nwon by %1").arg(s.entryText(r->winner));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

void Tfrmseason::fillGrid()
{
    const Season& s = ops->season();
    dates = s.dates;
    model->clear();
    QStringList titles{QStringLiteral("Date")};
    for (int court : s.courtOrder)
        titles << s.courtName(court);
    titles << QStringLiteral("Sitting Out");
    model->setColumnCount(int(titles.size()));
    model->setHorizontalHeaderLabels(titles);
    model->setRowCount(int(dates.size()));
    for (int row = 0; row < dates.size(); ++row) {
        const QDate date = dates[row];
        const QVector<const SeasonRow*> rows = s.rowsOn(date);
        const bool played = date < today;
        auto put = [&](int column, const QString& text) {
            auto* item = new QStandardItem(text);
            if (played)
                item->setBackground(PlayedShade);
            model->setItem(row, column, item);
        };
        put(0, SeasonOps::dateText(date) + (played ? QStringLiteral("\nplayed") : QString()));
        for (int c = 0; c < s.courtOrder.size(); ++c) {
            QVector<const SeasonRow*> onCourt;
            for (const SeasonRow* r : rows)
                if (r->court == s.courtOrder[c])
                    onCourt.append(r);
            put(c + 1, cellText(onCourt));
        }
        QStringList out;
        for (int id : s.sittingOut(date))
            out << s.entryText(id);
        put(int(s.courtOrder.size()) + 1, out.join(QLatin1Char('\n')));
    }
    // The courts share the width; the date and those sitting out fit their text.
    QHeaderView* header = grdseason->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(model->columnCount() - 1, QHeaderView::ResizeToContents);
    grdseason->resizeRowsToContents();
}

// The entries of the chosen date: those who play, then those who sit out.
void Tfrmseason::fillEntries()
{
    const Season& s = ops->season();
    const QDate date = currentDate();
    lstentries->clear();
    lblentries->setText(date.isValid() ? QStringLiteral("Entr&ies on %1:").arg(SeasonOps::dateText(date))
                                       : QStringLiteral("Entr&ies:"));
    if (!date.isValid()) {
        updateButtons();
        return;
    }
    for (const SeasonRow* r : s.rowsOn(date)) {
        auto* item = new QListWidgetItem(s.entryText(r->entry) + QStringLiteral("  -  ") + s.courtName(r->court) +
                                             (r->home ? QStringLiteral(", brings the balls") : QString()),
                                         lstentries);
        item->setData(Qt::UserRole, r->entry);
    }
    for (int id : s.sittingOut(date)) {
        auto* item = new QListWidgetItem(s.entryText(id) + QStringLiteral("  -  sits out"), lstentries);
        item->setData(Qt::UserRole, id);
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    lstentries->setCurrentRow(0);
    updateButtons();
}

void Tfrmseason::fillStandings()
{
    const Season& s = ops->season();
    grdstandings->setVisible(s.isLeague());
    btnwinner->setVisible(s.isLeague());
    btnclearresult->setVisible(s.isLeague());
    btnstandings->setVisible(s.isLeague());
    if (!s.isLeague())
        return;
    const QVector<StandingLine> lines = computeStandings(s);
    grdstandings->setRowCount(int(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        const StandingLine& l = lines[i];
        const QStringList cells = {QString::number(l.rank), QString::number(l.number), l.name, QString::number(l.wins),
                                   QString::number(l.losses)};
        for (int c = 0; c < cells.size(); ++c)
            grdstandings->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    grdstandings->resizeColumnsToContents();
}

void Tfrmseason::updateButtons()
{
    const bool placed = currentEntry() != 0 && ops->season().rowOf(currentEntry(), currentDate());
    btnsubstitute->setEnabled(placed);
    btnswap->setEnabled(placed);
    btnreplan->setEnabled(currentDate().isValid());
    btnwinner->setEnabled(placed);
    btnclearresult->setEnabled(placed);
    btnundo->setEnabled(ops->canUndo());
    btnundo->setText(ops->canUndo() ? QStringLiteral("&Undo ") + ops->undoText() : QStringLiteral("&Undo"));
    btnredo->setEnabled(ops->canRedo());
    btnredo->setText(ops->canRedo() ? QStringLiteral("Red&o ") + ops->redoText() : QStringLiteral("Red&o"));
}

void Tfrmseason::selectDate(const QDate& date)
{
    const int row = int(dates.indexOf(date));
    const int target = row >= 0 ? row : (dates.isEmpty() ? -1 : 0);
    if (target >= 0)
        grdseason->setCurrentIndex(model->index(target, 0));
    fillEntries();
}

QDate Tfrmseason::currentDate() const
{
    const QModelIndex index = grdseason ? grdseason->currentIndex() : QModelIndex();
    return index.isValid() && index.row() < dates.size() ? dates[index.row()] : QDate();
}

int Tfrmseason::currentEntry() const
{
    const QListWidgetItem* item = lstentries ? lstentries->currentItem() : nullptr;
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

void Tfrmseason::refused(const QString& reason)
{
    if (!reason.isEmpty())
        showErrorBox(this, reason);
}

// ------------------------------------------------------------------ changes

void Tfrmseason::substituteClicked()
{
    const int entry = currentEntry();
    const QDate date = currentDate();
    if (!entry || !ops->season().rowOf(entry, date))
        return refused(QStringLiteral("Choose an entry who plays on the date first."));
    const QVector<SubstituteCandidate> candidates = ops->substituteCandidates(entry, date);
    if (candidates.isEmpty())
        return refused(SeasonOps::nobodyFree(date));
    TdlgSubstitute dialog(
        QStringLiteral("Who plays for %1 on %2?").arg(ops->season().entryText(entry), SeasonOps::dateText(date)),
        candidates, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosenEntry())
        return;
    refused(ops->substitute(entry, date, dialog.chosenEntry()));
}

void Tfrmseason::swapClicked()
{
    const int entry = currentEntry();
    const QDate date = currentDate();
    if (!entry || !ops->season().rowOf(entry, date))
        return refused(QStringLiteral("Choose an entry who plays on the date first."));
    TdlgSwap dialog(ops->season(), entry, date, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!dialog.chosenEntry())
        return refused(QStringLiteral("Choose the entry to swap with."));
    refused(ops->swap(entry, date, dialog.chosenEntry(), dialog.chosenDate()));
}

bool Tfrmseason::confirmReplan(const QVector<ReplanCount>& counts)
{
    TdlgReplan dialog(currentDate(), counts, this);
    return dialog.exec() == QDialog::Accepted;
}

void Tfrmseason::replanClicked()
{
    const QDate date = currentDate();
    if (!date.isValid())
        return refused(QStringLiteral("Choose the date from which to re-plan."));
    BusyCursor busy;
    refused(ops->replan(date, random, [this](const QVector<ReplanCount>& counts) { return confirmReplan(counts); }));
}

void Tfrmseason::winnerClicked()
{
    refused(ops->setWinner(currentEntry(), currentDate(), currentEntry()));
}

void Tfrmseason::clearResultClicked()
{
    refused(ops->setWinner(currentEntry(), currentDate(), 0));
}

void Tfrmseason::standingsClicked()
{
    const Season& s = ops->season();
    if (!s.isLeague())
        return refused(QStringLiteral("Standings are kept for leagues only."));
    SeasonNotifier& notifier = SeasonNotifier::instance();
    if (!notifier.printsStandings())
        return refused(QStringLiteral("Printing is not available."));
    emit notifier.standingsPrintRequested(s.name, computeStandings(s), this);
}

void Tfrmseason::commandPrint()
{
    Tdmglobal::instance().printSchedule(ops->groupId());
}

void Tfrmseason::undoClicked()
{
    if (!ops->undo())
        Tdmglobal::instance().beep();
}

void Tfrmseason::redoClicked()
{
    if (!ops->redo())
        Tdmglobal::instance().beep();
}
