#pragma once
// The season window of one group or league: its schedule as the printed grid
// shows it (a row per date, a column per court, the entries who sit out),
// and the changes an organiser makes once the schedule is out: substitute,
// swap, re-plan from a date, league results, undo and redo. The window
// asks and shows; SeasonOps checks and writes.
#include "engine/emptyplaces.h"
#include "engine/seasonops.h"
#include "engine/standings.h"
#include "windows/childwindow.h"
#include <QWidget>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QTableView;
class QTableWidget;
class SeasonGridModel;

class Tfrmseason : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    explicit Tfrmseason(int groupId, QWidget* parent = nullptr);
    ~Tfrmseason() override;

    int windowKind() const override { return SeasonWindow; }
    void commandPrint() override;

    // Opens a season window as a child window of the frame, which takes it
    // in on SeasonNotifier::seasonWindowOpened; where nothing does, the
    // window stands alone.
    static Tfrmseason* open(int groupId);

    SeasonOps& operations() { return *ops; }
    QTableView* grid() const { return grdseason; }
    QListWidget* entriesList() const { return lstentries; }

    // --- what the buttons and keys do; public for the tests ---
    void substituteClicked();
    void swapClicked();
    void replanClicked();
    void winnerClicked();
    void clearResultClicked();
    void standingsClicked();
    void undoClicked();
    void redoClicked();
    // The players whose dates changed since the window opened, or since its
    // last notice went out.
    void noticesClicked();
    void refresh();

    // Puts the grid on the date and the entries list on the entry there.
    void showPlace(const QDate& date, int entry);

    QDate currentDate() const;
    int currentEntry() const;   // 0 when none is chosen
    // The court of the empty place chosen in the entries list, else 0.
    int currentEmptyCourt() const;

    // The date before which the grid shows dates as played; today unless a test sets it.
    void setToday(const QDate& date) { today = date; }

private:
    void createControls();
    void showSeason();
    void fillGrid();
    void fillEntries();
    void fillStandings();
    void updateButtons();
    void selectDate(const QDate& date);
    void refused(const QString& reason);
    bool confirmReplan(const QVector<ReplanCount>& counts);
    void fillEmptyPlace(int court, const QDate& date);

    static constexpr int EmptyCourtRole = Qt::UserRole + 1;

    std::unique_ptr<SeasonOps> ops;
    QDate today;
    QVector<QDate> dates;
    QVector<EmptyPlace> places;   // of the season shown, by date
    std::mt19937 random;
    // Set while this window's own change runs: the season is read again
    // by the change itself, and the window only shows it.
    bool ownChange = false;
    qint64 noticedUpTo = 0;   // the last SCHEDLOG row told of from here

    QLabel* lblseason = nullptr;
    QLabel* lblentries = nullptr;
    QTableView* grdseason = nullptr;
    SeasonGridModel* model = nullptr;
    QListWidget* lstentries = nullptr;
    QTableWidget* grdstandings = nullptr;
    QPushButton *btnsubstitute, *btnswap, *btnreplan, *btnwinner, *btnclearresult, *btnstandings, *btnundo, *btnredo,
        *btnnotices;
};
