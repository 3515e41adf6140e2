#pragma once
// The group editor's exports and fairness report: each asks where the
// output goes and writes it, or tells the user in the error box why not.
class Database;
class QWidget;

enum class GroupOutput {
    Csv,
    GroupCalendar,
    EveryPlayerCalendar,
    PlayerCalendar,
    Pdf,
    PlayerPdf,
    FairnessReport,
    Publish
};

void runGroupOutput(QWidget* parent, Database& db, int groupId, GroupOutput output);
