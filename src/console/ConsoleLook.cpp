#include "console/ConsoleLook.h"

#include "base/Twips.h"

#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace tavlo {

QFont consoleFont(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget *widget, QRgb color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setForeground(QWidget *widget, QRgb color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QPushButton *symbolButton(QWidget *parent, const QString &objectName, const QString &symbol, double pointSize,
                          bool bold, const QString &toolTip, int topTwips, int leftTwips)
{
    auto *button = new QPushButton(symbol, parent);
    button->setObjectName(objectName);
    // The symbol fonts of old are not on this platform; DejaVu Sans has equivalent symbols.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    button->setFont(font);
    button->setToolTip(toolTip);
    button->setGeometry(twipsRect(leftTwips, topTwips, 735, 375));
    return button;
}

} // namespace tavlo
