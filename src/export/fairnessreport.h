#pragma once
#include "reportengine/reportsystem.h"
#include "engine/fairness.h"
#include "engine/season.h"
#include <QObject>

class Database;
class QWidget;

// The fairness report on paper or as PDF: title, summary, warnings, the
// table of entries, their dates on each court and, for four to a court, who
// met whom. Every page names the group.
class TFairnessReport : public QObject {
    Q_OBJECT
public:
    explicit TFairnessReport(QObject* parent = nullptr);

    // Reads the group's season and figures again.
    void load(Database& db, int groupId);
    void setSeason(const Season& season);
    const Season& season() const { return data; }
    const FairnessFigures& figures() const { return figs; }

    // The table as a CSV file, followed by the dates that could not be
    // filled and every pair that never met.
    QByteArray csvDocument() const;

    // Setup dialog, then preview, printer or PDF file.
    void print(QWidget* parent);
    // Straight to a PDF file, no dialog (command line).
    void savePdf(const QString& fileName);

    void rsFairnessPrint(ReportCanvas& r);
    TReportSystem rsFairness;

private:
    void printEntryTable(ReportCanvas& r);
    void printCourtTables(ReportCanvas& r);
    QVector<double> courtWidths(ReportCanvas& r, const QStringList& courts, const QVector<QStringList>& rows,
                                double keyWidth) const;
    void printLines(ReportCanvas& r, const QStringList& lines);

    Season data;
    FairnessFigures figs;
};
