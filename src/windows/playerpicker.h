#pragma once
// "All Players": a check list of every player, by last name, for assigning
// players to a group or league. Every player is offered, also those already
// assigned. Call:
//   bool ok = false;
//   const QList<int> playerIds = Tdlgplayers::pick(parent, &ok);  // empty on Cancel
// or create it, exec() it and read lines() / checkedIds().
#include "checklistpicker.h"
#include <memory>

class Table;

class Tdlgplayers : public CheckListPicker {
    Q_OBJECT
public:
    explicit Tdlgplayers(QWidget* parent = nullptr);
    ~Tdlgplayers() override;
    static QList<int> pick(QWidget* parent, bool* accepted = nullptr);

private:
    std::unique_ptr<Table> tbplayers;
};
