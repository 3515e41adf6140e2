#include "paperchoice.h"
#include "data/settings.h"
#include <QSettings>
#include <cmath>

namespace PaperChoice {

namespace {
const char* paperKey = "Reports/Paper";

bool near(double a, double b)
{
    return std::abs(a - b) < 0.02;
}
}   // namespace

Paper paperOf(const QLocale& locale)
{
    // The Americas' Letter countries; a locale that names no country (the C
    // locale of a bare system) keeps the program's first paper, Letter.
    switch (locale.territory()) {
    case QLocale::AnyTerritory:
    case QLocale::UnitedStates:
    case QLocale::UnitedStatesOutlyingIslands:
    case QLocale::PuertoRico:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::Philippines:
    case QLocale::CostaRica:
    case QLocale::Guatemala:
    case QLocale::Panama: return Paper::Letter;
    default: return Paper::A4;
    }
}

QString currencyOf(const QLocale& locale)
{
    const QString sign = locale.currencySymbol(QLocale::CurrencySymbol);
    return sign.isEmpty() ? QStringLiteral("$") : sign;
}

PaperGeometry geometry(Paper paper)
{
    return paper == Paper::A4 ? PaperGeometry{210 / 25.4, 297 / 25.4} : PaperGeometry{8.5, 11.0};
}

std::optional<Paper> paperNamed(const PaperGeometry& sheet)
{
    for (Paper p : {Paper::Letter, Paper::A4}) {
        const PaperGeometry g = geometry(p);
        if ((near(sheet.width, g.width) && near(sheet.height, g.height)) ||
            (near(sheet.width, g.height) && near(sheet.height, g.width)))
            return p;
    }
    return std::nullopt;
}

Paper paper()
{
    const QString chosen = QSettings().value(paperKey).toString();
    if (chosen == "A4")
        return Paper::A4;
    if (chosen == "Letter")
        return Paper::Letter;
    return paperOf(QLocale::system());
}

QString currency()
{
    return currencySign();
}

void choosePaper(std::optional<Paper> p)
{
    QSettings settings;
    if (!p)
        settings.remove(paperKey);
    else
        settings.setValue(paperKey, *p == Paper::A4 ? "A4" : "Letter");
}

void chooseCurrency(const QString& sign)
{
    setCurrencySign(sign);
}

}   // namespace PaperChoice
