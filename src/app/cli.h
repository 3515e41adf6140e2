#pragma once
// Vantrel without a window, for scripts: export, report, generate and list
// on the same database, with the same libraries as the window.
#include <QStringList>

class QTextStream;

namespace Cli {
// Exit statuses: done, the work failed (nothing or only whole files
// written), the command line itself was wrong.
enum Status { Ok = 0, Failed = 1, Usage = 2 };

// Runs one command; `arguments` start with the program name. A running
// QApplication is needed (a PDF is drawn with its fonts).
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);
}

// main(): any argument means the command line. Creates the application
// (offscreen when no platform is named) and returns the exit status.
int runCommandLine(int argc, char* argv[]);
