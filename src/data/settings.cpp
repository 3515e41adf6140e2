#include "settings.h"
#include "textwidth.h"
#include <QSettings>

namespace {
const char* const FooterKey = "Footer/Text";
}

QString footerText()
{
    // A hand-edited settings file may hold more than the report has room for.
    return cutToWidth(QSettings().value(FooterKey).toString(), FooterTextLimit);
}

void setFooterText(const QString& text)
{
    QSettings settings;
    settings.setValue(FooterKey, cutToWidth(text, FooterTextLimit));
    settings.sync();
}
