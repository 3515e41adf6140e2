#pragma once
#include "reportengine/reportsystem.h"
#include "engine/fairness.h"
#include "engine/season.h"
#include <QObject>

class Database;
class QWidget;

// The fairness report on paper or as PDF: title, summary, warnings, the
// table of entries and, for four to a court, who met whom.
class TFairnessReport : public QObject {
    Q_OBJECT
public:
    explicit TFairnessReport(QObject* parent = nullptr);

    // Reads the group's season and figures again.
    void load(Database& db, int groupId);
    void setSeason(const Season& season);
    const Season& season() const { return data; }
    const FairnessFigures& figures() const { return figs; }

    // Setup dialog, then preview, printer or PDF file.
    void print(QWidget* parent);
    // Straight to a PDF file, no dialog (command line).
    void savePdf(const QString& fileName);

    void rsFairnessPrint(ReportCanvas& r);
    TReportSystem rsFairness;

private:
    void printTable(ReportCanvas& r);
    void printRow(ReportCanvas& r, const QStringList& cells, bool heading);
    void setColumns(ReportCanvas& r);
    void printLines(ReportCanvas& r, const QStringList& lines);

    Season data;
    FairnessFigures figs;
    QStringList courtHeadings;   // court names, or "C1".. when the names do not fit
};
