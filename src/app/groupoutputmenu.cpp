#include "groupoutputmenu.h"
#include "data/datamodule.h"
#include "export/groupoutputs.h"
#include "mainwindow.h"
#include "scheduling/groupeditor.h"
#include "engine/runstate.h"
#include "windows/guard.h"
#include <QMenu>

namespace {
void runForActiveEditor(Tfrmmain& frame, GroupOutput output)
{
    auto* editor = qobject_cast<Tfrmgroup*>(frame.activeChildWidget());
    if (!editor || runState().running) {
        frame.beep();
        return;
    }
    // What is being typed belongs to what is exported.
    editor->save();
    runGroupOutput(editor, Tdmglobal::instance().database(), editor->datasets().groupId(), output);
}

void addItem(Tfrmmain& frame, QMenu* menu, const char* name, const QString& caption, GroupOutput output)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    QObject::connect(action, &QAction::triggered, &frame,
                     [&frame, output] { guarded(&frame, [&frame, output] { runForActiveEditor(frame, output); }); });
}
}   // namespace

void addGroupOutputItems(Tfrmmain& frame, QMenu* actionMenu)
{
    QMenu* exports = actionMenu->addMenu(QStringLiteral("E&xport Schedule"));
    exports->setObjectName(QStringLiteral("ExportSchedule1"));
    exports->menuAction()->setObjectName(QStringLiteral("ExportSchedule1"));
    addItem(frame, exports, "ExportCsv1", QStringLiteral("As &Spreadsheet (CSV)..."), GroupOutput::Csv);
    addItem(frame, exports, "ExportCalendar1", QStringLiteral("As &Calendar, Whole Group..."),
            GroupOutput::GroupCalendar);
    addItem(frame, exports, "ExportCalendars1", QStringLiteral("As Calendars, &Every Player..."),
            GroupOutput::EveryPlayerCalendar);
    addItem(frame, exports, "ExportPlayerCalendar1", QStringLiteral("As Calendar, &One Player..."),
            GroupOutput::PlayerCalendar);
    addItem(frame, exports, "ExportPdf1", QStringLiteral("As &PDF..."), GroupOutput::Pdf);
    addItem(frame, exports, "ExportPlayerPdf1", QStringLiteral("As PDF, One Pla&yer..."), GroupOutput::PlayerPdf);
    addItem(frame, actionMenu, "Fairness1", QStringLiteral("&Fairness Report..."), GroupOutput::FairnessReport);
}

void addPublishItem(Tfrmmain& frame, QMenu* fileMenu)
{
    addItem(frame, fileMenu, "PublishSeason1", QStringLiteral("Publish &Season..."), GroupOutput::Publish);
}
