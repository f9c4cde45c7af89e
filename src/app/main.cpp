#include "app/Console.h"
#include "app/UpdateFlow.h"
#include "console/MainWindow.h"
#include "platform/Connectivity.h"
#include "platform/Platform.h"
#include "platform/ProcessEnd.h"
#include "platform/ProgramFolder.h"
#include "platform/QtMessageBox.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TAVLO"));
    QApplication::setApplicationVersion(tavlo::Console::versionText());

    tavlo::QtMessageBox messageBox;
    tavlo::ImmediateProcessEnd processEnd;
    tavlo::SystemConnectivity connectivity;
    tavlo::Platform platform;
    platform.messageBox = &messageBox;
    platform.processEnd = &processEnd;
    platform.connectivity = &connectivity;
    platform.programFolder = tavlo::programFolder();

    return tavlo::runConsole(platform, [&platform](QWidget &window) { tavlo::startUpdateFlow(platform, window); });
}
