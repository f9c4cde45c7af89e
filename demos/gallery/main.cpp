// The component gallery: every look of the components in one window, for a person to check.
#include "components/AutoSizer.h"
#include "components/HotLabel.h"
#include "components/XP_ProgressBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

using namespace tavlo;

namespace {

const char *const styleNames[] = {"0 segmented", "1 smooth", "2 searching", "3 flat",   "4 etched",
                                  "5 shaded",    "6 dark",   "7 hatched",   "8 picture", "9 glossy"};

// A small two-tone tile for the picture style.
QImage pictureTile()
{
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(250, 200, 60) : qRgb(200, 90, 30));
    return tile;
}

XP_ProgressBar *makeBar(int style, int value, bool caption, QSize size, int orientation = 0)
{
    auto *bar = new XP_ProgressBar;
    bar->setFixedSize(size);
    bar->setColor(RGB(44, 132, 190));
    bar->setScrolling(style);
    bar->setOrientation(orientation);
    bar->setBrushStyle(style == XP_ProgressBar::Hatched ? 4 : 0);
    bar->setImage(pictureTile());
    bar->setShowText(caption);
    (void)bar->setValue(value);
    return bar;
}

QWidget *progressBarPage()
{
    auto *page = new QWidget;
    auto *outer = new QVBoxLayout(page);

    auto *controls = new QHBoxLayout;
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 100);
    slider->setValue(57);
    auto *sliderValue = new QLabel(QStringLiteral("57"));
    sliderValue->setMinimumWidth(30);
    auto *caption = new QCheckBox(QStringLiteral("Caption on the live bars"));
    caption->setChecked(true);
    controls->addWidget(new QLabel(QStringLiteral("Value")));
    controls->addWidget(slider, 1);
    controls->addWidget(sliderValue);
    controls->addWidget(caption);
    outer->addLayout(controls);

    auto *body = new QHBoxLayout;
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    const QStringList headings{QStringLiteral("Style"), QStringLiteral("Live (slider)"), QStringLiteral("0"),
                               QStringLiteral("33, caption off"), QStringLiteral("100, caption on")};
    for (int c = 0; c < headings.size(); ++c)
        grid->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(headings[c])), 0, c);

    std::vector<XP_ProgressBar *> live;
    for (int style = 0; style <= 9; ++style) {
        const int row = style + 1;
        grid->addWidget(new QLabel(QString::fromLatin1(styleNames[style])), row, 0);
        auto *bar = makeBar(style, slider->value(), true, {265, 17});
        live.push_back(bar);
        grid->addWidget(bar, row, 1);
        grid->addWidget(makeBar(style, 0, false, {120, 17}), row, 2);
        grid->addWidget(makeBar(style, 33, false, {120, 17}), row, 3);
        grid->addWidget(makeBar(style, 100, true, {120, 17}), row, 4);
    }
    body->addLayout(grid);

    auto *vertical = new QGroupBox(QStringLiteral("Vertical XP styles"));
    auto *vlayout = new QGridLayout(vertical);
    for (int style = 0; style <= 2; ++style) {
        vlayout->addWidget(new QLabel(QString::number(style)), 0, style * 2, Qt::AlignHCenter);
        auto *bar = makeBar(style, slider->value(), false, {17, 220}, 1);
        live.push_back(bar);
        vlayout->addWidget(bar, 1, style * 2, Qt::AlignHCenter);
        vlayout->addWidget(makeBar(style, 25, false, {17, 220}, 1), 1, style * 2 + 1, Qt::AlignHCenter);
    }
    body->addWidget(vertical);
    outer->addLayout(body);

    auto *tall = new QHBoxLayout;
    tall->addWidget(new QLabel(QStringLiteral("Taller, with a larger caption:")));
    for (int style : {1, 6, 9}) {
        auto *bar = makeBar(style, 64, true, {200, 28});
        QFont font = bar->Font();
        font.setPointSize(11);
        bar->setFont(font);
        (void)bar->setValue(64);
        tall->addWidget(bar);
    }
    tall->addStretch();
    outer->addLayout(tall);
    outer->addStretch();

    QObject::connect(slider, &QSlider::valueChanged, page, [live, sliderValue](int value) {
        sliderValue->setNum(value);
        for (XP_ProgressBar *bar : live)
            (void)bar->setValue(value);
    });
    QObject::connect(caption, &QCheckBox::toggled, page, [live](bool on) {
        for (XP_ProgressBar *bar : live)
            if (bar->Orientation() == 0)
                bar->setShowText(on);
    });
    return page;
}

QFont tahoma(double points, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel *addLabel(QWidget *form, const QString &name, const QString &text, QRect place, QFont font)
{
    auto *label = new QLabel(text, form);
    label->setObjectName(name);
    label->setGeometry(place);
    label->setFont(font);
    return label;
}

// A small console in absolute positions, as the main window is laid out, with the two
// components on it: make the window larger or smaller and everything follows, fonts too.
QWidget *linkAndSizerPage()
{
    auto *form = new QWidget;
    form->setObjectName(QStringLiteral("Form1"));
    form->setAutoFillBackground(true);
    QPalette pal = form->palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    form->setPalette(pal);

    addLabel(form, QStringLiteral("Label3"), QStringLiteral("TAVLO"), {40, 24, 120, 35}, tahoma(21.75, true));
    addLabel(form, QStringLiteral("Label4"), QStringLiteral("Waiting List System"), {40, 62, 160, 16}, tahoma(9));
    auto *heading =
        addLabel(form, QStringLiteral("Label5"), QStringLiteral(" Games"), {40, 100, 360, 27}, tahoma(15.75, true));
    heading->setAutoFillBackground(true);
    QPalette hp = heading->palette();
    hp.setColor(QPalette::Window, QColor(0, 0x40, 0));
    hp.setColor(QPalette::WindowText, Qt::white);
    heading->setPalette(hp);

    auto *frame = new QFrame(form);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(40, 130, 360, 220);
    frame->setAutoFillBackground(true);
    QPalette fp = frame->palette();
    fp.setColor(QPalette::Window, Qt::white);
    frame->setPalette(fp);
    auto *list = new QListWidget(frame);
    list->setObjectName(QStringLiteral("List1"));
    list->setGeometry(8, 8, 280, 160);
    list->setFont(tahoma(12));
    list->addItems({QStringLiteral("Hold'em 2/4"), QStringLiteral("Omaha 5/10"), QStringLiteral("Stud 10/20")});
    auto *text = new QLineEdit(QStringLiteral("Razz 4/8"), frame);
    text->setObjectName(QStringLiteral("txtLists"));
    text->setGeometry(8, 180, 280, 28);
    text->setFont(tahoma(12));
    const QStringList symbols{QStringLiteral("▲"), QStringLiteral("▼"), QStringLiteral("✖"), QStringLiteral("+")};
    for (int i = 0; i < symbols.size(); ++i) {
        auto *button = new QPushButton(symbols[i], frame);
        button->setObjectName(QStringLiteral("cmdLists%1").arg(i));
        button->setGeometry(300, 8 + 34 * i, 49, 25);
    }

    auto *clicks = addLabel(form, QStringLiteral("Label2"), QStringLiteral("Not clicked yet"), {440, 360, 220, 16},
                            tahoma(8.25));

    // The main window's link: grey, no hand pointer.
    auto *vendor = new HotLabel(form);
    vendor->setObjectName(QStringLiteral("HotLabel1"));
    vendor->setFont(tahoma(8.25));
    vendor->setCaption(QStringLiteral(TAVLO_VENDOR_URL));
    vendor->setURL(QStringLiteral(TAVLO_VENDOR_URL));
    vendor->setForeColor(0x00808080);
    vendor->setHotColor(0x00C55410);
    vendor->setShowHand(false);
    vendor->move(368, 496);

    // A second look: black, red under the pointer, hand pointer, blank address.
    auto *other = new HotLabel(form);
    other->setObjectName(QStringLiteral("HotLabel2"));
    other->setFont(tahoma(12));
    other->setCaption(QStringLiteral("A link with a hand and no address"));
    other->InitProperties();
    other->move(440, 330);

    int count = 0;
    for (HotLabel *link : {vendor, other})
        QObject::connect(link, &HotLabel::Click, clicks, [clicks, link, count]() mutable {
            clicks->setText(QStringLiteral("Click %1 on %2").arg(++count).arg(link->objectName()));
        });

    auto *players = new QFrame(form);
    players->setObjectName(QStringLiteral("Frame2"));
    players->setGeometry(440, 100, 300, 210);
    players->setFrameShape(QFrame::Box);
    auto *bar = new XP_ProgressBar(players);
    bar->setObjectName(QStringLiteral("XP_ProgressBar1"));
    bar->setGeometry(20, 20, 260, 17);
    bar->setColor(RGB(44, 132, 190));
    bar->setScrolling(XP_ProgressBar::Smooth);
    (void)bar->setValue(64);
    addLabel(players, QStringLiteral("Label6"),
             QStringLiteral("Resize the window:\nevery control keeps its\nshare of the window."), {20, 60, 260, 120},
             tahoma(12));

    // Below the client area, out of sight at every size.
    auto *sizer = new AutoSizer(form);
    sizer->setObjectName(QStringLiteral("AutoSizer1"));
    sizer->setGeometry(176, 560, 57, 25);
    return form;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTabWidget window;
    window.setWindowTitle(QStringLiteral("TAVLO component gallery"));
    window.addTab(progressBarPage(), QStringLiteral("XP_ProgressBar"));
    window.addTab(linkAndSizerPage(), QStringLiteral("HotLabel and AutoSizer"));
    window.resize(1000, 540);
    // "--page 1" opens on the second page, "--size WxH" resizes after the layout is recorded.
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--page")); i >= 0 && i + 1 < args.size())
        window.setCurrentIndex(args[i + 1].toInt());
    if (const qsizetype i = args.indexOf(QStringLiteral("--size")); i >= 0 && i + 1 < args.size()) {
        const QStringList wh = args[i + 1].split(QLatin1Char('x'));
        if (wh.size() == 2)
            QTimer::singleShot(300, &window, [&window, wh] { window.resize(wh[0].toInt(), wh[1].toInt()); });
    }
    window.show();
    return app.exec();
}
