#include "about.h"
#include "data/datamodule.h"
#include "data/helpcontexts.h"
#include "windows/fielddefs.h"
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A court seen from above at dusk, with a ball in flight: drawn, so it fills
// the box at any size.
class CourtPicture : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect();

        QLinearGradient sky(r.topLeft(), r.bottomLeft());
        sky.setColorAt(0, QColor(24, 44, 86));
        sky.setColorAt(1, QColor(84, 132, 178));
        p.fillRect(r, sky);

        // The court in perspective: wider at the bottom.
        const qreal top = r.height() * 0.45, bottom = r.height() * 0.98;
        const qreal w = r.width();
        QPolygonF court(
            {QPointF(w * 0.28, top), QPointF(w * 0.72, top), QPointF(w * 0.96, bottom), QPointF(w * 0.04, bottom)});
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 118, 70));
        p.drawPolygon(court);

        p.setPen(QPen(QColor(245, 245, 240), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(court);
        const qreal serviceY = top + (bottom - top) * 0.35;
        auto xAt = [&](qreal y, qreal fraction) {
            const qreal t = (y - top) / (bottom - top);
            const qreal left = w * 0.28 + (w * 0.04 - w * 0.28) * t;
            const qreal right = w * 0.72 + (w * 0.96 - w * 0.72) * t;
            return left + (right - left) * fraction;
        };
        p.drawLine(QPointF(xAt(serviceY, 0), serviceY), QPointF(xAt(serviceY, 1), serviceY));
        p.drawLine(QPointF(xAt(top, 0.5), top), QPointF(xAt(bottom, 0.5), bottom));

        // The net across the middle.
        const qreal netY = top + (bottom - top) * 0.55;
        p.setPen(QPen(QColor(230, 230, 230), 1));
        p.setBrush(QColor(20, 20, 20, 150));
        p.drawRect(QRectF(QPointF(xAt(netY, 0) - 6, netY - r.height() * 0.06), QPointF(xAt(netY, 1) + 6, netY)));

        // The ball and its path.
        p.setPen(QPen(QColor(255, 255, 255, 90), 2, Qt::DashLine));
        QPainterPath path(QPointF(w * 0.15, bottom * 0.9));
        path.quadTo(QPointF(w * 0.5, r.height() * 0.05), QPointF(w * 0.82, r.height() * 0.38));
        p.drawPath(path);
        p.setPen(QPen(QColor(60, 70, 20), 1));
        p.setBrush(QColor(214, 224, 52));
        const qreal radius = qMax<qreal>(6, r.height() * 0.035);
        p.drawEllipse(QPointF(w * 0.82, r.height() * 0.38), radius, radius);
    }
};

QLabel* whiteLabel(const QString& text, int pointSize, bool bold, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    return label;
}

const QString LastGreetedKey = QStringLiteral("Splash/LastReleaseGreeted");

}   // namespace

bool releaseGreeted()
{
    return QSettings().value(LastGreetedKey).toString() == QStringLiteral(VANTREL_RELEASE);
}

void rememberReleaseGreeted()
{
    QSettings().setValue(LastGreetedKey, QStringLiteral(VANTREL_RELEASE));
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setHelpContext(this, HelpContext::About);
    setFixedSize(420, 300);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    programIcon = new CourtPicture(this);
    programIcon->setObjectName(QStringLiteral("ProgramIcon"));
    programIcon->installEventFilter(this);
    outer->addWidget(programIcon);

    auto* layout = new QVBoxLayout(programIcon);
    layout->setContentsMargins(16, 20, 16, 16);
    productNameLabel = whiteLabel(QStringLiteral("Vantrel"), 28, true, programIcon);
    productNameLabel->setObjectName(QStringLiteral("ProductName"));
    versionLabel = whiteLabel(QStringLiteral("Release  2.0.1 December 23, 1998"), 10, false, programIcon);
    versionLabel->setObjectName(QStringLiteral("Version"));
    // Clicks on the labels count as clicks on the picture.
    productNameLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    versionLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(productNameLabel);
    layout->addWidget(versionLabel);
    layout->addStretch();

    okButton = new QPushButton(QStringLiteral("&Continue"), programIcon);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setDefault(true);
    okButton->setAutoDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(okButton, 0, Qt::AlignRight | Qt::AlignBottom);

    closeTimer = new QTimer(this);
    closeTimer->setObjectName(QStringLiteral("Timer1"));
    closeTimer->setSingleShot(true);
    connect(closeTimer, &QTimer::timeout, okButton, &QPushButton::click);
}

void TAboutBox::enableAutoClose(int intervalMs)
{
    closeTimer->setInterval(intervalMs);
    autoClose = true;
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen();
    okButton->setFocus();
    // The timer counts from the moment the box is on screen.
    if (autoCloseEnabled())
        closeTimer->start();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == programIcon && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        okButton->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::centreOnScreen()
{
    QScreen* screen =
        parentWidget() && parentWidget()->screen() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
