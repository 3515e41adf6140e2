#pragma once
// One player's printed schedule, short enough to pin up: the group's name
// and time, the player's dates with court, partners, opponents and ball
// duty, and their days off. Every page names the group and the player.
#include "reportengine/reportsystem.h"
#include "engine/season.h"
#include <QObject>

class TPlayerSchedule : public QObject {
    Q_OBJECT
public:
    explicit TPlayerSchedule(const Season& season, int playerId, QObject* parent = nullptr);

    // Straight to a PDF file, no dialog; a failure is a ReportError and
    // leaves no file behind.
    void savePdf(const QString& fileName);

    void rsPlayerPrint(ReportCanvas& r);
    TReportSystem rsPlayer;

private:
    void printDates(ReportCanvas& r);
    void printDaysOff(ReportCanvas& r);

    Season data;
    int player = 0;
};
