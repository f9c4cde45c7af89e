#include "HotLabel.h"
#include "PointerSource.h"
#include "UrlOpener.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace tavlo;

namespace {

class PlacedPointer final : public PointerSource {
public:
    QPoint globalPosition() const override { return position; }
    QPoint position{-1000, -1000};
};

class RecordingOpener final : public UrlOpener {
public:
    bool open(const QString &address) override
    {
        opened << address;
        return false; // as if no handler took it
    }
    QStringList opened;
};

constexpr OleColor Grey = 0x00808080;
constexpr OleColor Hot = 0x00C55410;

OleColor labelColor(const HotLabel &link)
{
    const QColor c = link.lblURL()->palette().color(QPalette::WindowText);
    return RGB(c.red(), c.green(), c.blue());
}

// A shown window holding one link, with the pointer and the opener under the test's control.
struct Holder {
    Holder()
    {
        window.resize(400, 200);
        link = new HotLabel(&window);
        link->setPointerSource(&pointer);
        link->setUrlOpener(&opener);
        link->setCaption("http://www.tavlo.example");
        link->setURL("http://www.tavlo.example");
        link->setForeColor(Grey);
        link->setHotColor(Hot);
        link->move(100, 80);
        window.show();
    }
    // The pointer at an offset from the link's top-left corner, in window coordinates.
    void placePointer(int dx, int dy) { pointer.position = window.mapToGlobal(link->pos() + QPoint(dx, dy)); }
    void hover() { QTest::mouseMove(link->lblURL(), QPoint(3, 3)); }

    QWidget window;
    HotLabel *link;
    PlacedPointer pointer;
    RecordingOpener opener;
};

} // namespace

class TestHotLabel : public QObject {
    Q_OBJECT
private slots:
    void hoverAndLeave();
    void hoverWithHotColourAsForeColour();
    void underlinedFontStaysUnderlined();
    void margin_data();
    void margin();
    void timerEndsHover();
    void click_data();
    void click();
    void fitsItsText();
    void propertiesRoundTrip();
};

void TestHotLabel::hoverAndLeave()
{
    Holder h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    QCOMPARE(labelColor(*h.link), Grey);
    h.placePointer(3, 3);
    h.hover();
    QVERIFY(h.link->isHot());
    QCOMPARE(labelColor(*h.link), Hot);
    QVERIFY(h.link->lblURL()->font().underline());
    QVERIFY(!h.link->Font().underline()); // the stored font is not touched

    h.placePointer(-50, 3);
    h.link->Timer1_Timer();
    QVERIFY(!h.link->isHot());
    QCOMPARE(labelColor(*h.link), Grey);
    QVERIFY(!h.link->lblURL()->font().underline());
}

void TestHotLabel::hoverWithHotColourAsForeColour()
{
    Holder h;
    h.link->setHotColor(Grey);
    h.hover();
    QVERIFY(!h.link->isHot());
    QCOMPARE(labelColor(*h.link), Grey);
    QVERIFY(!h.link->lblURL()->font().underline());
}

void TestHotLabel::underlinedFontStaysUnderlined()
{
    Holder h;
    QFont f = h.link->Font();
    f.setUnderline(true);
    h.link->setFont(f);
    h.hover();
    QVERIFY(h.link->isHot());
    h.placePointer(500, 500);
    h.link->Timer1_Timer();
    QVERIFY(!h.link->isHot());
    QVERIFY(h.link->lblURL()->font().underline());
}

void TestHotLabel::margin_data()
{
    // 15 twips make one pixel: the pointer may stray one pixel beyond the edges.
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<bool>("hot");
    QTest::newRow("inside") << 5 << 5 << true;
    QTest::newRow("left by 1") << -1 << 5 << true;
    QTest::newRow("left by 2") << -2 << 5 << false;
    QTest::newRow("right by 1") << 1 << 5 << true; // added to the width below
    QTest::newRow("right by 2") << 2 << 5 << false;
    QTest::newRow("above by 1") << 5 << -1 << true;
    QTest::newRow("above by 2") << 5 << -2 << false;
    QTest::newRow("below by 1") << 5 << 1001 << true;
    QTest::newRow("below by 2") << 5 << 1002 << false;
}

void TestHotLabel::margin()
{
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(bool, hot);
    Holder h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    const int x = dx > 0 && dx < 5 ? h.link->width() + dx : dx;
    const int y = dy > 1000 ? h.link->height() + dy - 1000 : dy;
    h.hover();
    QVERIFY(h.link->isHot());
    h.placePointer(x, y);
    h.link->Timer1_Timer();
    QCOMPARE(h.link->isHot(), hot);
    QCOMPARE(labelColor(*h.link), hot ? Hot : Grey);
}

void TestHotLabel::timerEndsHover()
{
    Holder h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    h.hover();
    h.placePointer(h.link->width() / 2, -40);
    QTRY_VERIFY(!h.link->isHot());
    QCOMPARE(labelColor(*h.link), Grey);
}

void TestHotLabel::click_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("address") << "http://www.tavlo.example" << QStringList{"http://www.tavlo.example"};
    QTest::newRow("kept as stored") << " http://x.example/a b " << QStringList{" http://x.example/a b "};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("blanks") << "   " << QStringList{};
}

void TestHotLabel::click()
{
    QFETCH(QString, url);
    QFETCH(QStringList, opened);
    Holder h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    h.link->setURL(url);
    QSignalSpy clicks(h.link, &HotLabel::Click);
    QTest::mouseClick(h.link->lblURL(), Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(h.opener.opened, opened);
    QTest::mouseClick(h.link->lblURL(), Qt::RightButton);
    QCOMPARE(clicks.count(), 1);
}

void TestHotLabel::fitsItsText()
{
    Holder h;
    const QSize start = h.link->size();
    QCOMPARE(h.link->lblURL()->pos(), QPoint(0, 0));
    QCOMPARE(start, h.link->lblURL()->sizeHint());

    h.link->setCaption("http://www.tavlo.example/a/longer/address");
    QVERIFY(h.link->width() > start.width());
    QCOMPARE(h.link->size(), h.link->lblURL()->size());

    const QSize wide = h.link->size();
    h.link->setFontSize(h.link->FontSize() * 2);
    QVERIFY(h.link->height() > wide.height());
    QVERIFY(h.link->width() > wide.width());
    QCOMPARE(h.link->size(), h.link->lblURL()->size());

    const QSize big = h.link->size();
    h.link->setFontSize(0);  // ignored
    h.link->setFontSize(-3); // ignored
    QCOMPARE(h.link->size(), big);

    QFont f = h.link->Font();
    f.setPointSizeF(6);
    h.link->setFont(f);
    QVERIFY(h.link->height() < big.height());
    QCOMPARE(h.link->size(), h.link->lblURL()->size());

    // A size given by the container is overridden at once.
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    const QSize fitted = h.link->size();
    h.link->resize(5, 50);
    QCOMPARE(h.link->size(), fitted);
}

void TestHotLabel::propertiesRoundTrip()
{
    QWidget window;
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    window.setPalette(pal);

    HotLabel fresh(&window);
    fresh.InitProperties();
    PropertyBag bag;
    fresh.WriteProperties(bag);
    QVERIFY2(bag.isEmpty(), qPrintable(bag.keys().join(',')));
    QCOMPARE(fresh.BackColor(), OleColor(0x00C0C0C0));
    QCOMPARE(fresh.HotColor(), OleColor(255));
    QVERIFY(fresh.ShowHand());
    QCOMPARE(fresh.lblURL()->cursor().shape(), Qt::PointingHandCursor);

    // The main window's link.
    HotLabel link(&window);
    QSignalSpy changes(&link, &HotLabel::PropertyChanged);
    link.setCaption("www.tavlo.example");
    link.setURL("http://www.tavlo.example");
    link.setForeColor(Grey);
    link.setHotColor(Hot);
    QFont tahoma("Tahoma");
    tahoma.setPointSizeF(8.25);
    link.setFont(tahoma);
    link.setShowHand(false);
    QCOMPARE(changes.count(), 2); // ForeColor and Font
    bag.clear();
    link.WriteProperties(bag);
    QCOMPARE(bag.keys(), (QStringList{"Caption", "Font", "ForeColor", "HotColor", "ShowHand", "URL"}));
    QCOMPARE(bag.ReadProperty("HotColor").toUInt(), Hot);

    HotLabel loaded(&window);
    loaded.ReadProperties(PropertyBag::fromBytes(bag.toBytes()));
    QCOMPARE(loaded.Caption(), QStringLiteral("www.tavlo.example"));
    QCOMPARE(loaded.URL(), QStringLiteral("http://www.tavlo.example"));
    QCOMPARE(loaded.ForeColor(), Grey);
    QCOMPARE(labelColor(loaded), Grey);
    QCOMPARE(loaded.HotColor(), Hot);
    QCOMPARE(loaded.FontSize(), 8.25);
    QCOMPARE(loaded.BackColor(), OleColor(0x00C0C0C0));
    QVERIFY(!loaded.ShowHand());
    QCOMPARE(loaded.lblURL()->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(loaded.size(), link.size());

    // Bad stored values fall back to the defaults.
    PropertyBag bad;
    bad.WriteProperty("HotColor", QStringLiteral("red"));
    bad.WriteProperty("Font", 42);
    HotLabel odd(&window);
    odd.ReadProperties(bad);
    QCOMPARE(odd.HotColor(), OleColor(255));
    QCOMPARE(odd.Font(), window.font());
}

QTEST_MAIN(TestHotLabel)
#include "tst_hotlabel.moc"
