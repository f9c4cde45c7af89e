#include "components/LinkLabel.h"
#include "components/ProportionalScaler.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <cmath>

using namespace tavlo;

namespace {

// A window with frames in frames, a list, a text box, a label with a font in
// pixels (nothing to scale), an unnamed button and a link that sizes itself to its text.
struct Window {
    explicit Window(QSize size = {400, 300})
    {
        form.resize(size);
        label = place<QLabel>(&form, {40, 30, 100, 20}, 9);
        auto *outer = place<QFrame>(&form, {200, 100, 150, 120}, 8);
        auto *inner = place<QFrame>(outer, {10, 10, 120, 90}, 8);
        list = place<QListWidget>(inner, {5, 5, 100, 60}, 12);
        boxes = {label, outer, inner, list, place<QLineEdit>(inner, {5, 68, 100, 17}, 12),
                 place<QPushButton>(&form, {30, 250, 75, 23}, 8.25)};
        pixelFont = place<QLabel>(&form, {30, 200, 160, 30}, 0);
        QFont f = pixelFont->font();
        f.setPixelSize(13);
        pixelFont->setFont(f);
        link = new LinkLabel(&form);
        link->setCaption(QStringLiteral("https://www.tavlo.example"));
        link->move(220, 260);
        scaler = new ProportionalScaler(&form);
    }
    template <typename T>
    static T *place(QWidget *parent, QRect geometry, double points)
    {
        auto *w = new T(parent);
        w->setGeometry(geometry);
        if (points > 0) {
            QFont f = w->font();
            f.setPointSizeF(points);
            w->setFont(f);
        }
        return w;
    }
    // Every child's place, size and font.
    QList<std::pair<QRect, QFont>> snapshot() const
    {
        QList<std::pair<QRect, QFont>> s;
        for (QWidget *w : form.findChildren<QWidget *>(QString(), Qt::FindChildrenRecursively))
            if (!w->objectName().startsWith(QLatin1String("qt_")))
                s.append({w->geometry(), w->font()});
        return s;
    }

    QWidget form;
    QList<QWidget *> boxes; // scaled as rectangles, fonts in points
    QLabel *label;
    QListWidget *list;
    QLabel *pixelFont;
    LinkLabel *link;
    ProportionalScaler *scaler;
};

int even(double v)
{
    return int(std::nearbyint(v));
}

// Font sizes are kept to thousandths of a point.
void compareFont(double actual, double expected)
{
    QVERIFY2(std::abs(actual - expected) <= 0.0005, qPrintable(QStringLiteral("%1 for %2").arg(actual).arg(expected)));
}

} // namespace

class TestProportionalScaler : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        // 607 high, as the main window: 12 / 607 * 607 is not 12 in floating point.
        QTest::newRow("double both") << 800 << 1214;
        QTest::newRow("double width") << 800 << 607;
        QTest::newRow("half height") << 400 << 303;
        QTest::newRow("odd") << 1234 << 777;
        QTest::newRow("height 0") << 400 << 0;
    }

    void roundTrip()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        Window w({400, 607});
        w.form.show();
        QVERIFY(w.scaler->hasRecorded());
        const auto before = w.snapshot();
        QList<std::pair<QRect, double>> boxes;
        for (QWidget *b : w.boxes)
            boxes.append({b->geometry(), b->font().pointSizeF()});
        const QFont linkFont = w.link->font();

        w.form.resize(width, height);
        const double fx = width / 400.0;
        const double fy = height / 607.0;
        // Places and sizes in whole pixels, halves to even, also inside frames; font sizes
        // follow the height only, and a size of 0 leaves the font as it was.
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            const auto &[r, points] = boxes[i];
            QCOMPARE(w.boxes[i]->geometry(),
                     QRect(even(r.x() * fx), even(r.y() * fy), even(r.width() * fx), even(r.height() * fy)));
            compareFont(w.boxes[i]->font().pointSizeF(), height == 0 ? points : points * fy);
        }
        QCOMPARE(w.pixelFont->font().pixelSize(), 13);
        compareFont(w.link->font().pointSizeF(), height == 0 ? linkFont.pointSizeF() : linkFont.pointSizeF() * fy);
        QCOMPARE(w.link->size(), w.link->sizeHint()); // the link still fits its text
        // The list's own parts are the list's business.
        if (height > 0)
            QCOMPARE(w.list->viewport()->geometry(), w.list->contentsRect());

        w.form.resize(400, 607);
        QCOMPARE(w.snapshot(), before);
    }

    void recordsOnceWhenFirstShown()
    {
        Window w;
        const auto before = w.snapshot();
        // Before the window is shown there is nothing to scale by.
        w.form.resize(800, 600);
        QCOMPARE(w.snapshot(), before);
        QVERIFY(!w.scaler->hasRecorded());
        w.form.resize(400, 300);
        w.form.show();
        QVERIFY(w.scaler->hasRecorded());

        // A child moved in code, and one created after the record, which showing the window
        // again does not record either; a second record adds the new one only, so the moved
        // one goes back to its first place at the next resize.
        w.label->setGeometry(1, 2, 3, 4);
        auto *late = Window::place<QLabel>(&w.form, {100, 100, 50, 20}, 10);
        late->show();
        w.form.hide();
        w.form.show();
        w.form.resize(800, 600);
        QCOMPARE(late->geometry(), QRect(100, 100, 50, 20));
        QCOMPARE(w.label->geometry(), QRect(80, 60, 200, 40));
        w.scaler->record();
        w.form.resize(400, 300);
        QCOMPARE(late->geometry(), QRect(50, 50, 25, 10));
        QCOMPARE(w.label->geometry(), QRect(40, 30, 100, 20));
    }
};

QTEST_MAIN(TestProportionalScaler)
#include "tst_proportionalscaler.moc"
