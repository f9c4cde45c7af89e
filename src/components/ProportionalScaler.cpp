#include "components/ProportionalScaler.h"

#include <QEvent>
#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavlo {

namespace {

// Larger fonts than this are refused: the glyph caches would not survive them.
constexpr double LargestFontSize = 4096.0;

void collect(QWidget *parent, QList<QWidget *> &out)
{
    // A layout places its widget's children itself.
    if (parent->layout())
        return;
    for (QObject *child : parent->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w->isWindow() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        out.append(w);
        collect(w, out);
    }
}

// Whole pixels, or the current value when v cannot be a coordinate.
int toPixels(double v, int current)
{
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r > double(std::numeric_limits<int>::max() / 2)
        || r < double(std::numeric_limits<int>::min() / 2))
        return current;
    return int(r);
}

} // namespace

ProportionalScaler::ProportionalScaler(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
    if (window->isVisible())
        record();
}

void ProportionalScaler::record()
{
    const double W = m_window->width();
    const double H = m_window->height();
    if (W <= 0 || H <= 0)
        return; // nothing to take fractions of
    QList<QWidget *> children;
    collect(m_window, children);
    for (QWidget *w : children) {
        const bool known = std::any_of(m_record.cbegin(), m_record.cend(),
                                       [w](const Proportions &p) { return p.widget == w; });
        if (known)
            continue;
        const double points = w->font().pointSizeF();
        m_record.append({w, w->x() / W, w->y() / H, w->width() / W, w->height() / H,
                         points > 0 ? std::optional(points / H) : std::nullopt});
    }
    m_recorded = true;
}

void ProportionalScaler::scale()
{
    const double W = m_window->width();
    const double H = m_window->height();
    for (const Proportions &p : m_record) {
        QWidget *w = p.widget;
        if (!w)
            continue;
        const int width = toPixels(p.width * W, w->width());
        const int height = toPixels(p.height * H, w->height());
        w->setGeometry(toPixels(p.left * W, w->x()), toPixels(p.top * H, w->y()), std::max(width, 0),
                       std::max(height, 0));
        if (!p.fontSize)
            continue;
        // Thousandths of a point, so that a return to the recorded size gives the very same font.
        const double points = std::nearbyint(*p.fontSize * H * 1000.0) / 1000.0;
        if (points > 0 && points <= LargestFontSize && points != w->font().pointSizeF()) {
            QFont font = w->font();
            font.setPointSizeF(points);
            w->setFont(font);
        }
    }
}

bool ProportionalScaler::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && !m_recorded)
            record();
        else if (event->type() == QEvent::Resize && m_recorded)
            scale();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavlo
