#include "components/HotLabel.h"
#include "platform/PointerSource.h"
#include "platform/UrlOpener.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace tavlo;

namespace {

constexpr OleColor Grey = 0x00808080;
constexpr OleColor Hot = 0x00C55410;

// A shown window holding one link, with the pointer and the opener under the test's control.
struct Holder final : PointerSource, UrlOpener {
    Holder()
    {
        link->setPointerSource(this);
        link->setUrlOpener(this);
        link->setCaption("http://www.tavlo.example");
        link->setForeColor(Grey);
        link->setHotColor(Hot);
        link->move(100, 80);
        window.show();
    }
    QPoint globalPosition() const override { return pointer; }
    bool open(const QString &address) override
    {
        opened << address;
        return false; // as if no handler took it
    }
    bool underlined() const { return link->lblURL()->font().underline(); }
    static QRgb colour(const HotLabel *l) { return l->lblURL()->palette().color(QPalette::WindowText).rgb(); }

    QWidget window;
    HotLabel *link = new HotLabel(&window);
    QPoint pointer;
    QStringList opened;
};

} // namespace

class TestHotLabel : public QObject {
    Q_OBJECT
private slots:
    void hover_data()
    {
        QTest::addColumn<OleColor>("hotColor");
        QTest::addColumn<bool>("underlinedFont");
        QTest::addColumn<int>("edge");
        QTest::addColumn<int>("distance");
        // 15 twips make one pixel: the pointer may stray one pixel beyond any edge.
        const char *const edges[] = {"left", "right", "above", "below"};
        for (int edge = 0; edge < 4; ++edge)
            for (int distance : {1, 2})
                QTest::addRow("%s by %d", edges[edge], distance) << Hot << false << edge << distance;
        QTest::newRow("hot colour is the fore colour") << Grey << false << 0 << 2;
        QTest::newRow("underlined font") << Hot << true << 0 << 2;
    }

    void hover()
    {
        QFETCH(OleColor, hotColor);
        QFETCH(bool, underlinedFont);
        QFETCH(int, edge);
        QFETCH(int, distance);
        Holder h;
        h.link->setHotColor(hotColor);
        QFont f = h.link->Font();
        f.setUnderline(underlinedFont);
        h.link->setFont(f);
        QTest::mouseMove(h.link->lblURL(), QPoint(3, 3));
        const bool hot = hotColor != Grey; // a hot colour equal to the fore colour changes nothing
        QCOMPARE(h.link->isHot(), hot);
        QCOMPARE(h.colour(h.link), gdi::toQRgb(hotColor));
        QCOMPARE(h.underlined(), hot || underlinedFont);
        QCOMPARE(h.link->Font().underline(), underlinedFont); // the stored font is not touched

        // The pointer moves away from the link's place in the window, and the hover poll runs.
        const int w = h.link->width();
        const int ht = h.link->height();
        const QPoint at[] = {{-distance, ht / 2}, {w + distance, ht / 2}, {w / 2, -distance}, {w / 2, ht + distance}};
        h.pointer = h.window.mapToGlobal(h.link->pos() + at[edge]);
        h.link->Timer1_Timer();
        const bool stays = hot && distance == 1;
        QCOMPARE(h.link->isHot(), stays);
        QCOMPARE(h.colour(h.link), gdi::toQRgb(stays ? Hot : Grey));
        QCOMPARE(h.underlined(), stays || underlinedFont);
    }

    void click()
    {
        Holder h;
        QSignalSpy clicks(h.link, &HotLabel::Click);
        for (const char *url : {" http://x.example/a b ", "   "}) {
            h.link->setURL(url);
            QTest::mouseClick(h.link->lblURL(), Qt::LeftButton);
        }
        QTest::mouseClick(h.link->lblURL(), Qt::RightButton);
        QCOMPARE(clicks.count(), 2);
        // The address is opened as stored; a blank one raises Click only.
        QCOMPARE(h.opened, QStringList{" http://x.example/a b "});
    }

    void fitsItsText()
    {
        Holder h;
        const QSize start = h.link->size();
        h.link->setCaption("http://www.tavlo.example/a/longer/address");
        const QSize wide = h.link->size();
        h.link->setFontSize(h.link->FontSize() * 2);
        const QSize big = h.link->size();
        h.link->resize(5, 50); // a size the container gives is overridden at once
        QVERIFY(wide.width() > start.width());
        QVERIFY(big.width() > wide.width() && big.height() > wide.height());
        QCOMPARE(h.link->size(), big);
        QCOMPARE(big, h.link->lblURL()->size());
    }

    void propertiesRoundTrip()
    {
        Holder h;
        PropertyBag bag;
        HotLabel fresh(&h.window);
        fresh.InitProperties();
        fresh.WriteProperties(bag);
        QVERIFY2(bag.isEmpty(), qPrintable(bag.keys().join(','))); // every property has its default

        h.link->setURL("http://www.tavlo.example");
        h.link->setFontSize(14.25);
        h.link->setShowHand(false);
        h.link->WriteProperties(bag);
        QCOMPARE(bag.keys(), (QStringList{"Caption", "Font", "ForeColor", "HotColor", "ShowHand", "URL"}));
        HotLabel loaded(&h.window);
        loaded.ReadProperties(PropertyBag::fromBytes(bag.toBytes()));
        PropertyBag again;
        loaded.WriteProperties(again);
        QCOMPARE(again.toBytes(), bag.toBytes());
        QCOMPARE(h.colour(&loaded), gdi::toQRgb(Grey));
        QCOMPARE(loaded.size(), h.link->size());
    }
};

QTEST_MAIN(TestHotLabel)
#include "tst_hotlabel.moc"
