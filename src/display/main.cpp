#include "display/DisplayWindow.h"
#include "platform/ProgramFolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TAVLO-Display"));
    QApplication::setApplicationVersion(QStringLiteral(TAVLO_VERSION));

    tavlo::display::DisplayWindow window(tavlo::programFolder());
    window.start();
    window.enterFullScreen();
    return app.exec();
}
