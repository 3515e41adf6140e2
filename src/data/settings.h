#pragma once
#include <QString>

// Persistent application settings that more than one folder reads. They live
// in the QSettings store of organisation and application "Vantrel".

// The schedule report prints this text at the foot of every page.
constexpr int FooterTextLimit = 51;

// The footer text, cut to FooterTextLimit characters; empty until set.
QString footerText();
// Stores the text, cut to FooterTextLimit characters.
void setFooterText(const QString& text);

// The sign money is shown with (a group's fee): the system locale's ("$" in
// the United States, "€" in Germany) until the report setup chooses one.
QString currencySign();
// Empty goes back to following the system.
void setCurrencySign(const QString& sign);
