#pragma once
#include "printedschedule.h"
#include "schedulegrid.h"
#include "reportengine/reportsystem.h"
#include "scheduletext.h"
#include <QObject>
#include <QString>
#include <QVector>

class Database;
class EventPacer;
class Tdmglobal;
class QWidget;

// The printed schedule of one group or league: header, notes, footer,
// roster, and the grid of dates by courts with the entries who sit out.
class TScheduleReport : public QObject {
    Q_OBJECT
public:
    explicit TScheduleReport(Database& db, QObject* parent = nullptr);
    ~TScheduleReport() override;

    static QString noScheduleMessage();
    static QString noCourtsMessage();

    // Reads the group's schedule and runs the report (setup dialog, then
    // preview, printer or PDF). A group without schedule rows or without
    // courts is told so in the error box and prints nothing; returns false then.
    // The window's events run while the schedule is read.
    bool PrintSchedule(int groupId, QWidget* parent = nullptr);

    // Reads what the report prints of the group; the message of what is
    // missing, or empty when the schedule can be printed. With a pacer the
    // reading lets the window's events run between its pieces.
    QString prepare(int groupId, EventPacer* pacer = nullptr);
    // OnPrint of rsSchedule.
    void rsSchedulePrint(ReportCanvas& report);

    TReportSystem rsSchedule;

private:
    void printHeader(ReportCanvas& r);
    void printNotes(ReportCanvas& r);
    void printFooter(ReportCanvas& r, double notesEnd);
    void printRoster(ReportCanvas& r);
    void printGrid(ReportCanvas& r, ScheduleGrid& grid);
    ScheduleGrid grid() const;

    Database& database;
    PrintedSchedule schedule;   // its columns are empty when prepare refused the group
};

// Makes the data module print schedules through a report it owns; called
// once at start-up. Dialogs open over the active window.
TScheduleReport& installScheduleReport(Tdmglobal& dm);
