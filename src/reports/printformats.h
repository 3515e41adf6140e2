#pragma once
#include <QString>

// How stored roster values read on paper. The stored values keep the form
// the edit masks gave them; only the printed text leaves out empty parts.
namespace PrintFormats {

// "(217)555-0100" as stored; "555-0100" when the area code is blank;
// empty when no digit was typed at all.
QString phone(const QString& stored);
// "62704-1234" as stored; "62704" when the last four digits are blank.
QString zipCode(const QString& stored);

}   // namespace PrintFormats
