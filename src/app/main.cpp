#include "CheckVersion.h"
#include "Connectivity.h"
#include "Form1.h"
#include "Platform.h"
#include "ProcessEnd.h"
#include "ProgramFolder.h"
#include "QtMessageBox.h"
#include "xpEnable.h"

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

    return tavlo::SubMain(platform, [&platform](tavlo::Form1 &form) { tavlo::CheckVersion(platform, &form); });
}
