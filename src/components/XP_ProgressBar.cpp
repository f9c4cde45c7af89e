#include "components/XP_ProgressBar.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <limits>

namespace tavlo {

using gdi::BlendColor;
using gdi::LightenColor;
using gdi::Nearest;

namespace {

constexpr int InsetLeft = 3; // the track starts right of the frame's inner lines
constexpr OleColor White = RGB(255, 255, 255);
constexpr OleColor Black = RGB(0, 0, 0);
constexpr OleColor Silver = RGB(192, 192, 192);

} // namespace

XP_ProgressBar::XP_ProgressBar(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel is ours; Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_bufferContext.image = &m_buffer;
    setHdc(0);
    m_color = TranslateColor(SystemColor(COLOR_HIGHLIGHT));
    DrawProgressBar();
}

XP_ProgressBar::~XP_ProgressBar()
{
    FreeBuffer();
}

QSize XP_ProgressBar::sizeHint() const
{
    return {265, 17};
}

OleColor XP_ProgressBar::TranslateColor(OleColor c) const
{
    return gdi::TranslateColor(c, palette());
}

// ---- buffer ---------------------------------------------------------------------------

bool XP_ProgressBar::EnsureBuffer(int width, int height)
{
    if (!m_buffer.isNull()) {
        if (width > m_buffer.width() || height > m_buffer.height())
            BuildBuffer(width, height);
    } else if (width > 0 && height > 0) {
        BuildBuffer(width, height);
    }
    return !m_buffer.isNull();
}

void XP_ProgressBar::BuildBuffer(int width, int height)
{
    FreeBuffer();
    if (width <= 0 || height <= 0)
        return;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return; // out of memory: drawn straight to the screen instead
    image.fill(Qt::black);
    m_buffer = std::move(image);
    // A new context starts with the default background mode and colours.
    m_bufferContext = DrawContext{};
    m_bufferContext.image = &m_buffer;
}

void XP_ProgressBar::FreeBuffer()
{
    m_buffer = QImage();
    m_usesBuffer = false;
}

QImage *XP_ProgressBar::hdc()
{
    return m_usesBuffer ? &m_buffer : nullptr;
}

void XP_ProgressBar::setHdc(qintptr)
{
    m_usesBuffer = EnsureBuffer(width(), height());
}

void XP_ProgressBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setHdc(0);
}

// ---- showing --------------------------------------------------------------------------

void XP_ProgressBar::DrawProgressBar()
{
    if (m_usesBuffer)
        paintInto(m_bufferContext, hwnd()->size());
    else if (m_percent > 100)
        m_percent = 100;
    update();
}

void XP_ProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_usesBuffer) {
        paintInto(m_bufferContext, hwnd()->size());
        pDraw(painter, 0, 0, width(), height(), 0, 0);
        return;
    }
    // No buffer could be had: paint this one frame through a transient image.
    QImage direct(size(), QImage::Format_RGB32);
    if (direct.isNull())
        return;
    direct.fill(Qt::black);
    DrawContext dc;
    dc.image = &direct;
    paintInto(dc, hwnd()->size());
    painter.drawImage(0, 0, direct);
}

void XP_ProgressBar::pDraw(QPainter &hdc, int xSrc, int ySrc, int WidthSrc, int HeightSrc, int xDst, int yDst) const
{
    if (m_buffer.isNull())
        return;
    const int w = WidthSrc > 0 ? WidthSrc : m_buffer.width();
    const int h = HeightSrc > 0 ? HeightSrc : m_buffer.height();
    hdc.drawImage(QPoint(xDst, yDst), m_buffer, QRect(xSrc, ySrc, w, h));
}

QImage XP_ProgressBar::render(QSize client)
{
    QImage image(client, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::black);
    DrawContext dc;
    dc.image = &image;
    paintInto(dc, client);
    return image;
}

void XP_ProgressBar::paintInto(DrawContext &dc, QSize client)
{
    if (m_percent > 100)
        m_percent = 100;
    const int W = client.width();
    const int H = client.height();
    gdi::FillRect(dc, {0, 0, W, H}, m_scrolling == Dark ? Black : White);
    switch (m_scrolling) {
    case Flat: DrawFlat(dc, W, H); break;
    case Etched: DrawEtched(dc, W, H); break;
    case Shaded: DrawShaded(dc, W, H); break;
    case Dark: DrawDark(dc, W, H); break;
    case Hatched: DrawHatched(dc, W, H); break;
    case Picture: DrawPicture(dc, W, H); break;
    case Glossy: DrawGlossy(dc, W, H); break;
    default:
        LayoutFill(W, H);
        DrawBar(dc, W, H);
        if (m_scrolling == Segmented)
            DrawSeparators(dc, W, H);
        DrawXPFrame(dc, W, H);
        break;
    }
    DrawCaption(dc, W, H);
}

// ---- primitives -----------------------------------------------------------------------

void XP_ProgressBar::DrawLine(int X, int Y, int Width, int Height, DrawContext &cHdc, OleColor color)
{
    gdi::LineTo(cHdc, X, Y, Width, Height, TranslateColor(color));
}

void XP_ProgressBar::DrawGradient(OleColor &color1, OleColor &color2, int X, int Y, int A, int B, DrawContext &dc,
                                  bool columns)
{
    color1 = TranslateColor(color1);
    color2 = TranslateColor(color2);
    const long long N = columns ? A : B;
    // With no distance to cover the steps stay 0: one line in the first colour.
    float stepRed = 0.0f;
    float stepGreen = 0.0f;
    float stepBlue = 0.0f;
    if (N != 0) {
        stepRed = float(double(redOf(color2) - redOf(color1)) / double(N));
        stepGreen = float(double(greenOf(color2) - greenOf(color1)) / double(N));
        stepBlue = float(double(blueOf(color2) - blueOf(color1)) / double(N));
    }
    // Only the lines that can land on the image are walked.
    long long first = 0;
    long long last = N;
    if (dc.image) {
        const long long origin = columns ? X : Y;
        const long long extent = columns ? dc.image->width() : dc.image->height();
        first = std::max(first, -origin);
        last = std::min(last, extent - 1 - origin);
    }
    for (long long i = first; i <= last; ++i) {
        const double di = double(i);
        const OleColor c = RGB(Nearest(redOf(color1) + double(stepRed) * di),
                               Nearest(greenOf(color1) + double(stepGreen) * di),
                               Nearest(blueOf(color1) + double(stepBlue) * di));
        if (columns)
            gdi::LineTo(dc, int(X + i), Y, int(X + i), B, c);
        else
            gdi::LineTo(dc, X, int(Y + i), A, int(Y + i), c);
    }
}

// ---- styles 0 to 2 ----------------------------------------------------------------------

void XP_ProgressBar::LayoutFill(int W, int H)
{
    m_blockSize = m_scrolling == Segmented ? 6 : 0;
    m_blockSpacing = 2;
    const int pitch = m_blockSize + m_blockSpacing;
    m_fillRect = {InsetLeft, 0, W, H};
    m_fillFraction = std::max(0.0, m_percent / 98.0);
    if (m_orientation == 0) {
        const int v = Nearest((W - InsetLeft) * m_fillFraction + InsetLeft);
        m_fillRect.right = std::max(InsetLeft, v - (v - InsetLeft) % pitch);
    } else {
        const int v = Nearest(H * (1.0 - m_fillFraction));
        m_fillRect.top = std::min(H, v - (v - H) % pitch);
    }
}

void XP_ProgressBar::DrawBar(DrawContext &dc, int W, int H)
{
    if (m_orientation == 0) {
        int F = m_fillRect.right;
        if (F <= 14) {
            F = 12; // a visible stub at low values
            m_fillRect.right = F;
        }
        const int R = F + 4 > W ? F - 4 : F;
        if (m_scrolling == Searching) {
            for (int i = 0; i < 3; ++i) {
                const int x0 = Nearest(F + 12 * i - (100.0 - m_percent) / 100.0 * 45);
                OleColor c1 = LightenColor(m_color, 220 - 40 * i);
                OleColor c2 = LightenColor(m_color, 200 - 40 * i);
                DrawGradient(c1, c2, x0, 3, 9, H - 2, dc, true);
            }
            return;
        }
        OleColor light = LightenColor(m_color, 150);
        OleColor color = m_color;
        DrawGradient(light, color, 4, 3, R, 6, dc, false);
        gdi::FillRect(dc, {4, 8, R, H - 8}, TranslateColor(m_color));
        DrawGradient(color, light, 4, H - 10, R, 6, dc, false);
        return;
    }
    const int T = m_fillRect.top;
    if (m_scrolling == Searching) {
        for (int i = 0; i < 3; ++i) {
            OleColor c1 = LightenColor(m_color, 220 - 40 * i);
            OleColor c2 = LightenColor(m_color, 200 - 40 * i);
            DrawGradient(c1, c2, W - 2, T + 12 * i, 2, 9, dc, false);
        }
        return;
    }
    OleColor light = LightenColor(m_color, 150);
    OleColor color = m_color;
    DrawGradient(light, color, 4, T, 4, H, dc, true);
    gdi::FillRect(dc, {9, T, W - 8, H}, TranslateColor(m_color));
    DrawGradient(color, light, W - 8, T, 4, H, dc, true);
}

void XP_ProgressBar::DrawSeparators(DrawContext &dc, int W, int H)
{
    if (m_orientation == 0) {
        for (long long x = InsetLeft + 6; x <= m_fillRect.right; x += 8) {
            m_separatorRect = {int(x + 1), 0, int(x + 3), H};
            gdi::FillRect(dc, m_separatorRect, White);
        }
    } else {
        for (long long y = H; y >= static_cast<long long>(m_fillRect.top) + 6; y -= 8) {
            m_separatorRect = {InsetLeft, int(y - 2), W, int(y)};
            gdi::FillRect(dc, m_separatorRect, White);
        }
    }
}

void XP_ProgressBar::DrawXPFrame(DrawContext &dc, int W, int H)
{
    const OleColor outer = RGB(190, 190, 190);
    const OleColor inner = RGB(239, 239, 239);
    DrawLine(2, 1, W - 2, 1, dc, outer);
    DrawLine(2, H - 2, W - 2, H - 2, dc, inner);
    DrawLine(1, 2, 1, H - 2, dc, outer);
    DrawLine(2, 2, 2, H - 2, dc, inner);
    DrawLine(2, 2, W - 2, 2, dc, inner);
    DrawLine(W - 2, 2, W - 2, H - 2, dc, inner);
    gdi::FrameRect(dc, {0, 0, W, H}, RGB(104, 104, 104));

    // The rounded corners; no two of them are alike.
    const OleColor a = RGB(172, 171, 166);
    const OleColor b = RGB(127, 126, 125);
    const OleColor c = RGB(172, 171, 167);
    const OleColor d = RGB(119, 119, 119);
    const struct {
        int x, y;
        OleColor color;
    } corners[] = {
        {0, 0, White},         {0, 1, a},         {0, 2, b},         {1, 0, c},         {1, 1, d},
        {2, 0, b},             {2, 2, outer},     {0, H - 1, White}, {1, H - 1, a},     {2, H - 1, b},
        {0, H - 3, b},         {0, H - 2, c},     {1, H - 2, d},     {W - 1, 0, White}, {W - 1, 1, outer},
        {W - 1, 2, b},         {W - 2, 2, outer}, {W - 2, 1, RGB(104, 104, 104)},       {W - 1, H - 1, White},
        {W - 1, H - 2, outer}, {W - 1, H - 3, b}, {W - 2, H - 2, d}, {W - 2, H - 1, outer},
        {W - 3, H - 1, b},
    };
    for (const auto &p : corners)
        gdi::SetPixelV(dc, p.x, p.y, p.color);
}

// ---- styles 3 to 9 ----------------------------------------------------------------------

void XP_ProgressBar::DrawFlat(DrawContext &dc, int W, int H)
{
    const int E = Nearest(m_percent / 100.0 * W);
    gdi::FrameRect(dc, {0, 0, W, H}, LightenColor(m_color, 100));
    gdi::FillRect(dc, {1, 1, E, H - 1}, LightenColor(m_color, 180));
}

void XP_ProgressBar::DrawEtched(DrawContext &dc, int W, int H)
{
    const int N = Nearest(m_percent / 100.0 * (W - 4));
    gdi::DrawEdge(dc, {0, 0, W, H}, gdi::EDGE_ETCHED, palette());
    OleColor c1 = LightenColor(m_color, 140);
    OleColor c2 = LightenColor(m_color, 200);
    DrawGradient(c1, c2, 2, 2, N, H - 3, dc, true);
}

void XP_ProgressBar::DrawShaded(DrawContext &dc, int W, int H)
{
    const int E = Nearest(m_percent / 101.0 * W);
    gdi::FrameRect(dc, {0, 0, W, H}, LightenColor(m_color, 10));
    OleColor color = m_color;
    OleColor light = LightenColor(m_color, 100);
    DrawGradient(color, light, 2, 2, W - 2, H - 5, dc, false);
    OleColor white = LightenColor(m_color, 250);
    DrawGradient(white, color, 3, 3, E, H - 6, dc, false);
    DrawLine(E, 2, E, H - 2, dc, LightenColor(m_color, 25));
}

void XP_ProgressBar::DrawDark(DrawContext &dc, int W, int H)
{
    const int N = Nearest(m_percent / 100.0 * (W - 5));
    gdi::FrameRect(dc, {0, 0, W, H}, BlendColor(m_color, Black, 200, palette()));
    OleColor c = LightenColor(BlendColor(m_color, Black, 100, palette()), 10);
    OleColor same = c;
    DrawGradient(c, same, 2, 2, N, H - 2, dc, true);
}

void XP_ProgressBar::DrawHatched(DrawContext &dc, int W, int H)
{
    const int E = Nearest(m_percent / 101.0 * W);
    gdi::DrawEdge(dc, {0, 0, W, H}, gdi::EDGE_BUMP, palette());
    const int style = qint16(m_brushStyle);
    dc.backgroundColor = LightenColor(m_color, 140);
    gdi::FillHatch(dc, {2, 2, E, H - 2}, style, TranslateColor(m_color));
}

void XP_ProgressBar::DrawPicture(DrawContext &dc, int W, int H)
{
    const int E = Nearest(m_percent / 101.0 * W);
    gdi::DrawEdge(dc, {0, 0, W, H}, gdi::BDR_SUNKENOUTER, palette());
    if (m_image.isNull())
        return;
    gdi::PatBlt(dc, 2, 2, E, H - 4, m_image);
}

void XP_ProgressBar::DrawGlossy(DrawContext &dc, int W, int H)
{
    const int E = Nearest(m_percent / 100.0 * (W - 4));
    const int M = Nearest((H - 3) / 2.0);
    OleColor white = White;
    OleColor silver = Silver;
    DrawGradient(white, silver, 2, 2, W - 3, M, dc, false);
    OleColor s = BlendColor(Silver, Black, 255, palette());
    DrawGradient(s, silver, 2, M, W - 3, M, dc, false);
    OleColor top1 = LightenColor(m_color, 150);
    OleColor top2 = BlendColor(m_color, Black, 180, palette());
    DrawGradient(top1, top2, 2, 2, E, M, dc, false);
    OleColor bottom1 = BlendColor(m_color, Black, 190, palette());
    OleColor bottom2 = m_color;
    DrawGradient(bottom1, bottom2, 2, M, E, M, dc, false);
    DrawXPFrame(dc, W, H);
}

// ---- caption ----------------------------------------------------------------------------

QString XP_ProgressBar::captionText() const
{
    if (m_scrolling == Searching)
        return QStringLiteral("Searching..");
    return QString::number(m_percent) + QStringLiteral(" %");
}

void XP_ProgressBar::CenterCaption(DrawContext &dc, const QString &text, int W, int H)
{
    // Measured on the device drawn into, so that size and drawing agree.
    const QFontMetrics metrics = dc.image ? QFontMetrics(font(), dc.image) : QFontMetrics(font());
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    m_captionRect.left = Nearest(W / 2.0 - width / 2.0);
    m_captionRect.top = Nearest(H / 2.0 - height / 2.0);
    m_captionRect.right = m_captionRect.left + width;
    m_captionRect.bottom = m_captionRect.top + height;
}

void XP_ProgressBar::DrawText(DrawContext &dc, const QString &text, const Rect &clip)
{
    if (!dc.image || dc.image->isNull() || clip.left >= clip.right || clip.top >= clip.bottom)
        return;
    QPainter painter(dc.image);
    painter.setFont(font());
    painter.setPen(QColor(gdi::toQRgb(dc.textColor)));
    const QRect box(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
    painter.setClipRect(box);
    if (!dc.transparentBackground)
        painter.fillRect(box, QColor(gdi::toQRgb(dc.backgroundColor)));
    // The text starts at the caption's left edge; a narrower clip only cuts it off.
    const QRect layout(m_captionRect.left, clip.top, std::max(box.width(), m_captionRect.right - m_captionRect.left),
                       box.height());
    painter.drawText(layout, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void XP_ProgressBar::DrawCaption(DrawContext &dc, int W, int H)
{
    const QString text = captionText();
    if (!m_showText)
        return;
    const bool overlay = m_scrolling == Dark || m_scrolling == Glossy;
    dc.transparentBackground = true;
    dc.textColor = m_scrolling == Dark ? Silver : Black;
    CenterCaption(dc, text, W, H);
    const double p = m_percent / 100.0 * W;
    if (!(overlay && p > m_captionRect.right))
        DrawText(dc, text, m_captionRect);
    if (!overlay)
        return;
    // The part of the caption over the filled bar changes colour.
    dc.transparentBackground = true;
    dc.textColor = m_scrolling == Dark ? LightenColor(m_color, 80) : White;
    if (p >= m_captionRect.left) {
        Rect over = m_captionRect;
        over.right = Nearest(p);
        DrawText(dc, text, over);
    }
}

// ---- properties -------------------------------------------------------------------------

QWidget *XP_ProgressBar::hwnd() const
{
    return m_hwnd ? m_hwnd.data() : const_cast<XP_ProgressBar *>(this);
}

void XP_ProgressBar::setHwnd(QWidget *window)
{
    m_hwnd = window;
}

void XP_ProgressBar::setBrushStyle(int style)
{
    m_brushStyle = style;
    emit PropertyChanged(QStringLiteral("BrushStyle"));
}

void XP_ProgressBar::setColor(OleColor color)
{
    m_color = TranslateColor(color);
    DrawProgressBar();
}

void XP_ProgressBar::setImage(const QImage &image)
{
    m_image = image;
    emit PropertyChanged(QStringLiteral("Image"));
    DrawProgressBar();
}

void XP_ProgressBar::setMin(int min)
{
    m_min = min;
    emit PropertyChanged(QStringLiteral("Min"));
}

void XP_ProgressBar::setMax(int max)
{
    m_max = max;
    emit PropertyChanged(QStringLiteral("Max"));
}

void XP_ProgressBar::setOrientation(int orientation)
{
    m_orientation = orientation;
    emit PropertyChanged(QStringLiteral("Orientation"));
    DrawProgressBar();
}

void XP_ProgressBar::setScrolling(int style)
{
    m_scrolling = style;
    emit PropertyChanged(QStringLiteral("Scrolling"));
    DrawProgressBar();
}

void XP_ProgressBar::setShowText(bool show)
{
    m_showText = show;
    emit PropertyChanged(QStringLiteral("ShowText"));
    DrawProgressBar();
}

int XP_ProgressBar::Value() const
{
    const double range = double(m_max) - double(m_min);
    const double value = double(m_min) + double(Nearest(m_percent / 100.0 * range));
    return Nearest(value);
}

XP_ProgressBar::ValueStatus XP_ProgressBar::setValue(int value)
{
    // Value runs from Min to Max; the program itself always has Min = 0.
    const long long scaled = (static_cast<long long>(value) - m_min) * 100;
    if (scaled > std::numeric_limits<int>::max() || scaled < std::numeric_limits<int>::min())
        return ValueStatus::Overflow;
    const long long range = static_cast<long long>(m_max) - m_min;
    if (range == 0)
        return ValueStatus::DivisionByZero;
    setPercent(Nearest(double(scaled) / double(range)));
    return ValueStatus::Ok;
}

void XP_ProgressBar::setPercent(int percent)
{
    m_percent = percent;
    DrawProgressBar();
}

// ---- persistence ------------------------------------------------------------------------

namespace {

int readInt(const PropertyBag &bag, const QString &name, int defaultValue)
{
    bool ok = false;
    const int v = bag.ReadProperty(name, defaultValue).toInt(&ok);
    return ok ? v : defaultValue;
}

} // namespace

void XP_ProgressBar::ReadProperties(const PropertyBag &bag)
{
    const QVariant storedFont = bag.ReadProperty(QStringLiteral("Font"));
    if (storedFont.canConvert<QFont>() && storedFont.isValid())
        setFont(storedFont.value<QFont>());
    m_brushStyle = readInt(bag, QStringLiteral("BrushStyle"), 4);
    bool ok = false;
    const OleColor color = bag.ReadProperty(QStringLiteral("Color"), SystemColor(COLOR_HIGHLIGHT)).toUInt(&ok);
    setColor(ok ? color : SystemColor(COLOR_HIGHLIGHT));
    const QVariant storedImage = bag.ReadProperty(QStringLiteral("Image"));
    m_image = storedImage.canConvert<QImage>() ? storedImage.value<QImage>() : QImage();
    setMax(readInt(bag, QStringLiteral("Max"), 100));
    setMin(readInt(bag, QStringLiteral("Min"), 0));
    setOrientation(readInt(bag, QStringLiteral("Orientation"), 0));
    setScrolling(readInt(bag, QStringLiteral("Scrolling"), 0));
    setShowText(bag.ReadProperty(QStringLiteral("ShowText"), false).toBool());
    // The stored number is the percentage; it comes back as such whatever Max is, so a
    // bar with Max = 0 still loads.
    setPercent(readInt(bag, QStringLiteral("Value"), 0));
}

void XP_ProgressBar::WriteProperties(PropertyBag &bag) const
{
    bag.WriteProperty(QStringLiteral("Font"), font());
    bag.WriteProperty(QStringLiteral("BrushStyle"), m_brushStyle, 4);
    bag.WriteProperty(QStringLiteral("Color"), m_color, SystemColor(COLOR_HIGHLIGHT));
    bag.WriteProperty(QStringLiteral("Image"), m_image.isNull() ? QVariant() : QVariant(m_image));
    bag.WriteProperty(QStringLiteral("Max"), m_max, 100);
    bag.WriteProperty(QStringLiteral("Min"), m_min, 0);
    bag.WriteProperty(QStringLiteral("Orientation"), m_orientation, 0);
    bag.WriteProperty(QStringLiteral("Scrolling"), m_scrolling, 0);
    bag.WriteProperty(QStringLiteral("ShowText"), m_showText, false);
    bag.WriteProperty(QStringLiteral("Value"), m_percent, 0);
}

} // namespace tavlo
