#include "groupdaysoffdialog.h"
#include "data/helpcontexts.h"

Tdlggroupoff::Tdlggroupoff(QWidget* parent, int groupId)
    : DaysOffDialog(parent, {QStringLiteral("Group Days Off"), HelpContext::GroupDaysOff, QStringLiteral("group.DB"),
                             QStringLiteral("GNAME"), QStringLiteral("GROUPID"), QStringLiteral("NAME"),
                             QStringLiteral("dblkupgroups"), QStringLiteral("groupoff.db"), QStringLiteral("parent"),
                             QStringLiteral("Cancel"),
                             QStringLiteral("There is no group or league to record a day off for. Save the "
                                            "group or league first."),
                             true})
{
    setObjectName(QStringLiteral("dlggroupoff"));
    load(groupId);
}

void Tdlggroupoff::execFor(QWidget* parent, int groupId)
{
    Tdlggroupoff dialog(parent, groupId);
    dialog.exec();
    dialog.reviewAddedDaysOff();
}
