#include "components/XP_ProgressBar.h"

#include <QTest>

#include <limits>
#include <tuple>

using namespace tavlo;

namespace {

constexpr OleColor Blue = RGB(44, 132, 190);
constexpr OleColor White = RGB(255, 255, 255);
constexpr OleColor Black = RGB(0, 0, 0);
constexpr OleColor Red = RGB(255, 0, 0);
constexpr OleColor Tile = RGB(1, 2, 3);
constexpr int IntMin = std::numeric_limits<int>::min();
constexpr int IntMax = std::numeric_limits<int>::max();

// Pixels (x, y) and the colours they must have; system colours are resolved from the palette.
using Probes = QList<std::tuple<int, int, OleColor>>;

struct Options {
    OleColor color = Blue;
    int brush = 0;
    bool tiled = true;
};

// The XP frame: 24 corner pixels, no two corners alike, and the lines between them.
Probes frame(int W, int H)
{
    const OleColor a = RGB(172, 171, 166), c = RGB(127, 126, 125), d = RGB(172, 171, 167), e = RGB(119, 119, 119),
                   g = RGB(190, 190, 190), k = RGB(104, 104, 104);
    return {{0, 0, White}, {0, 1, a}, {0, 2, c}, {1, 0, d}, {1, 1, e}, {2, 0, c}, {2, 2, g}, {0, H - 1, White},
            {1, H - 1, a}, {2, H - 1, c}, {0, H - 3, c}, {0, H - 2, d}, {1, H - 2, e}, {W - 1, 0, White},
            {W - 1, 1, g}, {W - 1, 2, c}, {W - 2, 2, g}, {W - 2, 1, k}, {W - 1, H - 1, White}, {W - 1, H - 2, g},
            {W - 1, H - 3, c}, {W - 2, H - 2, e}, {W - 2, H - 1, g}, {W - 3, H - 1, c}, {W / 2, 0, k},
            {W / 2, H - 1, k}, {1, H / 2, g}, {W / 2, 1, g}, {W - 2, H / 2, RGB(239, 239, 239)}};
}

void expect(const QImage &image, const Probes &probes, const QPalette &palette = QPalette())
{
    for (const auto &[x, y, color] : probes)
        QVERIFY2(image.pixel(x, y) == gdi::toQRgb(gdi::TranslateColor(color, palette)),
                 qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
}

struct Bar {
    explicit Bar(int style, int percent = 0, const Options &o = {})
    {
        bar.setColor(o.color);
        bar.setScrolling(style);
        bar.setBrushStyle(o.brush);
        QImage tile(4, 4, QImage::Format_RGB32);
        tile.fill(gdi::toQRgb(Tile));
        bar.setImage(o.tiled ? tile : QImage());
        bar.setValue(percent);
    }
    QImage draw(int w, int h) { return bar.render(QSize(w, h)); }
    XP_ProgressBar bar;
};

} // namespace

Q_DECLARE_METATYPE(Probes)
Q_DECLARE_METATYPE(Options)

class TestXPProgressBar : public QObject {
    Q_OBJECT
private slots:
    void pixels_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Options>("options");
        QTest::addColumn<Probes>("probes");
        const auto row = [](const char *name, int style, int percent, QSize size, const Probes &probes,
                            const Options &o = {}) { QTest::newRow(name) << style << percent << size << o << probes; };
        using gdi::LightenColor;
        const OleColor L140 = LightenColor(Blue, 140);

        row("segmented 0", 0, 0, {100, 17},
            {{3, 7, White}, {4, 7, Blue}, {9, 7, Blue}, {10, 7, White}, {11, 7, White}});
        row("segmented 265 full", 0, 100, {265, 17}, {{259, 7, White}, {262, 7, Blue}, {263, 7, RGB(239, 239, 239)}});
        // 150 is drawn as 100 (in the XP frame), -5 as the stub of 0.
        row("smooth 150", 1, 150, {120, 17}, frame(120, 17) + Probes{{116, 7, Blue}, {117, 7, White}});
        row("smooth -5", 1, -5, {120, 17}, {{4, 7, Blue}, {11, 7, Blue}, {12, 7, White}});
        row("glossy frame", 9, 50, {90, 20}, frame(90, 20));
        row("flat 100 covers x = W - 1", 3, 100, {80, 16}, {{79, 8, LightenColor(Blue, 180)}});
        row("etched at 0 draws column 2", 4, 0, {80, 16}, {{2, 2, L140}, {2, 12, L140}, {3, 8, White}});
        const OleColor darkFill = LightenColor(gdi::BlendColor(Blue, Black, 100, QPalette()), 10);
        row("dark at 0 draws column 2", 6, 0, {80, 16}, {{2, 2, darkFill}, {2, 12, darkFill}, {3, 8, Black}});
        row("dark red", 6, 50, {80, 16}, {{0, 0, RGB(200, 0, 0)}, {2, 2, RGB(106, 10, 10)}, {41, 8, Black}},
            {.color = Red});
        // Styles 5, 7 and 8 end at E = Nearest(percent / 101 * W): 297 of 300 at 100, 149 at 50;
        // the picture covers columns 2 to E + 1.
        row("shaded", 5, 100, {300, 18}, {{297, 5, LightenColor(Blue, 25)}, {296, 15, Blue}, {298, 5, White}});
        row("hatched", 7, 100, {300, 18}, {{296, 5, L140}, {292, 5, Blue}, {297, 5, White}}, {.brush = 1});
        row("picture", 8, 50, {300, 18}, {{150, 5, Tile}, {150, 15, Tile}, {151, 5, White}});
        row("cross hatch", 7, 100, {60, 20}, {{4, 3, Blue}, {3, 3, L140}, {3, 7, Blue}, {12, 15, Blue}}, {.brush = 4});
        // An invalid brush or no picture: the edge only.
        row("brush 6", 7, 100, {60, 20}, {{30, 8, White}, {1, 8, SystemColor(COLOR_3DDKSHADOW)}}, {.brush = 6});
        row("no picture", 8, 50, {40, 12}, {{20, 6, White}, {0, 6, SystemColor(COLOR_BTNSHADOW)}}, {.tiled = false});
    }

    void pixels()
    {
        QFETCH(int, style);
        QFETCH(int, percent);
        QFETCH(QSize, size);
        QFETCH(Options, options);
        QFETCH(Probes, probes);
        Bar b(style, percent, options);
        expect(b.draw(size.width(), size.height()), probes, b.bar.palette());
    }

    void smoothFillEndKeepsParity()
    {
        // Beyond x = 14 the smooth fill covers an even number of columns from x = 3.
        for (int width : {265, 100, 57})
            for (int p = 0; p <= 100; ++p) {
                const QImage img = Bar(XP_ProgressBar::Smooth, p).draw(width, 17);
                int last = -1;
                for (int x = 3; x < width - 2; ++x)
                    if (img.pixel(x, 7) != gdi::toQRgb(White))
                        last = x;
                if (last >= 14)
                    QVERIFY2((last - 2) % 2 == 0, qPrintable(QStringLiteral("w %1 p %2").arg(width).arg(p)));
            }
    }

    void setValue_data()
    {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("value");
        QTest::addColumn<XP_ProgressBar::ValueStatus>("status");
        QTest::addColumn<int>("percent");
        using S = XP_ProgressBar::ValueStatus;
        // Each starts at 40 % of 0 to 100; a failure keeps that.
        QTest::newRow("150 kept as 100") << 0 << 100 << 150 << S::Ok << 100;
        QTest::newRow("-5 kept") << 0 << 100 << -5 << S::Ok << -5;
        QTest::newRow("overflow") << 0 << 100 << 30'000'000 << S::Overflow << 40;
        QTest::newRow("below the int range") << 0 << 100 << IntMin << S::Overflow << 40;
        QTest::newRow("max 0") << 0 << 0 << 10 << S::DivisionByZero << 40;
        QTest::newRow("half rounds down to even") << 0 << 1000 << 125 << S::Ok << 12;
        QTest::newRow("half rounds up to even") << 0 << 1000 << 135 << S::Ok << 14;
        QTest::newRow("full int range") << IntMin << IntMax << 0 << S::Overflow << 40;
    }

    void setValue()
    {
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, value);
        QFETCH(XP_ProgressBar::ValueStatus, status);
        QFETCH(int, percent);
        XP_ProgressBar bar;
        QCOMPARE(bar.setValue(40), XP_ProgressBar::ValueStatus::Ok);
        bar.setMin(min);
        bar.setMax(max);
        QCOMPARE(bar.setValue(value), status);
        QCOMPARE(bar.percent(), percent);
    }

    void drawingPrimitives()
    {
        XP_ProgressBar bar;
        QImage img(12, 12, QImage::Format_RGB32);
        img.fill(Qt::white);
        DrawContext dc{&img};

        // N = 0: one line in the first colour, its end point left out; the references come back resolved.
        OleColor c1 = SystemColor(COLOR_HIGHLIGHT);
        OleColor c2 = Black;
        bar.DrawGradient(c1, c2, 5, 2, 0, 10, dc, true);
        QCOMPARE(c1, gdi::TranslateColor(SystemColor(COLOR_HIGHLIGHT), bar.palette()));
        expect(img, {{5, 2, c1}, {5, 9, c1}, {5, 10, White}, {6, 5, White}});

        // Lines leave out their end point; far beyond the image they are clipped, not walked.
        img.fill(Qt::white);
        const int big = 2'000'000'000;
        bar.DrawLine(0, 0, 4, 2, dc, Red);
        bar.DrawLine(-big, 5, big, 5, dc, Red);
        bar.DrawLine(-big, -big, big, big, dc, Red);
        bar.DrawLine(IntMax, 3, 0, 3, dc, Red);
        OleColor a = RGB(0, 0, 255);
        OleColor b = RGB(0, 255, 0);
        bar.DrawGradient(a, b, -big, 9, IntMax, 11, dc, true);
        expect(img, {{3, 2, Red}, {4, 2, White}, {0, 5, Red}, {11, 5, Red}, {7, 7, Red}, {8, 7, White}, {1, 3, Red},
                     {0, 3, White}, {0, 9, RGB(0, 237, 18)}, {11, 9, RGB(0, 237, 18)}}); // step 2e9 of 2147483647
    }

    void caption_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("text");
        QTest::newRow("smooth") << 1 << QStringLiteral("57 %");
        QTest::newRow("searching") << 2 << QStringLiteral("Searching..");
    }

    void caption()
    {
        QFETCH(int, style);
        QFETCH(QString, text);
        Bar b(style, 57);
        const QImage plain = b.draw(200, 24);
        b.bar.setShowText(true);
        const QImage captioned = b.draw(200, 24);
        QCOMPARE(b.bar.captionText(), text);
        QVERIFY(captioned != plain);
        // Measured on the image drawn into, and centred.
        const QFontMetrics metrics(b.bar.Font(), &captioned);
        const int w = metrics.horizontalAdvance(text);
        const int h = metrics.height();
        const int left = gdi::Nearest(100 - w / 2.0);
        const int top = gdi::Nearest(12 - h / 2.0);
        QVERIFY(b.bar.captionRect() == (Rect{left, top, left + w, top + h}));
    }

    void bufferOnlyGrows()
    {
        QWidget host;
        host.show();
        auto *bar = new XP_ProgressBar(&host);
        bar->resize(100, 30);
        bar->show();
        // Kept on shrink, rebuilt at the asked size on growth.
        const std::pair<QSize, QSize> steps[] = {
            {{100, 20}, {100, 30}}, {{50, 10}, {100, 30}}, {{100, 31}, {100, 31}}, {{101, 5}, {101, 5}}};
        for (const auto &[asked, buffer] : steps) {
            bar->resize(asked);
            QCOMPARE(bar->bufferSize(), buffer);
        }
        bar->resize(120, 30);
        bar->setColor(Red); // the redraw lands in the buffer
        QVERIFY(bar->hdc() && bar->hdc()->pixel(6, 15) == gdi::toQRgb(Red));
    }

    void propertiesRoundTrip()
    {
        Bar b(XP_ProgressBar::Hatched, 0, {.color = RGB(51, 153, 255), .brush = 4});
        b.bar.setOrientation(1);
        b.bar.setShowText(true);
        b.bar.setMax(200);
        QCOMPARE(b.bar.setValue(50), XP_ProgressBar::ValueStatus::Ok);
        PropertyBag bag;
        b.bar.WriteProperties(bag);
        // BrushStyle and Min have their defaults; Value is kept as the percentage.
        QCOMPARE(bag.keys(),
                 (QStringList{"Color", "Font", "Image", "Max", "Orientation", "Scrolling", "ShowText", "Value"}));
        QCOMPARE(bag.ReadProperty("Value").toInt(), 25);

        XP_ProgressBar loaded;
        loaded.ReadProperties(PropertyBag::fromBytes(bag.toBytes()));
        QCOMPARE(loaded.Value(), 50);
        QCOMPARE(loaded.render(QSize(60, 17)), b.draw(60, 17));
        // Stored with Max = 0, it loads its percentage all the same.
        bag.WriteProperty("Max", 0);
        loaded.ReadProperties(bag);
        QCOMPARE(loaded.percent(), 25);

        // A stored position far below zero draws every style as an empty bar (right of column 2,
        // which styles 4 and 6 fill at 0).
        bag = PropertyBag();
        bag.WriteProperty("Value", IntMin);
        for (int style = 0; style <= 10; ++style) {
            bag.WriteProperty("Scrolling", style);
            loaded.ReadProperties(bag);
            const QImage empty = Bar(style, 0, {.color = loaded.Color(), .brush = 4, .tiled = false}).draw(60, 17);
            QVERIFY2(loaded.render(QSize(60, 17)).copy(3, 0, 57, 17) == empty.copy(3, 0, 57, 17),
                     qPrintable(QString::number(style)));
        }
    }
};

QTEST_MAIN(TestXPProgressBar)
#include "tst_xpprogressbar.moc"
