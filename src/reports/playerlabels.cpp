#include "playerlabels.h"
#include "labeltypedialog.h"
#include "printformats.h"
#include "reportsetup.h"
#include "data/table.h"
#include <QWidget>

TPlayerLabels::TPlayerLabels(Table& players, QObject* parent)
    : QObject(parent), lsPlayers(this), rsLabels(this), tbplayers(players)
{
    lsPlayers.setBrand(TLabelShell::lbAV8160);
    lsPlayers.OnLabelPrint = [this](ReportCanvas& r, TLabelShell& s, bool& v) { lsPlayersLabelPrint(r, s, v); };
    lsPlayers.OnLabelAfter = [this](ReportCanvas& r, TLabelShell& s, bool& v) { lsPlayersLabelAfter(r, s, v); };

    setUpReport(rsLabels, "Report", PageMargins{}, [this](ReportCanvas& r) { rsLabelsPrint(r); });
    rsLabels.printerTitle = "ReportPrinter Report";
    rsLabels.documentName = tr("Mailing Labels");
}

bool TPlayerLabels::applyLabelCode(const QString& code)
{
    if (code == "lbAV8160")
        lsPlayers.setBrand(TLabelShell::lbAV8160);
    else if (code == "lbAV5160")
        lsPlayers.setBrand(TLabelShell::lbAV5160);
    else
        return false;
    return true;
}

void TPlayerLabels::ChooseLabelType(QWidget* parent)
{
    Tdlglabels dialog(tbplayers.database(), parent);
    if (dialog.exec() == QDialog::Accepted)
        applyLabelCode(dialog.resultCode());
}

void TPlayerLabels::PrintLabels(QWidget* parent)
{
    // A row being edited is printed as the user sees it.
    tbplayers.checkBrowseMode();
    rsLabels.execute(parent);
}

void TPlayerLabels::rsLabelsPrint(ReportCanvas& report)
{
    tbplayers.first();
    lsPlayers.print(report);
}

// Each line stays inside the label: a long name takes the label's spare
// line before it is set smaller, and any line is cut with an ellipsis only
// when even that is not enough.
void TPlayerLabels::lsPlayersLabelPrint(ReportCanvas& report, TLabelShell&, bool&)
{
    auto line = [&report](const QString& text, const QString& keptTail = {}) {
        report.printFitted(text, ReportCanvas::smallestReadableSize, keptTail);
        report.newLine();
    };
    const QString street2 = tbplayers.asString("STREET2");
    const bool hasStreet2 = !street2.trimmed().isEmpty();
    const int addressLines = hasStreet2 ? 3 : 2;
    const int nameLines = qBound(1, report.linesLeft() - addressLines, 2);
    report.printWrappedFitted(tbplayers.asString("FNAME") + " " + tbplayers.asString("LNAME"),
                              ReportCanvas::smallestReadableSize, nameLines);
    line(tbplayers.asString("STREET1"));
    if (hasStreet2)
        line(street2);
    // A long city is cut before the state and zip code, which the mail needs whole.
    line(tbplayers.asString("CITY"),
         " " + tbplayers.asString("STATE") + " " + PrintFormats::zipCode(tbplayers.asString("ZIPCODE")));
    report.newLine();
}

void TPlayerLabels::lsPlayersLabelAfter(ReportCanvas&, TLabelShell&, bool& valid)
{
    tbplayers.next();
    valid = !tbplayers.eof();
}

TPlayerLabels& playerLabelsOf(QWidget* playersWindow, Table& players)
{
    const QString name = "lsPlayersLabels";
    if (auto* existing = playersWindow->findChild<TPlayerLabels*>(name, Qt::FindDirectChildrenOnly))
        return *existing;
    auto* labels = new TPlayerLabels(players, playersWindow);
    labels->setObjectName(name);
    return *labels;
}
