#pragma once
#include <QString>
#include <memory>

class Tdmglobal;
class Tfrmmain;

// Wiring done once at start-up (and by the tests that drive the whole frame).

// Registers the list windows of open child window, the group list's way
// into the group editor, and the players window's label commands.
void registerChildWindows(Tfrmmain& frame);

// Connects the data module's signals to the frame (status bar panels, help,
// the beep) and to the schedule report (printing). The connections end with
// either object; the data module must outlive the frame's windows, whose
// tables use it.
void connectDataModule(Tfrmmain& frame, Tdmglobal& dm);

// Opens the database at `location` (a directory or a server URI) in place
// of `dm`'s, as a start with that VANTREL32 setting would: the child windows
// close first (any may refuse, keeping its unsaved work), then the new data
// module replaces the old and the setting names it for the next start. A
// database that cannot be opened is shown in the error box and the old one
// stays open. Returns whether the new one is open.
bool switchDatabase(Tfrmmain& frame, std::unique_ptr<Tdmglobal>& dm, const QString& location);

// File > Open Club Database... switches `dm`, which must outlive the frame.
void installDatabaseSwitch(Tfrmmain& frame, std::unique_ptr<Tdmglobal>& dm);

// The settings store of the program (INI file, organisation and application
// "Vantrel"); called before anything reads a setting.
void configureApplication();

// Dark colours when the desktop asks for them and its theme has not already
// given Qt a dark palette (Qt's own themes here do not read the desktop's choice).
void followDesktopColourScheme();

// Creates the data module over the database in `directory`. When the
// database cannot be opened (a foreign, newer or damaged file, a file or
// directory that cannot be written, a full disk) the reason is shown in
// the error box and the result is null.
std::unique_ptr<Tdmglobal> openDataModule(const QString& directory);

// Same, over the directory the settings name; a setting that names no
// usable directory (a relative path) is shown the same way.
std::unique_ptr<Tdmglobal> openConfiguredDataModule();
