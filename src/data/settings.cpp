#include "settings.h"
#include <QSettings>

namespace {
const char* const FooterKey = "Footer/Text";
}

QString footerText()
{
    // A hand-edited settings file may hold more than the report has room for.
    return QSettings().value(FooterKey).toString().left(FooterTextLimit);
}

void setFooterText(const QString& text)
{
    QSettings settings;
    settings.setValue(FooterKey, text.left(FooterTextLimit));
    settings.sync();
}
