#include "pageops.h"

namespace {
template <typename T>
QVector<T> opsOf(const QVector<PageOp>& ops)
{
    QVector<T> out;
    for (const PageOp& op : ops)
        if (const T* t = std::get_if<T>(&op))
            out.append(*t);
    return out;
}
}   // namespace

QVector<TextOp> ReportPage::texts() const
{
    return opsOf<TextOp>(ops);
}
QVector<LineOp> ReportPage::lines() const
{
    return opsOf<LineOp>(ops);
}
QVector<ShadeOp> ReportPage::shades() const
{
    return opsOf<ShadeOp>(ops);
}
