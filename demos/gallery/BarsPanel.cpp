#include "BarsPanel.h"

#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaEnum>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QVBoxLayout>

namespace tavlo {

namespace {

using Bar = StyledProgressBar;

// A small two-tone tile for the picture look.
QImage pictureTile()
{
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, ((x / 4 + y / 4) % 2) ? qRgb(250, 200, 60) : qRgb(200, 90, 30));
    return tile;
}

QString styleName(int style)
{
    return QString::fromLatin1(QMetaEnum::fromType<Bar::BarStyle>().valueToKey(style));
}

} // namespace

BarsPanel::BarsPanel(QWidget *parent)
    : QWidget(parent)
    , m_slider(new QSlider(Qt::Horizontal))
    , m_value(new QLabel)
    , m_hatch(new QComboBox)
{
    auto *controls = new QHBoxLayout;
    m_slider->setRange(0, 100);
    m_value->setMinimumWidth(28);
    auto *colour = new QPushButton(QStringLiteral("Colour…"));
    for (int hatch = Bar::HorizontalHatch; hatch <= Bar::DiagonalCrossHatch; ++hatch)
        m_hatch->addItem(QString::fromLatin1(QMetaEnum::fromType<Bar::HatchStyle>().valueToKey(hatch)));
    controls->addWidget(new QLabel(QStringLiteral("Value")));
    controls->addWidget(m_slider, 1);
    controls->addWidget(m_value);
    controls->addWidget(colour);
    controls->addWidget(new QLabel(QStringLiteral("Hatch")));
    controls->addWidget(m_hatch);

    auto *across = new QGroupBox(QStringLiteral("Across"));
    auto *acrossGrid = new QGridLayout(across);
    acrossGrid->addWidget(new QLabel(QStringLiteral("without caption")), 0, 1);
    acrossGrid->addWidget(new QLabel(QStringLiteral("with caption")), 0, 2);
    auto *upright = new QGroupBox(QStringLiteral("Upright (only the first three fill upwards)"));
    auto *uprightGrid = new QGridLayout(upright);
    for (int style = Bar::Segmented; style <= Bar::Glossy; ++style) {
        acrossGrid->addWidget(new QLabel(QStringLiteral("%1 %2").arg(style).arg(styleName(style))), style + 1, 0);
        uprightGrid->addWidget(new QLabel(QString::number(style)), 0, style, Qt::AlignHCenter);
        for (const bool caption : {false, true}) {
            acrossGrid->addWidget(makeBar(style, Bar::Horizontal, caption, {220, 17}), style + 1, caption ? 2 : 1);
            uprightGrid->addWidget(makeBar(style, Bar::Vertical, caption, {36, 130}), caption ? 2 : 1, style,
                                   Qt::AlignHCenter);
        }
    }
    acrossGrid->setRowStretch(Bar::Glossy + 2, 1); // spare height below the rows
    auto *bars = new QHBoxLayout;
    bars->addWidget(across);
    bars->addWidget(upright);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(controls);
    outer->addLayout(bars);

    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        m_value->setNum(value);
        for (Bar *bar : m_bars)
            (void)bar->setValue(value);
    });
    connect(colour, &QPushButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(m_bars.first()->color(), this);
        if (chosen.isValid())
            for (Bar *bar : m_bars)
                bar->setColor(chosen);
    });
    connect(m_hatch, &QComboBox::currentIndexChanged, this, [this](int hatch) {
        for (Bar *bar : m_bars)
            bar->setBrushStyle(Bar::HatchStyle(hatch));
    });
}

StyledProgressBar *BarsPanel::makeBar(int style, StyledProgressBar::Orientation orientation, bool caption, QSize size)
{
    auto *bar = new Bar;
    bar->setObjectName(styleName(style) + (orientation == Bar::Horizontal ? QStringLiteral("-across")
                                                                           : QStringLiteral("-upright"))
                       + (caption ? QStringLiteral("-caption") : QString()));
    bar->setFixedSize(size);
    bar->setColor(QColor(44, 132, 190));
    bar->setScrolling(Bar::BarStyle(style));
    bar->setOrientation(orientation);
    bar->setBrushStyle(Bar::CrossHatch);
    bar->setImage(pictureTile());
    bar->setShowText(caption);
    (void)bar->setValue(57);
    m_bars.append(bar);
    return bar;
}

void BarsPanel::readSettings(QSettings &settings)
{
    for (Bar *bar : m_bars) {
        settings.beginGroup(bar->objectName());
        if (!settings.childKeys().isEmpty())
            bar->readSettings(settings);
        settings.endGroup();
    }
    const Bar *first = m_bars.first();
    m_slider->setValue(first->value());
    m_value->setNum(first->value());
    m_hatch->setCurrentIndex(first->brushStyle());
}

void BarsPanel::writeSettings(QSettings &settings) const
{
    for (const Bar *bar : m_bars) {
        settings.beginGroup(bar->objectName());
        bar->writeSettings(settings);
        settings.endGroup();
    }
}

} // namespace tavlo
