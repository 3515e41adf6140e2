#pragma once
// The season window of one group or league: its schedule as the printed grid
// shows it (a row per date, a column per court, the entries who sit out),
// and the changes an organiser makes once the schedule is out: substitute,
// swap, re-plan from a date, league results, undo and redo. The window
// asks and shows; SeasonOps checks and writes.
#include "engine/seasonops.h"
#include "engine/standings.h"
#include "windows/childwindow.h"
#include <QWidget>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTableWidget;

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
    void refresh();

    QDate currentDate() const;
    int currentEntry() const;   // 0 when none is chosen

    // The date before which the grid shows dates as played; today unless a test sets it.
    void setToday(const QDate& date) { today = date; }

private:
    void createControls();
    void fillGrid();
    void fillEntries();
    void fillStandings();
    void updateButtons();
    void selectDate(const QDate& date);
    void refused(const QString& reason);
    QString cellText(const QVector<const SeasonRow*>& rows) const;
    QString groupCellText(const QVector<const SeasonRow*>& rows) const;
    bool confirmReplan(const QVector<ReplanCount>& counts);

    std::unique_ptr<SeasonOps> ops;
    QDate today;
    QVector<QDate> dates;
    std::mt19937 random;

    QLabel* lblseason = nullptr;
    QLabel* lblentries = nullptr;
    QTableView* grdseason = nullptr;
    QStandardItemModel* model = nullptr;
    QListWidget* lstentries = nullptr;
    QTableWidget* grdstandings = nullptr;
    QPushButton *btnsubstitute, *btnswap, *btnreplan, *btnwinner, *btnclearresult, *btnstandings, *btnundo, *btnredo;
};
