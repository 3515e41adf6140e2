#include "reportpdf_helpers.h"
#include <QProcess>
#include <QStandardPaths>

namespace ReportPdf {

bool toolsAvailable()
{
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

QString text(const QString& pdfPath)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdfPath, "-"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList pages(const QString& pdfPath)
{
    QStringList list = text(pdfPath).split(QChar('\f'));
    if (!list.isEmpty() && list.last().trimmed().isEmpty())
        list.removeLast();
    return list;
}

}   // namespace ReportPdf
