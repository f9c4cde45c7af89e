#pragma once

#include "components/PixelCanvas.h"

#include <QColor>
#include <QImage>
#include <QWidget>

class QPainter;
class QSettings;

namespace tavlo {

// A progress bar that paints every pixel itself, in ten looks: the three of the Windows XP
// bar (segmented, smooth, searching) and seven others. The painting is in paint(), which
// paintEvent() only calls, so the same bar can be painted into any painter or image.
class StyledProgressBar : public QWidget {
    Q_OBJECT
    // The property names are capitalised because saved settings keep the values under them.
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(int Min READ min WRITE setMin)
    Q_PROPERTY(int Max READ max WRITE setMax)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(BarStyle Scrolling READ scrolling WRITE setScrolling)
    Q_PROPERTY(Orientation Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(bool ShowText READ showText WRITE setShowText)
    Q_PROPERTY(HatchStyle BrushStyle READ brushStyle WRITE setBrushStyle)
    Q_PROPERTY(QImage Image READ image WRITE setImage)
    Q_PROPERTY(QFont Font READ font WRITE setFont)

public:
    // The numbers are those saved settings hold. Any other number paints as Smooth.
    enum BarStyle {
        Segmented = 0, // blocks of 6 pixels with 2-pixel gaps, XP frame
        Smooth = 1,    // continuous, XP frame
        Searching = 2, // three moving blocks, caption "Searching.."
        Flat = 3,
        Etched = 4,
        Shaded = 5,
        Dark = 6, // on black
        Hatched = 7,
        Picture = 8,
        Glossy = 9,
    };
    Q_ENUM(BarStyle)
    // Only the three XP looks fill vertically; the others always fill from the left.
    enum Orientation { Horizontal = 0, Vertical = 1 };
    Q_ENUM(Orientation)
    // The hatch of the hatched look, numbered as the classic hatch brushes.
    enum HatchStyle {
        HorizontalHatch = 0,
        VerticalHatch = 1,
        ForwardDiagonalHatch = 2,
        BackwardDiagonalHatch = 3,
        CrossHatch = 4,
        DiagonalCrossHatch = 5,
    };
    Q_ENUM(HatchStyle)

    explicit StyledProgressBar(QWidget *parent = nullptr);

    // Value runs from Min to Max and is kept as a whole percentage, which is what is drawn;
    // above 100 it is kept as 100, below 0 it stays as it is.
    int value() const;
    // False, with the position unchanged, when Max equals Min or the value is too far out.
    bool setValue(int value);
    int percent() const { return m_percent; }
    int min() const { return m_min; }
    void setMin(int min) { m_min = min; }
    int max() const { return m_max; }
    void setMax(int max) { m_max = max; }

    QColor color() const { return m_color; }
    // An invalid colour gives the palette's highlight colour.
    void setColor(const QColor &color);
    // The look; the name is the stored one.
    BarStyle scrolling() const { return m_style; }
    void setScrolling(BarStyle style);
    Orientation orientation() const { return m_orientation; }
    void setOrientation(Orientation orientation);
    bool showText() const { return m_showText; }
    void setShowText(bool show);
    HatchStyle brushStyle() const { return m_hatch; }
    void setBrushStyle(HatchStyle style);
    // The tile of the picture look.
    QImage image() const { return m_image; }
    void setImage(const QImage &image);

    // "Searching.." in the searching look, else the percentage followed by " %".
    QString caption() const;

    // The whole bar as a widget of rect's size shows it. Painting through a painter goes by
    // an off-screen image that is kept and only grows; painting into an image draws straight
    // into rect of it.
    void paint(QPainter &painter, const QRect &rect) const;
    void paint(QImage &image, const QRect &rect) const;

    void writeSettings(QSettings &settings) const;
    void readSettings(const QSettings &settings);

    // Each channel moved towards white by amount (0 keeps the colour, 255 gives white).
    static QRgb lighten(QRgb color, int amount);
    // ratio / 255 of the first colour and the rest of the second.
    static QRgb blend(QRgb first, QRgb second, int ratio);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Where the fill of the XP looks ends: its right edge across, its top edge upright.
    struct Fill {
        int right = 0;
        int top = 0;
    };

    void paintBar(PixelCanvas &canvas, int W, int H) const;
    Fill layoutFill(int W, int H) const;
    void drawXpBar(PixelCanvas &canvas, Fill &fill, int W, int H) const;
    void drawSeparators(PixelCanvas &canvas, const Fill &fill, int W, int H) const;
    static void drawXpFrame(PixelCanvas &canvas, int W, int H);
    void drawFlat(PixelCanvas &canvas, int W, int H) const;
    void drawEtched(PixelCanvas &canvas, int W, int H) const;
    void drawShaded(PixelCanvas &canvas, int W, int H) const;
    void drawDark(PixelCanvas &canvas, int W, int H) const;
    void drawHatched(PixelCanvas &canvas, int W, int H) const;
    void drawPicture(PixelCanvas &canvas, int W, int H) const;
    void drawGlossy(PixelCanvas &canvas, int W, int H) const;
    void drawCaption(PixelCanvas &canvas, int W, int H) const;
    QFont ambientFont() const;

    int m_percent = 0;
    int m_min = 0;
    int m_max = 100;
    QColor m_color;
    BarStyle m_style = Segmented;
    Orientation m_orientation = Horizontal;
    bool m_showText = false;
    HatchStyle m_hatch = HorizontalHatch;
    QImage m_image;

    // The off-screen image and what its drawing state carries from one paint to the next.
    mutable QImage m_buffer;
    mutable PixelCanvas::State m_bufferState;
    QSize m_stateSize;
};

} // namespace tavlo
