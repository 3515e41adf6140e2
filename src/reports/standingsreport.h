#pragma once
// The printed standings of a league: its name, the date, and one line per
// entry with rank, entry number, name, wins and losses. Through the report
// engine, so it previews, prints or is saved as a PDF file like the schedule.
#include "reportengine/reportsystem.h"
#include <QObject>
#include <QString>
#include <QVector>

class QWidget;

struct StandingsRow {
    int rank = 0;
    int number = 0;
    QString name;
    int wins = 0;
    int losses = 0;
};

class TStandingsReport : public QObject {
    Q_OBJECT
public:
    explicit TStandingsReport(QObject* parent = nullptr);

    // Also names the league on every page.
    void setStandings(const QString& leagueName, const QVector<StandingsRow>& rows);
    // The setup dialog, then preview, printer or PDF file.
    void PrintStandings(QWidget* parent = nullptr);
    // OnPrint of rsStandings.
    void rsStandingsPrint(ReportCanvas& r);

    TReportSystem rsStandings;

private:
    void printHeading(ReportCanvas& r);

    QString league;
    QVector<StandingsRow> lines;
};
