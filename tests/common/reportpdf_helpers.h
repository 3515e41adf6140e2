#pragma once
#include <QString>
#include <QStringList>

// Reading back PDFs written by the report engine, through poppler's tools.
namespace ReportPdf {

// `pdftotext -layout` of the file (pages separated by form feeds); empty
// when the tool is missing or fails.
QString text(const QString& pdfPath);
QStringList pages(const QString& pdfPath);
bool toolsAvailable();

}   // namespace ReportPdf
