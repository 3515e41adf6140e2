#pragma once
#include <QString>
#include <QWidget>

class QTextBrowser;

// Where the help topics live: one HTML page per help context number, shipped
// as resources, and a contents page.
namespace HelpTopics {
QString contentsPath();               // ":/help/contents.html"
QString topicPath(int helpContext);   // ":/help/topic<n>.html", whether it exists or not
bool hasTopic(int helpContext);
}   // namespace HelpTopics

// The help window: a browser over the help topics, opened at the contents or
// at the topic of a help context number.
class THelpBrowser : public QWidget {
    Q_OBJECT
public:
    explicit THelpBrowser(QWidget* parent = nullptr);

    // 0 opens the contents; a number without a topic opens the contents with
    // a line saying so.
    void showTopic(int helpContext);
    void showContents() { showTopic(0); }

    QTextBrowser* browser() const { return view; }
    // The help context shown last (0 for the contents or a missing topic).
    int currentTopic() const { return shownTopic; }

private:
    QTextBrowser* view;
    int shownTopic = 0;
};

// Opens help from anywhere: while a modal dialog is up the help appears as a
// window of its own above it (a modal dialog would otherwise block it),
// else in the frame's help window `main`.
void showHelpWindow(THelpBrowser& main, int helpContext);
