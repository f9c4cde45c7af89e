#include "XP_ProgressBar.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

using namespace tavlo;

namespace {

constexpr OleColor Blue = RGB(44, 132, 190);
constexpr OleColor White = RGB(255, 255, 255);
constexpr OleColor Black = RGB(0, 0, 0);

OleColor px(const QImage &image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

// The last column of row y whose pixel differs from the white background, left of limit.
int lastColoured(const QImage &image, int y, int from, int limit)
{
    int last = -1;
    for (int x = from; x < limit; ++x)
        if (px(image, x, y) != White)
            last = x;
    return last;
}

struct Bar {
    explicit Bar(int style, int percent = 0, OleColor color = Blue)
    {
        bar.setColor(color);
        bar.setScrolling(style);
        QCOMPARE(bar.setValue(percent), XP_ProgressBar::ValueStatus::Ok);
    }
    QImage draw(int w, int h) { return bar.render(QSize(w, h)); }
    XP_ProgressBar bar;
};

} // namespace

class TestXPProgressBar : public QObject {
    Q_OBJECT
private slots:
    void segmentedAtZeroShowsOneBlock();
    void segmentedFullWidthSnapsBack();
    void smoothFillEndKeepsParity();
    void outOfRangeValues();
    void valueFailuresKeepThePosition();
    void frameCorners_data();
    void frameCorners();
    void gradientEdgeCases();
    void verticalStyles();
    void extremeInputs();
    void flatAndEtchedAndDark();
    void fillEndsShortOfTheEdge_data();
    void fillEndsShortOfTheEdge();
    void hatched();
    void pictureTiles();
    void glossyHalves();
    void caption_data();
    void caption();
    void overlayCaption();
    void bufferOnlyGrows();
    void propertiesRoundTrip();
    void settersReportChanges();
};

void TestXPProgressBar::segmentedAtZeroShowsOneBlock()
{
    Bar b(XP_ProgressBar::Segmented, 0);
    const QImage img = b.draw(100, 17);
    for (int x = 4; x <= 9; ++x)
        QCOMPARE(px(img, x, 7), Blue);
    QCOMPARE(px(img, 10, 7), White);
    QCOMPARE(px(img, 11, 7), White);
    QCOMPARE(px(img, 12, 7), White);
    QCOMPARE(px(img, 3, 7), White);
}

void TestXPProgressBar::segmentedFullWidthSnapsBack()
{
    Bar b(XP_ProgressBar::Segmented, 100);
    const QImage img = b.draw(265, 17);
    QCOMPARE(px(img, 262, 7), Blue);
    QCOMPARE(px(img, 263, 7), RGB(239, 239, 239)); // the frame's inner line, not the bar
    // Blocks of 6 with 2-pixel gaps from x = 4.
    QCOMPARE(px(img, 257, 7), Blue);
    QCOMPARE(px(img, 258, 7), White);
    QCOMPARE(px(img, 259, 7), White);
    QCOMPARE(px(img, 260, 7), Blue);
}

void TestXPProgressBar::smoothFillEndKeepsParity()
{
    for (int width : {265, 100, 57}) {
        for (int p = 0; p <= 100; ++p) {
            Bar b(XP_ProgressBar::Smooth, p);
            const QImage img = b.draw(width, 17);
            const int last = lastColoured(img, 7, 3, width - 2);
            if (last >= 14)
                QVERIFY2((last + 1 - 3) % 2 == 0, qPrintable(QStringLiteral("w %1 p %2").arg(width).arg(p)));
        }
    }
}

void TestXPProgressBar::outOfRangeValues()
{
    Bar full(XP_ProgressBar::Smooth, 100);
    Bar over(XP_ProgressBar::Smooth, 150);
    QCOMPARE(over.bar.percent(), 100);
    QCOMPARE(over.bar.Value(), 100);
    QCOMPARE(over.draw(120, 17), full.draw(120, 17));

    Bar zero(XP_ProgressBar::Smooth, 0);
    Bar negative(XP_ProgressBar::Smooth, -5);
    QCOMPARE(negative.bar.percent(), -5); // kept, only drawn as the stub
    const QImage img = negative.draw(120, 17);
    QCOMPARE(img, zero.draw(120, 17));
    QCOMPARE(px(img, 11, 7), Blue);
    QCOMPARE(px(img, 12, 7), White);
}

void TestXPProgressBar::valueFailuresKeepThePosition()
{
    XP_ProgressBar bar;
    QCOMPARE(bar.setValue(40), XP_ProgressBar::ValueStatus::Ok);
    QCOMPARE(bar.setValue(30'000'000), XP_ProgressBar::ValueStatus::Overflow);
    QCOMPARE(bar.percent(), 40);
    bar.setMax(0);
    QCOMPARE(bar.setValue(10), XP_ProgressBar::ValueStatus::DivisionByZero);
    QCOMPARE(bar.percent(), 40);
    QCOMPARE(bar.Value(), 0);

    // The position maps through Max, rounding halves to even.
    bar.setMax(1000);
    QCOMPARE(bar.setValue(125), XP_ProgressBar::ValueStatus::Ok);
    QCOMPARE(bar.percent(), 12);
    QCOMPARE(bar.Value(), 120);
    QCOMPARE(bar.setValue(135), XP_ProgressBar::ValueStatus::Ok);
    QCOMPARE(bar.percent(), 14);
}

void TestXPProgressBar::frameCorners_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("smooth") << 1 << 100 << 17;
    QTest::newRow("segmented") << 0 << 265 << 17;
    QTest::newRow("searching tall") << 2 << 40 << 30;
    QTest::newRow("glossy") << 9 << 90 << 20;
}

void TestXPProgressBar::frameCorners()
{
    QFETCH(int, style);
    QFETCH(int, width);
    QFETCH(int, height);
    Bar b(style, 100);
    const QImage img = b.draw(width, height);
    const int W = width;
    const int H = height;
    const OleColor a = RGB(172, 171, 166), c = RGB(127, 126, 125), d = RGB(172, 171, 167), e = RGB(119, 119, 119),
                   g = RGB(190, 190, 190), k = RGB(104, 104, 104);
    const struct {
        int x, y;
        OleColor color;
    } expected[] = {
        {0, 0, White},     {0, 1, a},         {0, 2, c},         {1, 0, d},     {1, 1, e},         {2, 0, c},
        {2, 2, g},         {0, H - 1, White}, {1, H - 1, a},     {2, H - 1, c}, {0, H - 3, c},     {0, H - 2, d},
        {1, H - 2, e},     {W - 1, 0, White}, {W - 1, 1, g},     {W - 1, 2, c}, {W - 2, 2, g},     {W - 2, 1, k},
        {W - 1, H - 1, White}, {W - 1, H - 2, g}, {W - 1, H - 3, c}, {W - 2, H - 2, e}, {W - 2, H - 1, g},
        {W - 3, H - 1, c},
    };
    for (const auto &p : expected)
        QVERIFY2(px(img, p.x, p.y) == p.color, qPrintable(QStringLiteral("(%1, %2)").arg(p.x).arg(p.y)));
    // Between the corners: the outer frame and the two grey lines inside it.
    QCOMPARE(px(img, W / 2, 0), k);
    QCOMPARE(px(img, W / 2, H - 1), k);
    QCOMPARE(px(img, 1, H / 2), g);
    QCOMPARE(px(img, W / 2, 1), g);
    QCOMPARE(px(img, W - 2, H / 2), RGB(239, 239, 239));
}

void TestXPProgressBar::gradientEdgeCases()
{
    XP_ProgressBar bar;
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    DrawContext dc;
    dc.image = &img;

    // N = 0: one line in the first colour; the references come back resolved.
    OleColor c1 = SystemColor(COLOR_HIGHLIGHT);
    OleColor c2 = RGB(0, 0, 0);
    bar.DrawGradient(c1, c2, 5, 2, 0, 10, dc, true);
    const QColor highlight = bar.palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(c1, RGB(highlight.red(), highlight.green(), highlight.blue()));
    for (int y = 2; y < 10; ++y)
        QCOMPARE(px(img, 5, y), c1);
    QCOMPARE(px(img, 5, 10), White); // the end point is left out
    QCOMPARE(px(img, 6, 5), White);
    QCOMPARE(px(img, 4, 5), White);

    // A negative count draws nothing.
    const QImage before = img;
    OleColor r = RGB(255, 0, 0);
    OleColor b = RGB(0, 0, 255);
    bar.DrawGradient(r, b, 1, 1, 15, -3, dc, false);
    QCOMPARE(img, before);

    // Rows from the first to the second colour, inclusive at both ends.
    bar.DrawGradient(r, b, 1, 12, 9, 4, dc, false);
    QCOMPARE(px(img, 1, 12), r);
    QCOMPARE(px(img, 8, 16), b);
    QCOMPARE(px(img, 1, 14), RGB(128, 0, 128)); // 127.5 rounds to the even 128
    QCOMPARE(px(img, 9, 14), White);
}

void TestXPProgressBar::extremeInputs()
{
    XP_ProgressBar bar;
    QImage img(12, 12, QImage::Format_RGB32);
    img.fill(Qt::white);
    DrawContext dc;
    dc.image = &img;
    const OleColor red = RGB(255, 0, 0);

    // A slanted line keeps its start and leaves out its end.
    bar.DrawLine(0, 0, 4, 2, dc, red);
    QCOMPARE(px(img, 0, 0), red);
    QCOMPARE(px(img, 3, 2), red);
    QCOMPARE(px(img, 4, 2), White);

    // Lines and gradients far beyond the image are clipped, not walked.
    const int big = 2'000'000'000;
    bar.DrawLine(-big, 5, big, 5, dc, red);
    bar.DrawLine(-big, -big, big, big, dc, red);
    QCOMPARE(px(img, 0, 5), red);
    QCOMPARE(px(img, 11, 5), red);
    QCOMPARE(px(img, 7, 7), red);
    QCOMPARE(px(img, 8, 7), White);
    bar.DrawLine(std::numeric_limits<int>::max(), 3, 0, 3, dc, red); // leftwards, end left out
    QCOMPARE(px(img, 1, 3), red);
    QCOMPARE(px(img, 0, 3), White);
    OleColor a = RGB(0, 0, 255);
    OleColor b = RGB(0, 255, 0);
    bar.DrawGradient(a, b, -big, 9, std::numeric_limits<int>::max(), 11, dc, true);
    QCOMPARE(px(img, 0, 9), RGB(0, 237, 18)); // step 2e9 of 2147483647
    QCOMPARE(px(img, 11, 10), px(img, 0, 10));

    // Positions no 32-bit arithmetic can hold are refused.
    QCOMPARE(bar.setValue(std::numeric_limits<int>::min()), XP_ProgressBar::ValueStatus::Overflow);
    bar.setMin(std::numeric_limits<int>::min());
    bar.setMax(std::numeric_limits<int>::max());
    QCOMPARE(bar.setValue(0), XP_ProgressBar::ValueStatus::Overflow);
    QCOMPARE(bar.setValue(std::numeric_limits<int>::min()), XP_ProgressBar::ValueStatus::Ok);
    QCOMPARE(bar.percent(), 0);

    // A stored position far below zero draws every style as an empty bar.
    PropertyBag bag;
    bag.WriteProperty("Value", std::numeric_limits<int>::min());
    for (int style = 0; style <= 10; ++style) {
        bag.WriteProperty("Scrolling", style);
        XP_ProgressBar loaded;
        loaded.ReadProperties(bag);
        const QImage drawn = loaded.render(QSize(60, 17));
        QVERIFY(!drawn.isNull());
        Bar empty(style, 0, loaded.Color());
        QCOMPARE(px(drawn, 30, 8), px(empty.draw(60, 17), 30, 8));
        QCOMPARE(px(drawn, 59, 8), px(empty.draw(60, 17), 59, 8));
    }
}

void TestXPProgressBar::verticalStyles()
{
    Bar full(XP_ProgressBar::Smooth, 100);
    full.bar.setOrientation(1);
    QImage img = full.draw(17, 100);
    QCOMPARE(px(img, 9, 3), Blue);
    QCOMPARE(px(img, 9, 96), Blue);
    QCOMPARE(px(img, 4, 50), gdi::LightenColor(Blue, 150));

    Bar empty(XP_ProgressBar::Smooth, 0);
    empty.bar.setOrientation(1);
    img = empty.draw(17, 100);
    QCOMPARE(lastColoured(img, 96, 3, 14), -1);

    Bar segmented(XP_ProgressBar::Segmented, 50);
    segmented.bar.setOrientation(1);
    img = segmented.draw(17, 100);
    // Blocks of 6 rows with white 2-pixel gaps up from the bottom edge; the top snaps to 52.
    QCOMPARE(px(img, 9, 97), Blue);
    QCOMPARE(px(img, 9, 92), Blue);
    QCOMPARE(px(img, 9, 91), White);
    QCOMPARE(px(img, 9, 90), White);
    QCOMPARE(px(img, 9, 89), Blue);
    QCOMPARE(px(img, 9, 52), Blue);
    QCOMPARE(px(img, 9, 51), White);

    Bar searching(XP_ProgressBar::Searching, 50);
    searching.bar.setOrientation(1);
    img = searching.draw(17, 100);
    int rows = 0;
    for (int y = 3; y < 97; ++y)
        rows += px(img, 8, y) != White ? 1 : 0;
    QCOMPARE(rows, 30); // three blocks of ten rows
}

void TestXPProgressBar::flatAndEtchedAndDark()
{
    const int W = 80;
    const int H = 16;
    Bar flat(XP_ProgressBar::Flat, 100);
    QImage img = flat.draw(W, H);
    QCOMPARE(px(img, W - 1, 8), gdi::LightenColor(Blue, 180)); // covers the right side of the frame
    QCOMPARE(px(img, W - 1, 0), gdi::LightenColor(Blue, 100));
    QCOMPARE(px(img, W - 1, H - 1), gdi::LightenColor(Blue, 100));

    for (int style : {int(XP_ProgressBar::Etched), int(XP_ProgressBar::Dark)}) {
        Bar empty(style, 0);
        img = empty.draw(W, H);
        const OleColor first = style == XP_ProgressBar::Etched
                                   ? gdi::LightenColor(Blue, 140)
                                   : gdi::LightenColor(gdi::BlendColor(Blue, Black, 100, QPalette()), 10);
        const OleColor background = style == XP_ProgressBar::Dark ? Black : White;
        QCOMPARE(px(img, 2, 2), first);
        QCOMPARE(px(img, 2, H - 4), first);
        QCOMPARE(px(img, 3, 8), background);
    }

    Bar dark(XP_ProgressBar::Dark, 50, RGB(255, 0, 0));
    img = dark.draw(W, H);
    QCOMPARE(px(img, 0, 0), RGB(200, 0, 0));
    QCOMPARE(px(img, W - 1, H - 1), RGB(200, 0, 0));
    QCOMPARE(px(img, 2, 2), RGB(106, 10, 10));
    QCOMPARE(px(img, 2 + 38, H - 3), RGB(106, 10, 10)); // N = Nearest(0.5 * 75) = 38, last column
    QCOMPARE(px(img, 2 + 39, 8), Black);
    QCOMPARE(px(img, 1, 8), Black);

    // The etched edge comes from the palette's 3D colours.
    Bar etched(XP_ProgressBar::Etched, 50);
    QPalette pal = etched.bar.palette();
    pal.setColor(QPalette::Dark, QColor(10, 20, 30));
    pal.setColor(QPalette::Light, QColor(200, 210, 220));
    etched.bar.setPalette(pal);
    img = etched.draw(W, H);
    QCOMPARE(px(img, 0, 5), RGB(10, 20, 30));
    QCOMPARE(px(img, 1, 5), RGB(200, 210, 220));
    QCOMPARE(px(img, W - 1, 5), RGB(200, 210, 220));
    QCOMPARE(px(img, W - 2, 5), RGB(10, 20, 30));
}

void TestXPProgressBar::fillEndsShortOfTheEdge_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("percent");
    QTest::newRow("shaded") << int(XP_ProgressBar::Shaded) << 100;
    QTest::newRow("hatched") << int(XP_ProgressBar::Hatched) << 100;
    QTest::newRow("picture") << int(XP_ProgressBar::Picture) << 50;
    QTest::newRow("picture full") << int(XP_ProgressBar::Picture) << 100;
}

void TestXPProgressBar::fillEndsShortOfTheEdge()
{
    QFETCH(int, style);
    QFETCH(int, percent);
    const int W = 300;
    const int H = 18;
    const int E = gdi::Nearest(percent / 101.0 * W); // 297 at 100, 148 at 50
    Bar b(style, percent);
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(QColor(1, 2, 3));
    b.bar.setImage(tile);
    b.bar.setBrushStyle(1); // vertical hatch: line every 8 columns
    const QImage img = b.draw(W, H);
    switch (style) {
    case XP_ProgressBar::Shaded:
        QCOMPARE(px(img, E, 5), gdi::LightenColor(Blue, 25));
        QCOMPARE(px(img, E, H - 3), gdi::LightenColor(Blue, 25));
        QCOMPARE(px(img, E, H - 2), White); // the edge line stops at H - 3
        QCOMPARE(px(img, E - 1, H - 3), Blue);
        QCOMPARE(px(img, E + 1, 5), White);
        break;
    case XP_ProgressBar::Hatched:
        // Opaque gaps: the light colour between the lines, up to E - 1.
        QCOMPARE(px(img, E - 1, 5), gdi::LightenColor(Blue, 140));
        QCOMPARE(px(img, (E - 1) / 8 * 8 - 4, 5), Blue);
        QCOMPARE(px(img, E, 5), White);
        break;
    case XP_ProgressBar::Picture:
        // Columns 2 to E + 1: at 100 percent the picture runs over the right edge.
        QCOMPARE(px(img, E + 1, 5), RGB(1, 2, 3));
        QCOMPARE(px(img, E + 1, H - 3), RGB(1, 2, 3));
        if (E + 2 < W)
            QCOMPARE(px(img, E + 2, 5), White);
        QVERIFY(px(img, 5, H - 2) != RGB(1, 2, 3));
        break;
    }
}

void TestXPProgressBar::hatched()
{
    const int W = 60;
    const int H = 20;
    const OleColor gap = gdi::LightenColor(Blue, 140);
    Bar cross(XP_ProgressBar::Hatched, 100);
    cross.bar.setBrushStyle(4);
    QImage img = cross.draw(W, H);
    const int E = gdi::Nearest(100.0 / 101.0 * W);
    for (int y = 2; y < H - 2; ++y)
        for (int x = 2; x < E; ++x) {
            const bool line = x % 8 == 4 || y % 8 == 7;
            QVERIFY2(px(img, x, y) == (line ? Blue : gap), qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        }

    // Once a caption has left the context transparent the gaps stay white.
    cross.bar.setShowText(true);
    DrawContext dc;
    QImage reused(W, H, QImage::Format_RGB32);
    dc.image = &reused;
    cross.bar.paintInto(dc, QSize(W, H));
    cross.bar.setShowText(false);
    cross.bar.paintInto(dc, QSize(W, H));
    QCOMPARE(px(reused, 3, 3), White);
    QCOMPARE(px(reused, 4, 3), Blue);

    // Outside 0 to 5 there is no brush: the edge alone.
    for (int style : {6, -1, 100}) {
        Bar invalid(XP_ProgressBar::Hatched, 100);
        invalid.bar.setBrushStyle(style);
        img = invalid.draw(W, H);
        QCOMPARE(lastColoured(img, 8, 2, W - 2), -1);
        QVERIFY(px(img, 0, 8) != White || px(img, 1, 8) != White);
    }
}

void TestXPProgressBar::pictureTiles()
{
    QImage tile(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            tile.setPixel(x, y, qRgb(10 * x, 100 + y, 7));
    Bar b(XP_ProgressBar::Picture, 50);
    b.bar.setImage(tile);
    const QImage img = b.draw(40, 12);
    // Anchored at the image origin, not at the fill's corner.
    for (int y = 2; y < 10; ++y)
        for (int x = 2; x < 22; ++x)
            QCOMPARE(px(img, x, y), RGB(10 * (x % 3), 100 + y % 2, 7));

    Bar none(XP_ProgressBar::Picture, 50);
    const QImage bare = none.draw(40, 12);
    QCOMPARE(lastColoured(bare, 6, 1, 39), -1);
    QVERIFY(px(bare, 0, 6) != White);
}

void TestXPProgressBar::glossyHalves()
{
    const int W = 100;
    const int H = 20;
    const int M = gdi::Nearest((H - 3) / 2.0); // 8
    Bar b(XP_ProgressBar::Glossy, 50);
    const QImage img = b.draw(W, H);
    const int E = gdi::Nearest(0.5 * (W - 4));
    QCOMPARE(px(img, 50, 3), RGB(247, 247, 247)); // white to silver in 8 steps of -7.875
    QCOMPARE(px(img, 80, M + 1), RGB(192, 192, 192));
    // From LightenColor(Blue, 150) = (168, 204, 228) to BlendColor(Blue, black, 180) = (31, 93, 134).
    QCOMPARE(px(img, 5, 3), RGB(151, 190, 216));
    QCOMPARE(px(img, E - 1, 2 * M), Blue);
    QCOMPARE(px(img, E, 2 * M), RGB(192, 192, 192));
    QCOMPARE(px(img, 0, 0), White); // the XP frame on top
}

void TestXPProgressBar::caption_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("smooth") << 1 << 57 << QStringLiteral("57 %");
    QTest::newRow("searching") << 2 << 57 << QStringLiteral("Searching..");
    QTest::newRow("searching at 0") << 2 << 0 << QStringLiteral("Searching..");
    QTest::newRow("flat") << 3 << 5 << QStringLiteral("5 %");
}

void TestXPProgressBar::caption()
{
    QFETCH(int, style);
    QFETCH(int, value);
    QFETCH(QString, text);
    const int W = 200;
    const int H = 24;
    Bar b(style, value);
    const QImage plain = b.draw(W, H);
    b.bar.setShowText(true);
    QCOMPARE(b.bar.captionText(), text);
    const QImage captioned = b.draw(W, H);

    const Rect r = b.bar.captionRect();
    const QFontMetrics metrics(b.bar.Font(), &captioned);
    QCOMPARE(r.right - r.left, metrics.horizontalAdvance(text));
    QCOMPARE(r.left, gdi::Nearest(W / 2.0 - (r.right - r.left) / 2.0));
    QCOMPARE(r.top, gdi::Nearest(H / 2.0 - (r.bottom - r.top) / 2.0));

    int changed = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (plain.pixel(x, y) != captioned.pixel(x, y)) {
                ++changed;
                QVERIFY(x >= r.left && x < r.right && y >= r.top && y < r.bottom);
            }
    QVERIFY(changed > 0);
}

void TestXPProgressBar::overlayCaption()
{
    // Over the filled part the glossy caption is white, beside it black.
    const int W = 200;
    const int H = 24;
    QFont font = QFont();
    font.setPixelSize(14);
    Bar b(XP_ProgressBar::Glossy, 50, RGB(0, 0, 160));
    b.bar.setFont(font);
    b.bar.setShowText(true);
    const QImage img = b.draw(W, H);
    const Rect r = b.bar.captionRect();
    const int split = gdi::Nearest(0.5 * W);
    QVERIFY(r.left < split && split < r.right);
    int light = 0;
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const QRgb c = img.pixel(x, y);
            if (x >= split && qGray(c) < 40)
                ++dark;
            if (x < split && qRed(c) > 230 && qGreen(c) > 230 && qBlue(c) > 230)
                ++light;
        }
    QVERIFY(light > 0);
    QVERIFY(dark > 0);
}

void TestXPProgressBar::bufferOnlyGrows()
{
    QWidget host;
    host.resize(300, 100);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    auto *owned = new XP_ProgressBar(&host);
    XP_ProgressBar &bar = *owned;
    QCOMPARE(bar.bufferSize(), bar.size()); // built at creation
    bar.resize(100, 30);
    bar.show();
    bar.resize(100, 20);
    QCOMPARE(bar.bufferSize(), QSize(100, 30));
    QVERIFY(bar.hdc() != nullptr);
    bar.resize(50, 10);
    QCOMPARE(bar.bufferSize(), QSize(100, 30));
    bar.resize(100, 31);
    QCOMPARE(bar.bufferSize(), QSize(100, 31));
    bar.resize(101, 5);
    QCOMPARE(bar.bufferSize(), QSize(101, 5)); // rebuilt at the asked size
    bar.resize(120, 30);
    bar.setHdc(987654);
    QCOMPARE(bar.bufferSize(), QSize(120, 30));

    // A redraw lands in the buffer.
    bar.setColor(RGB(255, 0, 0));
    QCOMPARE(bar.setValue(100), XP_ProgressBar::ValueStatus::Ok);
    QCOMPARE(px(*bar.hdc(), 52, 15), RGB(255, 0, 0));
    // And on the screen.
    QTRY_COMPARE(px(bar.grab().toImage(), 52, 15), RGB(255, 0, 0));
}

void TestXPProgressBar::propertiesRoundTrip()
{
    XP_ProgressBar fresh;
    PropertyBag bag;
    fresh.WriteProperties(bag);
    // A new bar has BrushStyle 0 against a stored default of 4; Color is kept resolved.
    QCOMPARE(bag.keys(), (QStringList{"BrushStyle", "Color", "Font"}));

    XP_ProgressBar bar;
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    bar.setFont(font);
    bar.setBrushStyle(4);
    bar.setColor(RGB(51, 153, 255));
    QImage tile(2, 2, QImage::Format_RGB32);
    tile.fill(Qt::green);
    bar.setImage(tile);
    bar.setMax(200);
    bar.setOrientation(1);
    bar.setScrolling(7);
    bar.setShowText(true);
    QCOMPARE(bar.setValue(50), XP_ProgressBar::ValueStatus::Ok);
    bag.clear();
    bar.WriteProperties(bag);
    QVERIFY(!bag.contains("BrushStyle"));
    QVERIFY(!bag.contains("Min"));
    QCOMPARE(bag.ReadProperty("Value").toInt(), 25); // the percentage

    bool ok = false;
    const PropertyBag copy = PropertyBag::fromBytes(bag.toBytes(), &ok);
    QVERIFY(ok);
    XP_ProgressBar loaded;
    loaded.ReadProperties(copy);
    QCOMPARE(loaded.Color(), RGB(51, 153, 255));
    QCOMPARE(loaded.Max(), 200);
    QCOMPARE(loaded.Value(), 50);
    QCOMPARE(loaded.Orientation(), 1);
    QCOMPARE(loaded.Scrolling(), 7);
    QVERIFY(loaded.ShowText());
    QCOMPARE(loaded.Image(), tile);
    QCOMPARE(loaded.Font().pointSizeF(), 8.25);
    QCOMPARE(loaded.render(QSize(60, 17)), bar.render(QSize(60, 17)));

    // A bar stored with Max = 0 loads without failing.
    PropertyBag zero;
    zero.WriteProperty("Max", 0, 100);
    zero.WriteProperty("Value", 30, 0);
    XP_ProgressBar z;
    z.ReadProperties(zero);
    QCOMPARE(z.percent(), 30);

    QVERIFY(!PropertyBag::fromBytes("garbage", &ok).contains("Max"));
    QVERIFY(!ok);
}

void TestXPProgressBar::settersReportChanges()
{
    XP_ProgressBar bar;
    QSignalSpy spy(&bar, &XP_ProgressBar::PropertyChanged);
    bar.setBrushStyle(2);
    bar.setImage(QImage());
    bar.setMin(0);
    bar.setMax(10);
    bar.setOrientation(0);
    bar.setScrolling(1);
    bar.setShowText(false);
    bar.setColor(RGB(1, 2, 3));
    QCOMPARE(bar.setValue(3), XP_ProgressBar::ValueStatus::Ok);
    QStringList names;
    for (const auto &args : spy)
        names << args.at(0).toString();
    QCOMPARE(names, (QStringList{"BrushStyle", "Image", "Min", "Max", "Orientation", "Scrolling", "ShowText"}));
}

QTEST_MAIN(TestXPProgressBar)
#include "tst_xpprogressbar.moc"
