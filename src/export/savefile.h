#pragma once
// Asking where an export goes, and writing it there whole or not at all.
#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

namespace SaveFile {
// "Monday Doubles" -> "Monday Doubles"; characters file systems refuse become "-".
QString safeBaseName(const QString& name);

// A file dialog proposing `baseName` + `extension` (".csv"); the extension is
// added when the name given lacks it, and an existing file is replaced only
// after the user agreed. Empty when the user cancelled.
QString askSaveFile(QWidget* parent, const QString& caption, const QString& baseName, const QString& extension,
                    const QString& filter);
// A directory dialog; empty when cancelled.
QString askDirectory(QWidget* parent, const QString& caption);

// Tests answer the dialogs: the name (or directory) typed, empty for Cancel.
void setFileAsker(std::function<QString(const QString& caption, const QString& proposed)> asker);

// Writes through a temporary file that replaces the target only when all
// of it was written. Empty on success, else the reason in words.
QString write(const QString& fileName, const QByteArray& data);
// The file's contents, empty when it does not exist or cannot be read.
QByteArray readIfExists(const QString& fileName);
}
