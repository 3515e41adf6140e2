#pragma once
// "Tell the Players...": the players whose dates changed, what changed for
// each and who has no e-mail address; "Open in Mail" hands the notice to the
// user's mail program as a mailto: link, or, where the link would be too
// long for it, the notice is saved as a message file to open instead.
#include "export/notices.h"
#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QUrl;

class TdlgNotices : public QDialog {
    Q_OBJECT
public:
    TdlgNotices(const Notices& notices, QWidget* parent);

    // Whether the notice left the dialog, by mail or as a file: the next
    // notice from the window starts after it.
    bool sent() const { return done; }
    QPlainTextEdit* text() const { return txtnotice; }

    // Tests answer in place of the system's mail program; true when it opened.
    static void setMailOpener(std::function<bool(const QUrl&)> opener);

private:
    void openInMail();
    void saveMessage();

    Notices notices;
    QString link;
    bool done = false;
    QPlainTextEdit* txtnotice;
    QLabel* lbltoolong;
    QPushButton *btnmail, *btnsave;
};
