#include "seasonwindow.h"
#include "noticesdialog.h"
#include "seasondialogs.h"
#include "engine/emptyplaces.h"
#include "engine/seasonnotifier.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include "windows/palettecolours.h"
#include <QGuiApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace {

const QString EmptyPlaceText = QStringLiteral("(empty place)");
// Marks a place on a date to come that its entry, or the whole group, has
// off: a day off recorded after the schedule was made.
const QString DayOffMark = QStringLiteral(" (day off)");
const QString GroupDayOffText = QStringLiteral("day off");

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    return b;
}

// The texts of one season's grid. Entries are found by id through an index,
// not by a walk through the entries for every row and every one sitting out.
class GridTexts {
public:
    GridTexts(const Season& season, const QDate& today) : s(season), today(today)
    {
        for (int i = 0; i < s.entries.size(); ++i)
            positionOf.insert(s.entries[i].id, i);
    }

    int entryCount() const { return int(s.entries.size()); }
    int position(int entry) const { return positionOf.value(entry, -1); }

    QString entryText(int entry) const
    {
        const int at = position(entry);
        return at < 0 ? QStringLiteral("(removed entry)")
                      : QString::number(s.entries[at].number) + QLatin1Char(' ') + s.entries[at].fullName();
    }

    // One court on one date, an entry a line so that a column stays as
    // narrow as its longest name: a partner's line starts with "&", the
    // other side's with "v."; without a match type the entries stand apart.
    // A place nobody holds shows as such, where the player would stand.
    QString court(const QVector<const SeasonRow*>& rows, int missing) const
    {
        return s.isLeague() ? leagueCourt(rows) : groupCourt(rows, missing);
    }

private:
    QString name(int entry) const
    {
        const int at = position(entry);
        return at < 0 ? QString() : s.entries[at].fullName();
    }
    // The entry's name where it plays on the date.
    QString placed(int entry, const QDate& date) const
    {
        const int at = position(entry);
        if (at < 0)
            return {};
        const bool off = date >= today && s.isOff(s.entries[at], date);
        return s.entries[at].fullName() + (off ? DayOffMark : QString());
    }
    static QString code(bool home, int slot) { return home ? QStringLiteral("(%1)").arg(slot) : QString::number(slot); }

    QString groupCourt(const QVector<const SeasonRow*>& rows, int missing) const
    {
        const int side = storedValue(s.matchType);
        QStringList lines;
        for (int i = 0; i < rows.size() + missing; ++i) {
            QString line = i < rows.size() ? code(rows[i]->home, rows[i]->slot) + QLatin1Char(' ') +
                                                 placed(rows[i]->entry, rows[i]->date)
                                           : EmptyPlaceText;
            if (side > 0 && i % side != 0)
                line.prepend(QStringLiteral("& "));
            else if (side > 0 && i == side)
                line.prepend(QStringLiteral("v. "));
            lines << line;
        }
        return lines.join(QLatin1Char('\n'));
    }

    // A match shows from its first row, which names the opponent; the
    // opponent's own row on the court says whether it brings the balls.
    // A side whose opponent left the league stands with an empty place.
    QString leagueCourt(const QVector<const SeasonRow*>& rows) const
    {
        QStringList lines;
        for (const SeasonRow* r : rows) {
            if (r->opponent == 0) {
                const bool underFirst = std::any_of(
                    rows.cbegin(), rows.cend(), [r](const SeasonRow* o) { return o != r && o->opponent == r->entry; });
                if (!underFirst)
                    lines << code(r->home, r->slot) + QLatin1Char(' ') + placed(r->entry, r->date)
                          << QStringLiteral("v. ") + EmptyPlaceText;
                continue;
            }
            bool opponentHome = false;
            for (const SeasonRow* o : rows)
                if (o != r && o->entry == r->opponent && o->opponent == 0)
                    opponentHome = o->home;
            lines << code(r->home, r->slot) + QLatin1Char(' ') + placed(r->entry, r->date);
            lines << QStringLiteral("v. ") +
                         (position(r->opponent) < 0
                              ? EmptyPlaceText
                              : code(opponentHome, r->slot2) + QLatin1Char(' ') + placed(r->opponent, r->date));
            if (r->winner != 0)
                lines << QStringLiteral("won by %1").arg(entryText(r->winner));
        }
        return lines.join(QLatin1Char('\n'));
    }

    const Season& s;
    QDate today;
    QHash<int, int> positionOf;
};

// Widths of text lines summed from each character's advance, kept per
// character. Kerning and ligatures only narrow such text, so the sum is a
// safe ranking of every line of a big season, which shaping each cell
// (the cost of measuring it the usual way) is not; the few widest lines are
// then measured exactly.
class LineWidths {
public:
    explicit LineWidths(const QFont& font) : metrics(font), advance(0x10000, -1) {}

    qreal of(QStringView line)
    {
        qreal width = 0;
        for (QChar c : line) {
            qreal& a = advance[c.unicode()];
            if (a < 0)
                a = c.isSurrogate() ? metrics.maxWidth() / 2 : metrics.horizontalAdvance(c);
            width += a;
        }
        return width;
    }

private:
    QFontMetricsF metrics;
    std::vector<qreal> advance;
};

// The widest lines of one kind of column by that estimate.
class WidestLines {
public:
    void offer(qreal estimate, QStringView line)
    {
        if (kept.size() == Kept && estimate <= kept.last().first)
            return;
        auto at = std::find_if(kept.begin(), kept.end(), [&](const auto& k) { return k.first < estimate; });
        kept.insert(at, {estimate, line.toString()});
        if (kept.size() > Kept)
            kept.removeLast();
    }
    QStringList lines() const
    {
        QStringList list;
        for (const auto& k : kept)
            list << k.second;
        return list;
    }

private:
    static constexpr int Kept = 8;
    QVector<QPair<qreal, QString>> kept;
};

// The size of a cell as the grid's delegate draws it, found from its text
// alone, for the few texts that decide the columns' widths and the rows'
// heights. The grid line around a cell is counted as the view counts it.
class CellProbe {
public:
    explicit CellProbe(QTableView* view) : grid(view)
    {
        probe.appendRow(new QStandardItem);
        option.initFrom(view);
        option.widget = view;
        option.font = view->font();
        option.fontMetrics = QFontMetrics(option.font);
        option.displayAlignment = Qt::AlignLeft | Qt::AlignTop;
        option.textElideMode = view->textElideMode();
        if (view->wordWrap())
            option.features |= QStyleOptionViewItem::WrapText;
    }

    QSize size(const QString& text)
    {
        probe.item(0)->setText(text);
        const int line = grid->showGrid() ? 1 : 0;
        return grid->itemDelegate()->sizeHint(option, probe.index(0, 0)) + QSize(line, line);
    }
    int width(const QStringList& texts)
    {
        int widest = 0;
        for (const QString& t : texts)
            widest = qMax(widest, size(t).width());
        return widest;
    }
    int height(int lines)
    {
        auto known = heights.constFind(lines);
        if (known != heights.cend())
            return *known;
        const int h = size(QStringLiteral("X\n").repeated(qMax(1, lines)).chopped(1)).height();
        heights.insert(lines, h);
        return h;
    }

private:
    QTableView* grid;
    QStandardItemModel probe;
    QStyleOptionViewItem option;
    QHash<int, int> heights;
};

}   // namespace

// The season grid's texts, a row per date and a column per court between
// the date and those sitting out, held as plain strings for the view to
// ask for cell by cell.
class SeasonGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void reset(QStringList columnTitles, QVector<QString> texts, QVector<bool> playedRows)
    {
        beginResetModel();
        titles = std::move(columnTitles);
        cells = std::move(texts);
        played = std::move(playedRows);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(played.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(titles.size()); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        switch (role) {
        case Qt::DisplayRole: return cells[index.row() * titles.size() + index.column()];
        case Qt::BackgroundRole:
            return played[index.row()] ? QVariant(QBrush(playedRowShade(QGuiApplication::palette()))) : QVariant();
        // A row made tall by those sitting out keeps every court's match
        // at its top, where the eye starts reading.
        case Qt::TextAlignmentRole: return int(Qt::AlignLeft | Qt::AlignTop);
        default: return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
            return titles[section];
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    QStringList titles;
    QVector<QString> cells;   // row by row
    QVector<bool> played;
};

Tfrmseason::Tfrmseason(int groupId, QWidget* parent)
    : QWidget(parent), ops(std::make_unique<SeasonOps>(Tdmglobal::instance().database(), groupId)),
      today(QDate::currentDate()), random(std::random_device{}())
{
    setObjectName(QStringLiteral("frmseason"));
    setHelpContext(this, HelpContext::SeasonWindow);
    noticedUpTo = lastLogId(Tdmglobal::instance().database(), groupId);
    createControls();
    connect(&SeasonNotifier::instance(), &SeasonNotifier::scheduleChanged, this, [this](int changed) {
        if (changed == ops->groupId())
            guarded(this, [this] { ownChange ? showSeason() : refresh(); });
    });
    showSeason();   // SeasonOps has just read it
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
    lblseason->setWordWrap(true);

    grdseason = new QTableView(this);
    grdseason->setObjectName(QStringLiteral("grdseason"));
    grdseason->setAccessibleName(QStringLiteral("Season"));
    model = new SeasonGridModel(this);
    grdseason->setModel(model);
    grdseason->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdseason->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdseason->setSelectionMode(QAbstractItemView::SingleSelection);
    grdseason->setTabKeyNavigation(false);
    // Columns are made wide enough for every line, so nothing wraps; a
    // column the user narrows cuts its lines short with an ellipsis.
    grdseason->setWordWrap(false);
    // A date with many sitting out is taller than the window: scrolling by
    // pixels reaches its end, scrolling a date at a time would jump past it.
    grdseason->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    grdseason->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grdseason->verticalHeader()->hide();
    grdseason->horizontalHeader()->setStretchLastSection(true);

    lblentries = new QLabel(this);
    lstentries = new QListWidget(this);
    lstentries->setObjectName(QStringLiteral("lstentries"));
    lstentries->setAccessibleName(QStringLiteral("Entries on the date"));   // the label above names the date
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
    btnnotices = button(this, "btnnotices", QStringLiteral("Tell the Pla&yers..."),
                        QStringLiteral("Write to the players whose dates changed since this window opened"));

    grdstandings = new QTableWidget(0, 5, this);
    grdstandings->setObjectName(QStringLiteral("grdstandings"));
    grdstandings->setAccessibleName(QStringLiteral("Standings"));
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
    side->addWidget(btnnotices);
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
    connect(btnnotices, &QPushButton::clicked, this, guard(&Tfrmseason::noticesClicked));
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
    ops->reload();
    showSeason();
}

void Tfrmseason::showSeason()
{
    const QDate keep = currentDate();
    const int keepEntry = currentEntry();
    const Season& s = ops->season();
    places = emptyPlaces(s);
    int missing = 0;
    for (const EmptyPlace& p : places)
        missing += p.date >= today ? p.missing : 0;
    setWindowTitle((s.isLeague() ? QStringLiteral("Season of League: ") : QStringLiteral("Season of Group: ")) +
                   s.name);
    QString summary = s.rows.isEmpty() ? QStringLiteral("No schedule yet: generate it in the editor (F8) first.")
                                       : QStringLiteral("%1 dates; dates before %2 are shown as played.")
                                             .arg(s.dates.size())
                                             .arg(SeasonOps::dateText(today));
    if (missing > 0)
        summary += QStringLiteral(" %1 on dates to come: choose the date, its empty place under Entries, then "
                                  "Substitute.")
                       .arg(emptyPlacesText(missing));
    if (const qsizetype clashes = dayOffClashes(s, today).size(); clashes > 0)
        summary += QStringLiteral(" %1 on dates to come %2 on a day off, marked \"day off\": substitute for them, "
                                  "or re-plan from the first such date.")
                       .arg(clashes == 1 ? QStringLiteral("1 place") : QStringLiteral("%1 places").arg(clashes),
                            clashes == 1 ? QStringLiteral("falls") : QStringLiteral("fall"));
    lblseason->setText(summary);
    fillGrid();
    selectDate(keep.isValid() ? keep : (dates.isEmpty() ? QDate() : dates.first()));
    for (int i = 0; i < lstentries->count(); ++i)
        if (lstentries->item(i)->data(Qt::UserRole).toInt() == keepEntry)
            lstentries->setCurrentRow(i);
    fillStandings();
    updateButtons();
}

// Rows and columns are sized from the texts' line counts and their widest
// lines, not by measuring every cell: shaping the 50,000 cells of a
// 100,000-row season took seconds. Every line fits its column unwrapped,
// a row is as tall as its cell with the most lines, and the columns of the
// courts share the width of the widest.
void Tfrmseason::fillGrid()
{
    const Season& s = ops->season();
    const GridTexts texts(s, today);
    dates = s.dates;
    QStringList titles{QStringLiteral("Date")};
    QHash<int, int> columnOf;
    for (int c : s.courtOrder) {
        columnOf.insert(c, int(titles.size()) - 1);
        titles << s.courtName(c);
    }
    titles << QStringLiteral("Sitting Out");
    const int columns = int(titles.size());
    const int courts = int(s.courtOrder.size());

    LineWidths estimate(grdseason->font());
    WidestLines widestDate, widestCourt, widestOut;
    QVector<QString> cells;
    cells.reserve(dates.size() * columns);
    QVector<bool> played;
    QVector<int> rowLines;
    QVector<QVector<const SeasonRow*>> onCourt(courts);
    QVector<int> missingOnCourt(courts);
    auto nextPlace = places.cbegin();
    for (const QDate& date : dates) {
        std::fill(missingOnCourt.begin(), missingOnCourt.end(), 0);
        int missing = 0;
        for (; nextPlace != places.cend() && nextPlace->date <= date; ++nextPlace)
            if (nextPlace->date == date && columnOf.contains(nextPlace->court)) {
                missingOnCourt[columnOf.value(nextPlace->court)] += nextPlace->missing;
                missing += nextPlace->missing;
            }
        for (auto& list : onCourt)
            list.clear();
        std::vector<bool> placed(texts.entryCount(), false);
        for (const SeasonRow* r : s.rowsOn(date)) {
            onCourt[columnOf.value(r->court)].append(r);
            if (const int at = texts.position(r->entry); at >= 0)
                placed[at] = true;
        }
        QStringList out;
        for (int i = 0; i < texts.entryCount(); ++i)
            if (!placed[i])
                out << texts.entryText(s.entries[i].id);

        played << (date < today);
        const bool groupOff = !played.last() && s.groupDaysOff.contains(date);
        cells << SeasonOps::dateText(date) + (played.last() ? QStringLiteral("\nplayed") : QString()) +
                     (groupOff ? QLatin1Char('\n') + GroupDayOffText : QString()) +
                     (missing > 0 ? QLatin1Char('\n') + emptyPlacesText(missing) : QString());
        for (int c = 0; c < courts; ++c)
            cells << texts.court(onCourt[c], missingOnCourt[c]);
        cells << out.join(QLatin1Char('\n'));

        int lines = 1;
        for (int c = 0; c < columns; ++c) {
            WidestLines& widest = c == 0 ? widestDate : (c == columns - 1 ? widestOut : widestCourt);
            const QString& cell = cells[cells.size() - columns + c];
            int count = 0;
            for (QStringView line : QStringView(cell).split(QLatin1Char('\n'))) {
                widest.offer(estimate.of(line), line);
                ++count;
            }
            lines = qMax(lines, count);
        }
        rowLines << lines;
    }
    model->reset(titles, std::move(cells), std::move(played));

    CellProbe probe(grdseason);
    QHeaderView* header = grdseason->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    auto titleWidth = [header](int first, int last) {
        int widest = 0;
        for (int c = first; c <= last; ++c)
            widest = qMax(widest, header->sectionSizeHint(c));
        return widest;
    };
    header->resizeSection(0, qMax(probe.width(widestDate.lines()), titleWidth(0, 0)));
    const int courtWidth = qMax(probe.width(widestCourt.lines()), titleWidth(1, courts));
    for (int c = 1; c <= courts; ++c)
        header->resizeSection(c, courtWidth);
    header->resizeSection(columns - 1, qMax(probe.width(widestOut.lines()), titleWidth(columns - 1, columns - 1)));
    QHeaderView* rows = grdseason->verticalHeader();
    for (int row = 0; row < rowLines.size(); ++row)
        rows->resizeSection(row, probe.height(rowLines[row]));
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
    for (const EmptyPlace& p : places) {
        if (p.date != date)
            continue;
        auto* item = new QListWidgetItem(s.courtName(p.court) + QStringLiteral("  -  ") + emptyPlacesText(p.missing),
                                         lstentries);
        item->setData(Qt::UserRole, 0);
        item->setData(EmptyCourtRole, p.court);
    }
    for (const SeasonRow* r : s.rowsOn(date)) {
        const QString court = s.courtName(r->court);
        const SeasonEntry* e = s.entry(r->entry);
        const bool off = date >= today && (s.groupDaysOff.contains(date) || (e && s.isOff(*e, date)));
        auto* item = new QListWidgetItem(s.entryText(r->entry) + QStringLiteral("  -  ") + court +
                                             (r->home ? QStringLiteral(", brings the balls") : QString()) +
                                             (off ? QStringLiteral(", has the day off") : QString()),
                                         lstentries);
        item->setData(Qt::UserRole, r->entry);
    }
    for (int id : s.sittingOut(date)) {
        auto* item = new QListWidgetItem(s.entryText(id) + QStringLiteral("  -  sits out"), lstentries);
        item->setData(Qt::UserRole, id);
        item->setForeground(palette().color(QPalette::PlaceholderText));
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
    btnsubstitute->setEnabled(placed || currentEmptyCourt() != 0);
    btnswap->setEnabled(placed);
    btnreplan->setEnabled(currentDate().isValid());
    btnwinner->setEnabled(placed);
    btnclearresult->setEnabled(placed);
    btnundo->setEnabled(ops->canUndo());
    btnundo->setText(ops->canUndo() ? QStringLiteral("&Undo ") + ops->undoText() : QStringLiteral("&Undo"));
    btnredo->setEnabled(ops->canRedo());
    btnredo->setText(ops->canRedo() ? QStringLiteral("Red&o ") + ops->redoText() : QStringLiteral("Red&o"));
}

void Tfrmseason::showPlace(const QDate& date, int entry)
{
    selectDate(date);
    for (int i = 0; i < lstentries->count(); ++i)
        if (lstentries->item(i)->data(Qt::UserRole).toInt() == entry)
            lstentries->setCurrentRow(i);
    updateButtons();
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

int Tfrmseason::currentEmptyCourt() const
{
    const QListWidgetItem* item = lstentries ? lstentries->currentItem() : nullptr;
    return item ? item->data(EmptyCourtRole).toInt() : 0;
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
    if (const int court = currentEmptyCourt())
        return fillEmptyPlace(court, date);
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
    const QScopedValueRollback<bool> own(ownChange, true);
    refused(ops->substitute(entry, date, dialog.chosenEntry()));
}

// A place nobody holds (a player deleted, a date the run could not fill)
// is offered to the free entries as a substitute's place is.
void Tfrmseason::fillEmptyPlace(int court, const QDate& date)
{
    const QVector<SubstituteCandidate> candidates = ops->placeCandidates(date);
    if (candidates.isEmpty())
        return refused(SeasonOps::nobodyFree(date));
    TdlgSubstitute dialog(QStringLiteral("Who takes the empty place on %1 on %2?")
                              .arg(ops->season().courtName(court), SeasonOps::dateText(date)),
                          candidates, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosenEntry())
        return;
    const QScopedValueRollback<bool> own(ownChange, true);
    refused(ops->fillPlace(date, court, dialog.chosenEntry()));
}

void Tfrmseason::swapClicked()
{
    const int entry = currentEntry();
    const QDate date = currentDate();
    if (!entry || !ops->season().rowOf(entry, date))
        return refused(QStringLiteral("Choose an entry who plays on the date first."));
    const QScopedValueRollback<bool> own(ownChange, true);
    TdlgSwap dialog(*ops, entry, date, this);
    // A swap refused as stale inside the dialog read the season again.
    if (dialog.exec() != QDialog::Accepted)
        showSeason();
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
    const QScopedValueRollback<bool> own(ownChange, true);
    refused(ops->replan(date, random, [this](const QVector<ReplanCount>& counts) { return confirmReplan(counts); }));
}

void Tfrmseason::winnerClicked()
{
    const QScopedValueRollback<bool> own(ownChange, true);
    refused(ops->setWinner(currentEntry(), currentDate(), currentEntry()));
}

void Tfrmseason::clearResultClicked()
{
    const QScopedValueRollback<bool> own(ownChange, true);
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

void Tfrmseason::noticesClicked()
{
    const Notices notices = noticesAfter(Tdmglobal::instance().database(), ops->groupId(), noticedUpTo);
    if (notices.isEmpty()) {
        QMessageBox::information(this, QStringLiteral("Tell the Players"),
                                 QStringLiteral("No player's dates changed since this window opened or last told "
                                                "the players."));
        return;
    }
    TdlgNotices dialog(notices, this);
    dialog.exec();
    if (dialog.sent())
        noticedUpTo = notices.lastLogId;
}

void Tfrmseason::undoClicked()
{
    const QScopedValueRollback<bool> own(ownChange, true);
    if (!ops->undo())
        Tdmglobal::instance().beep();
}

void Tfrmseason::redoClicked()
{
    const QScopedValueRollback<bool> own(ownChange, true);
    if (!ops->redo())
        Tdmglobal::instance().beep();
}
