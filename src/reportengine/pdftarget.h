#pragma once
#include <QString>

class QWidget;

// Where a report is saved as PDF: the document's own name in the folder
// used last, always ending in ".pdf", and never over an existing file
// without the user's word.
namespace PdfTarget {

// `documentName` made fit for a file name ("Tues/Thurs" -> "Tues-Thurs");
// `fallback` when nothing of it is left.
QString fileBaseName(const QString& documentName, const QString& fallback);
// The file proposed for `documentName`: in the last used folder (the home
// folder until a PDF was saved).
QString proposedPath(const QString& documentName, const QString& fallback);
// `fileName` with ".pdf" added unless it already ends so.
QString withPdfSuffix(const QString& fileName);

QString lastFolder();
// Remembers the folder of a file the user chose.
void rememberFolder(const QString& fileName);

QString replaceQuestion(const QString& fileName);
// True when `fileName` does not exist yet or the user agrees to replace it;
// No is the default answer.
bool confirmReplace(QWidget* parent, const QString& title, const QString& fileName);

}   // namespace PdfTarget
