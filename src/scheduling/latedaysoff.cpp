#include "latedaysoff.h"
#include "seasonwindow.h"
#include "data/datamodule.h"
#include "engine/dayoffclashes.h"
#include "engine/seasonops.h"
#include "windows/guard.h"
#include <QMessageBox>
#include <QPushButton>

namespace {

enum class Remedy { Substitute, Replan, Later };

Remedy askRemedy(const GroupClashes& group, QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vantrel"), clashReport(group), QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("lateDaysOffBox"));
    QPushButton* substitute = box.addButton(QStringLiteral("&Substitute..."), QMessageBox::AcceptRole);
    QPushButton* replan = box.addButton(QStringLiteral("&Re-plan from %1").arg(SeasonOps::dateText(group.firstDate())),
                                        QMessageBox::ActionRole);
    QPushButton* later = box.addButton(QStringLiteral("&Later"), QMessageBox::RejectRole);
    box.setDefaultButton(substitute);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == substitute)
        return Remedy::Substitute;
    return box.clickedButton() == replan ? Remedy::Replan : Remedy::Later;
}

}   // namespace

void reviewLateDaysOff(bool groups, const QVector<int>& ids, QWidget* parent)
{
    guarded(parent, [&] {
        Database& db = Tdmglobal::instance().database();
        const QDate today = QDate::currentDate();
        const QVector<GroupClashes> found = groups ? clashesOfGroups(db, ids, today) : clashesOfPlayers(db, ids, today);
        for (const GroupClashes& group : found) {
            const Remedy remedy = askRemedy(group, parent);
            if (remedy == Remedy::Later)
                continue;
            Tfrmseason* window = Tfrmseason::open(group.season.groupId);
            window->showPlace(group.firstDate(), group.clashes.first().entry);
            if (remedy == Remedy::Replan)
                window->replanClicked();
            else
                window->substituteClicked();
        }
    });
}
