#include "savechanges.h"
#include "dbgrid.h"
#include "guard.h"
#include <QMessageBox>

UnsavedChoice askToSave(QWidget* parent, const QString& what)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vantrel"),
                    QStringLiteral("Save the changes to %1?").arg(what),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("dlgsavechanges"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save: return UnsavedChoice::Save;
    case QMessageBox::Discard: return UnsavedChoice::Discard;
    default: return UnsavedChoice::Cancel;
    }
}

bool settleGridBeforeClose(QWidget* window, DbGrid& grid, const std::function<QString()>& what)
{
    if (!grid.hasUnsavedRow())
        return true;
    // The question names the row as typed, and the typing stays in the row
    // whatever takes the focus meanwhile.
    if (!guarded(window, [&] { grid.commitEditor(); }))
        return false;
    switch (askToSave(window, what())) {
    case UnsavedChoice::Save: return guarded(window, [&] { grid.postPendingRow(); });
    case UnsavedChoice::Discard: return guarded(window, [&] { grid.discardRow(); });
    case UnsavedChoice::Cancel: return false;
    }
    return false;
}
