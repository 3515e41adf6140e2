#pragma once
#include "childwindow.h"
#include "data/kinds.h"
#include "dbgrid.h"
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class Table;
class GroupListModel;

// The Group List or League List: every group row of one record kind in a
// read-only grid, and the way into the group editor.
class Tfrmgrouplist : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    explicit Tfrmgrouplist(QWidget* parent = nullptr);
    ~Tfrmgrouplist() override;

    int windowKind() const override { return GroupList; }
    QString datasetStateName() const override;

    // Groups or leagues; set before load().
    void setListKind(RecordKind kind) { kindOfList = kind; }
    RecordKind listKind() const { return kindOfList; }

    // Filters the table to the list kind, opens it and titles the length column.
    void load();
    // Re-reads the table (done whenever the window becomes active).
    void refresh();

    void commandAddNew() override;   // New
    void commandOpen() override;     // Open the selected row

    // The editor lives in a subsystem above this one, so the application
    // installs the way to open it at start-up. Arguments: the list kind (the
    // editor's record kind), the GROUPID to open (0 = start a new record),
    // the window caption and the help context (0 = keep the editor's own).
    // It creates the editor as a child window of the frame and returns it,
    // or null when it did not open.
    using EditorOpener =
        std::function<QWidget*(RecordKind listKind, int groupId, const QString& caption, int helpContext)>;
    static EditorOpener openEditor;

    // Day codes of a row's weekday flags, Sunday first: "M,W,F".
    static QString daysOfWeekText(const bool days[7]);

    QTableView* grid() const { return groupsView; }
    Table& table() const { return *tbgroups; }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QWidget* runOpener(int groupId, const QString& caption, int helpContext);
    void sizeColumns();
    void tintColumnTitles();

    RecordKind kindOfList = RecordKind::Group;
    std::unique_ptr<Table> tbgroups;
    GroupListModel* model = nullptr;
    DbGrid* groupsView = nullptr;
    bool activationHooked = false;
};
