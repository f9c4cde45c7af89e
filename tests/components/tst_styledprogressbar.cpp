#include "components/BgrColor.h"
#include "components/PixelCanvas.h"
#include "components/StyledProgressBar.h"

#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <tuple>

using namespace tavlo;
using Bar = StyledProgressBar;

namespace {

constexpr QRgb Blue = qRgb(44, 132, 190);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Tile = qRgb(1, 2, 3);
constexpr int IntMax = std::numeric_limits<int>::max();

// Pixels (x, y) and the colours they must have.
using Probes = QList<std::tuple<int, int, QRgb>>;

struct Options {
    QRgb color = Blue;
    Bar::HatchStyle hatch = Bar::HorizontalHatch;
    bool tiled = true;
    Bar::Orientation orientation = Bar::Horizontal;
};

QRgb light(int amount, QRgb color = Blue)
{
    return Bar::lighten(color, amount);
}

QRgb system(BgrColor::SystemColor index, const QWidget &w)
{
    return BgrColor::system(index).color(w.palette()).rgb();
}

// The XP frame: 24 corner pixels, no two corners alike, and the lines between them.
Probes frame(int W, int H)
{
    const QRgb a = qRgb(172, 171, 166), c = qRgb(127, 126, 125), d = qRgb(172, 171, 167), e = qRgb(119, 119, 119),
               g = qRgb(190, 190, 190), k = qRgb(104, 104, 104);
    return {{0, 0, White}, {0, 1, a}, {0, 2, c}, {1, 0, d}, {1, 1, e}, {2, 0, c}, {2, 2, g}, {0, H - 1, White},
            {1, H - 1, a}, {2, H - 1, c}, {0, H - 3, c}, {0, H - 2, d}, {1, H - 2, e}, {W - 1, 0, White},
            {W - 1, 1, g}, {W - 1, 2, c}, {W - 2, 2, g}, {W - 2, 1, k}, {W - 1, H - 1, White}, {W - 1, H - 2, g},
            {W - 1, H - 3, c}, {W - 2, H - 2, e}, {W - 2, H - 1, g}, {W - 3, H - 1, c}, {W / 2, 0, k},
            {W / 2, H - 1, k}, {1, H / 2, g}, {W / 2, 1, g}, {W - 2, H / 2, qRgb(239, 239, 239)}};
}

void expect(const QImage &image, const Probes &probes)
{
    for (const auto &[x, y, color] : probes)
        QVERIFY2(image.pixel(x, y) == color, qPrintable(QString::asprintf("(%d, %d) is %x", x, y, image.pixel(x, y))));
}

QImage draw(const Bar &bar, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    bar.paint(image, image.rect());
    return image;
}

void setUp(Bar &bar, int style, int percent, const Options &o = {})
{
    bar.setColor(QColor(o.color));
    bar.setScrolling(Bar::BarStyle(style));
    bar.setOrientation(o.orientation);
    bar.setBrushStyle(o.hatch);
    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Tile);
    bar.setImage(o.tiled ? tile : QImage());
    QVERIFY(bar.setValue(percent));
}

} // namespace

Q_DECLARE_METATYPE(Probes)
Q_DECLARE_METATYPE(Options)

struct PixelRow { int style, percent; QSize size; Options options; Probes probes; };

struct ValueRow { int min, max, value; bool taken; int percent, readBack; };

struct CaptionRow { int style, percent; QString text; QRgb onTrack, overFill; };

class TestStyledProgressBar : public QObject {
    Q_OBJECT
private slots:
    void pixels_data()
    {
        QTest::addColumn<PixelRow>("row");
        const auto row = [](const char *name, int style, int percent, QSize size, const Probes &probes,
                            const Options &o = {}) { QTest::newRow(name) << PixelRow{style, percent, size, o, probes}; };
        const Bar palette; // for the system colours of the edges
        const Options red{.color = Red};
        const Options up{.orientation = Bar::Vertical};

        row("segmented 0", 0, 0, {100, 17}, {{3, 7, White}, {4, 7, Blue}, {9, 7, Blue}, {10, 7, White}, {11, 7, White}});
        // v = 270, snapped to 267; 267 + 4 > 265, so the bar ends at 262.
        row("segmented 265 full", 0, 100, {265, 17}, {{259, 7, White}, {262, 7, Blue}, {263, 7, qRgb(239, 239, 239)}});
        // 150 is drawn as 100 (in the XP frame), -5 as the stub of 0.
        row("smooth 150", 1, 150, {120, 17}, frame(120, 17) + Probes{{116, 7, Blue}, {117, 7, White}});
        row("smooth -5", 1, -5, {120, 17}, {{4, 7, Blue}, {11, 7, Blue}, {12, 7, White}});
        // Fill end 137; blocks at x0 = 114, 126, 138 (halves to even), ten columns each.
        row("searching 50", 2, 50, {265, 17},
            {{113, 8, White}, {114, 8, light(220)}, {123, 8, light(200)}, {124, 8, White}, {126, 8, light(180)},
             {138, 8, light(140)}, {147, 8, light(120)}, {148, 8, White}, {114, 2, qRgb(239, 239, 239)}});
        // Upright: the fill starts at T = 50 (smooth), 52 (segmented); light at both sides.
        row("smooth upright", 1, 49, {17, 100},
            frame(17, 100) + Probes{{8, 49, White}, {8, 50, Blue}, {4, 97, light(150)}, {13, 60, light(150)},
                                    {9, 60, Blue}, {14, 60, White}},
            up);
        row("segmented upright", 0, 49, {17, 100},
            {{8, 51, White}, {8, 52, Blue}, {8, 57, Blue}, {8, 58, White}, {8, 59, White}, {8, 60, Blue},
             {8, 66, White}, {8, 65, Blue}, {8, 89, Blue}, {8, 90, White}},
            up);
        row("searching upright", 2, 49, {17, 100},
            {{8, 50, light(220)}, {8, 59, light(200)}, {8, 60, White}, {8, 62, light(180)}, {8, 83, light(120)},
             {8, 84, White}, {3, 50, light(220)}, {14, 50, light(220)}},
            up);
        row("glossy frame", 9, 50, {90, 20}, frame(90, 20));
        row("flat 100 covers x = W - 1", 3, 100, {80, 16}, {{79, 8, light(180)}, {0, 8, light(100)}});
        row("etched at 0 draws column 2", 4, 0, {80, 16}, {{2, 2, light(140)}, {2, 12, light(140)}, {3, 8, White}});
        const QRgb darkFill = Bar::lighten(Bar::blend(Blue, Black, 100), 10);
        row("dark at 0 draws column 2", 6, 0, {80, 16}, {{2, 2, darkFill}, {2, 12, darkFill}, {3, 8, Black}});
        row("dark red", 6, 50, {80, 16}, {{0, 0, qRgb(200, 0, 0)}, {2, 2, qRgb(106, 10, 10)}, {41, 8, Black}}, red);
        // Styles 5, 7 and 8 end at E = Nearest(percent / 101 * W): 297 of 300 at 100, 149 at 50;
        // the picture covers columns 2 to E + 1.
        row("shaded", 5, 100, {300, 18}, {{297, 5, light(25)}, {296, 15, Blue}, {298, 5, White}});
        row("hatched", 7, 100, {300, 18}, {{296, 5, light(140)}, {292, 5, Blue}, {297, 5, White}},
            {.hatch = Bar::VerticalHatch});
        row("picture", 8, 50, {300, 18}, {{150, 5, Tile}, {150, 15, Tile}, {151, 5, White}});
        row("cross hatch", 7, 100, {60, 20}, {{4, 3, Blue}, {3, 3, light(140)}, {3, 7, Blue}, {12, 15, Blue}},
            {.hatch = Bar::CrossHatch});
        // An invalid hatch or no picture: the edge only.
        row("hatch 6", 7, 100, {60, 20}, {{30, 8, White}, {1, 8, system(BgrColor::DarkShadow3D, palette)}},
            {.hatch = Bar::HatchStyle(6)});
        row("no picture", 8, 50, {40, 12}, {{20, 6, White}, {0, 6, system(BgrColor::ButtonShadow, palette)}},
            {.tiled = false});
        // Any other style is drawn as the smooth one.
        row("style 10", 10, 50, {120, 17}, frame(120, 17) + Probes{{20, 7, Blue}, {117, 7, White}});
    }

    void pixels()
    {
        QFETCH(PixelRow, row);
        const auto &[style, percent, size, options, probes] = row;
        Bar bar;
        setUp(bar, style, percent, options);
        expect(draw(bar, size), probes);
    }

    void onlyTheXpStylesStandUp()
    {
        for (int style = 0; style <= 9; ++style) {
            Bar bar;
            setUp(bar, style, 60);
            const QImage across = draw(bar, {40, 90});
            bar.setOrientation(Bar::Vertical);
            QCOMPARE(draw(bar, {40, 90}) == across, style >= 3);
        }
    }

    void paintedAnywhereAlike()
    {
        // The widget shows what paint() draws, and paint() draws the same into any part of any image.
        QWidget host;
        auto *bar = new Bar(&host);
        setUp(*bar, Bar::Glossy, 57);
        bar->setShowText(true);
        bar->resize(200, 22);
        host.show();
        const QImage reference = draw(*bar, bar->size());
        QCOMPARE(bar->grab().toImage().convertToFormat(QImage::Format_RGB32), reference);
        QImage big(260, 60, QImage::Format_ARGB32_Premultiplied);
        big.fill(Qt::green);
        bar->paint(big, QRect(QPoint(31, 17), bar->size()));
        QCOMPARE(big.copy(QRect(QPoint(31, 17), bar->size())).convertToFormat(QImage::Format_RGB32), reference);
        // and nothing around it.
        QImage green = big;
        green.fill(Qt::green);
        QPainter(&big).fillRect(QRect(QPoint(31, 17), bar->size()), Qt::green);
        QCOMPARE(big, green);
    }

    void hatchGapsOnceACaptionWasDrawn()
    {
        // A drawing state carries over as a device context's does: the hatch gaps are filled
        // until a caption has once been drawn (switching it on counts), and are left white
        // from then on, until the bar outgrows its off-screen image (made at 100 x 30 for a
        // child) and starts afresh.
        QWidget host;
        auto *bar = new Bar(&host);
        setUp(*bar, Bar::Hatched, 100, {.hatch = Bar::CrossHatch});
        bar->resize(60, 20);
        host.show();
        const auto gap = [bar] { return bar->grab().toImage().pixel(3, 3); };
        QCOMPARE(gap(), light(140));
        bar->setShowText(true);
        bar->setShowText(false);
        QCOMPARE(gap(), White);
        bar->resize(100, 30);
        QCOMPARE(gap(), White);
        bar->resize(101, 30);
        QCOMPARE(gap(), light(140));
        bar->setShowText(true);
        QCOMPARE(gap(), White);
    }

    void setValue_data()
    {
        QTest::addColumn<ValueRow>("row");
        // Each starts at 40 % of 0 to 100; a refused value keeps that.
        QTest::newRow("150 kept as 100") << ValueRow{0, 100, 150, true, 100, 100};
        QTest::newRow("-5 kept") << ValueRow{0, 100, -5, true, -5, -5};
        QTest::newRow("overflow") << ValueRow{0, 100, 30'000'000, false, 40, 40};
        QTest::newRow("max 0") << ValueRow{0, 0, 10, false, 40, 0};
        QTest::newRow("half rounds down to even") << ValueRow{0, 1000, 125, true, 12, 120};
        QTest::newRow("half rounds up to even") << ValueRow{0, 1000, 135, true, 14, 140};
        QTest::newRow("from min to max") << ValueRow{100, 300, 150, true, 25, 150};
    }

    void setValue()
    {
        QFETCH(ValueRow, row);
        const auto &[min, max, value, taken, percent, readBack] = row;
        Bar bar;
        QVERIFY(bar.setValue(40));
        bar.setMin(min);
        bar.setMax(max);
        QCOMPARE(bar.setValue(value), taken);
        QCOMPARE(bar.percent(), percent);
        QCOMPARE(bar.value(), readBack);
    }

    void caption_data()
    {
        QTest::addColumn<CaptionRow>("row");
        QTest::newRow("smooth") << CaptionRow{1, 57, QStringLiteral("57 %"), Black, Black};
        QTest::newRow("searching") << CaptionRow{2, 57, QStringLiteral("Searching.."), Black, Black};
        QTest::newRow("flat at 150") << CaptionRow{3, 150, QStringLiteral("100 %"), Black, Black};
        QTest::newRow("dark") << CaptionRow{6, 57, QStringLiteral("57 %"), qRgb(192, 192, 192), light(80)};
        QTest::newRow("glossy") << CaptionRow{9, 50, QStringLiteral("50 %"), Black, White};
        QTest::newRow("glossy over all") << CaptionRow{9, 100, QStringLiteral("100 %"), Black, White};
    }

    void caption()
    {
        QFETCH(CaptionRow, row);
        const auto &[style, percent, text, onTrack, overFill] = row;
        Bar bar;
        setUp(bar, style, percent);
        const QImage plain = draw(bar, {200, 24});
        bar.setShowText(true);
        QCOMPARE(bar.caption(), text);
        // Centred by its measure; over the fill of the dark and glossy looks it takes another
        // colour, from where the fill ends.
        const QImage shown = draw(bar, {200, 24});
        const QFontMetrics fm(bar.font(), &shown);
        const int width = fm.horizontalAdvance(text);
        const QRect box(100 - width / 2 - 1, 12 - fm.height() / 2 - 1, width + 2, fm.height() + 2);
        const int fillEnd = std::min(bar.percent(), 100) * 2;
        QList<QRgb> over, beyond; // the caption's pixels left and right of the fill's end
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 200; ++x) {
                if (shown.pixel(x, y) != plain.pixel(x, y)) {
                    QVERIFY2(box.contains(x, y), qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
                    (x < fillEnd ? over : beyond) << shown.pixel(x, y);
                }
            }
        }
        // Drawn smoothed: some pixel of each part comes close to its colour.
        const auto near = [](const QList<QRgb> &pixels, QRgb colour) {
            return std::any_of(pixels.cbegin(), pixels.cend(), [colour](QRgb c) {
                return std::max({std::abs(qRed(c) - qRed(colour)), std::abs(qGreen(c) - qGreen(colour)),
                                 std::abs(qBlue(c) - qBlue(colour))}) < 48;
            });
        };
        QCOMPARE(near(over, overFill), fillEnd > box.left() + 2);
        QCOMPARE(near(beyond, onTrack), fillEnd < box.right() - 2);
        QVERIFY(onTrack == overFill || !near(over, onTrack));
    }

    void storedProperties()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bar.ini"));
        Bar bar;
        {
            // A new bar differs from the stored defaults in its hatch only.
            QSettings settings(file, QSettings::IniFormat);
            bar.writeSettings(settings);
            QCOMPARE(settings.allKeys(), QStringList{"BrushStyle"});
        }
        setUp(bar, Bar::Hatched, 0, {.color = qRgb(51, 153, 255), .hatch = Bar::DiagonalCrossHatch});
        bar.setOrientation(Bar::Vertical);
        bar.setShowText(true);
        bar.setMax(200);
        QVERIFY(bar.setValue(50));
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSizeF(11.5);
        bar.setFont(font);
        {
            QSettings settings(file, QSettings::IniFormat);
            bar.writeSettings(settings);
            // Min keeps its default; Value holds the percentage.
            QCOMPARE(settings.allKeys(), (QStringList{"BrushStyle", "Color", "Font", "Image", "Max", "Orientation",
                                                      "Scrolling", "ShowText", "Value"}));
            QCOMPARE(settings.value("Value").toInt(), 25);
            QCOMPARE(settings.value("Color").toUInt(), 0xFF9933u); // &H00BBGGRR
        }
        const QSettings settings(file, QSettings::IniFormat);
        Bar loaded;
        loaded.readSettings(settings);
        for (const char *name : {"Value", "Min", "Max", "Color", "Scrolling", "Orientation", "ShowText", "BrushStyle",
                                 "Image", "Font"})
            QVERIFY2(loaded.property(name) == bar.property(name), name);
        QCOMPARE(draw(loaded, {60, 17}), draw(bar, {60, 17}));

        // Whatever Max it was saved with, the bar comes back at the percentage it showed.
        QSettings damaged(dir.filePath(QStringLiteral("other.ini")), QSettings::IniFormat);
        damaged.setValue("Max", 0);
        damaged.setValue("Value", 30);
        damaged.setValue("Color", "not a colour");
        loaded.readSettings(damaged);
        QCOMPARE(loaded.percent(), 30);
        QCOMPARE(loaded.color(), loaded.palette().color(QPalette::Highlight));
    }

    void canvasPrimitives()
    {
        QImage img(12, 12, QImage::Format_RGB32);
        img.fill(Qt::white);
        PixelCanvas::State state;
        PixelCanvas canvas(img, img.rect(), state);

        // Lines leave out their end point; far beyond the image they are clipped, not walked.
        const int big = 2'000'000'000;
        canvas.drawLine(0, 0, 4, 2, Red);
        canvas.drawLine(-big, 5, big, 5, Red);
        canvas.drawLine(-big, -big, big, big, Red);
        canvas.drawLine(IntMax, 3, 0, 3, Red);
        canvas.drawGradient(qRgb(0, 0, 255), qRgb(0, 255, 0), -big, 9, IntMax, 11, PixelCanvas::Lines::Columns);
        expect(img, {{3, 2, Red}, {4, 2, White}, {0, 5, Red}, {11, 5, Red}, {7, 7, Red}, {8, 7, White}, {1, 3, Red},
                     {0, 3, White}, {0, 9, qRgb(0, 237, 18)}, {11, 9, qRgb(0, 237, 18)}}); // step 2e9 of 2147483647
    }
};

QTEST_MAIN(TestStyledProgressBar)
#include "tst_styledprogressbar.moc"
