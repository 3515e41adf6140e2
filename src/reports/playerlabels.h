#pragma once
#include "reportengine/labelshell.h"
#include "reportengine/reportsystem.h"
#include <QObject>

class Table;
class QWidget;

// The mailing labels of a players window: one label for every row of its
// players table, three across and ten down, on the stock last chosen.
class TPlayerLabels : public QObject {
    Q_OBJECT
public:
    TPlayerLabels(Table& players, QObject* parent = nullptr);

    // Label Setup: the stock dialog; OK with a known stock applies it.
    void ChooseLabelType(QWidget* parent);
    // Applies "lbAV8160" or "lbAV5160"; anything else changes nothing.
    bool applyLabelCode(const QString& code);
    // Print: the report's setup dialog, then preview, printer or PDF.
    void PrintLabels(QWidget* parent);

    void rsLabelsPrint(ReportCanvas& report);
    void lsPlayersLabelPrint(ReportCanvas& report, TLabelShell& shell, bool& valid);
    void lsPlayersLabelAfter(ReportCanvas& report, TLabelShell& shell, bool& valid);

    TLabelShell lsPlayers;
    TReportSystem rsLabels;

private:
    Table& tbplayers;
};

// The labels of a players window, created with it on first use and living
// as long as it, so that a new window starts with lbAV8160.
TPlayerLabels& playerLabelsOf(QWidget* playersWindow, Table& players);
