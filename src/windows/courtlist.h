#pragma once
// The list of courts: one editable grid over the court table. The frame
// creates it with `new Tfrmcourts(parent)` and routes the record commands to
// it (kind 2).
#include "childwindow.h"
#include <QWidget>
#include <memory>

class DbGrid;
class QCloseEvent;
class RosterDeletes;
class Table;

class Tfrmcourts : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    explicit Tfrmcourts(QWidget* parent = nullptr);
    ~Tfrmcourts() override;

    int windowKind() const override { return CourtList; }
    void commandAddNew() override;
    void commandSave() override;
    void commandCancel() override;
    void commandDelete() override;

    Table& courts() const { return *tbcourts; }
    DbGrid* grid() const { return courtsView; }

protected:
    // Typing not yet stored is saved, dropped or kept on screen as the user answers.
    void closeEvent(QCloseEvent* event) override;

private:
    QString rowName() const;

    DbGrid* courtsView = nullptr;
    Table* tbcourts = nullptr;   // the grid's child: it outlives the grid's editors
    std::unique_ptr<RosterDeletes> deletes;
};
