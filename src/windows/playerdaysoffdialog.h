#pragma once
// "Player Days Off": the days on which a player cannot play.
// Call: Tdlgplayeroff::execFor(parent, playerId);  // 0 = the first player
// Everything is written by the dialog itself; the caller gets nothing back.
#include "daysoffdialog.h"

class Tdlgplayeroff : public DaysOffDialog {
    Q_OBJECT
public:
    Tdlgplayeroff(QWidget* parent, int playerId);
    static void execFor(QWidget* parent, int playerId);
};

// "Smith, John": the chooser's text of a player, from the trimmed names.
QString playerChooserName(const QString& firstName, const QString& lastName);
