#include "update/ProgramStarter.h"

#include <QProcess>

namespace tavlo {

bool DetachedProgramStarter::startDetached(const QString &program, const QString &workingFolder)
{
    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(workingFolder);
    // Nothing of ours stays attached to it: it outlives this process.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace tavlo
