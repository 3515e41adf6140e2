#include "help.h"
#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The topics are compiled into this static library; the linker keeps them
// only when something asks for them by name.
static void loadHelpResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)loaded;
}

namespace HelpTopics {

QString contentsPath()
{
    loadHelpResources();
    return QStringLiteral(":/help/contents.html");
}

QString topicPath(int helpContext)
{
    loadHelpResources();
    return QStringLiteral(":/help/topic%1.html").arg(helpContext);
}

bool hasTopic(int helpContext)
{
    return helpContext > 0 && QFile::exists(topicPath(helpContext));
}

}   // namespace HelpTopics

namespace {
QString readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}
}   // namespace

THelpBrowser::THelpBrowser(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpBrowser"));
    setWindowTitle(QStringLiteral("Vantrel Help"));
    resize(640, 560);

    view = new QTextBrowser(this);
    view->setObjectName(QStringLiteral("helpview"));
    view->setSearchPaths({QStringLiteral(":/help")});
    view->setOpenExternalLinks(true);

    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    auto* close = new QPushButton(QStringLiteral("C&lose"), this);
    connect(contents, &QPushButton::clicked, this, &THelpBrowser::showContents);
    connect(back, &QPushButton::clicked, view, &QTextBrowser::backward);
    connect(view, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    back->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(view);
}

void THelpBrowser::showTopic(int helpContext)
{
    if (HelpTopics::hasTopic(helpContext)) {
        view->setSource(QUrl(QStringLiteral("qrc") + HelpTopics::topicPath(helpContext)));
        shownTopic = helpContext;
    } else if (helpContext <= 0) {
        view->setSource(QUrl(QStringLiteral("qrc") + HelpTopics::contentsPath()));
        shownTopic = 0;
    } else {
        // The contents page, with a line in front of it saying what is missing.
        QString page = readResource(HelpTopics::contentsPath());
        const QString notice = QStringLiteral("<p style=\"color:#a40000\"><b>There is no help topic number %1. "
                                              "Choose a topic from the contents below.</b></p>")
                                   .arg(helpContext);
        const int body = page.indexOf(QStringLiteral("<body"));
        const int bodyEnd = body < 0 ? -1 : page.indexOf('>', body);
        page.insert(bodyEnd < 0 ? 0 : bodyEnd + 1, notice);
        view->setHtml(page);
        shownTopic = 0;
    }
    show();
    raise();
    activateWindow();
}

void showHelpWindow(THelpBrowser& main, int helpContext)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &main && !main.isAncestorOf(modal)) {
        auto* help = new THelpBrowser(modal);
        help->setAttribute(Qt::WA_DeleteOnClose);
        help->setWindowModality(Qt::ApplicationModal);
        help->showTopic(helpContext);
        return;
    }
    main.showTopic(helpContext);
}
