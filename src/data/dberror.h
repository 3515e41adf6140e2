#pragma once
#include <QString>
#include <stdexcept>

// The one exception type of the data layer: an engine failure carrying the
// text the user sees in the error box.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), text(message) {}
    QString message() const { return text; }

private:
    QString text;
};
