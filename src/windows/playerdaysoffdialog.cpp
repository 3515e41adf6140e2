#include "playerdaysoffdialog.h"
#include "data/helpcontexts.h"
#include "data/table.h"
#include "data/textwidth.h"

namespace {
const int nameWidth = 100;
}

QString playerChooserName(const QString& firstName, const QString& lastName)
{
    return cutToWidth(lastName.trimmed() + QStringLiteral(", ") + firstName.trimmed(), nameWidth);
}

Tdlgplayeroff::Tdlgplayeroff(QWidget* parent, int playerId)
    : DaysOffDialog(parent,
                    {QStringLiteral("Player Days Off"), HelpContext::PlayerDaysOff, QStringLiteral("PLAYERS.db"),
                     QString(), QStringLiteral("PLAYERID"), QStringLiteral("Name"), QStringLiteral("dblkupplayers"),
                     QStringLiteral("PLAYROFF.db"), QStringLiteral("parentid"), QStringLiteral("&Cancel"),
                     QStringLiteral("There is no player to record a day off for. Enter the player "
                                    "in the Player List first.")})
{
    setObjectName(QStringLiteral("dlgplayeroff"));
    Table& list = chooserList();
    list.addCalcField(QStringLiteral("Name"), FieldType::String, nameWidth);
    list.onCalcFields = [](Table& t) {
        t.setValue(QStringLiteral("Name"), playerChooserName(t.asString("FNAME"), t.asString("LNAME")));
    };
    load(playerId);
}

void Tdlgplayeroff::execFor(QWidget* parent, int playerId)
{
    Tdlgplayeroff dialog(parent, playerId);
    dialog.exec();
    dialog.reviewAddedDaysOff();
}
