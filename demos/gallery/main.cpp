// The component gallery: every look of the components in one window, for a person to check.
#include "XP_ProgressBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QTabWidget>
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTabWidget window;
    window.setWindowTitle(QStringLiteral("TAVLO component gallery"));
    window.addTab(progressBarPage(), QStringLiteral("XP_ProgressBar"));
    window.resize(1000, 520);
    window.show();
    return app.exec();
}
