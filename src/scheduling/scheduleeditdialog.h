#pragma once
#include "data/kinds.h"
#include "data/query.h"
#include "data/table.h"
#include <QDialog>
#include <memory>

class QStandardItemModel;
class QTableView;
class TableModel;

// Read-only view of one group's schedule rows beside its entries, with the
// entries' names and numbers looked up.
class Tdlgschedule : public QDialog {
    Q_OBJECT
public:
    explicit Tdlgschedule(QWidget* parent = nullptr);
    ~Tdlgschedule() override;

    // Given before showing; the match type is kept for the caller's sake.
    void setGroup(int groupId, MatchType matchType);
    int groupId() const { return id; }
    MatchType matchType() const { return type; }

    // Opens the datasets; done by exec()/show(), callable by tests.
    void load();

    QTableView* scheduleGrid() const { return scheduleView; }
    QTableView* entriesGrid() const { return entriesView; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillSchedule();

    int id = 0;
    MatchType type = MatchType::None;
    bool loaded = false;
    Table tbgroup;
    Table tbplayers;
    std::unique_ptr<Query> qschedule;
    QStandardItemModel* scheduleModel = nullptr;
    TableModel* entriesModel = nullptr;
    QTableView* scheduleView = nullptr;
    QTableView* entriesView = nullptr;
};
