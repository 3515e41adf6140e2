#pragma once
// The body of the check-list pickers (players, courts): one line per row,
// its id in decimal, "-" and its name, all unchecked; OK, Cancel and Help.
// Callers read checkedIds() after exec() returned Accepted, or use the
// concrete pickers' static pick().
#include <QDialog>
#include <QList>
#include <QVector>

class QListWidget;

// "12-John Smith": the id is never cut, the rest is cut so that the line
// keeps to `width` characters.
QString pickerLine(int id, const QString& name, int width);
// The id a line stands for: the text before its first "-"; 0 when that is
// not a number.
int pickerLineId(const QString& line);

class CheckListPicker : public QDialog {
    Q_OBJECT
public:
    struct Line {
        QString text;
        bool checked = false;
    };
    QListWidget* list() const { return choices; }
    // Every line with its check, in list order.
    QVector<Line> lines() const;
    // The ids of the checked lines, in list order.
    QList<int> checkedIds() const;
    // Checks or unchecks the line of `id` (for callers and tests).
    bool setChecked(int id, bool checked);

protected:
    CheckListPicker(QWidget* parent, const QString& caption, int helpContext);
    void addLine(const QString& text);
    // Shows the dialog; the checked ids when it was closed with OK, else none.
    static QList<int> run(CheckListPicker& picker, bool* accepted);

private:
    QListWidget* choices = nullptr;
};
