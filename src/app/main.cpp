#include "platform/Connectivity.h"
#include "app/Form1.h"
#include "app/UpdateFlow.h"
#include "platform/Platform.h"
#include "platform/ProcessEnd.h"
#include "platform/ProgramFolder.h"
#include "platform/QtMessageBox.h"
#include "app/xpEnable.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TAVLO"));
    QApplication::setApplicationVersion(tavlo::Form1::versionText());

    tavlo::QtMessageBox messageBox;
    tavlo::ImmediateProcessEnd processEnd;
    tavlo::SystemConnectivity connectivity;
    tavlo::Platform platform;
    platform.messageBox = &messageBox;
    platform.processEnd = &processEnd;
    platform.connectivity = &connectivity;
    platform.programFolder = tavlo::programFolder();

    return tavlo::SubMain(platform, [&platform](tavlo::Form1 &form) { tavlo::startUpdateFlow(platform, form); });
}
