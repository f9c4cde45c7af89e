#include "components/HotLabel.h"

#include "platform/PointerSource.h"
#include "platform/QtPointerSource.h"
#include "platform/QtUrlOpener.h"
#include "platform/UrlOpener.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>

namespace tavlo {

namespace {

// The hover margin is 15 twips; our windows measure in pixels, 15 twips to the pixel.
constexpr int HoverMarginTwips = 15;
constexpr int TwipsPerPixel = 15;
constexpr int HoverMargin = HoverMarginTwips / TwipsPerPixel;
constexpr double LargestFontSize = 4096.0;

OleColor toOle(const QColor &c)
{
    return RGB(c.red(), c.green(), c.blue());
}

} // namespace

HotLabel::HotLabel(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
    , m_timer(new QTimer(this))
    , m_pointer(&CursorPointerSource::instance())
    , m_opener(&DesktopUrlOpener::instance())
{
    m_label->setObjectName(QStringLiteral("lblURL"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAutoFillBackground(false); // transparent over the component's background
    m_label->setMouseTracking(true);
    m_label->installEventFilter(this);
    m_label->setText(defaultCaption());
    setLabelColor(m_foreColor);
    giveFontToLabel();
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(200);
    connect(m_timer, &QTimer::timeout, this, &HotLabel::Timer1_Timer);
    m_backColor = ambientBackColor();
    applyBackColor();
    ApplyPointer();
    UserControl_Resize();
}

QString HotLabel::defaultCaption()
{
    return QStringLiteral("HotLabel");
}

// ---- properties ---------------------------------------------------------------------------

QString HotLabel::Caption() const
{
    return m_label->text();
}

void HotLabel::setCaption(const QString &caption)
{
    m_label->setText(caption);
    UserControl_Resize();
}

double HotLabel::FontSize() const
{
    return m_label->font().pointSizeF();
}

void HotLabel::setFontSize(double size)
{
    // Sizes no font can have are ignored.
    if (!std::isfinite(size) || !(size > 0) || size > LargestFontSize)
        return;
    QFont f = font();
    f.setPointSizeF(size);
    QWidget::setFont(f);
    UserControl_Resize();
}

void HotLabel::setFont(const QFont &given)
{
    QFont f = font();
    f.setBold(given.bold());
    f.setItalic(given.italic());
    f.setFamilies(given.families().isEmpty() ? QStringList{given.family()} : given.families());
    if (given.pointSizeF() > 0)
        f.setPointSizeF(given.pointSizeF());
    else if (given.pixelSize() > 0)
        f.setPixelSize(given.pixelSize());
    f.setUnderline(given.underline());
    QWidget::setFont(f);
    emit PropertyChanged(QStringLiteral("Font"));
    giveFontToLabel();
    m_normalUnderline = m_label->font().underline();
    UserControl_Resize();
}

void HotLabel::setForeColor(OleColor color)
{
    m_foreColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(gdi::toQRgb(gdi::TranslateColor(color, palette()))));
    setPalette(pal);
    setLabelColor(color);
    emit PropertyChanged(QStringLiteral("ForeColor"));
}

void HotLabel::setBackColor(OleColor color)
{
    m_backColor = color;
    applyBackColor();
    emit PropertyChanged(QStringLiteral("BackColor"));
}

bool HotLabel::Enabled() const
{
    return m_label->isEnabled();
}

void HotLabel::setEnabled(bool enabled)
{
    m_label->setEnabled(enabled);
}

void HotLabel::setShowHand(bool show)
{
    m_showHand = show;
    ApplyPointer();
}

bool HotLabel::isHot() const
{
    return m_timer->isActive();
}

void HotLabel::setPointerSource(PointerSource *source)
{
    m_pointer = source ? source : &CursorPointerSource::instance();
}

void HotLabel::setUrlOpener(UrlOpener *opener)
{
    m_opener = opener ? opener : &DesktopUrlOpener::instance();
}

// ---- label ----------------------------------------------------------------------------------

void HotLabel::setLabelColor(OleColor color)
{
    m_labelColor = color;
    QPalette pal = m_label->palette();
    pal.setColor(QPalette::WindowText, QColor(gdi::toQRgb(gdi::TranslateColor(color, palette()))));
    m_label->setPalette(pal);
}

void HotLabel::setLabelUnderline(bool underline)
{
    QFont f = m_label->font();
    f.setUnderline(underline);
    m_label->setFont(f);
}

void HotLabel::giveFontToLabel()
{
    // The hover underline belongs to the label alone, so a stored font never carries it.
    QFont f = font();
    if (isHot())
        f.setUnderline(true);
    m_label->setFont(f);
}

void HotLabel::applyBackColor()
{
    const QColor c(gdi::toQRgb(gdi::TranslateColor(m_backColor, palette())));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    setPalette(pal);
    setAutoFillBackground(true);
    QPalette labelPal = m_label->palette();
    labelPal.setColor(QPalette::Window, c);
    m_label->setPalette(labelPal);
}

void HotLabel::ApplyPointer()
{
    if (m_showHand)
        m_label->setCursor(Qt::PointingHandCursor);
    else
        m_label->unsetCursor();
}

void HotLabel::UserControl_Resize()
{
    m_label->move(0, 0);
    m_label->adjustSize();
    resize(m_label->size());
}

void HotLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Whatever size the container asks for, the component stays the size of its text.
    if (size() != m_label->size())
        UserControl_Resize();
}

void HotLabel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        giveFontToLabel();
        update();
        UserControl_Resize();
    }
}

// ---- hover and click ------------------------------------------------------------------------

bool HotLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            lblURL_MouseMove();
            break;
        case QEvent::MouseButtonRelease: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && m_label->rect().contains(mouse->position().toPoint()))
                lblURL_Click();
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HotLabel::lblURL_MouseMove()
{
    if (m_labelColor == m_hotColor)
        return;
    setLabelColor(m_hotColor);
    setLabelUnderline(true);
    m_timer->start();
}

void HotLabel::Timer1_Timer()
{
    // The pointer in the holding window's client coordinates, against the component's place there.
    QWidget *holder = parentWidget();
    const QPoint global = m_pointer->globalPosition();
    const QPoint p = holder ? holder->mapFromGlobal(global) : mapFromGlobal(global);
    const QRect place = holder ? geometry() : rect();
    const bool left = p.x() < place.x() - HoverMargin || p.x() > place.x() + place.width() + HoverMargin ||
                      p.y() < place.y() - HoverMargin || p.y() > place.y() + place.height() + HoverMargin;
    if (left) {
        setLabelColor(m_foreColor);
        setLabelUnderline(m_normalUnderline);
        m_timer->stop();
    }
    QCoreApplication::processEvents();
}

void HotLabel::lblURL_Click()
{
    emit Click();
    if (!m_url.trimmed().isEmpty())
        (void)m_opener->open(m_url); // a failure stays silent
}

// ---- stored properties ----------------------------------------------------------------------

QFont HotLabel::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

OleColor HotLabel::ambientBackColor() const
{
    const QWidget *holder = parentWidget();
    return holder ? toOle(holder->palette().color(holder->backgroundRole()))
                  : toOle(QApplication::palette().color(QPalette::Window));
}

void HotLabel::InitProperties()
{
    m_showHand = true;
    m_backColor = ambientBackColor();
    applyBackColor();
    m_foreColor = 0;
    setLabelColor(m_foreColor);
    m_hotColor = 255;
    ApplyPointer();
}

void HotLabel::ReadProperties(const PropertyBag &bag)
{
    auto colour = [&bag](const char *name, OleColor defaultValue) {
        bool ok = false;
        const OleColor c = bag.ReadProperty(QLatin1String(name), defaultValue).toUInt(&ok);
        return ok ? c : defaultValue;
    };
    m_url = bag.ReadProperty(QStringLiteral("URL"), QString()).toString();
    const QVariant storedFont = bag.ReadProperty(QStringLiteral("Font"), ambientFont());
    setFont(storedFont.canConvert<QFont>() ? storedFont.value<QFont>() : ambientFont());
    m_backColor = colour("BackColor", ambientBackColor());
    applyBackColor();
    m_foreColor = colour("ForeColor", 0);
    m_hotColor = colour("HotColor", 255);
    m_label->setText(bag.ReadProperty(QStringLiteral("Caption"), defaultCaption()).toString());
    m_showHand = bag.ReadProperty(QStringLiteral("ShowHand"), true).toBool();
    m_normalUnderline = m_label->font().underline();
    setLabelColor(m_foreColor);
    ApplyPointer();
    UserControl_Resize();
}

void HotLabel::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("URL"), m_url, QString());
    bag.WriteProperty(QStringLiteral("Font"), font(), ambientFont());
    bag.WriteProperty(QStringLiteral("ForeColor"), m_foreColor, OleColor(0));
    bag.WriteProperty(QStringLiteral("BackColor"), m_backColor, ambientBackColor());
    bag.WriteProperty(QStringLiteral("HotColor"), m_hotColor, OleColor(255));
    bag.WriteProperty(QStringLiteral("Caption"), Caption(), defaultCaption());
    bag.WriteProperty(QStringLiteral("ShowHand"), m_showHand, true);
}

} // namespace tavlo
