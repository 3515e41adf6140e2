#pragma once
// The roster: one editable grid over the whole player table. The frame
// creates it with `new Tfrmplayers(parent)` and routes the record commands
// to it (kind 1).
#include "childwindow.h"
#include <QWidget>
#include <memory>

class DbGrid;
class QCloseEvent;
class RosterDeletes;
class Table;

class Tfrmplayers : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    explicit Tfrmplayers(QWidget* parent = nullptr);
    ~Tfrmplayers() override;

    int windowKind() const override { return PlayerList; }
    void commandAddNew() override;
    void commandSave() override;
    void commandCancel() override;
    void commandDelete() override;
    void commandTimeOff() override;

    Table& players() const { return *tbplayers; }
    DbGrid* grid() const { return playersView; }

protected:
    // Typing not yet stored is saved, dropped or kept on screen as the user answers.
    void closeEvent(QCloseEvent* event) override;

private:
    QString rowName() const;

    DbGrid* playersView = nullptr;
    Table* tbplayers = nullptr;   // the grid's child: it outlives the grid's editors
    std::unique_ptr<RosterDeletes> deletes;
};
