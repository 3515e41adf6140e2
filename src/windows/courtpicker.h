#pragma once
// "All Courts": a check list of every court, in key order, for assigning
// courts to a group or league. Every court is offered, also those already
// assigned. Call:
//   bool ok = false;
//   const QList<int> courtIds = Tdlgcourts::pick(parent, &ok);  // empty on Cancel
// or create it, exec() it and read lines() / checkedIds().
#include "checklistpicker.h"
#include <memory>

class Table;

class Tdlgcourts : public CheckListPicker {
    Q_OBJECT
public:
    explicit Tdlgcourts(QWidget* parent = nullptr);
    ~Tdlgcourts() override;
    static QList<int> pick(QWidget* parent, bool* accepted = nullptr);

private:
    std::unique_ptr<Table> tbcourts;
};
