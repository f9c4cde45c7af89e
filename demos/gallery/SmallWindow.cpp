#include "SmallWindow.h"

#include "components/BgrColor.h"
#include "components/LinkLabel.h"
#include "components/ProportionalScaler.h"
#include "components/StyledProgressBar.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tavlo {

namespace {

QFont tahoma(double points, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel *placeLabel(QWidget *parent, const QString &text, QRect place, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setFont(font);
    return label;
}

void paintBackground(QWidget *widget, QRgb color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

SmallWindow::SmallWindow(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    paintBackground(this, BgrColor(0xC0C0C0).rgb());

    placeLabel(this, QStringLiteral("TAVLO"), {16, 8, 90, 26}, tahoma(15.75, true));
    placeLabel(this, QStringLiteral("Waiting List System"), {16, 34, 130, 14}, tahoma(8.25));
    auto *heading = placeLabel(this, QStringLiteral(" Games"), {16, 56, 220, 20}, tahoma(11.25, true));
    paintBackground(heading, BgrColor(0x004000).rgb());
    QPalette white = heading->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    heading->setPalette(white);

    auto *frame = new QFrame(this);
    frame->setGeometry(16, 78, 220, 120);
    paintBackground(frame, qRgb(255, 255, 255));
    auto *list = new QListWidget(frame);
    list->setGeometry(6, 6, 160, 80);
    list->setFont(tahoma(9.75));
    list->addItems({QStringLiteral("Hold'em 2/4"), QStringLiteral("Omaha 5/10"), QStringLiteral("Stud 10/20")});
    auto *text = new QLineEdit(QStringLiteral("Razz 4/8"), frame);
    text->setGeometry(6, 92, 160, 22);
    text->setFont(tahoma(9.75));
    const QStringList symbols{QStringLiteral("▲"), QStringLiteral("▼"), QStringLiteral("✚")};
    for (int i = 0; i < symbols.size(); ++i)
        (new QPushButton(symbols[i], frame))->setGeometry(174, 6 + 28 * i, 38, 24);

    auto *bar = new StyledProgressBar(this);
    bar->setGeometry(256, 60, 150, 15);
    bar->setColor(QColor(44, 132, 190));
    bar->setScrolling(StyledProgressBar::Smooth);
    (void)bar->setValue(64);
    placeLabel(this, QStringLiteral("Make the gallery larger\nor smaller: everything\nhere keeps its share."),
               {256, 90, 160, 60}, tahoma(8.25));

    // The main window's link: grey, blue under the pointer, the arrow pointer.
    auto *link = new LinkLabel(this);
    link->setNormalFont(tahoma(8.25));
    link->setCaption(QStringLiteral(TAVLO_VENDOR_URL));
    link->setUrl(QStringLiteral(TAVLO_VENDOR_URL));
    link->setForeColor(BgrColor(0x00808080).rgb());
    link->setHotColor(BgrColor(0x00C55410).rgb());
    link->setShowHand(false);
    link->move(256, 176);
    auto *clicks = placeLabel(this, QStringLiteral("Not clicked yet"), {256, 196, 160, 14}, tahoma(8.25));
    connect(link, &LinkLabel::clicked, clicks, [clicks, count = 0]() mutable {
        clicks->setText(QStringLiteral("Clicked %1 times").arg(++count));
    });

    resize(sizeHint());
    new ProportionalScaler(this);
}

} // namespace tavlo
