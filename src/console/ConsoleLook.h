#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;
class QPushButton;

namespace tavlo {

// Colours are written &H00BBGGRR, red in the low byte.
constexpr QRgb bgrColor(unsigned value)
{
    return qRgb(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
}

QFont consoleFont(double pointSize, bool bold = false);
void setBackground(QWidget *widget, QRgb color);
void setForeground(QWidget *widget, QRgb color);

// A command button whose caption is one symbol, as on the console's button strips.
QPushButton *symbolButton(QWidget *parent, const QString &objectName, const QString &symbol, double pointSize,
                          bool bold, const QString &toolTip, int topTwips, int leftTwips);

} // namespace tavlo
