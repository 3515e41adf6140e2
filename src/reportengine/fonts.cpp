#include "fonts.h"
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <memory>

namespace ReportFonts {

namespace {
// Widths are measured on a large font and scaled: unhinted outlines scale
// linearly, and a large size keeps the rounding of the metrics negligible.
constexpr double referencePixels = 1000.0;

const QHash<QString, QStringList>& substitutes()
{
    static const QHash<QString, QStringList> table = {
        {"arial", {"Liberation Sans", "Arimo", "Helvetica", "Nimbus Sans", "DejaVu Sans"}},
        {"helvetica", {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"}},
        {"times new roman", {"Liberation Serif", "Tinos", "Nimbus Roman", "DejaVu Serif"}},
        {"courier new", {"Liberation Mono", "Cousine", "Nimbus Mono PS", "DejaVu Sans Mono"}},
        {"ms sans serif", {"Liberation Sans", "DejaVu Sans"}},
    };
    return table;
}

QString key(const FontSpec& face)
{
    return face.family.toLower() + QChar('|') + QChar(face.bold ? 'b' : '-') + QChar(face.italic ? 'i' : '-');
}

// A face's metrics and the advances of the texts measured in it so far.
// Reports measure the same short texts many times over (a cell at every
// size it is tried in), and shaping them is the costly part.
struct FaceMetrics {
    explicit FaceMetrics(const QFont& f) : metrics(f) {}
    QFontMetricsF metrics;
    QHash<QString, double> advances;   // at the reference size
};
constexpr int advancesKept = 20000;

FaceMetrics& faceMetrics(const FontSpec& face)
{
    static QHash<QString, std::shared_ptr<FaceMetrics>> cache;
    static FontSpec lastFace;
    static FaceMetrics* last = nullptr;
    if (last && face.bold == lastFace.bold && face.italic == lastFace.italic && face.family == lastFace.family)
        return *last;
    const QString k = key(face);
    auto it = cache.find(k);
    if (it == cache.end()) {
        QFont f = font(face, 10.0);
        f.setPixelSize(int(referencePixels));
        it = cache.insert(k, std::make_shared<FaceMetrics>(f));
    }
    lastFace = face;
    last = it->get();
    return *last;
}

QFontMetricsF& metricsFor(const FontSpec& face)
{
    return faceMetrics(face).metrics;
}
}   // namespace

QString resolvedFamily(const QString& family)
{
    static QHash<QString, QString> cache;
    const QString lower = family.toLower();
    auto it = cache.constFind(lower);
    if (it != cache.constEnd())
        return *it;
    const QStringList installed = QFontDatabase::families();
    auto has = [&](const QString& name) { return installed.contains(name, Qt::CaseInsensitive); };
    QString chosen = family;
    if (!has(family)) {
        for (const QString& alt : substitutes().value(lower))
            if (has(alt)) {
                chosen = alt;
                break;
            }
    }
    cache.insert(lower, chosen);
    return chosen;
}

QFont font(const FontSpec& face, double pointSize)
{
    QFont f(resolvedFamily(face.family));
    f.setPointSizeF(pointSize);
    f.setBold(face.bold);
    f.setItalic(face.italic);
    f.setUnderline(face.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferQuality));
    f.setKerning(false);
    return f;
}

double textWidth(const FontSpec& face, const QString& text)
{
    if (text.isEmpty())
        return 0.0;
    FaceMetrics& m = faceMetrics(face);
    auto it = m.advances.constFind(text);
    if (it == m.advances.constEnd()) {
        if (m.advances.size() >= advancesKept)
            m.advances.clear();
        it = m.advances.insert(text, m.metrics.horizontalAdvance(text));
    }
    return *it / referencePixels * face.size / 72.0;
}

double ascent(const FontSpec& face)
{
    return metricsFor(face).ascent() / referencePixels * face.size / 72.0;
}

double descent(const FontSpec& face)
{
    return metricsFor(face).descent() / referencePixels * face.size / 72.0;
}

}   // namespace ReportFonts
