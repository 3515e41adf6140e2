#pragma once
// The small modal dialogs of the season window: choosing a substitute, the
// other side of a swap, and accepting a re-plan after seeing its counts.
#include "engine/seasonops.h"
#include <QDialog>
#include <QSet>

class QComboBox;
class QLabel;
class QPushButton;
class QListWidget;
class QTableWidget;

// The free entries, best first; Enter or OK takes the highlighted one.
class TdlgSubstitute : public QDialog {
    Q_OBJECT
public:
    TdlgSubstitute(const QString& question, const QVector<SubstituteCandidate>& candidates, QWidget* parent);
    int chosenEntry() const;
    QListWidget* list() const { return lstcandidates; }

private:
    QListWidget* lstcandidates;
};

// Another date and an entry who plays on it. Only entries free to trade
// are offered, as SeasonOps finds them free; OK makes the swap, and a swap
// refused stays in the dialog with its reason, to choose again.
class TdlgSwap : public QDialog {
    Q_OBJECT
public:
    TdlgSwap(SeasonOps& ops, int entry, const QDate& date, QWidget* parent);
    QDate chosenDate() const;
    int chosenEntry() const;
    QComboBox* dates() const { return cbdates; }
    QListWidget* list() const { return lstentries; }
    // The reason shown when the date chosen offers nobody.
    QString emptyReason() const;

    void accept() override;

private:
    void fillDates();
    void fillEntries();

    SeasonOps& ops;
    int entry;
    QDate date;
    QSet<int> freeOnDate;   // the entries who could take `date`
    QComboBox* cbdates;
    QListWidget* lstentries;
    QLabel* lblnobody;
    QPushButton* btnswap;
};

// Play counts before and after a re-plan; "Accept" keeps it.
class TdlgReplan : public QDialog {
    Q_OBJECT
public:
    TdlgReplan(const QDate& from, const QVector<ReplanCount>& counts, QWidget* parent);
    QTableWidget* table() const { return grdcounts; }

private:
    QTableWidget* grdcounts;
};

// "5 dates, last 03/06/26" / "no date yet"
QString candidateText(const SubstituteCandidate& c);
