#include "AutoSizer.h"
#include "HotLabel.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <cmath>

using namespace tavlo;

namespace {

// A line control: four end-point coordinates instead of a rectangle.
class LineControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double X1 MEMBER X1)
    Q_PROPERTY(double Y1 MEMBER Y1)
    Q_PROPERTY(double X2 MEMBER X2)
    Q_PROPERTY(double Y2 MEMBER Y2)
public:
    using QWidget::QWidget;
    double X1 = 20, Y1 = 250, X2 = 380, Y2 = 250;
};

// Whole pixels with halves to the even neighbour, as the sizer places them.
int even(double v)
{
    return int(std::nearbyint(v));
}

QFont pointFont(double size)
{
    QFont f;
    f.setPointSizeF(size);
    return f;
}

// A small window: controls on it, inside a frame, inside an unnamed strip, a line, a shape,
// a member of a control array, a hyperlink label and the sizer below the client area.
struct Window {
    Window()
    {
        host.resize(1000, 800);
        form = new QWidget(&host);
        form->setObjectName("Form1");
        form->setGeometry(0, 0, 400, 300);
        label = new QLabel("Games", form);
        label->setObjectName("Label1");
        label->setGeometry(40, 30, 100, 20);
        label->setFont(pointFont(12));
        frame = new QFrame(form);
        frame->setObjectName("Frame1");
        frame->setGeometry(200, 100, 150, 120);
        list = new QListWidget(frame);
        list->setObjectName("List1");
        list->setGeometry(10, 10, 100, 80);
        list->setFont(pointFont(10));
        auto *strip = new QWidget(form);
        strip->setGeometry(10, 200, 60, 40);
        inner = new QPushButton("+", strip);
        inner->setObjectName("cmdInner");
        inner->setGeometry(5, 5, 30, 20);
        line = new LineControl(form);
        line->setObjectName("Line1");
        shape = new QFrame(form);
        shape->setObjectName("Shape1");
        shape->setGeometry(30, 20, 160, 60);
        AutoSizer::markWithoutFont(shape);
        member = new QLabel("third", form);
        member->setObjectName("Label7");
        member->setProperty("Index", 3);
        member->setGeometry(300, 10, 50, 15);
        link = new HotLabel(form);
        link->setObjectName("HotLabel1");
        link->setCaption("http://www.tavlo.example");
        link->move(150, 260);
        host.show();
    }
    AutoSizer *addSizer()
    {
        sizer = new AutoSizer(form);
        sizer->setObjectName("AutoSizer1");
        sizer->setGeometry(176, 330, 57, 25);
        sizer->show();
        return sizer;
    }
    struct Snapshot {
        QList<QRect> rects;
        QList<double> fonts;
        QList<double> line;
        bool operator==(const Snapshot &) const = default;
    };
    QList<QWidget *> rectangles() const { return {label, frame, list, inner, shape, member, sizer}; }
    Snapshot snapshot() const
    {
        Snapshot s;
        for (QWidget *w : rectangles())
            s.rects << w->geometry();
        for (QWidget *w : {static_cast<QWidget *>(label), static_cast<QWidget *>(list), static_cast<QWidget *>(member)})
            s.fonts << w->font().pointSizeF();
        s.fonts << link->FontSize() << shape->font().pointSizeF();
        s.line = {line->X1, line->Y1, line->X2, line->Y2};
        return s;
    }

    QWidget host;
    QWidget *form;
    QLabel *label;
    QFrame *frame;
    QListWidget *list;
    QPushButton *inner;
    LineControl *line;
    QFrame *shape;
    QLabel *member;
    HotLabel *link;
    AutoSizer *sizer = nullptr;
};

} // namespace

class TestAutoSizer : public QObject {
    Q_OBJECT
private slots:
    void nothingBeforeTheFirstTick();
    void recordedKeys();
    void scaling_data();
    void scaling();
    void heightZeroAndBack();
    void secondRecordingAddsNothing();
    void faceFillsTheComponent();
};

void TestAutoSizer::nothingBeforeTheFirstTick()
{
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.host));
    AutoSizer *sizer = w.addSizer();
    const auto before = w.snapshot();
    w.form->resize(800, 600);
    QVERIFY(w.snapshot() == before);
    QVERIFY(sizer->frm() == nullptr);
    QTRY_VERIFY(sizer->frm() == w.form);
    // The layout recorded is the one at the tick.
    QCOMPARE(sizer->layoutTable().value("Label1.left"), 40.0 / 800.0);
    w.form->resize(400, 300);
    QCOMPARE(w.label->geometry(), QRect(20, 15, 50, 10));
}

void TestAutoSizer::recordedKeys()
{
    Window w;
    AutoSizer *sizer = w.addSizer();
    sizer->GetProps();
    const auto &table = sizer->layoutTable();
    const QStringList keys = table.keys();
    for (const char *name : {"Label1", "Frame1", "List1", "cmdInner", "Label7(3)", "HotLabel1", "AutoSizer1"})
        for (const char *suffix : {".top", ".left", ".width", ".height", ".fsz"})
            QVERIFY2(keys.contains(QLatin1String(name) + QLatin1String(suffix)), qPrintable(QLatin1String(name) + suffix));
    // Inside a frame, coordinates are the frame's, divided by the window's client size.
    QCOMPARE(table.value("List1.left"), 10.0 / 400.0);
    QCOMPARE(table.value("List1.top"), 10.0 / 300.0);
    QCOMPARE(table.value("List1.fsz"), 10.0 / 300.0);
    QCOMPARE(table.value("Label1.width"), 100.0 / 400.0);
    // A line: its four coordinates only.
    QCOMPARE(table.value("Line1.x2"), 380.0 / 400.0);
    QCOMPARE(table.value("Line1.y1"), 250.0 / 300.0);
    QVERIFY(keys.contains("Line1.x1") && keys.contains("Line1.y2"));
    QVERIFY(!keys.contains("Line1.top") && !keys.contains("Line1.fsz"));
    // A shape has no font size.
    QVERIFY(keys.contains("Shape1.height"));
    QVERIFY(!keys.contains("Shape1.fsz"));
    // Neither the insides of components nor Qt's own parts nor unnamed widgets.
    for (const QString &key : keys)
        QVERIFY2(!key.startsWith("cc.") && !key.startsWith("lblURL") && !key.startsWith("qt_") &&
                     !key.startsWith("."),
                 qPrintable(key));
    QCOMPARE(keys.size(), 7 * 5 + 4 + 4);
}

void TestAutoSizer::scaling_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("double both") << 800 << 600;
    QTest::newRow("double width") << 800 << 300;
    QTest::newRow("half height") << 400 << 150;
}

void TestAutoSizer::scaling()
{
    QFETCH(int, width);
    QFETCH(int, height);
    Window w;
    AutoSizer *sizer = w.addSizer();
    sizer->GetProps();
    const auto before = w.snapshot();
    w.form->resize(width, height);
    const double fx = width / 400.0;
    const double fy = height / 300.0;
    const auto after = w.snapshot();
    const QList<QWidget *> controls = w.rectangles();
    for (int i = 0; i < controls.size(); ++i) {
        const QRect &b = before.rects[i];
        const QRect expected(even(b.x() * fx), even(b.y() * fy), even(b.width() * fx), even(b.height() * fy));
        QCOMPARE(after.rects[i], expected);
    }
    // Fonts follow the height only; the shape's font is left alone.
    for (int i = 0; i < 4; ++i)
        QCOMPARE(after.fonts[i], before.fonts[i] * fy);
    QCOMPARE(after.fonts[4], before.fonts[4]);
    QCOMPARE(after.line, (QList<double>{20 * fx, 250 * fy, 380 * fx, 250 * fy}));
    // The hyperlink label keeps the size of its text whatever it was given.
    QCOMPARE(w.link->size(), w.link->lblURL()->size());
    QCOMPARE(w.link->pos(), QPoint(even(150 * fx), even(260 * fy)));
}

void TestAutoSizer::heightZeroAndBack()
{
    Window w;
    AutoSizer *sizer = w.addSizer();
    sizer->GetProps();
    const auto before = w.snapshot();
    w.form->resize(400, 0);
    for (QWidget *c : w.rectangles()) {
        QCOMPARE(c->y(), 0);
        QCOMPARE(c->height(), 0);
    }
    QCOMPARE(w.line->Y1, 0.0);
    QCOMPARE(w.label->font().pointSizeF(), 12.0); // a size of 0 is refused
    w.form->resize(1234, 777);
    w.form->resize(400, 300);
    QVERIFY(w.snapshot() == before);
}

void TestAutoSizer::secondRecordingAddsNothing()
{
    Window w;
    AutoSizer *sizer = w.addSizer();
    sizer->GetProps();
    const auto table = sizer->layoutTable();
    w.label->setGeometry(1, 2, 3, 4);
    sizer->GetProps();
    QCOMPARE(sizer->layoutTable(), table);

    // A control made after the recording is never moved; a layout change made in code is
    // undone at the next resize.
    auto *late = new QLabel("late", w.form);
    late->setObjectName("Late");
    late->setGeometry(5, 6, 7, 8);
    w.form->resize(500, 300);
    QCOMPARE(late->geometry(), QRect(5, 6, 7, 8));
    QCOMPARE(w.label->geometry(), QRect(50, 30, 125, 20));
}

void TestAutoSizer::faceFillsTheComponent()
{
    Window w;
    AutoSizer *sizer = w.addSizer();
    QCOMPARE(sizer->face()->geometry(), QRect(0, 0, 57, 25));
    sizer->resize(90, 40);
    QCOMPARE(sizer->face()->geometry(), QRect(0, 0, 90, 40));
}

QTEST_MAIN(TestAutoSizer)
#include "tst_autosizer.moc"
