#pragma once
#include "reportengine/reportsystem.h"
#include <QString>
#include <functional>

// What every report shares: the setup, status and preview windows titled
// after the report ("Schedule Setup"), every destination including a PDF
// file, a modal preview that may print, and "Vantrel" as the print job's
// title.
void setUpReport(TReportSystem& report, const QString& name, const PageMargins& margins,
                 std::function<void(ReportCanvas&)> onPrint);
