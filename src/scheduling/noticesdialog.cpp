#include "noticesdialog.h"
#include "data/helpcontexts.h"
#include "export/savefile.h"
#include "windows/fielddefs.h"
#include "windows/guard.h"
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

std::function<bool(const QUrl&)>& mailOpener()
{
    static std::function<bool(const QUrl&)> opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return opener;
}

QString shownText(const Notices& notices)
{
    QString text;
    if (const QStringList without = notices.withoutEmail(); !without.isEmpty())
        text += without.join(QLatin1Char('\n')) + QStringLiteral("\n\n");
    return text + notices.body();
}

}   // namespace

void TdlgNotices::setMailOpener(std::function<bool(const QUrl&)> opener)
{
    mailOpener() = std::move(opener);
}

TdlgNotices::TdlgNotices(const Notices& n, QWidget* parent) : QDialog(parent), notices(n), link(mailLink(n))
{
    setObjectName(QStringLiteral("dlgnotices"));
    setHelpContext(this, HelpContext::SeasonWindow);
    setWindowTitle(QStringLiteral("Tell the Players"));
    auto* layout = new QVBoxLayout(this);
    const int count = int(notices.players.size());
    layout->addWidget(
        new QLabel((count == 1 ? QStringLiteral("The dates of 1 player changed")
                               : QStringLiteral("The dates of %1 players changed").arg(count)) +
                       QStringLiteral(". The message below goes to each of them with an e-mail address, in BCC."),
                   this));
    txtnotice = new QPlainTextEdit(shownText(notices), this);
    txtnotice->setObjectName(QStringLiteral("txtnotice"));
    txtnotice->setReadOnly(true);
    layout->addWidget(txtnotice);
    lbltoolong = new QLabel(QStringLiteral("The list is too long for a mail link; save it as a message file and "
                                           "open that in your mail program instead."),
                            this);
    lbltoolong->setWordWrap(true);
    lbltoolong->setVisible(link.isEmpty());
    layout->addWidget(lbltoolong);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    btnmail = buttons->addButton(QStringLiteral("Open in &Mail"), QDialogButtonBox::ActionRole);
    btnmail->setObjectName(QStringLiteral("btnmail"));
    btnmail->setEnabled(!link.isEmpty() && !notices.addresses().isEmpty());
    btnsave = buttons->addButton(QStringLiteral("&Save Message..."), QDialogButtonBox::ActionRole);
    btnsave->setObjectName(QStringLiteral("btnsave"));
    connect(btnmail, &QPushButton::clicked, this, [this] { guarded(this, [this] { openInMail(); }); });
    connect(btnsave, &QPushButton::clicked, this, [this] { guarded(this, [this] { saveMessage(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    (btnmail->isEnabled() ? btnmail : btnsave)->setDefault(true);
    (btnmail->isEnabled() ? btnmail : btnsave)->setFocus();
    resize(560, 440);
}

void TdlgNotices::openInMail()
{
    if (!mailOpener()(QUrl(link, QUrl::StrictMode))) {
        showErrorBox(this, QStringLiteral("No mail program opened the message. Save it as a message file and open "
                                          "that in your mail program instead."));
        return;
    }
    done = true;
    accept();
}

void TdlgNotices::saveMessage()
{
    const QString file =
        SaveFile::askSaveFile(this, QStringLiteral("Save the Message"), SaveFile::safeBaseName(notices.subject()),
                              QStringLiteral(".eml"), QStringLiteral("E-mail messages (*.eml)"));
    if (file.isEmpty())
        return;
    if (const QString error = SaveFile::write(file, noticeMessage(notices)); !error.isEmpty()) {
        showErrorBox(this, error);
        return;
    }
    done = true;
    accept();
}
