#include "help.h"
#include "data/helpcontexts.h"
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
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

namespace {

// The report engine's dialogs sit below the help numbers; they are known here.
bool isPrintWindow(const QWidget* w)
{
    static const QStringList names{QStringLiteral("ReportSetupDialog"), QStringLiteral("ReportPreviewDialog"),
                                   QStringLiteral("ReportStatusWindow")};
    return names.contains(QLatin1String(w->metaObject()->className()));
}

bool isF1(const QEvent* event)
{
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_F1 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}   // namespace

HelpKey::HelpKey(QWidget* frame, std::function<void(int)> showTopic)
    : QObject(frame), top(frame), show(std::move(showTopic))
{
    qApp->installEventFilter(this);
}

int HelpKey::contextAt(const QWidget* focus, const QWidget* top)
{
    for (const QWidget* w = focus; w && w != top; w = w->parentWidget()) {
        if (const int context = w->property("helpContext").toInt())
            return context;
        if (isPrintWindow(w))
            return HelpContext::PrintPreview;
        // A file chosen for printing to PDF, else for an export.
        if (qobject_cast<const QFileDialog*>(w)) {
            for (const QWidget* above = w->parentWidget(); above; above = above->parentWidget())
                if (isPrintWindow(above))
                    return HelpContext::PrintPreview;
            return HelpContext::Exports;
        }
    }
    return HelpContext::Contents;
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !isF1(event) ||
        QApplication::activePopupWidget())
        return QObject::eventFilter(watched, event);
    if (type == QEvent::ShortcutOverride) {
        event->accept();   // the key comes as a key press, in dialogs as in the frame
        return true;
    }
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        focus = qobject_cast<QWidget*>(watched);
    show(contextAt(focus, top));
    return true;
}
