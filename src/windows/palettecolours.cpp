#include "palettecolours.h"
#include <cmath>

namespace {

double channelLuminance(double c)
{
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c)
{
    return 0.2126 * channelLuminance(c.redF()) + 0.7152 * channelLuminance(c.greenF()) +
           0.0722 * channelLuminance(c.blueF());
}

QColor mix(const QColor& a, const QColor& b, double share)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * share),
                            float(a.greenF() + (b.greenF() - a.greenF()) * share),
                            float(a.blueF() + (b.blueF() - a.blueF()) * share));
}

constexpr double ReadableContrast = 4.5;

}   // namespace

double contrastRatio(const QColor& foreground, const QColor& background)
{
    // A translucent foreground (Qt's placeholder text) is seen over the background.
    const QColor seen = mix(background, foreground, foreground.alphaF());
    const double la = luminance(seen), lb = luminance(background);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableTint(const QColor& tint, const QColor& background)
{
    // Towards white on a dark background, towards black on a light one, in
    // small steps so the hue shows as much as it can.
    const QColor end = luminance(background) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    QColor c = tint;
    for (int step = 1; step <= 20 && contrastRatio(c, background) < ReadableContrast; ++step)
        c = mix(tint, end, step / 20.0);
    return c;
}

QColor playedRowShade(const QPalette& palette)
{
    return mix(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.09);
}

bool isDark(const QPalette& palette)
{
    return luminance(palette.color(QPalette::Window)) < luminance(palette.color(QPalette::WindowText));
}

QPalette darkPalette()
{
    const QColor window(53, 53, 53), base(36, 36, 36), text(230, 230, 230), disabled(128, 128, 128);
    const QColor accent(70, 140, 220);
    QPalette p(window);   // derives Light, Mid, Dark and Shadow from the window colour
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(46, 46, 46));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(255, 110, 110));
    p.setColor(QPalette::ToolTipBase, QColor(30, 30, 30));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Link, QColor(120, 175, 240));
    p.setColor(QPalette::LinkVisited, QColor(175, 140, 230));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 80, 80));
    return p;
}
