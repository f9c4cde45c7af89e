// The floor for the console's start: a bare Qt Widgets program showing one empty window the
// console's size, which says when it first painted as the console does.
#include "platform/PaintReport.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    const qint64 entered = tavlo::monotonicNanoseconds();
    QApplication app(argc, argv);
    tavlo::reportStartupStep("main entered", entered);
    tavlo::reportStartupStep("application ready");
    QWidget window;
    window.resize(981, 607);
    tavlo::afterFirstPaint(window);
    window.show();
    return QApplication::exec();
}
