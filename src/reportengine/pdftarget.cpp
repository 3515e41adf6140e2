#include "pdftarget.h"
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

namespace PdfTarget {

namespace {
const char* const folderKey = "Reports/PdfFolder";
}

QString fileBaseName(const QString& documentName, const QString& fallback)
{
    QString name;
    for (QChar c : documentName.simplified())
        name += QString("/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control ? QChar('-') : c;
    // A leading dot would hide the file; trailing dots and blanks some systems drop.
    while (name.startsWith(QChar('.')))
        name.remove(0, 1);
    while (name.endsWith(QChar('.')) || name.endsWith(QChar(' ')))
        name.chop(1);
    name = name.trimmed();
    return name.isEmpty() ? fallback : name;
}

QString lastFolder()
{
    const QString stored = QSettings().value(folderKey).toString();
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    return QDir::homePath();
}

void rememberFolder(const QString& fileName)
{
    QSettings().setValue(folderKey, QFileInfo(fileName).absolutePath());
}

QString withPdfSuffix(const QString& fileName)
{
    const QString name = fileName.trimmed();
    if (name.isEmpty() || name.endsWith(".pdf", Qt::CaseInsensitive))
        return name;
    return name + ".pdf";
}

QString proposedPath(const QString& documentName, const QString& fallback)
{
    return QDir(lastFolder()).filePath(fileBaseName(documentName, fallback) + ".pdf");
}

QString replaceQuestion(const QString& fileName)
{
    return QObject::tr("The file %1 already exists.\nDo you want to replace it?")
        .arg(QDir::toNativeSeparators(fileName));
}

bool confirmReplace(QWidget* parent, const QString& title, const QString& fileName)
{
    if (!QFileInfo::exists(fileName))
        return true;
    return QMessageBox::question(parent, title, replaceQuestion(fileName), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

}   // namespace PdfTarget
