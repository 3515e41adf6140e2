#include "savefile.h"
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <QStandardPaths>

namespace {
std::function<QString(const QString&, const QString&)>& asker()
{
    static std::function<QString(const QString&, const QString&)> a;
    return a;
}

QString startDirectory()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(docs).exists() ? docs : QDir::homePath();
}

bool agreeToReplace(QWidget* parent, const QString& fileName)
{
    return QMessageBox::question(
               parent, QStringLiteral("Vantrel"),
               QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QDir::toNativeSeparators(fileName)),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}
}   // namespace

namespace SaveFile {

QString safeBaseName(const QString& name)
{
    QString out = name.trimmed();
    for (QChar& c : out)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('-');
    return out.isEmpty() ? QStringLiteral("schedule") : out;
}

void setFileAsker(std::function<QString(const QString&, const QString&)> a)
{
    asker() = std::move(a);
}

QString askSaveFile(QWidget* parent, const QString& caption, const QString& baseName, const QString& extension,
                    const QString& filter)
{
    const QString proposed = QDir(startDirectory()).filePath(safeBaseName(baseName) + extension);
    for (;;) {
        QString name = asker() ? asker()(caption, proposed)
                               : QFileDialog::getSaveFileName(parent, caption, proposed, filter, nullptr,
                                                              QFileDialog::DontConfirmOverwrite);
        if (name.isEmpty())
            return {};
        if (!name.endsWith(extension, Qt::CaseInsensitive))
            name += extension;
        if (!QFileInfo::exists(name) || agreeToReplace(parent, name))
            return name;
        if (asker())
            return {};   // a scripted answer would only repeat itself
    }
}

QString askDirectory(QWidget* parent, const QString& caption)
{
    return asker() ? asker()(caption, startDirectory())
                   : QFileDialog::getExistingDirectory(parent, caption, startDirectory());
}

// A temporary file beside the target, renamed over it: a calendar program
// or spreadsheet reading meanwhile sees the old file or the new one, never
// half of one. Not synced to disk one by one: sixty-four calendars would
// wait for the disk sixty-four times, and a lost export is simply made again.
QString write(const QString& fileName, const QByteArray& data)
{
    const QFileInfo target(fileName);
    auto failed = [&](const QString& reason) {
        return QStringLiteral("Could not write %1: %2. Choose a folder you can write to.")
            .arg(QDir::toNativeSeparators(fileName), reason);
    };
    if (!QFileInfo(target.absolutePath()).isDir())
        return failed(QStringLiteral("the folder does not exist"));
    if (target.isDir())
        return failed(QStringLiteral("a folder has that name"));
    QTemporaryFile temp(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    if (!temp.open() || temp.write(data) != data.size() || !temp.flush())
        return failed(temp.errorString());
    // Readable as a file the user saved would be, or as the file it replaces.
    temp.setPermissions(target.exists() ? target.permissions()
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    temp.close();
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return failed(QString::fromLocal8Bit(std::strerror(errno)));
    temp.setAutoRemove(false);
    return {};
}

QByteArray readIfExists(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}   // namespace SaveFile
