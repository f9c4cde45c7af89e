#pragma once

#include "components/GdiCanvas.h"
#include "components/PropertyBag.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QPainter;

namespace tavlo {

// A progress bar that paints itself pixel by pixel in the manner of the XP bar, in ten
// styles. Every redraw paints the whole bar into an off-screen image that only grows and
// shows it with one copy.
class XP_ProgressBar : public QWidget {
    Q_OBJECT
public:
    enum ScrollingStyle : int {
        Segmented = 0,
        Smooth = 1,
        Searching = 2,
        Flat = 3,
        Etched = 4,
        Shaded = 5,
        Dark = 6,
        Hatched = 7,
        Picture = 8,
        Glossy = 9,
    };

    // Outcome of setValue; on failure the position is left as it was.
    enum class ValueStatus {
        Ok,
        DivisionByZero, // Max equals Min
        Overflow,       // the scaled value leaves the 32-bit range
    };

    explicit XP_ProgressBar(QWidget *parent = nullptr);
    ~XP_ProgressBar() override;

    // Redraws the whole bar into the draw context and schedules the copy to the screen.
    void DrawProgressBar();
    // A line from (X, Y) to the end point (Width, Height), the end point left out.
    void DrawLine(int X, int Y, int Width, int Height, DrawContext &cHdc, OleColor color);
    // N + 1 lines from color1 to color2 (N = A with columns, else B); both colours come back resolved.
    void DrawGradient(OleColor &color1, OleColor &color2, int X, int Y, int A, int B, DrawContext &dc,
                      bool columns);
    // Copies the buffer to hdc; a width or height of 0 or less means the buffer's.
    void pDraw(QPainter &hdc, int xSrc = 0, int ySrc = 0, int WidthSrc = 0, int HeightSrc = 0, int xDst = 0,
               int yDst = 0) const;

    void setBrushStyle(int style); // write only, as it always was
    OleColor Color() const { return m_color; }
    void setColor(OleColor color);
    // The caption font is the widget's font; setFont stores it without a redraw.
    QFont Font() const { return font(); }
    QWidget *hwnd() const;
    void setHwnd(QWidget *window);
    // The image drawn into, or nullptr when there is no buffer.
    QImage *hdc();
    void setHdc(qintptr ignored = 0);
    QImage Image() const { return m_image; }
    void setImage(const QImage &image);
    int Min() const { return m_min; }
    void setMin(int min);
    int Max() const { return m_max; }
    void setMax(int max);
    int Orientation() const { return m_orientation; }
    void setOrientation(int orientation);
    int Scrolling() const { return m_scrolling; }
    void setScrolling(int style);
    bool ShowText() const { return m_showText; }
    void setShowText(bool show);
    int Value() const;
    ValueStatus setValue(int value);

    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    // Paints the bar for a client area of the given size into any context, without a
    // screen; the gallery and the tests use these.
    void paintInto(DrawContext &dc, QSize client);
    QImage render(QSize client);

    int percent() const { return m_percent; }
    QSize bufferSize() const { return m_buffer.size(); }
    Rect captionRect() const { return m_captionRect; }
    QString captionText() const;

    QSize sizeHint() const override;

signals:
    // The host saves the properties when it hears this.
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    OleColor TranslateColor(OleColor c) const;
    bool EnsureBuffer(int width, int height);
    void BuildBuffer(int width, int height);
    void FreeBuffer();
    void setPercent(int percent);

    // Styles 0 to 2.
    void LayoutFill(int W, int H);
    void DrawBar(DrawContext &dc, int W, int H);
    void DrawSeparators(DrawContext &dc, int W, int H);
    void DrawXPFrame(DrawContext &dc, int W, int H);
    // Styles 3 to 9.
    void DrawFlat(DrawContext &dc, int W, int H);
    void DrawEtched(DrawContext &dc, int W, int H);
    void DrawShaded(DrawContext &dc, int W, int H);
    void DrawDark(DrawContext &dc, int W, int H);
    void DrawHatched(DrawContext &dc, int W, int H);
    void DrawPicture(DrawContext &dc, int W, int H);
    void DrawGlossy(DrawContext &dc, int W, int H);
    void DrawCaption(DrawContext &dc, int W, int H);
    void CenterCaption(DrawContext &dc, const QString &text, int W, int H);
    void DrawText(DrawContext &dc, const QString &text, const Rect &clip);

    int m_percent = 0;
    int m_min = 0;
    int m_max = 100;
    OleColor m_color = 0;
    int m_scrolling = 0;
    int m_orientation = 0;
    bool m_showText = false;
    int m_brushStyle = 0;
    QImage m_image;
    QPointer<QWidget> m_hwnd;

    QImage m_buffer;
    DrawContext m_bufferContext;
    bool m_usesBuffer = false;

    double m_fillFraction = 0.0;
    Rect m_fillRect;
    Rect m_separatorRect;
    int m_blockSize = 0;
    int m_blockSpacing = 2;
    Rect m_captionRect;
};

} // namespace tavlo
