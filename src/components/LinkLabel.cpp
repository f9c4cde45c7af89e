#include "components/LinkLabel.h"

#include "base/Twips.h"
#include "components/StoredProperties.h"
#include "platform/QtUrlOpener.h"
#include "platform/UrlOpener.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QSettings>
#include <QWindow>

#include <cmath>

namespace tavlo {

namespace {

// How far the pointer may stray beyond the label before it has left.
constexpr int HoverMargin = twips(15);
constexpr double LargestFontSize = 4096.0;

} // namespace

LinkLabel::LinkLabel(QWidget *parent)
    : QLabel(parent)
    , m_opener(&DesktopUrlOpener::instance())
{
    setTextFormat(Qt::PlainText);
    setText(defaultCaption());
    m_normalUnderline = font().underline();
    applyPalette();
    setCursor(Qt::PointingHandCursor);
    fitToText();
}

LinkLabel::~LinkLabel()
{
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
}

QString LinkLabel::defaultCaption()
{
    return QStringLiteral("LinkLabel");
}

// ---- properties ---------------------------------------------------------------------------

void LinkLabel::setCaption(const QString &caption)
{
    setText(caption);
    fitToText();
}

QFont LinkLabel::normalFont() const
{
    QFont f = font();
    f.setUnderline(m_normalUnderline);
    return f;
}

void LinkLabel::setNormalFont(const QFont &font)
{
    m_normalUnderline = font.underline();
    applyFont(font);
}

void LinkLabel::setFontSize(double points)
{
    if (!std::isfinite(points) || !(points > 0) || points > LargestFontSize)
        return;
    QFont f = font();
    f.setPointSizeF(points);
    applyFont(f);
}

void LinkLabel::setForeColor(const QColor &color)
{
    m_foreColor = color;
    applyPalette();
}

QColor LinkLabel::backColor() const
{
    return m_backColor.isValid() ? m_backColor : ambientBackColor();
}

void LinkLabel::setBackColor(const QColor &color)
{
    m_backColor = color;
    applyPalette();
}

void LinkLabel::setShowHand(bool show)
{
    m_showHand = show;
    if (show)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void LinkLabel::setUrlOpener(UrlOpener *opener)
{
    m_opener = opener ? opener : &DesktopUrlOpener::instance();
}

// ---- look -----------------------------------------------------------------------------------

void LinkLabel::applyFont(const QFont &font)
{
    QFont f = font;
    f.setUnderline(m_hot || m_normalUnderline);
    m_applyingFont = true;
    setFont(f);
    m_applyingFont = false;
    fitToText();
}

void LinkLabel::applyPalette()
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_hot ? m_hotColor : m_foreColor);
    if (m_backColor.isValid())
        pal.setColor(QPalette::Window, m_backColor);
    setPalette(pal);
    setAutoFillBackground(m_backColor.isValid());
}

void LinkLabel::fitToText()
{
    // A fixed size: whatever size a container asks for, the label keeps the size of its text.
    // The last one must not hold up the hint, which never falls below the minimum size.
    setMinimumSize(0, 0);
    ensurePolished();
    setFixedSize(sizeHint());
}

void LinkLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        if (!m_applyingFont) {
            // A font from outside, e.g. a scaled one. During hover its underline is hover's.
            if (!m_hot)
                m_normalUnderline = font().underline();
            else if (!font().underline())
                applyFont(font());
        }
        fitToText();
        break;
    case QEvent::EnabledChange:
        if (!isEnabled())
            setHot(false);
        break;
    default:
        break;
    }
}

// ---- hover and click ------------------------------------------------------------------------

void LinkLabel::setHot(bool hot)
{
    if (hot == m_hot)
        return;
    if (hot) {
        if (m_hotColor.rgba() == m_foreColor.rgba())
            return;
        if (QWindow *w = window()->windowHandle()) {
            m_watchedWindow = w;
            w->installEventFilter(this);
        }
    } else if (m_watchedWindow) {
        m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = nullptr;
    }
    m_hot = hot;
    applyPalette();
    applyFont(font());
    emit hoveredChanged(hot);
}

bool LinkLabel::beyondMargin(QPointF globalPosition) const
{
    const QPoint p = mapFromGlobal(globalPosition.toPoint());
    return p.x() < -HoverMargin || p.x() > width() + HoverMargin || p.y() < -HoverMargin
           || p.y() > height() + HoverMargin;
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    if (isEnabled())
        setHot(true);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    // Without its window's moves there is no telling how far the pointer went.
    if (!m_watchedWindow)
        setHot(false);
}

bool LinkLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow) {
        if (event->type() == QEvent::MouseMove) {
            if (beyondMargin(static_cast<QMouseEvent *>(event)->globalPosition()))
                setHot(false);
        } else if (event->type() == QEvent::Leave) {
            setHot(false);
        }
    }
    return QLabel::eventFilter(watched, event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    const QPointer<LinkLabel> alive(this);
    emit clicked();
    // A blank address only clicks; what the opener refuses or fails at stays silent.
    if (alive && !m_url.trimmed().isEmpty())
        (void)m_opener->open(m_url);
}

// ---- stored properties ----------------------------------------------------------------------

QFont LinkLabel::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

QColor LinkLabel::ambientBackColor() const
{
    const QWidget *holder = parentWidget();
    return holder ? holder->palette().color(holder->backgroundRole()) : QApplication::palette().color(QPalette::Window);
}

void LinkLabel::writeSettings(QSettings &settings) const
{
    StoredProperties::write(settings, *this, "URL", QString());
    StoredProperties::write(settings, *this, "Font", ambientFont());
    StoredProperties::write(settings, *this, "ForeColor", QColor(Qt::black));
    StoredProperties::write(settings, *this, "BackColor", ambientBackColor());
    StoredProperties::write(settings, *this, "HotColor", QColor(Qt::red));
    StoredProperties::write(settings, *this, "Caption", defaultCaption());
    StoredProperties::write(settings, *this, "ShowHand", true);
}

void LinkLabel::readSettings(const QSettings &settings)
{
    // Without a stored font or background the label takes its window's, as a new one does.
    StoredProperties::read(settings, *this, "URL", QString());
    StoredProperties::read(settings, *this, "Font", QFont());
    StoredProperties::read(settings, *this, "BackColor", QColor());
    StoredProperties::read(settings, *this, "ForeColor", QColor(Qt::black));
    StoredProperties::read(settings, *this, "HotColor", QColor(Qt::red));
    StoredProperties::read(settings, *this, "Caption", defaultCaption());
    StoredProperties::read(settings, *this, "ShowHand", true);
}

} // namespace tavlo
