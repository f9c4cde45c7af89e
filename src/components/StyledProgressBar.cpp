#include "components/StyledProgressBar.h"

#include "components/StoredProperties.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QSettings>

#include <algorithm>
#include <limits>

namespace tavlo {

namespace {

constexpr int InsetLeft = 3; // the track starts right of the frame's inner lines
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Silver = qRgb(192, 192, 192);

using Lines = PixelCanvas::Lines;

int nearest(double x)
{
    return PixelCanvas::nearest(x);
}

// A screen reader hears a progress bar and its value, not a picture.
class AccessibleProgressBar : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleProgressBar(StyledProgressBar *bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar)
    {
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface *>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QStringLiteral("%1%").arg(bar()->percent());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return bar()->max(); }
    QVariant minimumValue() const override { return bar()->min(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    StyledProgressBar *bar() const { return static_cast<StyledProgressBar *>(widget()); }
};

QAccessibleInterface *accessibleProgressBar(const QString &className, QObject *object)
{
    if (className == QLatin1String("tavlo::StyledProgressBar") && object && object->isWidgetType())
        return new AccessibleProgressBar(static_cast<StyledProgressBar *>(object));
    return nullptr;
}

} // namespace

StyledProgressBar::StyledProgressBar(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel is ours; Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    static const bool accessible = (QAccessible::installFactory(accessibleProgressBar), true);
    Q_UNUSED(accessible);
    setColor(QColor());
    m_stateSize = size();
}

QSize StyledProgressBar::sizeHint() const
{
    return {265, 17};
}

QRgb StyledProgressBar::lighten(QRgb color, int amount)
{
    auto channel = [amount](int x) { return std::min(255, ((255 - amount) * x) / 255 + amount); };
    return qRgb(channel(qRed(color)), channel(qGreen(color)), channel(qBlue(color)));
}

QRgb StyledProgressBar::blend(QRgb first, QRgb second, int ratio)
{
    auto channel = [ratio](int x1, int x2) {
        return nearest((255 - ratio) * double(x2) / 255.0 + double(x1) * ratio / 255.0);
    };
    return qRgb(channel(qRed(first), qRed(second)), channel(qGreen(first), qGreen(second)),
                channel(qBlue(first), qBlue(second)));
}

// ---- properties ---------------------------------------------------------------------------

int StyledProgressBar::value() const
{
    const double range = double(m_max) - double(m_min);
    return nearest(double(m_min) + double(nearest(m_percent / 100.0 * range)));
}

bool StyledProgressBar::setValue(int value)
{
    const long long scaled = (static_cast<long long>(value) - m_min) * 100;
    if (scaled > std::numeric_limits<int>::max() || scaled < std::numeric_limits<int>::min())
        return false;
    const long long range = static_cast<long long>(m_max) - m_min;
    if (range == 0)
        return false;
    m_percent = std::min(100, nearest(double(scaled) / double(range)));
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, this->value());
        QAccessible::updateAccessibility(&event);
    }
    return true;
}

void StyledProgressBar::setColor(const QColor &color)
{
    m_color = color.isValid() ? color.toRgb() : palette().color(QPalette::Active, QPalette::Highlight);
    m_color.setAlpha(255);
    update();
}

void StyledProgressBar::setScrolling(BarStyle style)
{
    m_style = style;
    update();
}

void StyledProgressBar::setOrientation(Orientation orientation)
{
    m_orientation = orientation;
    update();
}

void StyledProgressBar::setShowText(bool show)
{
    m_showText = show;
    // A caption leaves the drawing state of the kept image transparent from now on, as if it
    // were drawn at once.
    if (show)
        m_bufferState.transparentBackground = true;
    update();
}

void StyledProgressBar::setBrushStyle(HatchStyle style)
{
    m_hatch = style;
    update();
}

void StyledProgressBar::setImage(const QImage &image)
{
    m_image = image;
    update();
}

QString StyledProgressBar::caption() const
{
    if (m_style == Searching)
        return QStringLiteral("Searching..");
    return QString::number(m_percent) + QStringLiteral(" %");
}

// ---- painting ----------------------------------------------------------------------------

void StyledProgressBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The drawing state belongs to an off-screen image made for the bar's size, which is
    // made anew, with a new state, only when the bar outgrows it.
    if (width() > m_stateSize.width() || height() > m_stateSize.height()) {
        m_stateSize = size();
        m_bufferState = {};
    }
}

void StyledProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, rect());
}

void StyledProgressBar::paint(QPainter &painter, const QRect &rect) const
{
    if (rect.isEmpty())
        return;
    if (rect.width() > m_buffer.width() || rect.height() > m_buffer.height())
        m_buffer = QImage(rect.size().expandedTo(m_buffer.size()), QImage::Format_RGB32);
    if (m_buffer.isNull()) {
        // No memory for the kept image: this once through a passing one.
        QImage direct(rect.size(), QImage::Format_RGB32);
        if (direct.isNull())
            return;
        paint(direct, direct.rect());
        painter.drawImage(rect.topLeft(), direct);
        return;
    }
    const QRect area(QPoint(0, 0), rect.size());
    PixelCanvas canvas(m_buffer, area, m_bufferState);
    paintBar(canvas, rect.width(), rect.height());
    painter.drawImage(rect.topLeft(), m_buffer, area);
}

void StyledProgressBar::paint(QImage &image, const QRect &rect) const
{
    // The canvas writes opaque 32-bit pixels, which mean the same in these three formats.
    const QImage::Format format = image.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32
        && format != QImage::Format_ARGB32_Premultiplied) {
        QImage converted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        paint(converted, rect);
        QPainter(&image).drawImage(rect, converted, rect);
        return;
    }
    PixelCanvas::State state;
    PixelCanvas canvas(image, rect, state);
    paintBar(canvas, rect.width(), rect.height());
}

void StyledProgressBar::paintBar(PixelCanvas &canvas, int W, int H) const
{
    canvas.fillRect(0, 0, W, H, m_style == Dark ? Black : White);
    switch (m_style) {
    case Flat: drawFlat(canvas, W, H); break;
    case Etched: drawEtched(canvas, W, H); break;
    case Shaded: drawShaded(canvas, W, H); break;
    case Dark: drawDark(canvas, W, H); break;
    case Hatched: drawHatched(canvas, W, H); break;
    case Picture: drawPicture(canvas, W, H); break;
    case Glossy: drawGlossy(canvas, W, H); break;
    default: {
        Fill fill = layoutFill(W, H);
        drawXpBar(canvas, fill, W, H);
        if (m_style == Segmented)
            drawSeparators(canvas, fill, W, H);
        drawXpFrame(canvas, W, H);
        break;
    }
    }
    drawCaption(canvas, W, H);
}

// ---- the XP looks -------------------------------------------------------------------------

StyledProgressBar::Fill StyledProgressBar::layoutFill(int W, int H) const
{
    const int pitch = (m_style == Segmented ? 6 : 0) + 2;
    // Divided by 98, not 100: the fill reaches the end of the track a little early.
    const double fraction = std::max(0.0, m_percent / 98.0);
    Fill fill{W, 0};
    if (m_orientation == Horizontal) {
        const int v = nearest((W - InsetLeft) * fraction + InsetLeft);
        fill.right = std::max(InsetLeft, v - (v - InsetLeft) % pitch);
    } else {
        const int v = nearest(H * (1.0 - fraction));
        fill.top = std::min(H, v - (v - H) % pitch);
    }
    return fill;
}

void StyledProgressBar::drawXpBar(PixelCanvas &canvas, Fill &fill, int W, int H) const
{
    const QRgb color = m_color.rgb();
    const QRgb light = lighten(color, 150);
    if (m_orientation == Horizontal) {
        if (fill.right <= 14)
            fill.right = 12; // a visible stub at low values
        const int F = fill.right;
        const int R = F + 4 > W ? F - 4 : F;
        if (m_style == Searching) {
            for (int i = 0; i < 3; ++i) {
                const int x0 = nearest(F + 12 * i - (100.0 - m_percent) / 100.0 * 45);
                canvas.drawGradient(lighten(color, 220 - 40 * i), lighten(color, 200 - 40 * i), x0, 3, 9, H - 2,
                                    Lines::Columns);
            }
            return;
        }
        canvas.drawGradient(light, color, 4, 3, R, 6, Lines::Rows);
        canvas.fillRect(4, 8, R, H - 8, color);
        canvas.drawGradient(color, light, 4, H - 10, R, 6, Lines::Rows);
        return;
    }
    const int T = fill.top;
    if (m_style == Searching) {
        for (int i = 0; i < 3; ++i)
            canvas.drawGradient(lighten(color, 220 - 40 * i), lighten(color, 200 - 40 * i), W - 2, T + 12 * i, 2, 9,
                                Lines::Rows);
        return;
    }
    canvas.drawGradient(light, color, 4, T, 4, H, Lines::Columns);
    canvas.fillRect(9, T, W - 8, H, color);
    canvas.drawGradient(color, light, W - 8, T, 4, H, Lines::Columns);
}

void StyledProgressBar::drawSeparators(PixelCanvas &canvas, const Fill &fill, int W, int H) const
{
    if (m_orientation == Horizontal) {
        for (long long x = InsetLeft + 6; x <= fill.right; x += 8)
            canvas.fillRect(int(x + 1), 0, int(x + 3), H, White);
    } else {
        for (long long y = H; y >= static_cast<long long>(fill.top) + 6; y -= 8)
            canvas.fillRect(InsetLeft, int(y - 2), W, int(y), White);
    }
}

void StyledProgressBar::drawXpFrame(PixelCanvas &canvas, int W, int H)
{
    const QRgb outer = qRgb(190, 190, 190);
    const QRgb inner = qRgb(239, 239, 239);
    const QRgb border = qRgb(104, 104, 104);
    canvas.drawLine(2, 1, W - 2, 1, outer);
    canvas.drawLine(2, H - 2, W - 2, H - 2, inner);
    canvas.drawLine(1, 2, 1, H - 2, outer);
    canvas.drawLine(2, 2, 2, H - 2, inner);
    canvas.drawLine(2, 2, W - 2, 2, inner);
    canvas.drawLine(W - 2, 2, W - 2, H - 2, inner);
    canvas.frameRect(0, 0, W, H, border);

    // The rounded corners; no two of them are alike.
    const QRgb a = qRgb(172, 171, 166);
    const QRgb b = qRgb(127, 126, 125);
    const QRgb c = qRgb(172, 171, 167);
    const QRgb d = qRgb(119, 119, 119);
    const struct {
        int x, y;
        QRgb color;
    } corners[] = {
        {0, 0, White},         {0, 1, a},         {0, 2, b},         {1, 0, c},         {1, 1, d},
        {2, 0, b},             {2, 2, outer},     {0, H - 1, White}, {1, H - 1, a},     {2, H - 1, b},
        {0, H - 3, b},         {0, H - 2, c},     {1, H - 2, d},     {W - 1, 0, White}, {W - 1, 1, outer},
        {W - 1, 2, b},         {W - 2, 2, outer}, {W - 2, 1, border}, {W - 1, H - 1, White},
        {W - 1, H - 2, outer}, {W - 1, H - 3, b}, {W - 2, H - 2, d}, {W - 2, H - 1, outer},
        {W - 3, H - 1, b},
    };
    for (const auto &p : corners)
        canvas.setPixel(p.x, p.y, p.color);
}

// ---- the other looks ----------------------------------------------------------------------

void StyledProgressBar::drawFlat(PixelCanvas &canvas, int W, int H) const
{
    const int E = nearest(m_percent / 100.0 * W);
    canvas.frameRect(0, 0, W, H, lighten(m_color.rgb(), 100));
    canvas.fillRect(1, 1, E, H - 1, lighten(m_color.rgb(), 180));
}

void StyledProgressBar::drawEtched(PixelCanvas &canvas, int W, int H) const
{
    const int N = nearest(m_percent / 100.0 * (W - 4));
    canvas.drawEdge(0, 0, W, H, PixelCanvas::Etched, palette());
    canvas.drawGradient(lighten(m_color.rgb(), 140), lighten(m_color.rgb(), 200), 2, 2, N, H - 3, Lines::Columns);
}

void StyledProgressBar::drawShaded(PixelCanvas &canvas, int W, int H) const
{
    const QRgb color = m_color.rgb();
    const int E = nearest(m_percent / 101.0 * W);
    canvas.frameRect(0, 0, W, H, lighten(color, 10));
    canvas.drawGradient(color, lighten(color, 100), 2, 2, W - 2, H - 5, Lines::Rows);
    canvas.drawGradient(lighten(color, 250), color, 3, 3, E, H - 6, Lines::Rows);
    canvas.drawLine(E, 2, E, H - 2, lighten(color, 25));
}

void StyledProgressBar::drawDark(PixelCanvas &canvas, int W, int H) const
{
    const QRgb color = m_color.rgb();
    const int N = nearest(m_percent / 100.0 * (W - 5));
    canvas.frameRect(0, 0, W, H, blend(color, Black, 200));
    const QRgb fill = lighten(blend(color, Black, 100), 10);
    canvas.drawGradient(fill, fill, 2, 2, N, H - 2, Lines::Columns);
}

void StyledProgressBar::drawHatched(PixelCanvas &canvas, int W, int H) const
{
    const int E = nearest(m_percent / 101.0 * W);
    canvas.drawEdge(0, 0, W, H, PixelCanvas::Bump, palette());
    canvas.state().background = lighten(m_color.rgb(), 140);
    canvas.fillHatch(2, 2, E, H - 2, int(qint16(int(m_hatch))), m_color.rgb());
}

void StyledProgressBar::drawPicture(PixelCanvas &canvas, int W, int H) const
{
    const int E = nearest(m_percent / 101.0 * W);
    canvas.drawEdge(0, 0, W, H, PixelCanvas::SunkenOuter, palette());
    canvas.tile(2, 2, E, H - 4, m_image);
}

void StyledProgressBar::drawGlossy(PixelCanvas &canvas, int W, int H) const
{
    const QRgb color = m_color.rgb();
    const int E = nearest(m_percent / 100.0 * (W - 4));
    const int M = nearest((H - 3) / 2.0);
    canvas.drawGradient(White, Silver, 2, 2, W - 3, M, Lines::Rows);
    canvas.drawGradient(blend(Silver, Black, 255), Silver, 2, M, W - 3, M, Lines::Rows);
    canvas.drawGradient(lighten(color, 150), blend(color, Black, 180), 2, 2, E, M, Lines::Rows);
    canvas.drawGradient(blend(color, Black, 190), color, 2, M, E, M, Lines::Rows);
    drawXpFrame(canvas, W, H);
}

void StyledProgressBar::drawCaption(PixelCanvas &canvas, int W, int H) const
{
    if (!m_showText)
        return;
    const QString text = caption();
    const bool overlay = m_style == Dark || m_style == Glossy;
    PixelCanvas::State &state = canvas.state();
    state.transparentBackground = true;
    state.text = m_style == Dark ? Silver : Black;
    // Measured on the image drawn into, so that size and drawing agree; centred.
    const QFontMetrics metrics(font(), &canvas.image());
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    const QRect box(nearest(W / 2.0 - width / 2.0), nearest(H / 2.0 - height / 2.0), width, height);
    const int right = box.left() + width;
    const double p = m_percent / 100.0 * W;
    // Where the fill covers the whole caption only the overlay is drawn.
    if (!(overlay && p > right))
        canvas.drawText(text, font(), box, right);
    if (!overlay)
        return;
    // The part of the caption over the fill changes colour.
    state.text = m_style == Dark ? lighten(m_color.rgb(), 80) : White;
    if (p >= box.left())
        canvas.drawText(text, font(), box, nearest(p));
}

// ---- stored properties --------------------------------------------------------------------

QFont StyledProgressBar::ambientFont() const
{
    return parentWidget() ? parentWidget()->font() : QApplication::font();
}

void StyledProgressBar::writeSettings(QSettings &settings) const
{
    StoredProperties::write(settings, *this, "Font", ambientFont());
    StoredProperties::write(settings, *this, "BrushStyle", QVariant::fromValue(CrossHatch));
    StoredProperties::write(settings, *this, "Color", palette().color(QPalette::Active, QPalette::Highlight));
    StoredProperties::write(settings, *this, "Image", QImage());
    StoredProperties::write(settings, *this, "Max", 100);
    StoredProperties::write(settings, *this, "Min", 0);
    StoredProperties::write(settings, *this, "Orientation", QVariant::fromValue(Horizontal));
    StoredProperties::write(settings, *this, "Scrolling", QVariant::fromValue(Segmented));
    StoredProperties::write(settings, *this, "ShowText", false);
    // The percentage, whatever Min and Max are: it is what the bar shows.
    StoredProperties::writeValue(settings, QStringLiteral("Value"), m_percent, 0);
}

void StyledProgressBar::readSettings(const QSettings &settings)
{
    // Without a stored font the bar takes its parent's, as a new one does.
    StoredProperties::read(settings, *this, "Font", QFont());
    StoredProperties::read(settings, *this, "BrushStyle", QVariant::fromValue(CrossHatch));
    StoredProperties::read(settings, *this, "Color", QColor());
    StoredProperties::read(settings, *this, "Image", QImage());
    StoredProperties::read(settings, *this, "Max", 100);
    StoredProperties::read(settings, *this, "Min", 0);
    StoredProperties::read(settings, *this, "Orientation", QVariant::fromValue(Horizontal));
    StoredProperties::read(settings, *this, "Scrolling", QVariant::fromValue(Segmented));
    StoredProperties::read(settings, *this, "ShowText", false);
    // Taken as the percentage, so a bar saved with any Max comes back as it was drawn.
    m_percent = std::min(100, StoredProperties::readValue(settings, QStringLiteral("Value"), 0, palette()).toInt());
    update();
}

} // namespace tavlo
