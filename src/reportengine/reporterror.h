#pragma once
#include <QString>
#include <stdexcept>

// A report that cannot be produced (no printer, a file that cannot be
// written); the text says what to do about it.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message) : std::runtime_error(message.toStdString()), text(message) {}
    QString message() const { return text; }

private:
    QString text;
};
