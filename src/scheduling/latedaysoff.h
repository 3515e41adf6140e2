#pragma once
// Days off recorded after a schedule was made leave players scheduled on
// them. When the days-off dialogs close, the organiser is told which places
// now clash, group by group, and taken to the season window to substitute
// for them or to re-plan from the first such date.
#include <QVector>

class QWidget;

void reviewLateDaysOff(bool groups, const QVector<int>& ids, QWidget* parent);
