#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;
class QPushButton;

namespace tavlo {

QFont consoleFont(double pointSize, bool bold = false);
void setBackground(QWidget *widget, QRgb color);
void setForeground(QWidget *widget, QRgb color);

// A command button whose caption is one symbol, as on the console's button strips.
QPushButton *symbolButton(QWidget *parent, const QString &objectName, const QString &symbol, double pointSize,
                          bool bold, const QString &toolTip, int topTwips, int leftTwips);

} // namespace tavlo
