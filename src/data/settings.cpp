#include "settings.h"
#include "textwidth.h"
#include <QLocale>
#include <QSettings>

namespace {
const char* const FooterKey = "Footer/Text";
const char* const CurrencyKey = "Reports/Currency";
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

QString currencySign()
{
    const QString chosen = QSettings().value(CurrencyKey).toString();
    if (!chosen.isEmpty())
        return chosen;
    const QString sign = QLocale::system().currencySymbol(QLocale::CurrencySymbol);
    return sign.isEmpty() ? QStringLiteral("$") : sign;
}

void setCurrencySign(const QString& sign)
{
    QSettings settings;
    if (sign.isEmpty())
        settings.remove(CurrencyKey);
    else
        settings.setValue(CurrencyKey, sign);
}
