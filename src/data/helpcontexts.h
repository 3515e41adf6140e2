#pragma once

// Help context numbers: each opens the help page ":/help/topic<n>.html".
// The numbers are also stored in FIELDDEF.HelpContext, so they never change.
namespace HelpContext {
inline constexpr int Contents = 0;   // the contents page, not a topic
inline constexpr int About = 2;
inline constexpr int SettingUpAGroup = 3;   // "How To", and a new group's editor
inline constexpr int PlayerDaysOff = 11;
inline constexpr int LabelSetup = 11;   // has no page of its own
inline constexpr int EvenDates = 13;    // every player the same number of dates
inline constexpr int Exit = 17;
inline constexpr int QuickReference = 18;   // also the main window's own
inline constexpr int GroupName = 20;
inline constexpr int Duration = 23;   // number of weeks or rounds
inline constexpr int PlayersPerSession = 24;
inline constexpr int DaysToPlayOn = 25;
inline constexpr int PlayerList = 37;
inline constexpr int CourtList = 38;
inline constexpr int GroupList = 42;
inline constexpr int LeagueList = 43;
inline constexpr int NewLeague = 44;
inline constexpr int TeamPlayers = 48;
inline constexpr int GroupDaysOff = 49;
inline constexpr int AssignCourts = 50;
inline constexpr int RemoveCourt = 51;
inline constexpr int AssignPlayers = 52;
inline constexpr int RemoveEntry = 53;
inline constexpr int StartDate = 55;
inline constexpr int StartAndEndTime = 60;
inline constexpr int Fee = 61;
inline constexpr int FooterSetup = 62;
inline constexpr int SeasonWindow = 63;   // also its Substitute, Swap and Re-plan dialogs
inline constexpr int FairnessReport = 64;
inline constexpr int Exports = 65;        // Export Schedule and its file choices
inline constexpr int PrintPreview = 66;   // print setup, preview and PDF
inline constexpr int Reconcile = 67;
inline constexpr int CommandLine = 68;
}   // namespace HelpContext
