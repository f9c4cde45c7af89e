#include "components/AutoSizer.h"

#include <QEvent>
#include <QMetaObject>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

#include <cmath>
#include <limits>

#include <span>

namespace tavlo {

namespace {

const char *const NoFontProperty = "tavloNoFont";
// Larger fonts than this are refused: the glyph caches would not survive them.
constexpr double LargestFontSize = 4096.0;

bool hasQtProperty(const QWidget *w, const char *name)
{
    return w->metaObject()->indexOfProperty(name) >= 0 || w->dynamicPropertyNames().contains(name);
}

bool isComponent(const QWidget *w)
{
    return w->metaObject()->indexOfClassInfo("tavloComponent") >= 0;
}

std::optional<double> readProperty(const QWidget *w, const char *name)
{
    if (hasQtProperty(w, name)) {
        bool ok = false;
        const double v = w->property(name).toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return std::nullopt;
        return v;
    }
    const QByteArray n(name);
    if (n == "Left")
        return w->x();
    if (n == "Top")
        return w->y();
    if (n == "Width")
        return w->width();
    if (n == "Height")
        return w->height();
    if (n == "FontSize") {
        if (w->property(NoFontProperty).toBool())
            return std::nullopt;
        const double size = w->font().pointSizeF();
        if (size <= 0) // a font given in pixels has no point size
            return std::nullopt;
        return size;
    }
    return std::nullopt;
}

// Whole pixels, or nothing when the value cannot be a coordinate.
std::optional<int> toPixels(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = std::nearbyint(v);
    if (r > double(std::numeric_limits<int>::max() / 2) || r < double(std::numeric_limits<int>::min() / 2))
        return std::nullopt;
    return int(r);
}

bool writeProperty(QWidget *w, const char *name, double v)
{
    if (!std::isfinite(v))
        return false;
    const QByteArray n(name);
    if (n == "FontSize") {
        if (w->property(NoFontProperty).toBool() || !(v > 0) || v > LargestFontSize)
            return false;
        // Thousandths of a point, so that a return to the recorded size gives the very same font.
        v = std::nearbyint(v * 1000.0) / 1000.0;
    }
    if (hasQtProperty(w, name))
        return w->setProperty(name, v) || w->dynamicPropertyNames().contains(name);
    if (n == "FontSize") {
        QFont font = w->font();
        font.setPointSizeF(v);
        w->setFont(font);
        return true;
    }
    const std::optional<int> px = toPixels(v);
    if (!px)
        return false;
    if (n == "Left")
        w->move(*px, w->y());
    else if (n == "Top")
        w->move(w->x(), *px);
    else if (n == "Width" && *px >= 0)
        w->resize(*px, w->height());
    else if (n == "Height" && *px >= 0)
        w->resize(w->width(), *px);
    else
        return false;
    return true;
}

// A property read as a 16-bit integer, or -1 when it is missing or does not fit.
int readInt16(const QWidget *w, const char *name)
{
    const std::optional<double> v = readProperty(w, name);
    if (!v)
        return -1;
    const double r = std::nearbyint(*v);
    if (r < -32768.0 || r > 32767.0)
        return -1;
    return int(r);
}

// What the table keeps of a control, in the order it is recorded and restored.
struct Dimension {
    const char *property;
    const char *suffix;
    bool horizontal;
};
constexpr Dimension lineDimensions[] = {
    {"Y1", ".y1", false}, {"X1", ".x1", true}, {"X2", ".x2", true}, {"Y2", ".y2", false}};
constexpr Dimension boxDimensions[] = {
    {"Top", ".top", false}, {"Left", ".left", true}, {"Width", ".width", true}, {"Height", ".height", false},
    {"FontSize", ".fsz", false}};

bool isLine(const QWidget *w)
{
    return readInt16(w, "X1") != -1;
}

void collect(QWidget *parent, QList<QWidget *> &out)
{
    for (QObject *child : parent->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w->isWindow() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        if (!w->objectName().isEmpty())
            out.append(w);
        if (!isComponent(w))
            collect(w, out);
    }
}

std::span<const Dimension> dimensionsOf(const QWidget *control)
{
    if (isLine(control))
        return lineDimensions;
    return boxDimensions;
}

} // namespace

AutoSizer::AutoSizer(QWidget *parent)
    : QWidget(parent)
    , cc(new QPushButton(this))
    , tmrint(new QTimer(this))
{
    cc->setObjectName(QStringLiteral("cc"));
    cc->setGeometry(rect());
    tmrint->setObjectName(QStringLiteral("tmrint"));
    tmrint->setInterval(10);
    connect(tmrint, &QTimer::timeout, this, &AutoSizer::tmrint_Timer);
    tmrint->start();
}

void AutoSizer::markWithoutFont(QWidget *control)
{
    control->setProperty(NoFontProperty, true);
}

QList<QWidget *> AutoSizer::controlsOf(QWidget *window)
{
    QList<QWidget *> controls;
    if (window)
        collect(window, controls);
    return controls;
}

QString AutoSizer::controlKey(const QWidget *control)
{
    const int index = readInt16(control, "Index");
    if (index == -1)
        return control->objectName();
    return control->objectName() + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

void AutoSizer::tmrint_Timer()
{
    // Once only: the layout the window has when its loading is over.
    tmrint->stop();
    GetProps();
}

void AutoSizer::GetProps()
{
    QWidget *window = parentWidget();
    if (!window)
        return;
    if (m_frm != window) {
        if (m_frm)
            m_frm->removeEventFilter(this);
        m_frm = window;
        m_frm->installEventFilter(this);
    }
    const double scaleWidth = window->width();
    const double scaleHeight = window->height();
    for (QWidget *control : controlsOf(window)) {
        const QString key = controlKey(control);
        // Each entry stands alone: one that cannot be read, or is already known, is skipped.
        for (const Dimension &d : dimensionsOf(control)) {
            const QString entry = key + QLatin1String(d.suffix);
            const double scale = d.horizontal ? scaleWidth : scaleHeight;
            if (scale == 0.0 || m_table.contains(entry))
                continue;
            if (const std::optional<double> v = readProperty(control, d.property))
                m_table.insert(entry, *v / scale);
        }
    }
}

void AutoSizer::frm_Resize()
{
    QWidget *window = m_frm;
    if (!window)
        return;
    for (QWidget *control : controlsOf(window)) {
        const QString key = controlKey(control);
        // The client size is read afresh for every assignment; a missing entry or a refused
        // value skips that one assignment.
        for (const Dimension &d : dimensionsOf(control)) {
            const auto entry = m_table.constFind(key + QLatin1String(d.suffix));
            if (entry == m_table.cend())
                continue;
            const double scale = d.horizontal ? window->width() : window->height();
            writeProperty(control, d.property, scale * entry.value());
        }
    }
}

bool AutoSizer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frm && event->type() == QEvent::Resize)
        frm_Resize();
    return QWidget::eventFilter(watched, event);
}

void AutoSizer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    cc->setGeometry(0, 0, width(), height());
}

} // namespace tavlo
