#pragma once
#include "engine/schedulehost.h"
#include <QDialog>
#include <QVector>

class QFrame;
class QLabel;
class QPushButton;
class QTableWidget;

// The list of entries whose play count differs from the expected count,
// with the offer to even them out (mode 1) or the advice that the group's
// settings must change (mode 2).
class Tdlgreconcile : public QDialog {
    Q_OBJECT
public:
    explicit Tdlgreconcile(QWidget* parent = nullptr);

    // Set before the dialog is shown: 1 = can be reconciled, 2 = cannot.
    int reconcileMode = 2;

    // One grid row per line, under the heading row.
    void setLines(const QVector<ReconcileLine>& lines);
    // The caption followed by " Players should play: " and the count.
    void setExpected(double expected);

    static const QString ReconcileText;
    static const QString CannotReconcileText;

    QLabel* warningLabel = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* helpButton = nullptr;
    QFrame* bevel = nullptr;
    QTableWidget* countsTable = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void fitToTexts();
    void HelpBtnClick();
};
