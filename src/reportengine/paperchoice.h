#pragma once
#include "pageops.h"
#include <QLocale>
#include <QString>
#include <optional>

// The paper reports are laid out on and the currency sign printed money
// takes: what the system's locale uses (Letter and $ in the United States,
// A4 and € in Germany) until the report setup chooses otherwise. The choice
// is kept in the settings and holds for every report.
namespace PaperChoice {

enum class Paper { Letter, A4 };

Paper paperOf(const QLocale& locale);
QString currencyOf(const QLocale& locale);
PaperGeometry geometry(Paper paper);
// Letter or A4 when `sheet` is one of them, either way up.
std::optional<Paper> paperNamed(const PaperGeometry& sheet);

// The chosen paper and currency sign, or the system's when none was chosen.
Paper paper();
QString currency();
// Empty or nullopt goes back to following the system.
void choosePaper(std::optional<Paper> paper);
void chooseCurrency(const QString& sign);

}   // namespace PaperChoice
