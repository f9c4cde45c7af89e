#include "components/AutoSizer.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <cmath>

using namespace tavlo;

namespace {

// A 400 x 300 window: a shape without a font, a label, a list inside a frame, the sizer and a line
// (four end-point coordinates instead of a rectangle).
struct Window {
    Window()
    {
        form.resize(400, 300);
        label = place<QLabel>("Label1", &form, {40, 30, 100, 20});
        auto *frame = place<QFrame>("Frame1", &form, {200, 100, 150, 120});
        rectangles = {place<QFrame>("Shape1", &form, {30, 20, 160, 60}), label, frame,
                      place<QListWidget>("List1", frame, {10, 10, 100, 80})};
        AutoSizer::markWithoutFont(rectangles[0]);
        line = place<QWidget>("Line1", &form, {});
        for (auto [name, value] : Line)
            line->setProperty(name, value);
        form.show();
        rectangles << (sizer = place<AutoSizer>("AutoSizer1", &form, {176, 330, 57, 25}));
        sizer->show();
    }
    template <typename T>
    static T *place(const char *name, QWidget *parent, QRect geometry)
    {
        auto *w = new T(parent);
        w->setObjectName(name);
        w->setGeometry(geometry);
        return w;
    }
    // The line's coordinates, then place, size and font size of each other control.
    QList<double> snapshot() const
    {
        QList<double> s;
        for (auto [name, value] : Line)
            s << line->property(name).toDouble();
        for (QWidget *w : rectangles)
            s << w->x() << w->y() << w->width() << w->height() << w->font().pointSizeF();
        return s;
    }

    static constexpr std::pair<const char *, double> Line[] = {{"X1", 20}, {"Y1", 250}, {"X2", 380}, {"Y2", 250}};
    QWidget form;
    QList<QWidget *> rectangles; // the shape first: the only control whose font is not scaled
    QLabel *label;
    QWidget *line;
    AutoSizer *sizer;
};

} // namespace

class TestAutoSizer : public QObject {
    Q_OBJECT
private slots:
    void scaling_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("double both") << 800 << 600;
        QTest::newRow("double width") << 800 << 300;
        QTest::newRow("half height") << 400 << 150;
    }

    void scaling()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        Window w;
        w.sizer->GetProps();
        const auto before = w.snapshot();
        w.form.resize(width, height);
        const double fx = width / 400.0;
        const double fy = height / 300.0;
        // Places and sizes (a list's within its frame) in whole pixels, halves to even; font sizes
        // follow the height only.
        auto even = [](double v) { return double(std::nearbyint(v)); };
        QList<double> expected{20 * fx, 250 * fy, 380 * fx, 250 * fy};
        for (qsizetype i = 4; i < before.size(); i += 5)
            expected << even(before[i] * fx) << even(before[i + 1] * fy) << even(before[i + 2] * fx)
                     << even(before[i + 3] * fy) << (i == 4 ? before[i + 4] : before[i + 4] * fy);
        QCOMPARE(w.snapshot(), expected);
    }

    void recording()
    {
        Window w;
        const auto before = w.snapshot();
        // Before the first tick nothing is recorded and a resize moves nothing.
        w.form.resize(800, 600);
        QCOMPARE(w.snapshot(), before);
        QVERIFY(w.sizer->layoutTable().isEmpty());
        w.form.resize(400, 300);
        w.sizer->GetProps();
        const auto table = w.sizer->layoutTable();
        // A line has its four coordinates only, a shape no font size, a component none of its insides.
        QStringList keys{"Line1.x1", "Line1.x2", "Line1.y1", "Line1.y2"};
        for (const char *name : {"AutoSizer1", "Frame1", "Label1", "List1", "Shape1"})
            for (const char *suffix : {".fsz", ".height", ".left", ".top", ".width"})
                if (QLatin1String(name) != "Shape1" || QLatin1String(suffix) != ".fsz")
                    keys << QLatin1String(name) + QLatin1String(suffix);
        keys.sort();
        QCOMPARE(table.keys(), keys);
        // A second recording adds nothing, even after a control has moved.
        w.label->setGeometry(1, 2, 3, 4);
        w.sizer->GetProps();
        QCOMPARE(w.sizer->layoutTable(), table);
        // Height 0 and back restores every control, the moved one included.
        w.form.resize(400, 0);
        for (QWidget *c : w.rectangles)
            QCOMPARE(std::pair(c->y(), c->height()), std::pair(0, 0));
        w.form.resize(1234, 777);
        w.form.resize(400, 300);
        QCOMPARE(w.snapshot(), before);
    }
};

QTEST_MAIN(TestAutoSizer)
#include "tst_autosizer.moc"
