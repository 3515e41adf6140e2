#pragma once
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

// The texts of the printed schedule, apart from any page.
namespace ScheduleText {

// An entry's number as a court cell shows it: "(4)" when it brings the balls.
QString code(int slotCode, bool home, bool bringBallsOn);

// The text of one court on one date, built code by code: doubles sides are
// joined by "&", and " v. " follows the first side; without pairing the
// codes stand apart, so that "(1) 2 3 4" cannot be misread.
class CourtCell {
public:
    explicit CourtCell(int sideSize) : side(sideSize) {}
    void add(const QString& code);
    QString text() const { return cellText; }
    int codeCount() const { return codes; }

private:
    int side;
    int codes = 0;
    QString cellText;
};

// "at: 09:00 AM - 10:30 AM"; an empty time reads as midnight.
QString sessionTimes(const QTime& start, const QTime& end);
QString time12(const QTime& time);
// "Tue 03/09/26": the weekday and the date with the system's date separator.
QString gridDate(const QDate& date);
// "Printed On: " and the date in the system's short format.
QString printedOn(const QDate& date);
// Entry numbers of the entries who sit out, "3;7".
QString byeList(const QList<int>& entryNumbers);

// A grid cell's text cut where a narrow cell may wrap it, between entries
// and never inside a number: after each ";" and "&" and at blanks, but
// never before "v.", which stays with its side ("39&", "42 v.", " (15)&",
// "18"). Joined again they give the text.
QStringList breakPieces(const QString& cellText);

struct Person {
    QString firstName, lastName, phone;
};
// "3. Ann Lee (555)123-4567"
QString rosterEntry(int slotCode, const Person& player);
// The entry and, for a doubles-league team, " / " and the partner's pieces
// that are not blank.
QString teamRosterEntry(int slotCode, const Person& player, const Person& partner);
// The same as the player's part and the partner's part (" / ..."), the
// places where a long line is best wrapped.
QStringList teamRosterPieces(int slotCode, const Person& player, const Person& partner);

// A time column as stored ("09:00:00") or as a QTime; invalid when empty.
QTime timeOf(const QVariant& value);

}   // namespace ScheduleText
