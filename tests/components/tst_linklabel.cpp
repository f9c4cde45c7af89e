#include "components/LinkLabel.h"
#include "platform/UrlOpener.h"

#include <QDesktopServices>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace tavlo;

namespace {

const QColor Grey(0x80, 0x80, 0x80);
const QColor Hot(0x10, 0x54, 0xC5);

// A shown window holding one link, whose opener records what it is given; the pointer
// rests in the window's corner.
struct Holder final : UrlOpener {
    Holder()
    {
        window.setGeometry(40, 40, 320, 200);
        link->setCaption(QStringLiteral("http://www.tavlo.example"));
        link->setForeColor(Grey);
        link->setHotColor(Hot);
        link->move(100, 80);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseMove(&window, QPoint(2, 2));
    }
    QColor colour() const { return link->palette().color(QPalette::WindowText); }
    bool underlined() const { return link->font().underline(); }
    // The pointer to a place given relative to the link.
    void pointAt(QPoint p) { QTest::mouseMove(&window, link->pos() + p); }
    bool open(const QString &address) override
    {
        opened << address;
        return false; // as if no handler took it
    }

    QWidget window;
    LinkLabel *link = new LinkLabel(&window);
    QStringList opened;
};

// Stands in for the desktop's handlers, so that nothing is started.
class SchemeCatcher : public QObject {
    Q_OBJECT
public:
    static inline const QStringList Schemes{"http", "https", "ftp", "mailto", "file", "javascript", "smb"};
    SchemeCatcher()
    {
        for (const QString &scheme : Schemes)
            QDesktopServices::setUrlHandler(scheme, this, "take");
    }
    ~SchemeCatcher() override
    {
        for (const QString &scheme : Schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QStringList taken;
public slots:
    void take(const QUrl &url) { taken << url.scheme(); }
};

struct HoverRow { QColor hotColor; bool underlinedFont; QPoint away; bool staysHot; };

} // namespace

class TestLinkLabel : public QObject {
    Q_OBJECT
private slots:
    void hover_data()
    {
        QTest::addColumn<HoverRow>("row");
        // Where the pointer goes: below 0 from the left or top edge, above 0 from the right or
        // bottom edge, 0 along the middle.
        QTest::newRow("1 left") << HoverRow{Hot, false, {-1, 0}, true};
        QTest::newRow("2 left") << HoverRow{Hot, false, {-2, 0}, false};
        QTest::newRow("1 above") << HoverRow{Hot, false, {0, -1}, true};
        QTest::newRow("2 above") << HoverRow{Hot, false, {0, -2}, false};
        QTest::newRow("width + 1") << HoverRow{Hot, false, {1, 0}, true};
        QTest::newRow("width + 2") << HoverRow{Hot, false, {2, 0}, false};
        QTest::newRow("height + 1") << HoverRow{Hot, false, {0, 1}, true};
        QTest::newRow("height + 2") << HoverRow{Hot, false, {0, 2}, false};
        QTest::newRow("hot colour is the fore colour") << HoverRow{Grey, false, {0, -1}, false};
        QTest::newRow("underlined font") << HoverRow{Hot, true, {-2, 0}, false};
    }

    void hover()
    {
        QFETCH(HoverRow, row);
        const auto &[hotColor, underlinedFont, away, staysHot] = row;
        Holder h;
        h.link->setHotColor(hotColor);
        QFont f = h.link->normalFont();
        f.setUnderline(underlinedFont);
        h.link->setNormalFont(f);
        QSignalSpy hovered(h.link, &LinkLabel::hoveredChanged);

        h.pointAt({3, 3});
        const bool hot = hotColor != Grey; // a hot colour equal to the fore colour changes nothing
        QCOMPARE(h.link->isHot(), hot);
        QCOMPARE(h.colour(), hot ? Hot : Grey);
        QCOMPARE(h.underlined(), hot || underlinedFont);
        QCOMPARE(h.link->normalFont().underline(), underlinedFont);

        const int w = h.link->width();
        const int ht = h.link->height();
        const int x = away.x() < 0 ? away.x() : away.x() > 0 ? w + away.x() : w / 2;
        const int y = away.y() < 0 ? away.y() : away.y() > 0 ? ht + away.y() : ht / 2;
        h.pointAt({x, y});
        QCOMPARE(h.link->isHot(), staysHot);
        QCOMPARE(h.colour(), staysHot ? Hot : Grey);
        QCOMPARE(h.underlined(), staysHot || underlinedFont);
        QCOMPARE(hovered.count(), hot ? (staysHot ? 1 : 2) : 0);
    }

    void hoverEndsWhenThePointerLeavesTheWindow()
    {
        Holder h;
        h.link->move(0, 80);
        h.pointAt({3, 3});
        QVERIFY(h.link->isHot());
        // One pixel left of the link, but outside its window.
        QTest::mouseMove(&h.window, QPoint(-1, 85));
        QTRY_VERIFY(!h.link->isHot());
    }

    void scaledWhileHot()
    {
        // The scaler sets the font the label has under the pointer, underline and all; the
        // underline stays hover's and goes when the pointer leaves.
        Holder h;
        const QSize small = h.link->size();
        h.pointAt({3, 3});
        QFont bigger = h.link->font();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        h.link->setFont(bigger);
        QVERIFY(h.link->size().width() > small.width());
        h.pointAt({-5, -5});
        QVERIFY(!h.link->isHot());
        QVERIFY(!h.underlined());
        QCOMPARE(h.link->fontSize(), bigger.pointSizeF());
    }

    void click()
    {
        Holder h;
        h.link->setUrlOpener(&h);
        QSignalSpy clicks(h.link, &LinkLabel::clicked);
        for (const char *url : {" http://x.example/a b ", "   "}) {
            h.link->setUrl(url);
            QTest::mouseClick(h.link, Qt::LeftButton);
        }
        QTest::mouseClick(h.link, Qt::RightButton);
        QCOMPARE(clicks.count(), 2);
        // The address is opened as stored; a blank one only clicks.
        QCOMPARE(h.opened, QStringList{" http://x.example/a b "});
        // A disabled link neither lights up nor clicks.
        h.link->setEnabled(false);
        h.pointAt({3, 3});
        QTest::mouseClick(h.link, Qt::LeftButton);
        QVERIFY(!h.link->isHot());
        QCOMPARE(clicks.count(), 2);
    }

    void onlyWebAndMailAddressesOpen_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("web") << "http://www.tavlo.example" << QStringList{"http"};
        QTest::newRow("secure web") << "https://www.tavlo.example/a?b=c" << QStringList{"https"};
        QTest::newRow("files") << "ftp://files.tavlo.example/tavlo.zip" << QStringList{"ftp"};
        QTest::newRow("mail") << "mailto:desk@tavlo.example" << QStringList{"mailto"};
        QTest::newRow("local program") << "/usr/bin/xterm" << QStringList();
        QTest::newRow("file address") << "file:///bin/sh" << QStringList();
        QTest::newRow("file in capitals") << "FILE:///bin/sh" << QStringList();
        QTest::newRow("file after blanks") << "  file:///bin/sh" << QStringList();
        QTest::newRow("relative path") << "./start.sh" << QStringList();
        QTest::newRow("script") << "javascript:alert(1)" << QStringList();
        QTest::newRow("share") << "smb://server/share/tool.exe" << QStringList();
    }

    void onlyWebAndMailAddressesOpen()
    {
        QFETCH(QString, address);
        QFETCH(QStringList, opened);
        SchemeCatcher desktop;
        Holder h; // with the desktop's own opener
        h.link->setUrl(address);
        QTest::mouseClick(h.link, Qt::LeftButton);
        QCOMPARE(desktop.taken, opened);
    }

    void fitsItsText()
    {
        Holder h;
        const int start = h.link->width();
        h.link->setCaption("http://www.tavlo.example/a/longer/address");
        QVERIFY(h.link->width() > start);
        h.link->resize(5, 50); // a size the container gives does not stick
        QCOMPARE(h.link->size(), h.link->sizeHint());
    }

    void storedProperties()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("link.ini"));
        Holder h;
        {
            LinkLabel fresh(&h.window);
            QSettings settings(file, QSettings::IniFormat);
            fresh.writeSettings(settings);
            QCOMPARE(settings.allKeys(), QStringList()); // every property has its default
        }
        h.link->setUrl("http://www.tavlo.example");
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSizeF(14.25);
        font.setItalic(true);
        h.link->setNormalFont(font);
        h.link->setBackColor(QColor(0xFF, 0xFF, 0xC0));
        h.link->setShowHand(false);
        {
            QSettings settings(file, QSettings::IniFormat);
            h.link->writeSettings(settings);
            QCOMPARE(settings.allKeys(),
                     (QStringList{"BackColor", "Caption", "Font", "ForeColor", "HotColor", "ShowHand", "URL"}));
        }
        LinkLabel loaded(&h.window);
        loaded.readSettings(QSettings(file, QSettings::IniFormat));
        for (const char *name : {"Caption", "URL", "Font", "ForeColor", "BackColor", "HotColor", "ShowHand"})
            QVERIFY2(loaded.property(name) == h.link->property(name), name);
        QCOMPARE(loaded.palette().color(QPalette::WindowText), Grey);
        QCOMPARE(loaded.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(loaded.size(), h.link->size());
    }
};

QTEST_MAIN(TestLinkLabel)
#include "tst_linklabel.moc"
