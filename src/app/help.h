#pragma once
#include <QString>
#include <QWidget>
#include <functional>

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

// F1 anywhere in the program, dialogs included, opens the topic of the
// focused control or of the nearest window around it that has one, else the
// contents; a menu's F1 stays the frame's own (the topic of its item).
class HelpKey : public QObject {
public:
    // `top` is the frame: its own topic is not the answer for the windows in it.
    HelpKey(QWidget* top, std::function<void(int helpContext)> show);
    static int contextAt(const QWidget* focus, const QWidget* top);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* top;
    std::function<void(int)> show;
};

// Opens help from anywhere: while a modal dialog is up the help appears as a
// window of its own above it (a modal dialog would otherwise block it),
// else in the frame's help window `main`.
void showHelpWindow(THelpBrowser& main, int helpContext);
